#include "platform/ui/Alert.h"

#include "platform/ui/KeyboardHold.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace ui {

namespace {
constexpr int kWidth = 320;
const char* kBoxStyle =
    "#alertBox { background: rgba(242,244,248,245); border-radius: 12px; border: 1px solid rgba(0,0,0,60); }"
    "QLabel#alertTitle { font-size: 19px; font-weight: bold; color: #111; }"
    "QLabel#alertMessage { font-size: 16px; color: #222; }"
    "QPushButton { font-size: 18px; color: #1a62c8; background: transparent; border: none;"
    " border-top: 1px solid rgba(0,0,0,40); min-height: 44px; }"
    "QPushButton:pressed { background: rgba(0,0,0,25); }";

struct WaitingAlert {
    QPointer<Alert> alert;
    QPointer<QWidget> canvas;
};

QPointer<Alert>& alertOnScreen()
{
    static QPointer<Alert> alert;
    return alert;
}

QList<WaitingAlert>& waitingAlerts()
{
    static QList<WaitingAlert> list;
    return list;
}

// From the moment an alert goes until the next waiting one is up, the
// overlay of the one that went stays (without its box) and holds the
// keyboard, so no key or tap reaches the screen behind in between.
struct Gap {
    std::unique_ptr<KeyboardHold> hold;
    QPointer<QWidget> overlay;
};

Gap& gapBetweenAlerts()
{
    static Gap gap;
    return gap;
}

void closeGap()
{
    Gap& gap = gapBetweenAlerts();
    if (gap.overlay)
        gap.overlay->hide();
    gap.overlay = nullptr;
    gap.hold.reset();  // without moving the focus
}
}

Alert::Alert(const QString& title, const QString& message, AlertDelegate* delegate, const QString& cancelButtonTitle,
             const QStringList& otherButtonTitles, QWidget* parent)
    : ChoiceDialog(title, message, parent), m_delegate(delegate)
{
    if (!cancelButtonTitle.isEmpty())
        setCancelButtonIndex(addButtonWithTitle(cancelButtonTitle));
    for (const QString& t : otherButtonTitles)
        addButtonWithTitle(t);
}

Alert::~Alert()
{
    leaveQueue();
}

void Alert::show(QWidget* canvas)
{
    if (isShowing() || m_waiting)
        return;
    if (alertOnScreen() || !waitingAlerts().isEmpty()) {
        m_waiting = true;
        waitingAlerts().append({this, canvas});
        return;
    }
    alertOnScreen() = this;
    showOnCanvas(canvas);
}

void Alert::willDismiss()
{
    leaveQueue();
}

void Alert::didHide(QWidget* overlay)
{
    if (alertOnScreen() || waitingAlerts().isEmpty())
        return;
    closeGap();
    hide();
    overlay->show();
    // The focus stays where this alert gave it back; the next alert takes
    // it from there.
    Gap& gap = gapBetweenAlerts();
    gap.overlay = overlay;
    gap.hold = std::make_unique<KeyboardHold>(overlay);
    gap.hold->start(false);
}

void Alert::leaveQueue()
{
    if (m_waiting) {
        m_waiting = false;
        waitingAlerts().removeIf([this](const WaitingAlert& w) { return w.alert == this; });
    }
    if (alertOnScreen() == this) {
        alertOnScreen() = nullptr;
        scheduleNext();
    }
}

void Alert::scheduleNext()
{
    if (waitingAlerts().isEmpty() || !QCoreApplication::instance())
        return;
    QTimer::singleShot(0, QCoreApplication::instance(), &Alert::showNext);
}

void Alert::showNext()
{
    while (!alertOnScreen() && !waitingAlerts().isEmpty()) {
        const WaitingAlert next = waitingAlerts().takeFirst();
        if (!next.alert)
            continue;
        next.alert->m_waiting = false;
        alertOnScreen() = next.alert;
        next.alert->showOnCanvas(next.canvas);
    }
    closeGap();
}

Alert* Alert::showingAlertWithTag(int tag)
{
    for (ChoiceDialog* d : showing()) {
        auto* a = qobject_cast<Alert*>(d);
        if (a && a->tag() == tag)
            return a;
    }
    return nullptr;
}

void Alert::layoutBox(QWidget* overlay)
{
    overlay->setStyleSheet(QStringLiteral("#dialogOverlay { background: rgba(0,0,0,110); }"));
    overlay->setAttribute(Qt::WA_StyledBackground, true);
    setObjectName(QStringLiteral("alertBox"));
    setAttribute(Qt::WA_StyledBackground, true);
    setStyleSheet(QString::fromLatin1(kBoxStyle));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 16, 0, 0);
    layout->setSpacing(8);
    for (const auto& [name, text] : {std::pair{"alertTitle", title()}, std::pair{"alertMessage", message()}}) {
        if (text.isEmpty())
            continue;
        auto* label = new QLabel(text, this);
        label->setObjectName(QString::fromLatin1(name));
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignCenter);
        label->setContentsMargins(16, 0, 16, 0);
        layout->addWidget(label);
    }
    layout->addSpacing(8);
    // Two buttons stand side by side, any other number one under another.
    QBoxLayout* buttons = layout;
    if (numberOfButtons() == 2) {
        buttons = new QHBoxLayout();
        buttons->setSpacing(0);
        layout->addLayout(buttons);
    }
    for (int i = 0; i < numberOfButtons(); ++i)
        buttons->addWidget(makeButton(i, this));
    setFixedWidth(kWidth);
    adjustSize();
    move((overlay->width() - width()) / 2, (overlay->height() - height()) / 2);
}

void Alert::escapePressed()
{
    if (cancelButtonIndex() >= 0)
        clickButtonAtIndex(cancelButtonIndex());
}

void Alert::notifyClicked(int index)
{
    if (auto* d = m_delegate.get())
        d->alertViewClickedButtonAtIndex(this, index);
}

void Alert::notifyDismissed(int index)
{
    if (auto* d = m_delegate.get())
        d->alertViewDidDismissWithButtonIndex(this, index);
}

}
