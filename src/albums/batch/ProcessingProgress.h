#pragma once

#include <QRectF>
#include <QSizeF>
#include <QString>

// What the batch progress panel shows, without widgets: the counts, the
// fraction done (always within 0..1), the counter text and the one-way
// cancel state, plus the panel's fixed geometry.
class ProcessingProgress {
public:
    static constexpr double kBoxWidth = 420;
    static constexpr double kBoxHeight = 320;
    static constexpr double kFullFillWidth = 347;

    explicit ProcessingProgress(unsigned totalCount) : m_total(totalCount) {}

    unsigned totalCount() const { return m_total; }
    unsigned completedCount() const { return m_completed; }
    // Sets the count done; the fraction follows (0 for an empty batch).
    void setCompletedCount(unsigned completed);

    float progress() const { return m_progress; }
    // Clamped to 0..1; NaN counts as 0.
    void setProgress(float progress);
    double fillWidth() const { return kFullFillWidth * double(m_progress); }

    // "(done/total)".
    static QString counterText(unsigned completed, unsigned total);
    QString counterText() const { return counterText(m_completed, m_total); }

    // The centred box inside a panel of the given size: a little above the
    // middle (45 % of the height less 160 points).
    static QRectF boxRect(const QSizeF& panel);

    bool cancelled() const { return m_cancelled; }
    // True only the first time: the cancel button works once.
    bool cancel();

private:
    unsigned m_total;
    unsigned m_completed = 0;
    float m_progress = 0;
    bool m_cancelled = false;
};
