#pragma once

#include <QList>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

namespace ui {

class Canvas;
class ModalHost;
class NavigationStack;

// A button of a navigation bar: a title (or a drawn image) and its action.
struct BarButtonItem {
    QString title;
    QString imageName;
    std::function<void()> action;
};

// Form-sheet sizes of the album's sheets.
inline constexpr QSize kFormSheetSize{538, 495};
inline constexpr QSize kShortFormSheetSize{538, 385};

// A screen: a widget with the view lifecycle of a tablet view controller.
//
// viewDidLoad runs once, before the first appearance (or on
// loadViewIfNeeded). Appearance runs in transitions: will-appear (or
// will-disappear) when a transition begins, did-appear (did-disappear) when it
// ends. Containers (navigation stack, tab container, canvas, modal
// presentation) drive the transitions and forward them to the child screens
// they show, parent before child. A transition that would not change the
// state (appearing while shown, say) is ignored.
//
// Presentation: presentSheet shows a centred modal form sheet over
// everything (the screens beneath get no appearance calls); presentFullScreen
// covers the canvas with a 0.3 s fade, and the covered screens disappear and
// appear again when it closes. dismissModal, sent to any screen inside a
// presented screen (a screen pushed inside a sheet's stack included), closes
// that presentation; sent to a screen that has presented one, it closes what
// it presented (and whatever was presented above it). A dismissed screen is
// deleted.
class Screen : public QWidget {
    Q_OBJECT
public:
    enum class Appearance { Disappeared, Appearing, Appeared, Disappearing };

    explicit Screen(QWidget* parent = nullptr);
    ~Screen() override;

    bool isViewLoaded() const { return m_loaded; }
    void loadViewIfNeeded();

    void beginAppearanceTransition(bool appearing, bool animated);
    void endAppearanceTransition();
    Appearance appearance() const { return m_appearance; }
    bool isOnScreen() const { return m_appearance == Appearance::Appeared; }

    // Child screens whose appearance follows this screen's (containers).
    void addChildScreen(Screen* child);
    void removeChildScreen(Screen* child);
    QList<Screen*> childScreens() const;

    // Navigation item, shown by the enclosing navigation stack's bar.
    QString title() const { return m_title; }
    void setTitle(const QString& title);
    const std::optional<BarButtonItem>& leftBarButtonItem() const { return m_left; }
    const std::optional<BarButtonItem>& rightBarButtonItem() const { return m_right; }
    void setLeftBarButtonItem(std::optional<BarButtonItem> item);
    void setRightBarButtonItem(std::optional<BarButtonItem> item);
    bool hidesBackButton() const { return m_hidesBackButton; }
    void setHidesBackButton(bool hides);

    // The nearest navigation stack holding this screen (null when none).
    NavigationStack* navigationStack() const;
    Canvas* canvas() const;

    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    // The sheet's presentation (null without a canvas): its presenter may
    // move it from where it starts.
    ModalHost* presentSheet(Screen* screen, QSize size = kFormSheetSize, bool animated = true);
    void presentFullScreen(Screen* screen, bool animated = true);
    void dismissModal(bool animated = true, std::function<void()> completion = {});
    Screen* presentedScreen() const;
    Screen* presentingScreen() const;
    // The presentation holding this screen (null when none).
    ModalHost* containingModal() const;

signals:
    void navigationItemChanged();

protected:
    virtual void viewDidLoad() {}
    virtual void viewWillAppear(bool animated) { Q_UNUSED(animated); }
    virtual void viewDidAppear(bool animated) { Q_UNUSED(animated); }
    virtual void viewWillDisappear(bool animated) { Q_UNUSED(animated); }
    virtual void viewDidDisappear(bool animated) { Q_UNUSED(animated); }

    // The children that take part in this screen's transitions; containers
    // narrow it to the child they show.
    virtual QList<Screen*> screensToForward() const { return childScreens(); }

private:
    bool m_loaded = false;
    bool m_animated = false;
    Appearance m_appearance = Appearance::Disappeared;
    QList<QPointer<Screen>> m_children;
    QString m_title;
    std::optional<BarButtonItem> m_left;
    std::optional<BarButtonItem> m_right;
    bool m_hidesBackButton = false;
    int m_tag = 0;
};

}
