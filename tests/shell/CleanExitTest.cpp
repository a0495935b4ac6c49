#include "platform/core/AppLifecycle.h"
#include "platform/core/NotificationCenter.h"
#include "shell/CleanExit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// The end as the shell asks for it: the background first, the event loop
// kept running for the work in hand, bounded by the grace.
TEST(CleanExitTest, TheLoopEndsOnceTheWorkInHandIsDoneOrTheGraceHasPassed)
{
    for (const bool finishes : {true, false}) {
        SCOPED_TRACE(finishes ? "the work finishes" : "the work never answers");
        NotificationCenter center;
        AppLifecycle lifecycle(center);
        lifecycle.becomeActive();
        int inHand = 1;
        QStringList log;
        CleanExit::Work work;
        work.inHand = [&] { return inHand; };
        work.beforeQuit = [&] { log << QStringLiteral("last words with %1 in hand").arg(inHand); };
        const int graceMs = finishes ? 10000 : 300;
        CleanExit exit(lifecycle, std::move(work), graceMs);
        QTimer answer;
        answer.setSingleShot(true);
        QObject::connect(&answer, &QTimer::timeout, [&] {
            log << "answered";
            inHand = 0;
        });
        if (finishes)
            answer.start(60);

        QElapsedTimer clock;
        clock.start();
        exit.request();
        exit.request();  // a second signal changes nothing
        EXPECT_EQ(lifecycle.state(), AppLifecycle::State::Background);
        QCoreApplication::exec();
        if (finishes) {
            EXPECT_EQ(log, QStringList({"answered", "last words with 0 in hand"}));
            EXPECT_LT(clock.elapsed(), graceMs);
        } else {
            EXPECT_EQ(log, QStringList({"last words with 1 in hand"}));
            EXPECT_GE(clock.elapsed(), graceMs);
        }
    }
}

}
