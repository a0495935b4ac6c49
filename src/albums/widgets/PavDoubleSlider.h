#pragma once

#include "albums/widgets/SwitchLogic.h"
#include "platform/core/DelegateRef.h"

#include <QLabel>
#include <QTimer>
#include <QWidget>

class PavDoubleSlider;

class PavDoubleSliderDelegate {
public:
    virtual ~PavDoubleSliderDelegate() = default;
    virtual void valueChangedInSlider(PavDoubleSlider* slider) { Q_UNUSED(slider); }
};

// A two-position switch (type 0 left, type 1 right). A tap flips it; a drag
// released past a third of the width lands on the right, else on the left.
// A real change is told to the delegate 300 ms later; taps meanwhile are
// ignored. setSliderType never tells.
class PavDoubleSlider : public QWidget {
    Q_OBJECT
public:
    PavDoubleSlider(const QRect& frame, const QString& leftTitle, const QString& rightTitle,
                    QWidget* parent = nullptr);

    int sliderType() const { return m_type; }
    void setSliderType(int type, bool animated);
    void setDelegate(PavDoubleSliderDelegate* delegate) { m_delegate.reset(delegate); }
    double offset() const { return m_offset; }
    bool isInTransition() const { return m_lockout.isActive(); }

    // Input, also driven by tests: a tap, and a drag released at an offset.
    void singleTapGestureCaptured();
    void releaseDrag(double offset);

    QWidget* sliderBgImageView() const { return m_sliderBgImageView; }
    // The moving part: the knob strip with the two titles.
    QWidget* scrollView() const { return m_scrollView; }
    QWidget* sliderImageView() const { return m_sliderImageView; }
    QLabel* leftLabel() const { return m_leftLabel; }
    QLabel* rightLabel() const { return m_rightLabel; }
    QWidget* maskImageView() const { return m_maskImageView; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void setOffset(double offset);
    void flipTo(int type);

    SwitchLogic m_logic;
    DelegateRef<PavDoubleSliderDelegate> m_delegate;
    QWidget* m_sliderBgImageView;
    QWidget* m_scrollView;
    QWidget* m_sliderImageView;
    QLabel* m_leftLabel;
    QLabel* m_rightLabel;
    QWidget* m_maskImageView;
    QTimer m_lockout;
    int m_type = 0;
    double m_offset = 0;
    double m_pressOffset = 0;
    int m_pressX = 0;
    bool m_dragged = false;
};
