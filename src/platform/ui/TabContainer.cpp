#include "platform/ui/TabContainer.h"

namespace ui {

TabContainer::TabContainer(QWidget* parent) : Screen(parent) {}

void TabContainer::setScreens(const QList<Screen*>& screens)
{
    for (Screen* old : this->screens()) {
        if (!screens.contains(old)) {
            removeChildScreen(old);
            old->deleteLater();
        }
    }
    m_screens.clear();
    for (Screen* s : screens) {
        s->setParent(this);
        s->setGeometry(rect());
        s->hide();
        addChildScreen(s);
        m_screens.append(s);
    }
    m_selected = -1;
    if (!m_screens.isEmpty()) {
        m_selected = 0;
        screens.first()->show();
        if (appearance() == Appearance::Appeared) {
            screens.first()->beginAppearanceTransition(true, false);
            screens.first()->endAppearanceTransition();
        }
    }
}

QList<Screen*> TabContainer::screens() const
{
    QList<Screen*> out;
    for (const auto& s : m_screens)
        out.append(s.data());
    return out;
}

Screen* TabContainer::screenAt(int index) const
{
    if (index < 0 || index >= m_screens.size())
        return nullptr;
    return m_screens[index].data();
}

bool TabContainer::setSelectedIndex(int index, bool animated)
{
    Screen* to = screenAt(index);
    if (!to)
        return false;
    if (index == m_selected)
        return true;
    Screen* from = selectedScreen();
    m_selected = index;
    to->setGeometry(rect());
    to->show();
    to->raise();
    if (from)
        from->hide();
    if (appearance() == Appearance::Appeared) {
        to->loadViewIfNeeded();
        if (from)
            from->beginAppearanceTransition(false, animated);
        to->beginAppearanceTransition(true, animated);
        if (from)
            from->endAppearanceTransition();
        to->endAppearanceTransition();
    }
    emit selectedIndexChanged(index);
    return true;
}

QList<Screen*> TabContainer::screensToForward() const
{
    Screen* s = selectedScreen();
    return s ? QList<Screen*>{s} : QList<Screen*>{};
}

void TabContainer::resizeEvent(QResizeEvent* event)
{
    Screen::resizeEvent(event);
    for (Screen* s : screens()) {
        if (s)
            s->setGeometry(rect());
    }
}

}
