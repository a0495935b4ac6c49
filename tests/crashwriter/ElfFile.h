#pragma once

#include <QByteArray>
#include <QString>

// Reads the GNU build-id of an ELF file with plain file reading, to check
// what the crash writer found in memory. Lower-case hex; "" when none.
QString buildIdOfFile(const QString& path);
