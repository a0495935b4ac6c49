#pragma once

#include <QString>
#include <QWidget>

class QLabel;

// The shared success toast: a box with the done picture and a message in the
// middle of the main window; after its duration it fades out over 0.3 s and
// is removed. A new toast replaces the one shown. May be called from any
// thread.
class PavToastView_iPad : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFadeMs = 300;

    static void showSuccessToastViewWithMessage(const QString& message, double durationSeconds);

    // The toast on screen, or null (main thread).
    static PavToastView_iPad* showing();
    QString message() const;

private:
    PavToastView_iPad(QWidget* host, const QString& message);
    void fadeOut();

    QLabel* m_label;
};
