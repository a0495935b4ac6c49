#include "albums/browser/PavPhotoBrowserController_iPad.h"

#include "albums/browser/PhotoPagerView.h"
#include "platform/core/Localization.h"
#include "platform/ui/Animations.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/ShadowLabel.h"
#include "platform/ui/TapGesture.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

namespace {
constexpr QEasingCurve::Type kFadeCurve = QEasingCurve::InOutQuad;

QWidget* plainView(QWidget* parent, const QRect& frame)
{
    auto* view = new QWidget(parent);
    view->setGeometry(frame);
    view->show();  // the screen may already be shown when its view loads
    return view;
}
}

PavPhotoBrowserController_iPad::PavPhotoBrowserController_iPad(QWidget* parent) : ui::Screen(parent)
{
    resize(ui::Canvas::size());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);
}

PavPhotoBrowserController_iPad::~PavPhotoBrowserController_iPad() = default;

void PavPhotoBrowserController_iPad::viewDidLoad()
{
    m_isFullScreen = false;
    m_expandHotZone = 25;
    const int w = ui::Canvas::kWidth;
    m_topView = plainView(this, QRect(0, 0, w, kBarHeight + m_expandHotZone));
    m_topView->setObjectName(QStringLiteral("topView"));
    m_topBar = plainView(m_topView, QRect(0, 0, w, kBarHeight));
    m_topBar->setObjectName(QStringLiteral("topBar"));
    QPalette pal = m_topBar->palette();
    pal.setColor(QPalette::Window, QColor(20, 26, 30, 204));
    m_topBar->setPalette(pal);
    m_topBar->setAutoFillBackground(true);
    m_bottomView = plainView(this, QRect(0, 632, w, 136));
    m_bottomView->setObjectName(QStringLiteral("bottomView"));
    m_contentView = plainView(this, QRect(0, 0, w, ui::Canvas::kHeight));
    m_contentView->setObjectName(QStringLiteral("contentView"));
    m_contentView->lower();
    m_singleTap = new ui::TapGesture(m_contentView, 1);
    connect(m_singleTap, &ui::TapGesture::recognized, this, [this] { singleClicked(); });
}

void PavPhotoBrowserController_iPad::setAreasHidden(bool hidden)
{
    if (m_topView)
        m_topView->setVisible(!hidden);
    if (m_bottomView)
        m_bottomView->setVisible(!hidden);
}

void PavPhotoBrowserController_iPad::singleClicked()
{
    m_isFullScreen = !m_isFullScreen;
    ui::Animations::fade(this, kFadeMs, kFadeCurve);
    setAreasHidden(m_isFullScreen);
}

void PavPhotoBrowserController_iPad::mousePressEvent(QMouseEvent* event)
{
    event->accept();  // so that the drag's moves come here
}

void PavPhotoBrowserController_iPad::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    if (m_isFullScreen)
        return;  // already hidden: nothing visible changes
    m_isFullScreen = true;
    ui::Animations::fade(this, kFadeMs, kFadeCurve);
    setAreasHidden(true);
}

void PavPhotoBrowserController_iPad::enterFullScreenOnSwipe(QWidget* strip)
{
    if (m_isFullScreen)
        return;
    m_isFullScreen = true;
    ui::Animations::fade(m_topBar, kFadeMs, kFadeCurve);
    ui::Animations::fade(strip, kFadeMs, kFadeCurve);
    setAreasHidden(true);
}

void PavPhotoBrowserController_iPad::backButtonClicked()
{
    dismissModal(true);
}

void PavPhotoBrowserController_iPad::presentFromRoot(PavPhotoBrowserController_iPad* browser)
{
    ui::Canvas* canvas = ui::Canvas::current();
    ui::Screen* root = canvas ? canvas->rootScreen() : nullptr;
    if (!root) {
        delete browser;
        return;
    }
    root->presentFullScreen(browser, true);
}

QString PavPhotoBrowserController_iPad::positionTitle(int position, int count)
{
    QString text = L("第%d张（共%d张）");
    for (int value : {position, count}) {
        const int at = text.indexOf(QStringLiteral("%d"));
        if (at >= 0)
            text.replace(at, 2, QString::number(value));
    }
    return text;
}

QLabel* PavPhotoBrowserController_iPad::addTitleLabel(const QRect& frame)
{
    auto* label = new ui::ShadowLabel(m_topBar);
    label->setObjectName(QStringLiteral("titleLabel"));
    label->setGeometry(frame);
    label->setAlignment(Qt::AlignCenter);
    label->setFontSize(18);
    label->setTextColor(Qt::white);
    label->setElideMode(Qt::ElideMiddle);
    label->lower();
    label->show();
    return label;
}

ui::ImageButton* PavPhotoBrowserController_iPad::addBackButton()
{
    const int side = kBarHeight + m_expandHotZone;
    auto* button = new ui::ImageButton(m_topView);
    button->setObjectName(QStringLiteral("backButton"));
    button->setGeometry(0, 0, side, side);
    button->setContentAlignment(Qt::AlignLeft | Qt::AlignTop);
    button->setImageNamed(QStringLiteral("PavAlbum_BackButton_iPad.png"));
    button->setShowsTouchWhenHighlighted(true);
    connect(button, &QAbstractButton::clicked, this, [this] { backButtonClicked(); });
    button->show();
    return button;
}

ui::ImageButton* PavPhotoBrowserController_iPad::addTopButton(const QRect& frame, const QString& imageName)
{
    auto* button = new ui::ImageButton(m_topView);
    button->setGeometry(frame);
    button->setContentAlignment(Qt::AlignRight | Qt::AlignTop);
    button->setImageNamed(imageName);
    button->setShowsTouchWhenHighlighted(true);
    button->show();
    return button;
}

void PavPhotoBrowserController_iPad::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
        if (m_pager)
            m_pager->scrollToLeft();
        break;
    case Qt::Key_Right:
        if (m_pager)
            m_pager->scrollToRight();
        break;
    case Qt::Key_Escape:
        backButtonClicked();
        break;
    default:
        ui::Screen::keyPressEvent(event);
        return;
    }
    event->accept();
}

ui::TapGesture* PavPhotoBrowserController_iPad::addDoubleTap(PhotoPagerView* pager)
{
    m_pager = pager;
    auto* doubleTap = new ui::TapGesture(pager, 2);
    connect(doubleTap, &ui::TapGesture::recognized, pager, [pager](QPoint pos) { pager->doubleClicked(pos); });
    m_singleTap->requireToFail(doubleTap);
    return doubleTap;
}
