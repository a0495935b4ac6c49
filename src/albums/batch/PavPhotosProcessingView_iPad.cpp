#include "albums/batch/PavPhotosProcessingView_iPad.h"

#include "platform/core/Localization.h"
#include "platform/core/MainThread.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/KeyboardHold.h"

#include <QEvent>
#include <QHideEvent>
#include <QLabel>

#include <cmath>

namespace {
constexpr int kBoxWidth = int(ProcessingProgress::kBoxWidth);
constexpr int kFillX = 37;
constexpr int kFillY = 5;
constexpr int kFillHeight = 21;

QFont systemFont(int pixels)
{
    QFont font;
    font.setPixelSize(pixels);
    return font;
}
}

PavPhotosProcessingView_iPad::PavPhotosProcessingView_iPad(const QRect& frame, unsigned totalCount,
                                                           const QString& title,
                                                           PavPhotosProcessingViewDelegate* delegate, QWidget* parent)
    : QWidget(parent), m_state(totalCount), m_delegate(delegate)
{
    setGeometry(frame);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus);
    m_keyboard = std::make_unique<ui::KeyboardHold>(this);

    auto* boxImage = new ui::ImageView("PavAlbum_Processing_bg_iPad.png", this);
    m_box = boxImage;
    m_box->resize(kBoxWidth, int(ProcessingProgress::kBoxHeight));

    m_titleLabel = addLine(48, title);
    addLine(95, L("（请不要退出Olvo）"));
    m_progressLabel = addLine(145, QString());

    auto* bar = new ui::ImageView("PavAlbum_ProcessingProgress_Total_iPad.png", m_box);
    bar->setGeometry(0, 181, kBoxWidth, 30);
    m_progressView = new ui::ImageView("PavAlbum_ProcessingProgress_Current_iPad.png", bar);
    m_progressView->setGeometry(kFillX, kFillY, 0, kFillHeight);

    m_cancelButton = new ui::ImageButton(m_box);
    m_cancelButton->setGeometry(0, 223, kBoxWidth, 60);
    m_cancelButton->setBackgroundImageNamed("PavAlbum_ProcessingCancelButton_iPad.png", ui::ImageButton::Normal);
    m_cancelButton->setBackgroundImageNamed("PavAlbum_ProcessingCancelButton_highlighted_iPad.png",
                                            ui::ImageButton::Highlighted);
    m_cancelButton->setTitle(L("取消"));
    m_cancelButton->setTitleFont(systemFont(24));
    m_cancelButton->setTitleColor(QColor::fromRgbF(0.2f, 0.2f, 0.2f));
    m_cancelButton->setTitleColor(QColor::fromRgbF(0.2f, 0.2f, 0.2f, 0.7f), ui::ImageButton::Disabled);
    connect(m_cancelButton, &QAbstractButton::clicked, this, [this] { cancelButtonClicked(); });

    resizeEvent(nullptr);
}

PavPhotosProcessingView_iPad::~PavPhotosProcessingView_iPad()
{
    m_keyboard->stop();
}

void PavPhotosProcessingView_iPad::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_keyboard->start();
}

void PavPhotosProcessingView_iPad::hideEvent(QHideEvent* event)
{
    // A minimised window keeps its panel, and the panel its hold.
    if (!event->spontaneous())
        m_keyboard->stop();
    QWidget::hideEvent(event);
}

QLabel* PavPhotosProcessingView_iPad::addLine(int y, const QString& text)
{
    auto* label = new QLabel(text, m_box);
    label->setGeometry(0, y, kBoxWidth, 24);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(systemFont(24));
    label->setStyleSheet("background: transparent; color: white;");
    return label;
}

void PavPhotosProcessingView_iPad::resizeEvent(QResizeEvent*)
{
    m_box->setGeometry(ProcessingProgress::boxRect(QSizeF(size())).toRect());
}

bool PavPhotosProcessingView_iPad::movedToMainThread(std::function<void(PavPhotosProcessingView_iPad*)> update)
{
    if (MainThread::isMainThread())
        return false;
    QPointer<PavPhotosProcessingView_iPad> self(this);
    MainThread::post([self, update = std::move(update)] {
        if (self)
            update(self.data());
    });
    return true;
}

void PavPhotosProcessingView_iPad::setCompletedCount(unsigned completed)
{
    if (movedToMainThread([completed](auto* view) { view->setCompletedCount(completed); }))
        return;
    m_state.setCompletedCount(completed);
    setProgress(m_state.progress());
    setProgressMessage(m_state.counterText());
}

void PavPhotosProcessingView_iPad::setProgress(float progress)
{
    if (movedToMainThread([progress](auto* view) { view->setProgress(progress); }))
        return;
    m_state.setProgress(progress);
    m_progressView->resize(int(std::lround(m_state.fillWidth())), kFillHeight);
}

void PavPhotosProcessingView_iPad::setProgressMessage(const QString& message)
{
    if (movedToMainThread([message](auto* view) { view->setProgressMessage(message); }))
        return;
    m_progressLabel->setText(message);
}

void PavPhotosProcessingView_iPad::cancelButtonClicked()
{
    if (!m_state.cancel())
        return;
    m_cancelButton->setEnabled(false);
    if (auto* d = m_delegate.get())
        d->photosProcessingViewCancelButtonClicked(this);
}

void PavPhotosProcessingView_iPad::disableCancel()
{
    m_state.cancel();
    m_cancelButton->setEnabled(false);
}

bool PavPhotosProcessingView_iPad::event(QEvent* event)
{
    // Nothing beneath the panel can be touched or typed into while it is up.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        QWidget::event(event);
        event->accept();
        return true;
    default:
        return QWidget::event(event);
    }
}
