#pragma once

#include "crashhandler/MobileDetail.h"

#include <QString>

// The mirror of a crash record's device details (exceptionupload::MobileDetail).
class NSMobileInfo {
public:
    QString symbol = QStringLiteral("unknown");
    QString other = QStringLiteral("unknown");

    void createNuxModel(exceptionupload::MobileDetail& model) const;
    void initWithNuxModel(const exceptionupload::MobileDetail& model);
};
