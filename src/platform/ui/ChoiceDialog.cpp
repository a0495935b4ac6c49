#include "platform/ui/ChoiceDialog.h"

#include "platform/ui/Canvas.h"
#include "platform/ui/KeyboardHold.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPushButton>

namespace ui {

namespace {
QList<QPointer<ChoiceDialog>>& registry()
{
    static QList<QPointer<ChoiceDialog>> list;
    return list;
}
}

ChoiceDialog::ChoiceDialog(const QString& title, const QString& message, QWidget* parent)
    : QWidget(parent), m_title(title), m_message(message)
{
}

ChoiceDialog::~ChoiceDialog()
{
    registry().removeAll(this);
    if (m_overlay)
        m_overlay->deleteLater();
}

int ChoiceDialog::addButtonWithTitle(const QString& title)
{
    m_buttons.append(title);
    return int(m_buttons.size()) - 1;
}

int ChoiceDialog::firstOtherButtonIndex() const
{
    for (int i = 0; i < m_buttons.size(); ++i) {
        if (i != m_cancelIndex)
            return i;
    }
    return -1;
}

void ChoiceDialog::clearHandlers()
{
    m_onClicked = nullptr;
    m_onDismissed = nullptr;
}

QList<ChoiceDialog*> ChoiceDialog::showing()
{
    QList<ChoiceDialog*> out;
    for (const auto& d : registry()) {
        if (d && d->m_showing)
            out.append(d.data());
    }
    return out;
}

ChoiceDialog* ChoiceDialog::showingWithTag(int tag)
{
    for (ChoiceDialog* d : showing()) {
        if (d->tag() == tag)
            return d;
    }
    return nullptr;
}

ChoiceDialog* ChoiceDialog::topShowing()
{
    const auto list = showing();
    return list.isEmpty() ? nullptr : list.last();
}

void ChoiceDialog::showOnCanvas(QWidget* canvas)
{
    if (m_showing || m_dismissed)
        return;
    if (!canvas)
        canvas = Canvas::current();
    auto* overlay = new QWidget(canvas);
    overlay->setObjectName(QStringLiteral("dialogOverlay"));
    m_overlay = overlay;
    if (canvas)
        overlay->setGeometry(canvas->rect());
    else
        overlay->resize(Canvas::size());
    overlay->installEventFilter(this);
    setParent(overlay);
    m_buttonWidgets.clear();
    layoutBox(overlay);
    m_showing = true;
    registry().append(this);
    overlay->show();
    overlay->raise();
    show();
    raise();
    m_keyboard = std::make_unique<KeyboardHold>(overlay);
    m_keyboard->setEscapeHandler([this] { escapePressed(); });
    m_keyboard->start();
}

QPushButton* ChoiceDialog::makeButton(int index, QWidget* parent)
{
    auto* button = new QPushButton(m_buttons.value(index), parent);
    button->setObjectName(QStringLiteral("dialogButton%1").arg(index));
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QPushButton::clicked, this, [this, index] { clickButtonAtIndex(index); });
    m_buttonWidgets.append(button);
    return button;
}

void ChoiceDialog::clickButtonAtIndex(int index)
{
    if (!m_showing)
        return;
    QPointer<ChoiceDialog> guard(this);
    emit buttonClicked(index);
    if (m_onClicked)
        m_onClicked(index);
    if (guard)
        notifyClicked(index);
    if (guard)
        dismissWithClickedButtonIndex(index, true);
}

void ChoiceDialog::dismissWithClickedButtonIndex(int index, bool animated)
{
    Q_UNUSED(animated);
    if (!m_showing && !isWaiting())
        return;
    m_showing = false;
    m_dismissed = true;
    willDismiss();
    if (m_keyboard)
        m_keyboard->stop();
    if (m_overlay) {
        m_overlay->hide();
        didHide(m_overlay);
    }
    registry().removeAll(this);
    auto handler = m_onDismissed;
    QPointer<ChoiceDialog> guard(this);
    emit dismissed(index);
    if (handler)
        handler(index);
    if (guard)
        notifyDismissed(index);
    if (guard)
        deleteLater();
}

bool ChoiceDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_overlay && event->type() == QEvent::MouseButtonRelease) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (!geometry().contains(me->position().toPoint()))
            tappedOutside();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}
