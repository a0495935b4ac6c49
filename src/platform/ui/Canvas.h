#pragma once

#include "platform/ui/Screen.h"

#include <QPointer>
#include <QSize>
#include <QWidget>

namespace ui {


// The fixed 1024 x 768 landscape canvas: the main window. It shows one root
// screen filling it and hosts the overlays above it (modal screens, alerts,
// action sheets, toasts, progress views). Coordinates are the layout's
// points, one to one. The most recently created canvas still alive is
// current(); overlays without an explicit host go there.
class Canvas : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 768;
    static QSize size() { return {kWidth, kHeight}; }

    explicit Canvas(QWidget* parent = nullptr);
    ~Canvas() override;

    static Canvas* current();

    // Takes ownership of the root screen; it appears when the canvas is shown
    // (at once when it already is).
    void setRootScreen(Screen* root);
    Screen* rootScreen() const { return m_root; }

    // The screen that full-screen modals cover: the content of the topmost
    // full-screen modal, else the root screen.
    Screen* coveredScreen() const;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPointer<Screen> m_root;
    bool m_shown = false;
};

}
