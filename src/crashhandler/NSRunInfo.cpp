#include "crashhandler/NSRunInfo.h"

void NSRunInfo::createNuxModel(exceptionupload::RunInfo& model) const
{
    model.battery = battery;
    model.cpu = cpu;
    model.freeMem = freeMem;
    model.freeStorage = freeStorage;
    model.freeSDCard = freeSDCard;
}

void NSRunInfo::initWithNuxModel(const exceptionupload::RunInfo& model)
{
    battery = model.battery;
    cpu = model.cpu;
    freeMem = model.freeMem;
    freeStorage = model.freeStorage;
    freeSDCard = model.freeSDCard;
}
