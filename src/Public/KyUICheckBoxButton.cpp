#include "Public/KyUICheckBoxButton.h"

KyUICheckBoxButton::KyUICheckBoxButton(QWidget* parent) : ui::ImageButton(parent)
{
    setImageNamed(QStringLiteral("KyUICheckBoxButton_off"), Normal);
    setImageNamed(QStringLiteral("KyUICheckBoxButton_on"), Selected);
    setImageNamed(QStringLiteral("KyUICheckBoxButton_on"), Selected | Highlighted);
    connect(this, &QAbstractButton::clicked, this, [this] { setOn(!m_on); });
}

void KyUICheckBoxButton::setOn(bool on)
{
    if (m_on == on)
        return;
    m_on = on;
    setSelected(on);
    emit onChanged(on);
}
