#pragma once

#include <QAudioDevice>
#include <QAudioOutput>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class QMediaPlayer;

// Gives a player its sound only where there is somewhere to send it: an
// audio output is attached while the machine has an output device (the
// default one), none while it has none, so a video with sound plays silently
// there. It follows the devices: when the last one goes away mid-play the
// output is taken off and the picture plays on; when the device in use goes
// and others remain, the sound moves to the default one; a device that
// comes gets the sound. Main thread only; the player must outlive it (make
// it the player's child).
class PlayerSound : public QObject {
    Q_OBJECT
public:
    using DeviceList = std::function<QList<QAudioDevice>()>;
    // `devices` lists the output devices (default: QMediaDevices').
    explicit PlayerSound(QMediaPlayer* player, DeviceList devices = {});

    // The attached output (null when the sound goes nowhere).
    QAudioOutput* output() const { return m_output; }
    // Reads the devices again and attaches, moves or takes off the output.
    void update();

private:
    QMediaPlayer* m_player;
    DeviceList m_devices;
    QPointer<QAudioOutput> m_output;
};
