#include "platform/ui/NavigationStack.h"

#include "platform/ui/NavigationBar.h"

namespace ui {

NavigationStack::NavigationStack(Screen* root, QWidget* parent) : Screen(parent)
{
    m_bar = new NavigationBar(this);
    connect(m_bar, &NavigationBar::backRequested, this, [this] { pop(true); });
    if (root) {
        adopt(root);
        m_screens.append(root);
        root->show();
    }
    refreshBar();
}

QList<Screen*> NavigationStack::screens() const
{
    QList<Screen*> out;
    for (const auto& s : m_screens) {
        if (s)
            out.append(s.data());
    }
    return out;
}

Screen* NavigationStack::topScreen() const
{
    const auto list = screens();
    return list.isEmpty() ? nullptr : list.last();
}

Screen* NavigationStack::rootScreen() const
{
    const auto list = screens();
    return list.isEmpty() ? nullptr : list.first();
}

QList<Screen*> NavigationStack::screensToForward() const
{
    Screen* top = topScreen();
    return top ? QList<Screen*>{top} : QList<Screen*>{};
}

QRect NavigationStack::contentRect() const
{
    if (m_barHidden)
        return rect();
    return QRect(0, NavigationBar::kHeight, width(), std::max(0, height() - NavigationBar::kHeight));
}

void NavigationStack::adopt(Screen* screen)
{
    screen->setParent(this);
    screen->setGeometry(contentRect());
    addChildScreen(screen);
    connect(screen, &Screen::navigationItemChanged, this, [this, screen] {
        if (screen == topScreen())
            refreshBar();
    });
}

void NavigationStack::discard(Screen* screen)
{
    removeChildScreen(screen);
    disconnect(screen, nullptr, this, nullptr);
    screen->hide();
    screen->deleteLater();
}

void NavigationStack::showTop(Screen* from, bool animated)
{
    Screen* to = topScreen();
    if (to) {
        to->setGeometry(contentRect());
        to->show();
        to->raise();
    }
    if (from && from != to)
        from->hide();
    refreshBar();
    if (from != to) {
        const Appearance state = appearance();
        if (state == Appearance::Appeared || state == Appearance::Appearing) {
            if (to)
                to->loadViewIfNeeded();
            if (from)
                from->beginAppearanceTransition(false, animated);
            if (to)
                to->beginAppearanceTransition(true, animated);
            if (from)
                from->endAppearanceTransition();
            // While the stack itself is appearing, the new top ends with it.
            if (to && state == Appearance::Appeared)
                to->endAppearanceTransition();
        }
    }
    emit topScreenChanged(to);
}

void NavigationStack::push(Screen* screen, bool animated)
{
    if (!screen || m_screens.contains(screen))
        return;
    Screen* from = topScreen();
    adopt(screen);
    m_screens.append(screen);
    showTop(from, animated);
}

Screen* NavigationStack::pop(bool animated)
{
    if (count() <= 1)
        return nullptr;
    Screen* from = topScreen();
    m_screens.removeLast();
    showTop(from, animated);
    discard(from);
    return from;
}

void NavigationStack::popToRoot(bool animated)
{
    popToScreen(rootScreen(), animated);
}

Screen* NavigationStack::screenBelow(Screen* screen) const
{
    const QList<Screen*> list = screens();
    const qsizetype at = list.indexOf(screen);
    return at > 0 ? list[at - 1] : nullptr;
}

void NavigationStack::popToScreen(Screen* screen, bool animated)
{
    if (!screen || !screens().contains(screen) || topScreen() == screen)
        return;
    Screen* from = topScreen();
    QList<Screen*> removed;
    while (topScreen() != screen)
        removed.append(m_screens.takeLast().data());
    showTop(from, animated);
    for (Screen* s : removed) {
        if (s)
            discard(s);
    }
}

void NavigationStack::replaceTop(Screen* screen, bool animated)
{
    if (!screen || m_screens.contains(screen))
        return;
    Screen* from = topScreen();
    if (!m_screens.isEmpty())
        m_screens.removeLast();
    adopt(screen);
    m_screens.append(screen);
    showTop(from, animated);
    if (from)
        discard(from);
}

void NavigationStack::setBarHidden(bool hidden)
{
    m_barHidden = hidden;
    m_bar->setVisible(!hidden);
    for (Screen* s : screens())
        s->setGeometry(contentRect());
}

void NavigationStack::refreshBar()
{
    m_bar->showItemsOf(topScreen(), count() > 1);
}

void NavigationStack::resizeEvent(QResizeEvent* event)
{
    Screen::resizeEvent(event);
    m_bar->setGeometry(0, 0, width(), NavigationBar::kHeight);
    for (Screen* s : screens())
        s->setGeometry(contentRect());
}

}
