#pragma once

#include "crashhandler/ContactInfo.h"

#include <QString>

// The mirror of a crash record's contact details (exceptionupload::ContactInfo).
class NSContactInfo {
public:
    QString all = QStringLiteral("unknown");
    QString tel = QStringLiteral("unknown");
    QString qua = QStringLiteral("unknown");
    QString email = QStringLiteral("unknown");
    QString comment = QStringLiteral("unknown");
    QString other = QStringLiteral("unknown");

    void createNuxModel(exceptionupload::ContactInfo& model) const;
    void initWithNuxModel(const exceptionupload::ContactInfo& model);
};
