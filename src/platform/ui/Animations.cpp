#include "platform/ui/Animations.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPropertyAnimation>
#include <QWidget>

#include <atomic>

namespace ui {

namespace {
std::atomic<bool> g_enabled{true};
const char* kGeometryAnimation = "pavGeometryAnimation";
}

void Animations::setEnabled(bool enabled) { g_enabled = enabled; }
bool Animations::enabled() { return g_enabled; }

void Animations::fade(QWidget* widget, int ms, QEasingCurve curve)
{
    if (!widget || !enabled() || ms <= 0 || widget->size().isEmpty())
        return;
    auto* snapshot = new QLabel(widget);
    snapshot->setObjectName(QStringLiteral("fadeSnapshot"));
    snapshot->setPixmap(widget->grab());
    snapshot->setGeometry(widget->rect());
    snapshot->setAttribute(Qt::WA_TransparentForMouseEvents);
    snapshot->show();
    snapshot->raise();
    auto* effect = new QGraphicsOpacityEffect(snapshot);
    effect->setOpacity(1.0);
    snapshot->setGraphicsEffect(effect);
    auto* anim = new QPropertyAnimation(effect, "opacity", snapshot);
    anim->setDuration(ms);
    anim->setStartValue(1.0);
    anim->setEndValue(0.0);
    anim->setEasingCurve(curve);
    QObject::connect(anim, &QPropertyAnimation::finished, snapshot, &QObject::deleteLater);
    anim->start(QAbstractAnimation::DeleteWhenStopped);
}

void Animations::animateGeometry(QWidget* widget, const QRect& target, int ms, QEasingCurve curve,
                                 std::function<void()> done)
{
    if (!widget)
        return;
    if (auto* running = widget->findChild<QPropertyAnimation*>(QString::fromLatin1(kGeometryAnimation),
                                                              Qt::FindDirectChildrenOnly)) {
        running->setObjectName(QString());
        running->stop();
    }
    if (!enabled() || ms <= 0) {
        widget->setGeometry(target);
        if (done)
            done();
        return;
    }
    auto* anim = new QPropertyAnimation(widget, "geometry", widget);
    anim->setObjectName(QString::fromLatin1(kGeometryAnimation));
    anim->setDuration(ms);
    anim->setEndValue(target);
    anim->setEasingCurve(curve);
    if (done)
        QObject::connect(anim, &QPropertyAnimation::finished, widget, std::move(done));
    anim->start(QAbstractAnimation::DeleteWhenStopped);
}

}
