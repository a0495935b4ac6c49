#include "support/PanelAtClose.h"

#include "albums/batch/PavPhotosProcessingView_iPad.h"
#include "platform/ui/ImageView.h"

#include <QEvent>
#include <QLabel>

PanelAtClose::PanelAtClose(PavPhotosProcessingView_iPad* panel) : m_panel(panel)
{
    if (panel)
        panel->installEventFilter(this);
}

bool PanelAtClose::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_panel && event->type() == QEvent::Hide && !seen) {
        seen = true;
        counter = m_panel->progressLabel()->text();
        progress = m_panel->progress();
        barWidth = m_panel->progressView()->width();
        picture = m_panel->box()->grab().toImage();
    }
    return false;
}
