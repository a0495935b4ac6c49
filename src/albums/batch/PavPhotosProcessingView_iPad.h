#pragma once

#include "albums/batch/PavPhotosProcessingViewDelegate.h"
#include "albums/batch/ProcessingProgress.h"
#include "platform/core/DelegateRef.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QLabel;

namespace ui {
class ImageButton;
class ImageView;
class KeyboardHold;
}

// The panel every album batch lays over the root view while it runs: it
// swallows all input beneath (while shown it takes the keyboard of its
// window, see ui::KeyboardHold; the focus goes back when it goes) and
// shows the batch's title, a warning, the
// counter, a bar and a cancel button that works once. It only shows what its
// owner tells it. Its widgets are touched on the main thread only: updates
// sent from another thread are carried over to it (and dropped when the
// panel is gone by then).
class PavPhotosProcessingView_iPad : public QWidget {
    Q_OBJECT
public:
    PavPhotosProcessingView_iPad(const QRect& frame, unsigned totalCount, const QString& title,
                                 PavPhotosProcessingViewDelegate* delegate, QWidget* parent = nullptr);
    ~PavPhotosProcessingView_iPad() override;

    unsigned totalCount() const { return m_state.totalCount(); }
    unsigned completedCount() const { return m_state.completedCount(); }
    // Sets the count done, the bar and the counter line "(done/total)".
    void setCompletedCount(unsigned completed);
    float progress() const { return m_state.progress(); }
    // Clamped to 0..1 (NaN shows an empty bar).
    void setProgress(float progress);
    void setProgressMessage(const QString& message);

    // The user's tap: disables the button and tells the delegate, once.
    void cancelButtonClicked();
    // The owner's way to end the batch without a summary: disables the
    // button without telling the delegate.
    void disableCancel();
    // Cancelled by a tap or by the owner.
    bool cancelled() const { return m_state.cancelled(); }

    ui::ImageButton* cancelButton() const { return m_cancelButton; }
    QLabel* titleLabel() const { return m_titleLabel; }
    QLabel* progressLabel() const { return m_progressLabel; }
    ui::ImageView* progressView() const { return m_progressView; }
    QWidget* box() const { return m_box; }
    PavPhotosProcessingViewDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(PavPhotosProcessingViewDelegate* delegate) { m_delegate.reset(delegate); }
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QLabel* addLine(int y, const QString& text);
    // True when called off the main thread: the update then runs there later.
    bool movedToMainThread(std::function<void(PavPhotosProcessingView_iPad*)> update);

    ProcessingProgress m_state;
    DelegateRef<PavPhotosProcessingViewDelegate> m_delegate;
    QWidget* m_box;
    QLabel* m_titleLabel;
    QLabel* m_progressLabel;
    ui::ImageView* m_progressView;
    ui::ImageButton* m_cancelButton;
    std::unique_ptr<ui::KeyboardHold> m_keyboard;
    int m_tag = 0;
};
