#include "StoreTestBase.h"

#include "Public/SqliteDBManager.h"
#include "support/ImageFixtures.h"

#include <QDir>
#include <QRegularExpression>

StoreTestBase::StoreTestBase()
{
    m_store = std::make_unique<PavPhotoManager>(photoDir(), m_library);
}

QStringList StoreTestBase::itemFiles() const
{
    static const QRegularExpression uuid("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}");
    QStringList names = QDir(photoDir()).entryList(QDir::Files | QDir::Hidden);
    names.removeIf([](const QString& name) { return !uuid.match(name).hasMatch(); });
    return names;
}

int StoreTestBase::rowCount() const
{
    QList<QVariantList> rows;
    EXPECT_TRUE(m_store->encryptAlbumOp()->dbEngine()->queryValues(&rows, "SELECT COUNT(*) FROM photoes"));
    return rows.isEmpty() ? -1 : rows[0][0].toInt();
}

std::shared_ptr<FakePhotoAsset> StoreTestBase::jpegAsset(const QString& url, int seed, const QDateTime& date)
{
    return FakePhotoAsset::make(url, ImageFixtures::jpeg(320 + seed, 240, seed), PhotoAssetKind::Photo, date);
}

void StoreTestBase::expectEmpty() const
{
    EXPECT_EQ(rowCount(), 0);
    EXPECT_EQ(itemFiles(), QStringList());
}

void StoreTestBase::makeReadOnly(bool readOnly)
{
    ASSERT_TRUE(m_store->encryptAlbumOp()->dbEngine()->executeSql(
        readOnly ? "PRAGMA query_only = ON" : "PRAGMA query_only = OFF"));
}
