#include "platform/ui/ModalHost.h"

#include "platform/ui/Animations.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/ChoiceDialog.h"
#include "platform/ui/KeyboardHold.h"
#include "platform/ui/Screen.h"

#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QPropertyAnimation>

namespace ui {

ModalHost::ModalHost(QWidget* canvas, Screen* presenter, Screen* content, Style style, QSize size)
    : QWidget(canvas), m_style(style), m_presenter(presenter), m_content(content)
{
    setGeometry(canvas->rect());
    m_panel = new QWidget(this);
    m_panel->setObjectName(QStringLiteral("modalPanel"));
    if (style == Style::Sheet) {
        m_panel->setGeometry(QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size));
    } else {
        m_panel->setGeometry(rect());
    }
    content->setParent(m_panel);
    content->setGeometry(m_panel->rect());
    content->show();
    m_panel->show();
    m_keyboard = std::make_unique<KeyboardHold>(this);
}

ModalHost::~ModalHost() = default;

QList<ModalHost*> ModalHost::hostsOn(const QWidget* canvas)
{
    QList<ModalHost*> out;
    if (!canvas)
        return out;
    for (QObject* child : canvas->children()) {
        auto* host = qobject_cast<ModalHost*>(child);
        if (host && !host->m_dismissing)
            out.append(host);
    }
    return out;
}

ModalHost* ModalHost::presentedBy(const Screen* presenter)
{
    if (!presenter)
        return nullptr;
    for (ModalHost* host : hostsOn(presenter->canvas())) {
        if (host->m_presenter == presenter)
            return host;
    }
    return nullptr;
}

ModalHost* ModalHost::present(Screen* presenter, Screen* content, Style style, QSize size, bool animated)
{
    Canvas* canvas = presenter ? presenter->canvas() : Canvas::current();
    if (!content)
        return nullptr;
    if (!canvas) {
        content->deleteLater();  // it was handed over to be shown
        return nullptr;
    }
    Screen* covered = style == Style::FullScreen ? canvas->coveredScreen() : nullptr;
    auto* host = new ModalHost(canvas, presenter, content, style, size);
    host->m_covered = covered;
    host->raise();
    host->show();
    // Alerts and action sheets stay above every presentation.
    for (ChoiceDialog* dialog : ChoiceDialog::showing()) {
        if (QWidget* overlay = dialog->parentWidget(); overlay && overlay->parentWidget() == canvas)
            overlay->raise();
    }
    host->m_keyboard->start();
    content->loadViewIfNeeded();
    if (covered)
        covered->beginAppearanceTransition(false, animated);
    content->beginAppearanceTransition(true, animated);
    QPointer<ModalHost> guard(host);
    auto finish = [guard] {
        if (!guard || guard->m_dismissing)
            return;
        if (guard->m_covered)
            guard->m_covered->endAppearanceTransition();
        if (guard->m_content) {
            guard->m_content->endAppearanceTransition();
            // Unless a modal above it has the keyboard.
            if (KeyboardHold::topFor(guard->window()) == guard->m_keyboard.get())
                guard->m_content->setFocus();
        }
    };
    if (animated && Animations::enabled())
        host->runFade(true, finish);
    else
        finish();
    return host;
}

QRect ModalHost::contentFrame() const
{
    return m_panel->geometry();
}

void ModalHost::setContentFrame(const QRect& frame)
{
    m_panel->setGeometry(frame);
    if (m_content)
        m_content->setGeometry(m_panel->rect());
}

void ModalHost::dismiss(bool animated, std::function<void()> completion)
{
    if (m_dismissing)
        return;
    // Presentations above this one close first, without animation.
    const auto hosts = hostsOn(parentWidget());
    for (int i = int(hosts.size()) - 1; i >= 0 && hosts[i] != this; --i)
        hosts[i]->dismiss(false);

    m_dismissing = true;
    m_completion = std::move(completion);
    if (m_style == Style::FullScreen) {
        auto* canvas = qobject_cast<Canvas*>(parentWidget());
        m_covered = canvas ? canvas->coveredScreen() : nullptr;
    }
    if (m_content)
        m_content->beginAppearanceTransition(false, animated);
    if (m_covered)
        m_covered->beginAppearanceTransition(true, animated);
    if (animated && Animations::enabled())
        runFade(false, [this] { finishDismiss(); });
    else
        finishDismiss();
}

void ModalHost::finishDismiss()
{
    if (m_content)
        m_content->endAppearanceTransition();
    if (m_covered)
        m_covered->endAppearanceTransition();
    m_keyboard->stop();
    hide();
    auto completion = std::move(m_completion);
    deleteLater();
    if (completion)
        completion();
}

void ModalHost::runFade(bool in, std::function<void()> done)
{
    auto* effect = new QGraphicsOpacityEffect(this);
    effect->setOpacity(in ? 0.0 : 1.0);
    setGraphicsEffect(effect);
    auto* anim = new QPropertyAnimation(effect, "opacity", this);
    anim->setDuration(kFadeMs);
    anim->setStartValue(in ? 0.0 : 1.0);
    anim->setEndValue(in ? 1.0 : 0.0);
    anim->setEasingCurve(QEasingCurve::InOutQuad);
    connect(anim, &QPropertyAnimation::finished, this, [this, in, done = std::move(done)] {
        if (in)
            setGraphicsEffect(nullptr);
        done();
    });
    anim->start(QAbstractAnimation::DeleteWhenStopped);
}

void ModalHost::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), m_style == Style::Sheet ? QColor(0, 0, 0, 100) : QColor(Qt::black));
}

void ModalHost::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_style == Style::FullScreen) {
        m_panel->setGeometry(rect());
        if (m_content)
            m_content->setGeometry(rect());
    }
}

}
