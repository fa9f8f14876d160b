#include "platform/qt/QtTimer.h"

#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

using namespace cibrano;

namespace {
struct FactoryGuard {
    FactoryGuard() { installQtTimerFactory(); }
    ~FactoryGuard() { setTimerFactory(nullptr); }
};
} // namespace

TEST(QtTimer, TheInstalledFactoryMakesTimersOfTheMessageLoop) {
    FactoryGuard guard;
    auto timer = createTimer();
    EXPECT_NE(dynamic_cast<QtTimer*>(timer.get()), nullptr);
    EXPECT_FALSE(timer->Enabled());
    EXPECT_EQ(timer->Interval(), 1000);
}

TEST(QtTimer, ASingleShotFiresOnceAfterItsIntervalAndDisablesItself) {
    QtTimer timer;
    timer.setInterval(150);
    timer.setSingleShot(true);
    int fired = 0;
    qint64 at = 0;
    QElapsedTimer clock;
    timer.OnTimer = [&] {
        ++fired;
        at = clock.elapsed();
    };
    clock.start();
    timer.setEnabled(true);
    QTest::qWait(30);
    EXPECT_EQ(fired, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return fired > 0; }, 3000));
    QTest::qWait(200);
    EXPECT_EQ(fired, 1);
    EXPECT_GE(at, 150);
    EXPECT_FALSE(timer.Enabled());
}

TEST(QtTimer, EnablingAgainPushesTheWaitBack) {
    QtTimer timer;
    timer.setInterval(250);
    timer.setSingleShot(true);
    int fired = 0;
    timer.OnTimer = [&] { ++fired; };
    QElapsedTimer clock;
    timer.setEnabled(true);
    QTest::qWait(100);
    ASSERT_EQ(fired, 0);
    clock.start();
    timer.setEnabled(true); // like a keystroke before the search
    EXPECT_TRUE(QTest::qWaitFor([&] { return fired > 0; }, 3000));
    EXPECT_GE(clock.elapsed(), 250); // counted from the second start, not the first
    EXPECT_EQ(fired, 1);
}

TEST(QtTimer, DisablingDropsTheWaitAndARepeatingTimerKeepsFiring) {
    QtTimer timer;
    timer.setInterval(15);
    int fired = 0;
    timer.OnTimer = [&] { ++fired; };
    timer.setEnabled(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return fired >= 3; }, 2000));
    timer.setEnabled(false);
    const int stopped = fired;
    QTest::qWait(60);
    EXPECT_EQ(fired, stopped);
}
