#pragma once

#include <QDateTime>

class PavRefreshTableHeaderView;

// The owner of a pull-to-refresh header.
class PavRefreshTableHeaderDelegate {
public:
    virtual ~PavRefreshTableHeaderDelegate() = default;
    virtual void pavRefreshTableHeaderDidTriggerRefresh(PavRefreshTableHeaderView* view) = 0;
    virtual bool pavRefreshTableHeaderDataSourceIsLoading(PavRefreshTableHeaderView* view) = 0;
    virtual QDateTime pavRefreshTableHeaderDataSourceLastUpdated(PavRefreshTableHeaderView* view)
    {
        Q_UNUSED(view);
        return {};
    }
};
