#include "disk/PavDiskUserInfoManager.h"

#include "Public/PavEncryptManager.h"
#include "platform/core/AppHome.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/RegularFile.h"
#include "platform/core/UserDefaults.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>

namespace {
const QByteArray kHeader = "KyDiskUser 1";
}

PavDiskUserInfoManager& PavDiskUserInfoManager::sharePavDiskUserInfoManager()
{
    static QMutex mutex;
    QMutexLocker lock(&mutex);
    static PavDiskUserInfoManager manager(AppHome::current().documents());
    return manager;
}

PavDiskUserInfoManager::PavDiskUserInfoManager(const QString& documents, std::function<UserDefaults&()> defaults)
    : m_path(documents + "/" + kFileName), m_defaults(std::move(defaults))
{
    load();
}

void PavDiskUserInfoManager::load()
{
    QByteArray bytes;
    if (!RegularFile::read(m_path, RegularFile::Cap::kAccount, &bytes))
        return;
    const QList<QByteArray> lines = bytes.split('\n');
    if (lines.isEmpty() || lines.first() != kHeader)
        return;
    for (const QByteArray& line : lines.mid(1)) {
        const qsizetype space = line.indexOf(' ');
        if (space < 0)
            continue;
        const QByteArray name = line.left(space);
        const QByteArray value = line.mid(space + 1);
        if (name == "uin") {
            m_uin = QString::fromUtf8(QByteArray::fromPercentEncoding(value));
        } else if (name == "password") {
            QByteArray plain;
            const QByteArray cipher = QByteArray::fromHex(value);
            if (cipher.isEmpty())
                m_password = QString("");
            else if (PavEncryptManager::decryptData(cipher, &plain))
                m_password = QString::fromUtf8(plain);
        } else if (name == "savePassword" && (value == "YES" || value == "NO")) {
            m_savePassword = QString::fromLatin1(value);
        } else if (name == "autoLogin" && (value == "YES" || value == "NO")) {
            m_autoLogin = QString::fromLatin1(value);
        }
    }
}

bool PavDiskUserInfoManager::saveLoginInfoToDisk()
{
    if (m_uin.isNull() || m_password.isNull())
        return false;
    QByteArray out = kHeader + "\n";
    out += "uin " + m_uin.toUtf8().toPercentEncoding() + "\n";
    out += "password " + (m_password.isEmpty() ? QByteArray() : PavEncryptManager::encryptData(m_password.toUtf8()).toHex())
        + "\n";
    if (!m_savePassword.isNull())
        out += "savePassword " + QByteArray(m_savePassword == "YES" ? "YES" : "NO") + "\n";
    if (!m_autoLogin.isNull())
        out += "autoLogin " + QByteArray(m_autoLogin == "YES" ? "YES" : "NO") + "\n";
    return QDir().mkpath(QFileInfo(m_path).absolutePath()) && AtomicFile::write(m_path, out);
}

void PavDiskUserInfoManager::setKyDiskUsedLabel(const QString& uin)
{
    if (uin.isEmpty())
        return;
    UserDefaults& defaults = m_defaults ? m_defaults() : UserDefaults::standardUserDefaults();
    defaults.setBool(uin, true);
}
