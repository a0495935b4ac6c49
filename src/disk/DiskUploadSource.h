#pragma once

#include <QByteArray>
#include <QString>

// Where an upload's bytes come from: "file://<path>" or an asset of the
// device photo library ("assets-library://...").
namespace DiskUploadSource {

inline constexpr const char* kFileScheme = "file://";
inline constexpr const char* kAssetScheme = "assets-library://";

// The byte length of the source; -1 when it cannot be found.
qint64 sizeOf(const QString& source);
// Reads the whole source; false when it cannot be read completely.
bool readAll(const QString& source, QByteArray* out);

}
