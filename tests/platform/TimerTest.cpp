#include "platform/Timer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace cibrano;

namespace {

struct Log {
    ManualTimerClock& clock;
    std::vector<std::string> events;
    void track(TTimer& timer, const std::string& name) {
        timer.OnTimer = [this, name] {
            events.push_back(name + "@" + std::to_string(clock.elapsed()));
        };
    }
};

TEST(TimerTest, SingleShotRestartedByEveryKeystrokeFiresOnceAfterTheLast) {
    ManualTimerClock clock;
    Log log{clock, {}};
    auto timer = clock.createTimer();
    timer->setInterval(100);
    timer->setSingleShot(true);
    log.track(*timer, "search");
    for (int key = 0; key < 3; ++key) {
        timer->setEnabled(true);
        clock.advance(40);
    }
    EXPECT_TRUE(log.events.empty());
    clock.advance(500);
    EXPECT_EQ(log.events, std::vector<std::string>{"search@180"});
    EXPECT_FALSE(timer->Enabled());
    EXPECT_EQ(clock.waitingCount(), 0);
}

TEST(TimerTest, TimersFireInOrderOfDueTimeAndRepeatOncePerInterval) {
    ManualTimerClock clock;
    Log log{clock, {}};
    auto drag = clock.createTimer();
    auto find = clock.createTimer();
    auto same = clock.createTimer();
    drag->setInterval(60);
    find->setInterval(120);
    find->setSingleShot(true);
    same->setInterval(120);
    same->setSingleShot(true);
    log.track(*drag, "drag");
    log.track(*find, "find");
    log.track(*same, "same");
    // All three come due at 120: they fire in the order their waits started, and the drag
    // timer's second wait started last (at 60).
    find->setEnabled(true);
    drag->setEnabled(true);
    same->setEnabled(true);
    clock.advance(200);
    EXPECT_EQ(log.events, (std::vector<std::string>{"drag@60", "find@120", "same@120", "drag@120",
                                                    "drag@180"}));
    EXPECT_EQ(clock.elapsed(), 200u);
    EXPECT_TRUE(drag->Enabled());
}

TEST(TimerTest, IntervalChangesRestartAndZeroOrDisabledNeverFires) {
    ManualTimerClock clock;
    Log log{clock, {}};
    auto timer = clock.createTimer();
    EXPECT_EQ(timer->Interval(), 1000);
    EXPECT_FALSE(timer->Enabled());
    log.track(*timer, "t");
    timer->setInterval(100);
    timer->setSingleShot(true);
    clock.advance(150);
    EXPECT_TRUE(log.events.empty()) << "a disabled timer waits for nothing";

    timer->setEnabled(true);
    clock.advance(90);
    timer->setInterval(50); // restarts: due 50 ms from now, not 10
    clock.advance(40);
    EXPECT_TRUE(log.events.empty());
    clock.advance(10);
    EXPECT_EQ(log.events, std::vector<std::string>{"t@290"});

    timer->setInterval(-5);
    EXPECT_EQ(timer->Interval(), 0);
    timer->setEnabled(true);
    EXPECT_EQ(clock.waitingCount(), 0);
    timer->setInterval(30);
    clock.advance(20);
    timer->setEnabled(false);
    clock.advance(100);
    EXPECT_EQ(log.events.size(), 1u);
}

TEST(TimerTest, HandlersMayRestartStartOthersOrDestroyTheirTimer) {
    ManualTimerClock clock;
    std::vector<std::string> events;
    std::unique_ptr<TTimer> first = clock.createTimer();
    std::unique_ptr<TTimer> second = clock.createTimer();
    first->setInterval(100);
    first->setSingleShot(true);
    second->setInterval(30);
    second->setSingleShot(true);
    int firstRuns = 0;
    first->OnTimer = [&] {
        events.push_back("first@" + std::to_string(clock.elapsed()));
        if (++firstRuns == 1) {
            first->setEnabled(true); // a single shot re-armed from its own handler
            second->setEnabled(true);
        } else {
            first.reset();
        }
    };
    second->OnTimer = [&] { events.push_back("second@" + std::to_string(clock.elapsed())); };
    first->setEnabled(true);
    clock.advance(1000);
    EXPECT_EQ(events, (std::vector<std::string>{"first@100", "second@130", "first@200"}));
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(clock.waitingCount(), 0);
}

TEST(TimerTest, FactoryIsReplaceableAndDefaultsToTheManualClock) {
    auto timer = createTimer();
    int fired = 0;
    timer->OnTimer = [&] { ++fired; };
    timer->setInterval(10);
    timer->setSingleShot(true);
    timer->setEnabled(true);
    manualTimerClock().advance(10);
    EXPECT_EQ(fired, 1);

    ManualTimerClock own;
    int made = 0;
    setTimerFactory([&] {
        ++made;
        return own.createTimer();
    });
    auto mine = createTimer();
    setTimerFactory({});
    EXPECT_EQ(made, 1);
    mine->OnTimer = [&] { ++fired; };
    mine->setInterval(10);
    mine->setEnabled(true);
    manualTimerClock().advance(50);
    EXPECT_EQ(fired, 1) << "the installed factory's timer runs on its own clock";
    own.advance(10);
    EXPECT_EQ(fired, 2);
}

TEST(TimerTest, TimerOutlivingItsClockStaysUsableAndSilent) {
    std::unique_ptr<TTimer> timer;
    {
        ManualTimerClock clock;
        timer = clock.createTimer();
        timer->setInterval(10);
        timer->setEnabled(true);
    }
    timer->setEnabled(false);
    timer->setEnabled(true);
    EXPECT_TRUE(timer->Enabled());
}

} // namespace
