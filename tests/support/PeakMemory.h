#pragma once

#include <QtGlobal>

// The most memory this process has had resident so far, in MB.
qint64 peakResidentMb();

// Starts the kernel's count of the resident peak over from what is resident
// now (false where it cannot), and reads it: the resident peak since then,
// less what was resident then, in MB.
bool restartResidentPeak();
qint64 residentPeakSinceRestartMb();
