#pragma once

#include "platform/ui/ImageButton.h"

// A check-box button: a tap flips its state `on`.
class KyUICheckBoxButton : public ui::ImageButton {
    Q_OBJECT
public:
    explicit KyUICheckBoxButton(QWidget* parent = nullptr);

    bool on() const { return m_on; }
    void setOn(bool on);

signals:
    void onChanged(bool on);

private:
    bool m_on = false;
};
