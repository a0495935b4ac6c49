#pragma once

#include "platform/ui/Screen.h"

#include <functional>

class PavAlbumContainerController_iPad;
class PaviPadTabBarViewControll;

namespace ui {
class TabContainer;
}

// The root controller: the custom tab bar in a column on the left and the
// tabs beside it. The album container is its one tab (made by an injectable
// factory). Its own view hosts the batch progress panels, and it presents
// the photo browsers and the album's form sheets.
class PaviPadViewController : public ui::Screen {
    Q_OBJECT
public:
    using TabFactory = std::function<ui::Screen*()>;
    static constexpr int kAlbumTabIndex = 0;

    // A null factory makes a PavAlbumContainerController_iPad.
    explicit PaviPadViewController(TabFactory albumTab = {}, QWidget* parent = nullptr);

    ui::Screen* selectedViewController() const;
    int selectedIndex() const;
    void setSelectedIndex(int index);

    // The tab-bar column, which busy screens disable.
    PaviPadTabBarViewControll* leftView() const { return m_tabBar; }
    ui::TabContainer* tabContainer() const { return m_tabs; }
    // The album tab when it is the album container (null otherwise).
    PavAlbumContainerController_iPad* albumContainer() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutParts();

    PaviPadTabBarViewControll* m_tabBar;
    ui::TabContainer* m_tabs;
};
