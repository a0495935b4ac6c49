#include "platform/media/PlayerSound.h"

#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>

PlayerSound::PlayerSound(QMediaPlayer* player, DeviceList devices)
    : QObject(player), m_player(player), m_devices(std::move(devices))
{
    if (!m_devices) {
        m_devices = [] { return QMediaDevices::audioOutputs(); };
        auto* watcher = new QMediaDevices(this);
        connect(watcher, &QMediaDevices::audioOutputsChanged, this, &PlayerSound::update);
    }
    update();
}

void PlayerSound::update()
{
    const QList<QAudioDevice> devices = m_devices();
    if (devices.isEmpty()) {
        if (m_output) {
            m_player->setAudioOutput(nullptr);
            m_output->deleteLater();
            m_output = nullptr;
        }
        return;
    }
    const QAudioDevice fallback = QMediaDevices::defaultAudioOutput();
    const QAudioDevice preferred = devices.contains(fallback) ? fallback : devices.front();
    if (!m_output) {
        m_output = new QAudioOutput(preferred, this);
        m_player->setAudioOutput(m_output);
    } else if (!devices.contains(m_output->device())) {
        m_output->setDevice(preferred);
    }
}
