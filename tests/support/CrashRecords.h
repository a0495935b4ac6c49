#pragma once

#include "analytics/AnaSqlitePersistHandler.h"
#include "crashhandler/NSExpUpload.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

// Crash records as the record store keeps them and as an upload carries them.
namespace CrashRecords {

// The crash records of an open store, or of the store in a documents folder.
std::vector<std::shared_ptr<NSExpUpload>> stored(AnaSqlitePersistHandler& store);
std::vector<std::shared_ptr<NSExpUpload>> storedIn(const QString& documents);
// The crash records in a posted envelope (its mix entry 3).
std::vector<exceptionupload::ExceptionUpload> sent(const QByteArray& envelope);

}
