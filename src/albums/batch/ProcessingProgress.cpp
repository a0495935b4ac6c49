#include "albums/batch/ProcessingProgress.h"

#include <cmath>

void ProcessingProgress::setCompletedCount(unsigned completed)
{
    m_completed = completed;
    setProgress(m_total == 0 ? 0.f : float(completed) / float(m_total));
}

void ProcessingProgress::setProgress(float progress)
{
    if (std::isnan(progress) || progress < 0.f)
        progress = 0.f;
    m_progress = progress > 1.f ? 1.f : progress;
}

QString ProcessingProgress::counterText(unsigned completed, unsigned total)
{
    return QString("(%1/%2)").arg(completed).arg(total);
}

QRectF ProcessingProgress::boxRect(const QSizeF& panel)
{
    return QRectF((panel.width() - kBoxWidth) / 2, std::floor(panel.height() * 0.45) - 160, kBoxWidth, kBoxHeight);
}

bool ProcessingProgress::cancel()
{
    if (m_cancelled)
        return false;
    m_cancelled = true;
    return true;
}
