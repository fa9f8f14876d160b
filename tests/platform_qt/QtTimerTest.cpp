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
    timer.setInterval(40);
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
    QTest::qWait(20);
    EXPECT_EQ(fired, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return fired > 0; }, 1000));
    QTest::qWait(80);
    EXPECT_EQ(fired, 1);
    EXPECT_GE(at, 40);
    EXPECT_FALSE(timer.Enabled());
}

TEST(QtTimer, EnablingAgainPushesTheWaitBack) {
    QtTimer timer;
    timer.setInterval(60);
    timer.setSingleShot(true);
    int fired = 0;
    timer.OnTimer = [&] { ++fired; };
    QElapsedTimer clock;
    clock.start();
    timer.setEnabled(true);
    QTest::qWait(40);
    timer.setEnabled(true); // like a keystroke before the search
    QTest::qWait(40);
    EXPECT_EQ(fired, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return fired > 0; }, 1000));
    EXPECT_GE(clock.elapsed(), 100);
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
