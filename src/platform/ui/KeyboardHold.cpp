#include "platform/ui/KeyboardHold.h"

#include <QApplication>
#include <QKeyEvent>

namespace ui {

namespace {
QList<KeyboardHold*>& activeHolds()
{
    static QList<KeyboardHold*> list;
    return list;
}

// Whether `a` is drawn above `b` (two widgets of one window).
bool isAbove(const QWidget* a, const QWidget* b)
{
    QList<const QWidget*> ca;
    QList<const QWidget*> cb;
    for (const QWidget* w = a; w; w = w->parentWidget())
        ca.prepend(w);
    for (const QWidget* w = b; w; w = w->parentWidget())
        cb.prepend(w);
    qsizetype i = 0;
    while (i < ca.size() && i < cb.size() && ca[i] == cb[i])
        ++i;
    if (i == 0 || i == ca.size())
        return false;  // other windows, the same widget, or a holds b
    if (i == cb.size())
        return true;  // b holds a
    // Siblings stack in the order of their parent's children, the last on top.
    const QObjectList& siblings = ca[i - 1]->children();
    return siblings.indexOf(const_cast<QWidget*>(ca[i])) > siblings.indexOf(const_cast<QWidget*>(cb[i]));
}
}

KeyboardHold::KeyboardHold(QWidget* holder) : m_holder(holder) {}

KeyboardHold::~KeyboardHold()
{
    unregister();
}

KeyboardHold* KeyboardHold::topFor(const QWidget* window)
{
    KeyboardHold* top = nullptr;
    for (KeyboardHold* hold : activeHolds()) {
        if (!hold->m_holder || hold->m_holder->window() != window)
            continue;
        if (!top || isAbove(hold->m_holder, top->m_holder))
            top = hold;
    }
    return top;
}

bool KeyboardHold::holds(const QWidget* widget) const
{
    return m_holder && widget && (widget == m_holder || m_holder->isAncestorOf(widget));
}

void KeyboardHold::start(bool takeFocus)
{
    if (m_holding || !m_holder)
        return;
    m_holding = true;
    activeHolds().append(this);
    qApp->installEventFilter(this);
    QWidget* focus = QApplication::focusWidget();
    if (holds(focus))
        return;
    m_focusBefore = focus;
    if (takeFocus && topFor(m_holder->window()) == this)
        m_holder->setFocus(Qt::OtherFocusReason);
}

void KeyboardHold::stop()
{
    if (!m_holding)
        return;
    unregister();
    QWidget* focus = QApplication::focusWidget();
    const bool focusHere = holds(focus) || (!focus && m_holder && m_holder->isActiveWindow());
    QPointer<QWidget> before = m_focusBefore;
    m_focusBefore = nullptr;
    if (!focusHere || !m_holder)
        return;
    // The focus goes back where it was, unless another modal is on top now.
    KeyboardHold* top = topFor(m_holder->window());
    QWidget* next = before && before->isVisible() ? before.data() : nullptr;
    if (top && (!next || !top->holds(next)))
        next = top->m_holder;
    if (next)
        next->setFocus(Qt::OtherFocusReason);
    else if (focus)
        focus->clearFocus();
}

void KeyboardHold::unregister()
{
    if (!m_holding)
        return;
    m_holding = false;
    activeHolds().removeAll(this);
    if (qApp)
        qApp->removeEventFilter(this);
}

void KeyboardHold::moveFocusWithin(bool forward)
{
    // The holder's widgets that take the focus by Tab, in the window's focus order.
    QList<QWidget*> order;
    QWidget* w = m_holder;
    do {
        if (w != m_holder && holds(w) && (w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled())
            order.append(w);
        w = w->nextInFocusChain();
    } while (w && w != m_holder);
    if (order.isEmpty())
        return;
    const qsizetype at = order.indexOf(QApplication::focusWidget());
    qsizetype next = 0;
    if (at >= 0)
        next = (at + (forward ? 1 : order.size() - 1)) % order.size();
    else if (!forward)
        next = order.size() - 1;
    order[next]->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

bool KeyboardHold::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
        break;
    default:
        return false;
    }
    auto* target = qobject_cast<QWidget*>(watched);
    if (!target || !m_holder || target->window() != m_holder->window() || topFor(target->window()) != this)
        return false;
    if (event->type() == QEvent::ShortcutOverride) {
        // Accepted, an override keeps the key from firing a shortcut of the
        // window (the modal's widgets included); it comes as a plain key.
        event->accept();
        return true;
    }
    const bool inside = holds(target);
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (inside && (key == Qt::Key_Tab || key == Qt::Key_Backtab)) {
            moveFocusWithin(key == Qt::Key_Tab && !(static_cast<QKeyEvent*>(event)->modifiers() & Qt::ShiftModifier));
            event->accept();
            return true;
        }
        // A key that no widget of the holder took travels up to its
        // ancestors, outside it: Escape ends there.
        if (!inside && key == Qt::Key_Escape && m_onEscape) {
            event->accept();
            auto handler = m_onEscape;
            handler();
            return true;
        }
    }
    if (inside)
        return false;
    event->accept();
    return true;
}

}
