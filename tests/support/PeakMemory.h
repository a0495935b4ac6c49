#pragma once

#include <QtGlobal>

// The most memory this process has had resident so far, in MB.
qint64 peakResidentMb();
