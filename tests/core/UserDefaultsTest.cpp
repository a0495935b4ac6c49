#include "platform/core/UserDefaults.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(UserDefaults, AbsentEmptyAndFalseStayDistinctAcrossReload)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/prefs/defaults.json";
    {
        UserDefaults d(path);
        d.setString("empty", "");
        d.setBool("no", false);
        d.setString("text", "12345");
        d.setObject("when", QDateTime::fromSecsSinceEpoch(4102444800LL, Qt::UTC));
    }
    UserDefaults d(path);
    EXPECT_FALSE(d.contains("absent"));
    EXPECT_TRUE(d.stringForKey("absent").isNull());
    ASSERT_TRUE(d.contains("empty"));
    EXPECT_FALSE(d.stringForKey("empty").isNull());
    EXPECT_TRUE(d.stringForKey("empty").isEmpty());
    ASSERT_TRUE(d.contains("no"));
    EXPECT_FALSE(d.boolForKey("no"));
    EXPECT_EQ(d.objectForKey("no").typeId(), QMetaType::Bool);
    EXPECT_EQ(d.stringForKey("text"), "12345");
    EXPECT_EQ(d.objectForKey("when").toDateTime().toSecsSinceEpoch(), 4102444800LL);
    d.removeObjectForKey("text");
    EXPECT_FALSE(UserDefaults(path).contains("text"));
}

TEST(UserDefaults, ConcurrentWritersLoseNothing)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/defaults.json";
    UserDefaults d(path);
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&d, t] {
            for (int i = 0; i < 20; ++i)
                d.setInteger(QString("k%1_%2").arg(t).arg(i), i);
        });
    for (auto& th : threads)
        th.join();
    UserDefaults reloaded(path);
    for (int t = 0; t < 8; ++t)
        for (int i = 0; i < 20; ++i)
            ASSERT_EQ(reloaded.integerForKey(QString("k%1_%2").arg(t).arg(i)), i);
}

TEST(UserDefaults, ADamagedFileIsKeptAsideNeverWrittenOver)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/defaults.json";
    const QByteArray damaged = "{\"SecretAlbumBindingKy\": \"1000";
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(damaged);
    }
    UserDefaults d(path);
    EXPECT_FALSE(d.contains("SecretAlbumBindingKy"));
    d.setString("PavLastVersion", "2.5.0");
    const QStringList aside = QDir(dir.path()).entryList({"defaults.json.damaged-*"});
    ASSERT_EQ(aside.size(), 1);
    QFile kept(dir.path() + "/" + aside.first());
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), damaged);
    EXPECT_EQ(UserDefaults(path).stringForKey("PavLastVersion"), "2.5.0");
}
