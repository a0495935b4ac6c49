#pragma once

#include "Public/PavRefreshTableHeaderDelegate.h"
#include "platform/ui/PavRefreshScrollView.h"
#include "platform/core/DelegateRef.h"

#include <QWidget>

class QLabel;
namespace ui {
class ActivityIndicator;
}

// The pull-to-refresh header above a table's content. The owner forwards its
// scroll callbacks; a release at a pull of 65 points or more while the data
// source is not loading enters the loading state (the table keeps the header
// in view through its top inset) and asks the delegate to refresh; the owner
// reports the end of the load, which returns the inset to zero.
class PavRefreshTableHeaderView : public QWidget {
    Q_OBJECT
public:
    enum class State { Normal, Pulling, Loading };
    static constexpr double kTriggerPull = 65.0;
    static constexpr double kLoadingInset = 60.0;

    explicit PavRefreshTableHeaderView(QWidget* parent = nullptr);
    PavRefreshTableHeaderView(const QRect& frame, QWidget* parent);

    void setDelegate(PavRefreshTableHeaderDelegate* delegate) { m_delegate.reset(delegate); }
    State state() const { return m_state; }
    QString statusText() const;
    QString lastUpdatedText() const;

    void pavRefreshScrollViewDidScroll(PavRefreshScrollView& scrollView);
    void pavRefreshScrollViewDidEndDragging(PavRefreshScrollView& scrollView);
    void pavRefreshScrollViewDataSourceDidFinishedLoading(PavRefreshScrollView& scrollView);
    void refreshLastUpdatedDate();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void setState(State state);
    bool delegateIsLoading();

    DelegateRef<PavRefreshTableHeaderDelegate> m_delegate;
    State m_state = State::Normal;
    QLabel* m_status;
    QLabel* m_lastUpdated;
    ui::ActivityIndicator* m_indicator;
};
