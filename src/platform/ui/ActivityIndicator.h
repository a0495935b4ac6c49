#pragma once

#include <QColor>
#include <QWidget>

class QTimer;

namespace ui {

// A spinning activity indicator (twelve fading spokes), drawn centred in its
// bounds. It spins from creation (or startAnimating) until stopped.
class ActivityIndicator : public QWidget {
    Q_OBJECT
public:
    explicit ActivityIndicator(QWidget* parent = nullptr, QColor color = Qt::white);

    void startAnimating();
    void stopAnimating();
    bool isAnimating() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer* m_timer;
    QColor m_color;
    int m_step = 0;
};

}
