#pragma once

#include "crashhandler/Attachment.h"

#include <QByteArray>
#include <QString>

// The mirror of a crash record's attachment (exceptionupload::Attachment).
// Besides the wire form it has a byte form of its own: 1 byte type, 1 byte
// length of the UTF-8 file name, the name, a 4-byte big-endian data length,
// the data.
class NSExpAttachment {
public:
    int8_t type = 0;
    QString fileName;
    QByteArray data;

    void createNuxModel(exceptionupload::Attachment& model) const;
    void initWithNuxModel(const exceptionupload::Attachment& model);

    // The byte form; a name longer than 255 bytes is cut there.
    QByteArray encode() const;
    // Reads one byte form from the front of bytes; the bytes it took, or 0
    // when they are too few.
    qsizetype decode(const QByteArray& bytes);
    // Appends a 4-byte big-endian length, as the byte forms write them.
    static void appendLength(QByteArray& out, quint32 length);
};
