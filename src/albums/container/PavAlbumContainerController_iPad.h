#pragma once

#include "albums/AlbumUsage.h"
#include "albums/container/AlbumHost.h"
#include "albums/container/AlbumLayout.h"
#include "albums/container/AlbumNavigator.h"
#include "albums/container/PavAlbumSelectionViewDelegate_iPad.h"
#include "albums/settings/PavAlbumSettingViewControllerDelegate.h"
#include "platform/core/NotificationCenter.h"
#include "platform/ui/Screen.h"

#include <QPixmap>
#include <QPointer>

#include <functional>

#include "albums/container/AlbumScreen.h"
class PavAlbumSelectionView_iPad;

namespace ui {
class ImageView;
class TabContainer;
}

// The album tab: the three albums (device, private, cloud), each at the root
// of its own navigation stack with a hidden bar, and the selector strip on
// the left. Remembers the album shown before for "go back", opens the album
// settings, and shows the cloud album after a sign-in made there.
class PavAlbumContainerController_iPad : public ui::Screen,
                                         public AlbumHost,
                                         public PavAlbumSelectionViewDelegate_iPad,
                                         public PavAlbumSettingViewControllerDelegate {
    Q_OBJECT
public:
    // Makes the album screen at an index (0 device, 1 private, 2 cloud).
    using AlbumScreenFactory = std::function<AlbumScreen*(int index)>;
    // Makes the album settings screen; null opens nothing.
    using SettingsScreenFactory = std::function<ui::Screen*(PavAlbumContainerController_iPad* container)>;

    struct Collaborators {
        AlbumScreenFactory albumScreens;     // default: empty albums
        SettingsScreenFactory settings;      // default: the album settings sheet
        std::function<bool()> isLogined;     // default: the cloud album's state holder
        std::function<bool()> hasVerified;   // default: the album password manager
        AlbumUsage::Recorder usage;          // default: the usage store
        NotificationCenter* center = nullptr;   // default: the default centre
    };

    static constexpr const char* kCloudAlbumLoginNotification = "KyCloudAlbumLoginNotification";

    explicit PavAlbumContainerController_iPad(QWidget* parent = nullptr);
    PavAlbumContainerController_iPad(Collaborators collaborators, QWidget* parent = nullptr);
    ~PavAlbumContainerController_iPad() override;

    int selectedIndex() const override { return m_navigator.shown(); }
    int previousSelectedIndex() const { return m_navigator.previous(); }
    void setSelectedIndex(int index) override;
    void selectPreviousViewController() override;

    void setAlbumIconWithAlbumType(int index, const QPixmap& image) override;
    void resetAlbumIconToDefaultWithAlbumType(int index) override;
    bool albumTabOnScreen() const override { return isOnScreen(); }
    QWidget* hostView() override { return this; }

    void didLoginCloudAlbum();
    void albumSettingViewControllerDidClose() override;

    void albumSelectionViewDidSelectedItem(int index) override;
    void albumSelectionViewDidClickSettingButton() override;

    AlbumScreen* systemAlbumViewController() const { return m_screens[0]; }
    AlbumScreen* secretAlbumViewController() const { return m_screens[1]; }
    AlbumScreen* cloudAlbumViewController() const { return m_screens[2]; }
    AlbumScreen* albumScreen(int index) const override;
    PavAlbumSelectionView_iPad* albumSelectionView() const { return m_strip; }
    ui::TabContainer* contentView() const { return m_content; }
    // The background picture (none before the content is built).
    ui::ImageView* bgView() const { return m_bgView; }
    // The view was loaded and its content is still to be built.
    bool initFlag() const { return m_initFlag; }
    // The three navigation stacks, in album order (none before the content
    // is built).
    QList<ui::Screen*> viewControllers() const;

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

private:
    void initView();
    void show(int index);

    Collaborators m_collaborators;
    AlbumNavigator m_navigator;
    ObserverToken m_loginObserver;
    bool m_initFlag = false;
    ui::ImageView* m_bgView = nullptr;
    PavAlbumSelectionView_iPad* m_strip = nullptr;
    ui::TabContainer* m_content = nullptr;
    QPointer<AlbumScreen> m_screens[3];
};
