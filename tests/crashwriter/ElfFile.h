#pragma once

#include <QByteArray>
#include <QString>

#include <utility>

// Reads the GNU build-id of an ELF file with plain file reading, to check
// what the crash writer found in memory. Lower-case hex; "" when none.
QString buildIdOfFile(const QString& path);

// The [start, end) offsets of a function symbol of an ELF file's symbol
// table, relative to the file's load address; {0, 0} when absent.
std::pair<quint64, quint64> functionRange(const QString& path, const QByteArray& name);
