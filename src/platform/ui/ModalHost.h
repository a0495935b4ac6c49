#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

namespace ui {

class Canvas;
class KeyboardHold;
class Screen;

// One presentation on the canvas: an overlay covering it that swallows all
// input beneath, holding the presented screen either as a centred form sheet
// over a dimmed backdrop or over the whole canvas. Created through
// Screen::presentSheet / presentFullScreen; it deletes itself (and its
// screen) when dismissed. Until then it takes the keyboard of its window
// (see KeyboardHold): screens beneath it get no key. With no canvas to
// present on, the content screen is deleted.
class ModalHost : public QWidget {
    Q_OBJECT
public:
    enum class Style { Sheet, FullScreen };
    static constexpr int kFadeMs = 300;

    static ModalHost* present(Screen* presenter, Screen* content, Style style, QSize size, bool animated);
    // The live presentation made by this screen (null when none).
    static ModalHost* presentedBy(const Screen* presenter);
    // The live presentations on a canvas, bottom to top.
    static QList<ModalHost*> hostsOn(const QWidget* canvas);

    Style style() const { return m_style; }
    Screen* content() const { return m_content; }
    Screen* presenter() const { return m_presenter; }
    bool isDismissing() const { return m_dismissing; }

    // The sheet's frame on the canvas (owners may move it after presenting).
    QRect contentFrame() const;
    void setContentFrame(const QRect& frame);

    // Closes this presentation and every one above it.
    void dismiss(bool animated, std::function<void()> completion = {});

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    ModalHost(QWidget* canvas, Screen* presenter, Screen* content, Style style, QSize size);
    ~ModalHost() override;
    void runFade(bool in, std::function<void()> done);
    void finishDismiss();

    Style m_style;
    QPointer<Screen> m_presenter;
    QPointer<Screen> m_content;
    QPointer<Screen> m_covered;
    QWidget* m_panel = nullptr;
    std::unique_ptr<KeyboardHold> m_keyboard;
    bool m_dismissing = false;
    std::function<void()> m_completion;
};

}
