#include "Public/PavToastView_iPad.h"

#include "platform/core/MainThread.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/ImageView.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPointer>
#include <QPropertyAnimation>
#include <QTimer>

namespace {
QPointer<PavToastView_iPad> g_toast;
}

PavToastView_iPad::PavToastView_iPad(QWidget* host, const QString& message) : QWidget(host)
{
    setObjectName(QStringLiteral("PavToastView_iPad"));
    setAttribute(Qt::WA_StyledBackground, true);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setStyleSheet(QStringLiteral("#PavToastView_iPad { background: rgba(0,0,0,200); border-radius: 10px; }"));
    auto* done = new ui::ImageView(QStringLiteral("PavProgressView_done"), this);
    m_label = new QLabel(message, this);
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setWordWrap(true);
    m_label->setStyleSheet(QStringLiteral("color: white; font-size: 18px; background: transparent;"));
    const int w = std::max(200, std::min(420, m_label->fontMetrics().horizontalAdvance(message) + 48));
    const int h = 120;
    setGeometry((host->width() - w) / 2, (host->height() - h) / 2, w, h);
    done->setGeometry((w - 40) / 2, 16, 40, 40);
    m_label->setGeometry(12, 62, w - 24, 44);
}

void PavToastView_iPad::showSuccessToastViewWithMessage(const QString& message, double durationSeconds)
{
    auto work = [message, durationSeconds] {
        QWidget* host = ui::Canvas::current();
        if (!host)
            return;
        if (g_toast)
            g_toast->deleteLater();
        auto* toast = new PavToastView_iPad(host, message);
        g_toast = toast;
        toast->show();
        toast->raise();
        const int ms = std::max(0, int(durationSeconds * 1000));
        QTimer::singleShot(ms, toast, [toast] { toast->fadeOut(); });
    };
    if (MainThread::isMainThread())
        work();
    else
        MainThread::post(work);
}

PavToastView_iPad* PavToastView_iPad::showing()
{
    return g_toast.data();
}

QString PavToastView_iPad::message() const
{
    return m_label->text();
}

void PavToastView_iPad::fadeOut()
{
    auto* effect = new QGraphicsOpacityEffect(this);
    setGraphicsEffect(effect);
    auto* anim = new QPropertyAnimation(effect, "opacity", this);
    anim->setDuration(kFadeMs);
    anim->setStartValue(1.0);
    anim->setEndValue(0.0);
    connect(anim, &QPropertyAnimation::finished, this, &QObject::deleteLater);
    anim->start(QAbstractAnimation::DeleteWhenStopped);
}
