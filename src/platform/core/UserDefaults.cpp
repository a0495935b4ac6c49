#include "platform/core/UserDefaults.h"

#include "platform/core/AppHome.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/RegularFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <chrono>
#include <memory>
#include <mutex>

namespace {
QMutex g_standardMutex;
std::unique_ptr<UserDefaults> g_standard;

// Takes the lock within waitMs; a negative wait waits as long as it takes.
bool lockWithin(std::unique_lock<QMutex>& lock, int waitMs)
{
    if (waitMs >= 0)
        return lock.try_lock_for(std::chrono::milliseconds(waitMs));
    lock.lock();
    return true;
}

// Dates are kept as ISO text in the file; they come back as QDateTime.
constexpr const char* kDatePrefix = "@date:";

QVariant toStored(const QVariant& value)
{
    if (value.typeId() == QMetaType::QDateTime)
        return QString(kDatePrefix) + value.toDateTime().toUTC().toString(Qt::ISODateWithMs);
    return value;
}

QVariant fromStored(const QVariant& value)
{
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        if (text.startsWith(kDatePrefix))
            return QDateTime::fromString(text.mid(int(strlen(kDatePrefix))), Qt::ISODateWithMs);
    }
    return value;
}
}

UserDefaults::UserDefaults(QString filePath) : m_path(std::move(filePath))
{
    load();
}

UserDefaults& UserDefaults::standardUserDefaults()
{
    return *tryStandardUserDefaults(-1);
}

UserDefaults* UserDefaults::tryStandardUserDefaults(int waitMs)
{
    std::unique_lock<QMutex> lock(g_standardMutex, std::defer_lock);
    if (!lockWithin(lock, waitMs))
        return nullptr;
    if (!g_standard)
        g_standard = std::make_unique<UserDefaults>(AppHome::current().preferences() + "/defaults.json");
    return g_standard.get();
}

void UserDefaults::resetStandardUserDefaults(const QString& filePath)
{
    QMutexLocker lock(&g_standardMutex);
    g_standard = std::make_unique<UserDefaults>(filePath);
}

void UserDefaults::load()
{
    if (m_path.isEmpty())
        return;
    if (!QFileInfo::exists(m_path))
        return;
    QByteArray data;
    QString error;
    if (!RegularFile::read(m_path, RegularFile::Cap::kPreferences, &data, &error)) {
        // Unreadable is not damaged: keep the file and write nothing over it.
        m_saveBlocked = true;
        m_lastError = error;
        qWarning("User defaults %s cannot be read (%s); changes stay in memory", qPrintable(m_path),
                 qPrintable(error));
        return;
    }
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(data, &parse);
    if (doc.isObject()) {
        m_values = doc.object().toVariantMap();
        return;
    }
    // A file that does not parse is kept aside for the user, never overwritten.
    const QString aside =
        m_path + ".damaged-" + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    if (QFile::rename(m_path, aside)) {
        qWarning("User defaults %s are damaged (%s); kept as %s, starting afresh", qPrintable(m_path),
                 qPrintable(doc.isNull() ? parse.errorString() : QStringLiteral("not an object")), qPrintable(aside));
        return;
    }
    m_saveBlocked = true;
    m_lastError = QStringLiteral("damaged and cannot be moved aside");
    qWarning("User defaults %s are damaged and cannot be moved aside; changes stay in memory", qPrintable(m_path));
}

bool UserDefaults::saveLocked()
{
    if (m_path.isEmpty())
        return true;
    if (m_saveBlocked)
        return false;
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    const QByteArray data = QJsonDocument(QJsonObject::fromVariantMap(m_values)).toJson(QJsonDocument::Compact);
    QString error;
    m_lastError = AtomicFile::write(m_path, data, &error) ? QString() : error;
    return m_lastError.isEmpty();
}

bool UserDefaults::update(const std::function<void(QVariantMap&)>& change, int waitMs)
{
    std::unique_lock<QMutex> lock(m_mutex, std::defer_lock);
    if (!lockWithin(lock, waitMs))
        return false;
    const QVariantMap before = m_values;
    change(m_values);
    return m_values == before || saveLocked();
}

bool UserDefaults::contains(const QString& key) const
{
    QMutexLocker lock(&m_mutex);
    return m_values.contains(key);
}

QVariant UserDefaults::objectForKey(const QString& key) const
{
    QMutexLocker lock(&m_mutex);
    auto it = m_values.constFind(key);
    return it == m_values.constEnd() ? QVariant() : fromStored(*it);
}

QString UserDefaults::stringForKey(const QString& key) const
{
    const QVariant v = objectForKey(key);
    if (!v.isValid())
        return QString();
    if (v.typeId() == QMetaType::QString)
        return v.toString().isNull() ? QString("") : v.toString();
    if (v.canConvert<QString>())
        return v.toString();
    return QString();
}

bool UserDefaults::boolForKey(const QString& key) const
{
    const QVariant v = objectForKey(key);
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed().toLower();
        return s == "yes" || s == "true" || s.toLongLong() != 0;
    }
    return v.toBool();
}

qint64 UserDefaults::integerForKey(const QString& key) const
{
    const QVariant v = objectForKey(key);
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? 1 : 0;
    return static_cast<qint64>(v.toDouble());
}

double UserDefaults::doubleForKey(const QString& key) const
{
    return objectForKey(key).toDouble();
}

void UserDefaults::setObject(const QString& key, const QVariant& value)
{
    QMutexLocker lock(&m_mutex);
    if (!value.isValid())
        m_values.remove(key);
    else
        m_values.insert(key, toStored(value));
    saveLocked();
}

void UserDefaults::removeObjectForKey(const QString& key)
{
    QMutexLocker lock(&m_mutex);
    if (m_values.remove(key) > 0)
        saveLocked();
}

QString UserDefaults::lastError() const
{
    QMutexLocker lock(&m_mutex);
    return m_lastError;
}
