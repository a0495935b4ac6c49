#pragma once

#include "platform/ui/Screen.h"

namespace ui {

// Screens stacked in one place, one shown at a time (the tab controller
// without its bar). Selecting another index runs the disappear/appear calls
// of the two screens while the container is on screen; an index outside the
// list is ignored. The container owns its screens.
class TabContainer : public Screen {
    Q_OBJECT
public:
    explicit TabContainer(QWidget* parent = nullptr);

    void setScreens(const QList<Screen*>& screens);
    QList<Screen*> screens() const;
    Screen* screenAt(int index) const;
    int count() const { return int(m_screens.size()); }

    // False (and nothing changes) for an index outside 0..count-1.
    bool setSelectedIndex(int index, bool animated = false);
    int selectedIndex() const { return m_selected; }
    Screen* selectedScreen() const { return screenAt(m_selected); }

signals:
    void selectedIndexChanged(int index);

protected:
    QList<Screen*> screensToForward() const override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QList<QPointer<Screen>> m_screens;
    int m_selected = -1;
};

}
