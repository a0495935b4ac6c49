#pragma once

#include <QByteArray>
#include <QString>

// The verification image: a random code of four letters and digits drawn
// with some noise into a small PNG.
namespace DiskVerifyImage {

QString randomCode();
QByteArray drawPng(const QString& code);

}
