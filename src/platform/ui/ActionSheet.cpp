#include "platform/ui/ActionSheet.h"

#include "platform/ui/Canvas.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {

namespace {
constexpr int kWidth = 272;
const char* kBoxStyle =
    "#actionSheetBox { background: rgba(248,248,250,250); border-radius: 10px; border: 1px solid rgba(0,0,0,80); }"
    "QLabel { font-size: 14px; color: #555; }"
    "QPushButton { font-size: 19px; color: #1a62c8; background: transparent; border: none;"
    " border-top: 1px solid rgba(0,0,0,30); min-height: 46px; }"
    "QPushButton#destructive { color: #d22; }"
    "QPushButton:pressed { background: rgba(0,0,0,25); }";
}

ActionSheet::ActionSheet(const QString& title, ActionSheetDelegate* delegate, const QString& cancelButtonTitle,
                         const QString& destructiveButtonTitle, const QStringList& otherButtonTitles, QWidget* parent)
    : ChoiceDialog(title, QString(), parent), m_delegate(delegate)
{
    if (!destructiveButtonTitle.isEmpty())
        m_destructiveIndex = addButtonWithTitle(destructiveButtonTitle);
    for (const QString& t : otherButtonTitles)
        addButtonWithTitle(t);
    if (!cancelButtonTitle.isEmpty())
        setCancelButtonIndex(addButtonWithTitle(cancelButtonTitle));
}

void ActionSheet::showFromRect(const QRect& rect, QWidget* view)
{
    QWidget* canvas = view ? view->window() : Canvas::current();
    if (view && canvas)
        m_anchor = QRect(view->mapTo(canvas, rect.topLeft()), rect.size());
    showOnCanvas(canvas);
}

void ActionSheet::layoutBox(QWidget* overlay)
{
    setObjectName(QStringLiteral("actionSheetBox"));
    setAttribute(Qt::WA_StyledBackground, true);
    setStyleSheet(QString::fromLatin1(kBoxStyle));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, title().isEmpty() ? 0 : 10, 0, 0);
    layout->setSpacing(0);
    if (!title().isEmpty()) {
        auto* label = new QLabel(title(), this);
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        layout->addWidget(label);
        layout->addSpacing(8);
    }
    for (int i = 0; i < numberOfButtons(); ++i) {
        QPushButton* b = makeButton(i, this);
        if (i == m_destructiveIndex)
            b->setObjectName(QStringLiteral("destructive"));
        layout->addWidget(b);
    }
    setFixedWidth(kWidth);
    adjustSize();
    // Below the anchor when there is room, else above it; kept on the canvas.
    QPoint pos(m_anchor.center().x() - width() / 2, m_anchor.bottom() + 8);
    if (pos.y() + height() > overlay->height())
        pos.setY(m_anchor.top() - 8 - height());
    pos.setX(std::clamp(pos.x(), 4, std::max(4, overlay->width() - width() - 4)));
    pos.setY(std::clamp(pos.y(), 4, std::max(4, overlay->height() - height() - 4)));
    move(pos);
}

void ActionSheet::tappedOutside()
{
    clickButtonAtIndex(cancelButtonIndex());
}

void ActionSheet::notifyClicked(int index)
{
    if (auto* d = m_delegate.get())
        d->actionSheetClickedButtonAtIndex(this, index);
}

void ActionSheet::notifyDismissed(int index)
{
    if (auto* d = m_delegate.get())
        d->actionSheetDidDismissWithButtonIndex(this, index);
}

}
