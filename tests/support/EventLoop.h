#pragma once

#include <functional>

// Processes events until pred() holds or timeoutMs passes; returns pred().
bool waitUntil(const std::function<bool()>& pred, int timeoutMs = 5000);
// Processes pending events for roughly ms milliseconds.
void spinEvents(int ms);
