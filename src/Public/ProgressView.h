#pragma once

#include <QWidget>

namespace ui {
class ActivityIndicator;
}

// A loading placeholder: a clear view drawing, centred, an 80 x 80 box with
// rounded corners (radius 10) in black at alpha 0.6, and a 20 x 20 white
// activity indicator in it that spins from creation until the view goes away.
class ProgressView : public QWidget {
    Q_OBJECT
public:
    explicit ProgressView(QWidget* parent = nullptr);
    ProgressView(const QRect& frame, QWidget* parent);

    ui::ActivityIndicator* indicator() const { return m_indicator; }
    QRect boxRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutIndicator();

    ui::ActivityIndicator* m_indicator;
};
