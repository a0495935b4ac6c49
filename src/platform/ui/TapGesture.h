#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QTimer>

class QWidget;

namespace ui {

// A tap recogniser on a widget and everything inside it. It only watches
// the input (the widgets beneath still get it): a press and release without
// moving is a tap; `taps` taps close together make the gesture, reported
// with the position of the last one in the target's coordinates.
//
// requireToFail(other): this gesture waits until the other one cannot
// happen any more (the double-click interval after a tap ran out without
// it) and does not fire at all when it did.
class TapGesture : public QObject {
    Q_OBJECT
public:
    TapGesture(QWidget* target, int taps);

    void requireToFail(TapGesture* other);
    QWidget* target() const { return m_target; }
    int taps() const { return m_taps; }
    // True between the first tap and the end of its double-click interval.
    bool isPossible() const { return m_count > 0; }

signals:
    void recognized(QPoint pos);
    void failed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(QObject* object);
    void tapped(QPoint pos);
    void reset(bool fail);
    void fire(QPoint pos);

    QPointer<QWidget> m_target;
    int m_taps;
    int m_count = 0;
    bool m_pressed = false;
    bool m_moved = false;
    QPoint m_pressGlobal;
    QPoint m_lastPos;
    const QEvent* m_lastEvent = nullptr;
    quint64 m_lastStamp = 0;
    quint64 m_recognizedStamp = 0;
    QTimer m_interval;
    QPointer<TapGesture> m_mustFail;
    bool m_waiting = false;
    QPoint m_waitingPos;
};

}
