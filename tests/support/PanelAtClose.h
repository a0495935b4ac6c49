#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>

class PavPhotosProcessingView_iPad;

// The last thing a batch's progress panel showed: its counter, its bar and
// a picture of it, taken as the panel hides at the batch's end.
class PanelAtClose : public QObject {
public:
    explicit PanelAtClose(PavPhotosProcessingView_iPad* panel);

    bool seen = false;
    QString counter;
    float progress = -1;
    int barWidth = -1;
    QImage picture;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<PavPhotosProcessingView_iPad> m_panel;
};
