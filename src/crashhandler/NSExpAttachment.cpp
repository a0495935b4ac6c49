#include "crashhandler/NSExpAttachment.h"

#include <QtEndian>

void NSExpAttachment::createNuxModel(exceptionupload::Attachment& model) const
{
    model.type = type;
    model.fileName = fileName.toStdString();
    model.data.assign(data.begin(), data.end());
}

void NSExpAttachment::initWithNuxModel(const exceptionupload::Attachment& model)
{
    type = model.type;
    fileName = QString::fromStdString(model.fileName);
    data = QByteArray(reinterpret_cast<const char*>(model.data.data()), qsizetype(model.data.size()));
}

QByteArray NSExpAttachment::encode() const
{
    const QByteArray name = fileName.toUtf8().left(255);
    QByteArray out;
    out.append(char(type));
    out.append(char(uint8_t(name.size())));
    out.append(name);
    appendLength(out, quint32(data.size()));
    out.append(data);
    return out;
}

void NSExpAttachment::appendLength(QByteArray& out, quint32 length)
{
    char bytes[4];
    qToBigEndian(length, bytes);
    out.append(bytes, 4);
}

qsizetype NSExpAttachment::decode(const QByteArray& bytes)
{
    if (bytes.size() < 2)
        return 0;
    const qsizetype nameLength = uint8_t(bytes[1]);
    const qsizetype dataAt = 2 + nameLength + 4;
    if (bytes.size() < dataAt)
        return 0;
    const quint32 dataLength = qFromBigEndian<quint32>(bytes.constData() + 2 + nameLength);
    if (quint64(bytes.size() - dataAt) < dataLength)
        return 0;
    type = int8_t(bytes[0]);
    fileName = QString::fromUtf8(bytes.mid(2, nameLength));
    data = bytes.mid(dataAt, qsizetype(dataLength));
    return dataAt + qsizetype(dataLength);
}
