#include "crashhandler/NSContactInfo.h"

void NSContactInfo::createNuxModel(exceptionupload::ContactInfo& model) const
{
    model.all = all.toStdString();
    model.tel = tel.toStdString();
    model.qua = qua.toStdString();
    model.email = email.toStdString();
    model.comment = comment.toStdString();
    model.other = other.toStdString();
}

void NSContactInfo::initWithNuxModel(const exceptionupload::ContactInfo& model)
{
    all = QString::fromStdString(model.all);
    tel = QString::fromStdString(model.tel);
    qua = QString::fromStdString(model.qua);
    email = QString::fromStdString(model.email);
    comment = QString::fromStdString(model.comment);
    other = QString::fromStdString(model.other);
}
