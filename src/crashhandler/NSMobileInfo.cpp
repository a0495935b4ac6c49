#include "crashhandler/NSMobileInfo.h"

void NSMobileInfo::createNuxModel(exceptionupload::MobileDetail& model) const
{
    model.symbol = symbol.toStdString();
    model.other = other.toStdString();
}

void NSMobileInfo::initWithNuxModel(const exceptionupload::MobileDetail& model)
{
    symbol = QString::fromStdString(model.symbol);
    other = QString::fromStdString(model.other);
}
