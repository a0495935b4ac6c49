#include "Public/PavRefreshTableHeaderView.h"

#include "platform/core/Localization.h"
#include "platform/ui/ActivityIndicator.h"

#include <QLabel>

PavRefreshTableHeaderView::PavRefreshTableHeaderView(QWidget* parent) : QWidget(parent)
{
    m_status = new QLabel(this);
    m_lastUpdated = new QLabel(this);
    for (QLabel* l : {m_status, m_lastUpdated}) {
        l->setAlignment(Qt::AlignCenter);
        l->setStyleSheet(QStringLiteral("color: rgb(150,156,166); background: transparent;"));
    }
    m_status->setStyleSheet(m_status->styleSheet() + QStringLiteral("font-size: 14px; font-weight: bold;"));
    m_lastUpdated->setStyleSheet(m_lastUpdated->styleSheet() + QStringLiteral("font-size: 12px;"));
    m_indicator = new ui::ActivityIndicator(this, QColor(150, 156, 166));
    setState(State::Normal);
}

PavRefreshTableHeaderView::PavRefreshTableHeaderView(const QRect& frame, QWidget* parent)
    : PavRefreshTableHeaderView(parent)
{
    setGeometry(frame);
}

QString PavRefreshTableHeaderView::statusText() const { return m_status->text(); }
QString PavRefreshTableHeaderView::lastUpdatedText() const { return m_lastUpdated->text(); }

bool PavRefreshTableHeaderView::delegateIsLoading()
{
    auto* d = m_delegate.get();
    return d && d->pavRefreshTableHeaderDataSourceIsLoading(this);
}

void PavRefreshTableHeaderView::refreshLastUpdatedDate()
{
    auto* d = m_delegate.get();
    const QDateTime date = d ? d->pavRefreshTableHeaderDataSourceLastUpdated(this) : QDateTime();
    m_lastUpdated->setText(date.isValid()
                               ? L("最后更新: %1").arg(date.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")))
                               : QString());
}

void PavRefreshTableHeaderView::setState(State state)
{
    m_state = state;
    switch (state) {
    case State::Normal:
        m_status->setText(L("下拉可以刷新"));
        m_indicator->stopAnimating();
        m_indicator->hide();
        refreshLastUpdatedDate();
        break;
    case State::Pulling:
        m_status->setText(L("松开即可刷新"));
        break;
    case State::Loading:
        m_status->setText(L("加载中..."));
        m_indicator->show();
        m_indicator->startAnimating();
        break;
    }
}

void PavRefreshTableHeaderView::pavRefreshScrollViewDidScroll(PavRefreshScrollView& scrollView)
{
    const double y = scrollView.contentOffsetY();
    if (m_state == State::Loading) {
        scrollView.setContentInsetTop(std::min(std::max(-y, 0.0), kLoadingInset));
        return;
    }
    if (!scrollView.isDragging())
        return;
    const bool loading = delegateIsLoading();
    if (m_state == State::Pulling && y > -kTriggerPull && y < 0 && !loading)
        setState(State::Normal);
    else if (m_state == State::Normal && y <= -kTriggerPull && !loading)
        setState(State::Pulling);
    if (scrollView.contentInsetTop() != 0)
        scrollView.setContentInsetTop(0);
}

void PavRefreshTableHeaderView::pavRefreshScrollViewDidEndDragging(PavRefreshScrollView& scrollView)
{
    if (m_state == State::Loading || scrollView.contentOffsetY() > -kTriggerPull || delegateIsLoading())
        return;
    setState(State::Loading);
    scrollView.setContentInsetTop(kLoadingInset);
    if (auto* d = m_delegate.get())
        d->pavRefreshTableHeaderDidTriggerRefresh(this);
}

void PavRefreshTableHeaderView::pavRefreshScrollViewDataSourceDidFinishedLoading(PavRefreshScrollView& scrollView)
{
    scrollView.setContentInsetTop(0);
    setState(State::Normal);
}

void PavRefreshTableHeaderView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int bottom = height();
    m_status->setGeometry(0, bottom - 48, width(), 20);
    m_lastUpdated->setGeometry(0, bottom - 30, width(), 20);
    m_indicator->setGeometry(width() / 2 - 120, bottom - 42, 24, 24);
}
