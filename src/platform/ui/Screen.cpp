#include "platform/ui/Screen.h"

#include "platform/ui/Canvas.h"
#include "platform/ui/ModalHost.h"
#include "platform/ui/NavigationStack.h"

namespace ui {

Screen::Screen(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_StyledBackground, true);
}

Screen::~Screen() = default;

void Screen::loadViewIfNeeded()
{
    if (m_loaded)
        return;
    m_loaded = true;
    viewDidLoad();
}

void Screen::beginAppearanceTransition(bool appearing, bool animated)
{
    if (appearing) {
        if (m_appearance == Appearance::Appeared || m_appearance == Appearance::Appearing)
            return;
        loadViewIfNeeded();
        m_appearance = Appearance::Appearing;
        m_animated = animated;
        viewWillAppear(animated);
    } else {
        if (m_appearance == Appearance::Disappeared || m_appearance == Appearance::Disappearing)
            return;
        m_appearance = Appearance::Disappearing;
        m_animated = animated;
        viewWillDisappear(animated);
    }
    for (Screen* child : screensToForward()) {
        if (child)
            child->beginAppearanceTransition(appearing, animated);
    }
}

void Screen::endAppearanceTransition()
{
    if (m_appearance == Appearance::Appearing) {
        m_appearance = Appearance::Appeared;
        viewDidAppear(m_animated);
    } else if (m_appearance == Appearance::Disappearing) {
        m_appearance = Appearance::Disappeared;
        viewDidDisappear(m_animated);
    } else {
        return;
    }
    // Every child still in a transition ends with its parent.
    const auto children = childScreens();
    for (Screen* child : children) {
        if (child)
            child->endAppearanceTransition();
    }
}

void Screen::addChildScreen(Screen* child)
{
    if (child && child != this && !m_children.contains(child))
        m_children.append(child);
}

void Screen::removeChildScreen(Screen* child)
{
    m_children.removeAll(child);
}

QList<Screen*> Screen::childScreens() const
{
    QList<Screen*> out;
    for (const auto& child : m_children) {
        if (child)
            out.append(child.data());
    }
    return out;
}

void Screen::setTitle(const QString& title)
{
    m_title = title;
    emit navigationItemChanged();
}

void Screen::setLeftBarButtonItem(std::optional<BarButtonItem> item)
{
    m_left = std::move(item);
    emit navigationItemChanged();
}

void Screen::setRightBarButtonItem(std::optional<BarButtonItem> item)
{
    m_right = std::move(item);
    emit navigationItemChanged();
}

void Screen::setHidesBackButton(bool hides)
{
    m_hidesBackButton = hides;
    emit navigationItemChanged();
}

NavigationStack* Screen::navigationStack() const
{
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* stack = qobject_cast<NavigationStack*>(w))
            return stack;
    }
    return nullptr;
}

Canvas* Screen::canvas() const
{
    if (auto* c = qobject_cast<Canvas*>(window()))
        return c;
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* c = qobject_cast<Canvas*>(w))
            return c;
    }
    return Canvas::current();
}

ModalHost* Screen::presentSheet(Screen* screen, QSize size, bool animated)
{
    return ModalHost::present(this, screen, ModalHost::Style::Sheet, size, animated);
}

void Screen::presentFullScreen(Screen* screen, bool animated)
{
    ModalHost::present(this, screen, ModalHost::Style::FullScreen, Canvas::size(), animated);
}

ModalHost* Screen::containingModal() const
{
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* host = qobject_cast<ModalHost*>(w))
            return host;
    }
    return nullptr;
}

void Screen::dismissModal(bool animated, std::function<void()> completion)
{
    ModalHost* host = ModalHost::presentedBy(this);
    if (!host)
        host = containingModal();
    if (!host) {
        if (completion)
            completion();
        return;
    }
    host->dismiss(animated, std::move(completion));
}

Screen* Screen::presentedScreen() const
{
    ModalHost* host = ModalHost::presentedBy(this);
    return host ? host->content() : nullptr;
}

Screen* Screen::presentingScreen() const
{
    ModalHost* host = containingModal();
    return host ? host->presenter() : nullptr;
}

}
