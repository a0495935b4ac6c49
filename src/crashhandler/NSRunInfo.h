#pragma once

#include "crashhandler/RunInfo.h"

#include <cstdint>

// The mirror of a crash record's run facts (exceptionupload::RunInfo).
class NSRunInfo {
public:
    float battery = 0;
    float cpu = 0;
    int64_t freeMem = 0;
    int64_t freeStorage = 0;
    int64_t freeSDCard = 0;

    void createNuxModel(exceptionupload::RunInfo& model) const;
    void initWithNuxModel(const exceptionupload::RunInfo& model);
};
