#pragma once

#include "support/TempDiskStore.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

// A test with its own home and disk store.
class DiskFixture : public ::testing::Test, public TempDiskStore {
protected:
    TempHome home;
};
