#include "platform/core/UserDefaults.h"

#include <QDateTime>
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
