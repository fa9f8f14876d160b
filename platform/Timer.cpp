#include "platform/Timer.h"

#include <algorithm>
#include <utility>

namespace cibrano {

// ---- TTimer ----

void TTimer::setInterval(int milliseconds) {
    milliseconds = std::max(milliseconds, 0);
    if (milliseconds == interval_)
        return;
    interval_ = milliseconds;
    if (enabled_)
        restart();
}

void TTimer::setEnabled(bool value) {
    enabled_ = value;
    if (value)
        restart();
    else
        stopWait();
}

void TTimer::restart() {
    if (interval_ > 0)
        startWait(interval_);
    else
        stopWait();
}

void TTimer::fire() {
    if (!enabled_ || interval_ <= 0)
        return;
    if (singleShot_)
        enabled_ = false;
    else
        startWait(interval_);
    // A copy, because the handler may reassign OnTimer or destroy the timer; nothing touches
    // the timer after the call.
    if (auto handler = OnTimer)
        handler();
}

// ---- Manual timers ----

class ManualTimer : public TTimer {
public:
    explicit ManualTimer(ManualTimerClock* clock) : clock_(clock) { clock_->attach(this); }
    ~ManualTimer() override {
        if (clock_)
            clock_->detach(this);
    }

protected:
    void startWait(int milliseconds) override {
        if (!clock_)
            return;
        waiting_ = true;
        due_ = clock_->now_ + static_cast<uint64_t>(milliseconds);
        order_ = ++clock_->waitsStarted_;
    }
    void stopWait() override { waiting_ = false; }

private:
    friend class ManualTimerClock;

    void runOut() {
        waiting_ = false;
        fire();
    }

    ManualTimerClock* clock_;
    bool waiting_ = false;
    uint64_t due_ = 0;
    uint64_t order_ = 0;
};

ManualTimerClock::~ManualTimerClock() {
    for (ManualTimer* t : timers_) {
        t->clock_ = nullptr;
        t->waiting_ = false;
    }
}

std::unique_ptr<TTimer> ManualTimerClock::createTimer() {
    return std::make_unique<ManualTimer>(this);
}

void ManualTimerClock::attach(ManualTimer* timer) {
    timers_.push_back(timer);
}

void ManualTimerClock::detach(ManualTimer* timer) {
    timers_.erase(std::remove(timers_.begin(), timers_.end(), timer), timers_.end());
}

ManualTimer* ManualTimerClock::nextDue(uint64_t until) const {
    ManualTimer* next = nullptr;
    for (ManualTimer* t : timers_) {
        if (!t->waiting_ || t->due_ > until)
            continue;
        if (!next || t->due_ < next->due_ || (t->due_ == next->due_ && t->order_ < next->order_))
            next = t;
    }
    return next;
}

void ManualTimerClock::advance(uint64_t milliseconds) {
    const uint64_t target = now_ + milliseconds;
    // Looked up afresh after every firing: a handler may start, stop, create or destroy timers.
    while (ManualTimer* t = nextDue(target)) {
        now_ = std::max(now_, t->due_);
        t->runOut();
    }
    now_ = target;
}

int ManualTimerClock::waitingCount() const {
    return static_cast<int>(
        std::count_if(timers_.begin(), timers_.end(), [](ManualTimer* t) { return t->waiting_; }));
}

ManualTimerClock& manualTimerClock() {
    static ManualTimerClock clock;
    return clock;
}

// ---- The factory ----

namespace {
TimerFactory& installedFactory() {
    static TimerFactory factory;
    return factory;
}
} // namespace

std::unique_ptr<TTimer> createTimer() {
    if (installedFactory())
        return installedFactory()();
    return manualTimerClock().createTimer();
}

void setTimerFactory(TimerFactory factory) {
    installedFactory() = std::move(factory);
}

} // namespace cibrano
