#include "platform/ui/Canvas.h"

#include "platform/ui/ModalHost.h"
#include "platform/ui/Screen.h"

#include <QList>

namespace ui {

namespace {
QList<QPointer<Canvas>>& canvases()
{
    static QList<QPointer<Canvas>> list;
    return list;
}
}

Canvas::Canvas(QWidget* parent) : QWidget(parent)
{
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_StyledBackground, true);
    setStyleSheet(QStringLiteral("ui--Canvas { background: black; }"));
    canvases().append(this);
}

Canvas::~Canvas()
{
    canvases().removeAll(this);
}

Canvas* Canvas::current()
{
    auto& list = canvases();
    list.removeAll(nullptr);
    return list.isEmpty() ? nullptr : list.last().data();
}

void Canvas::setRootScreen(Screen* root)
{
    if (m_root == root)
        return;
    if (m_root) {
        if (m_shown) {
            m_root->beginAppearanceTransition(false, false);
            m_root->endAppearanceTransition();
        }
        m_root->deleteLater();
    }
    m_root = root;
    if (!root)
        return;
    root->setParent(this);
    root->setGeometry(rect());
    root->lower();
    root->show();
    if (m_shown) {
        root->beginAppearanceTransition(true, false);
        root->endAppearanceTransition();
    }
}

Screen* Canvas::coveredScreen() const
{
    const auto hosts = ModalHost::hostsOn(this);
    for (auto it = hosts.crbegin(); it != hosts.crend(); ++it) {
        if ((*it)->style() == ModalHost::Style::FullScreen && (*it)->content())
            return (*it)->content();
    }
    return m_root;
}

void Canvas::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    if (m_root) {
        m_root->beginAppearanceTransition(true, false);
        m_root->endAppearanceTransition();
    }
}

void Canvas::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_root)
        m_root->setGeometry(rect());
}

}
