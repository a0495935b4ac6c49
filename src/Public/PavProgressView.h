#pragma once

#include <QString>
#include <QWidget>

class QLabel;

namespace ui {
class ActivityIndicator;
class ImageView;
}

// The shared pop-up progress view: a dark box with an optional spinner (or,
// in the success state, the done picture) and a text, over a host view that
// it covers (so the host takes no touches meanwhile). Every static call may
// come from any thread; the work runs on the main thread, in call order.
// The success state goes away by itself after 1.0 s unless something else
// is shown first.
class PavProgressView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSuccessDismissMs = 1000;

    // Text, no spinner, over the whole canvas.
    static void showWithString(const QString& text);
    // Text (or none) with or without the spinner, over the whole canvas.
    static void showWithString(const QString& text, bool networkIndicator);
    // The same over the given view (null: the whole canvas).
    static void showWithString(const QString& text, bool networkIndicator, QWidget* inView);
    static void showSuccessWithString(const QString& text);
    static void dismiss();

    // The view on screen, or null (main thread).
    static PavProgressView* showing();
    QString text() const;
    bool showsIndicator() const;
    bool isSuccess() const { return m_success; }

private:
    explicit PavProgressView(QWidget* host);
    static void showOnMain(const QString& text, bool indicator, bool success, QWidget* host);
    void configure(const QString& text, bool indicator, bool success);
    void layoutBox();

    QWidget* m_box;
    QLabel* m_label;
    ui::ActivityIndicator* m_indicator;
    ui::ImageView* m_done;
    bool m_success = false;
    quint64 m_generation = 0;
};
