#pragma once

#include "support/TempDiskStore.h"
#include "support/TempHome.h"

#include <QByteArray>

#include <gtest/gtest.h>

// Bytes that differ from position to position (and from seed to seed).
inline QByteArray bytePattern(int size, int seed = 0)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 31 + seed + i / 257) & 0xff);
    return bytes;
}

// A test with its own home and disk store.
class DiskFixture : public ::testing::Test, public TempDiskStore {
protected:
    TempHome home;
};
