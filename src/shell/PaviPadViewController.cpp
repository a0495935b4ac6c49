#include "shell/PaviPadViewController.h"

#include "albums/container/PavAlbumContainerController_iPad.h"
#include "platform/core/Localization.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/TabContainer.h"
#include "shell/PaviPadTabBarViewControll.h"

PaviPadViewController::PaviPadViewController(TabFactory albumTab, QWidget* parent) : ui::Screen(parent)
{
    setObjectName(QStringLiteral("PaviPadViewController"));
    setStyleSheet(QStringLiteral("#PaviPadViewController { background: black; }"));
    m_tabs = new ui::TabContainer(this);
    addChildScreen(m_tabs);
    ui::Screen* album = albumTab ? albumTab() : new PavAlbumContainerController_iPad;
    m_tabs->setScreens({album});
    m_tabBar = new PaviPadTabBarViewControll(this);
    m_tabBar->addItem(L("相册"), QStringLiteral("PavPadAlbumIcon_selected_iPad"));
    m_tabBar->setSelectedIndex(kAlbumTabIndex);
    connect(m_tabBar, &PaviPadTabBarViewControll::itemTapped, this, &PaviPadViewController::setSelectedIndex);
    resize(ui::Canvas::size());
    layoutParts();
}

ui::Screen* PaviPadViewController::selectedViewController() const
{
    return m_tabs->selectedScreen();
}

int PaviPadViewController::selectedIndex() const
{
    return m_tabs->selectedIndex();
}

void PaviPadViewController::setSelectedIndex(int index)
{
    if (m_tabs->setSelectedIndex(index))
        m_tabBar->setSelectedIndex(index);
}

PavAlbumContainerController_iPad* PaviPadViewController::albumContainer() const
{
    return qobject_cast<PavAlbumContainerController_iPad*>(m_tabs->screenAt(kAlbumTabIndex));
}

void PaviPadViewController::resizeEvent(QResizeEvent* event)
{
    ui::Screen::resizeEvent(event);
    layoutParts();
}

void PaviPadViewController::layoutParts()
{
    m_tabBar->setGeometry(0, 0, PaviPadTabBarViewControll::kWidth, height());
    m_tabs->setGeometry(PaviPadTabBarViewControll::kWidth, 0, width() - PaviPadTabBarViewControll::kWidth, height());
}
