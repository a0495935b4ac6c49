#pragma once

#include "albums/batch/BatchCallbacks.h"
#include "albums/batch/PavPhotosProcessingView_iPad.h"

#include <QPointer>

#include <functional>

class BatchRunner;
class QObject;
class QWidget;

// The progress panel of an album screen's batches and the wiring that makes
// it follow a batch: the panel opens over its host when a batch starts, shows
// the counts and the item's own progress, and closes a moment after the batch
// ends.
// Main thread; the owner keeps it for as long as its runners.
class BatchSession {
public:
    BatchSession() = default;
    ~BatchSession();
    BatchSession(const BatchSession&) = delete;
    BatchSession& operator=(const BatchSession&) = delete;

    // Tells receiver of runner's batches through the panel: with resetBar the
    // bar empties after each item but the last (it follows the next item's
    // transfer).
    // finished runs after the panel's last update.
    void follow(BatchRunner& runner, QObject* receiver, bool resetBar,
                std::function<void(const BatchOutcome&)> finished);

    // Opens the panel over host, unless one is open or there is no host.
    void open(QWidget* host, unsigned total, const QString& title, int tag, PavPhotosProcessingViewDelegate* delegate);
    void showCounts(const BatchCounts& counts, bool resetBar = false);
    void setProgress(float fraction);
    void disableCancel();
    void close();
    // The end of a batch: the panel stays up kLastStepMs so that its last
    // count is drawn, then closes, and then runs (unless owner is gone by
    // then). At once when no panel is open.
    void finish(QObject* owner, std::function<void()> then);
    // Between finish() and the panel's closing: taps on the panel are late.
    bool isEnding() const { return m_ending; }

    static constexpr int kLastStepMs = 100;

    PavPhotosProcessingView_iPad* panel() const { return m_panel; }

    // The usual host: the current canvas's root screen, else the canvas.
    static QWidget* rootHost();

private:
    QPointer<PavPhotosProcessingView_iPad> m_panel;
    bool m_ending = false;
};
