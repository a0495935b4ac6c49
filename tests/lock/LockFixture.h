#pragma once

#include "albums/lock/PavAlbumPasswordManager.h"
#include "albums/lock/PinEntryMachine.h"
#include "platform/core/UserDefaults.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// A password manager over a temporary Documents folder and in-memory user
// defaults, with a switch that makes the next password writes fail.
class LockFixture : public ::testing::Test {
protected:
    using Event = PinEntryMachine::Event;

    LockFixture();

    std::unique_ptr<PinEntryMachine> machine(int type);
    // Types the digits one by one and lets the pending hand-on run.
    void enter(PinEntryMachine& m, const char* digits);
    int count(Event e) const;

    QTemporaryDir dir;
    UserDefaults defaults;
    bool failWrites = false;
    std::unique_ptr<PavAlbumPasswordManager> manager;
    std::vector<Event> events;
    std::vector<int> usage;
};
