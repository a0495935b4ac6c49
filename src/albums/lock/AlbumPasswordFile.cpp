#include "albums/lock/AlbumPasswordFile.h"

#include "Public/PavEncryptManager.h"
#include "Public/PavFileManagerHelp.h"
#include "platform/core/RegularFile.h"

#include <QDir>

namespace {
constexpr const char* kFolder = "photo";
constexpr const char* kFileName = "uid";
}

AlbumPasswordFile::AlbumPasswordFile(DocumentsFolder documents, Writer writer)
    : m_documents(std::move(documents)), m_writer(std::move(writer))
{
    if (!m_writer)
        m_writer = [](const QByteArray& plain, const QString& path) { return PavEncryptManager::writeData(plain, path); };
}

QString AlbumPasswordFile::documents() const
{
    return m_documents ? m_documents() : PavFileManagerHelp::documentsPath();
}

QString AlbumPasswordFile::path() const
{
    return documents() + "/" + kFolder + "/" + kFileName;
}

bool AlbumPasswordFile::exists() const
{
    return !PavEncryptManager::readDataFromPath(path(), nullptr, RegularFile::Cap::kAccount).isEmpty();
}

QString AlbumPasswordFile::read() const
{
    const QByteArray plain = PavEncryptManager::readDataFromPath(path(), nullptr, RegularFile::Cap::kAccount);
    if (plain.isNull())
        return QString();
    return QString::fromUtf8(plain);
}

bool AlbumPasswordFile::write(const QString& password) const
{
    if (password.isNull())
        return false;
    if (!QDir().mkpath(documents() + "/" + kFolder))
        return false;
    return m_writer(password.toUtf8(), path());
}
