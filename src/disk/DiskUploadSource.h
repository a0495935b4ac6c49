#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <memory>

// Where an upload's bytes come from: "file://<path>" or an asset of the
// device photo library ("assets-library://...").
namespace DiskUploadSource {

inline constexpr const char* kFileScheme = "file://";
inline constexpr const char* kAssetScheme = "assets-library://";

// The byte length of the source; -1 when it cannot be found.
qint64 sizeOf(const QString& source);
// The source opened for reading from its start (a library asset is read
// whole first); null when it cannot be opened.
std::unique_ptr<QIODevice> open(const QString& source);

}
