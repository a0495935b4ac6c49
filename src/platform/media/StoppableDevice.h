#pragma once

#include <QIODevice>

// A picture's data read through for a decoder, which ends as soon as the
// reading thread's DecodeMemoryBudget::StopCheck answers true: the decoder
// then meets the end of its input (libjpeg skips any scans left, which a
// few kilobytes can hold by the thousand, and finishes at once). Read-only,
// unbuffered, from the source's position when made; the source must outlive
// it and is not read by others meanwhile.
class StoppableDevice : public QIODevice {
public:
    explicit StoppableDevice(QIODevice* source);

    bool isSequential() const override;
    qint64 size() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QIODevice* m_source;
    qint64 m_start;
};
