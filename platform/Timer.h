#pragma once
// Timers on the program's one thread: the find box's 100 ms wait after the last keystroke and the
// grid's 60 ms tick while a column is dragged.
//
// TTimer keeps the properties and the firing rule; a backend only waits. Code that needs a timer
// asks createTimer(), so the window layer can install timers driven by its message loop while the
// layers below stay free of it. Until a factory is installed, createTimer() makes manual timers
// on the process-wide manualTimerClock(): they fire only when something advances that clock by
// hand, which is what tests do and what a program without a message loop gets (no timer ever
// fires behind its back).
//
// Everything here belongs to the one thread; nothing is synchronised.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace cibrano {

class TTimer {
public:
    TTimer() = default;
    virtual ~TTimer() = default;
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;

    // Milliseconds between the start of the wait and the firing. Changing it while enabled
    // restarts the wait with the new length. 0 (and a negative value, stored as 0) keeps the
    // timer from firing at all, enabled or not.
    int Interval() const { return interval_; }
    void setInterval(int milliseconds);

    // Enabling starts the wait, and starts it afresh when already enabled, so a keystroke can
    // push the pending search back with setEnabled(true). Disabling drops the wait.
    bool Enabled() const { return enabled_; }
    void setEnabled(bool value);

    // A single-shot timer disables itself as it fires; otherwise the next wait starts as soon as
    // one ends. Default: repeating.
    bool SingleShot() const { return singleShot_; }
    void setSingleShot(bool value) { singleShot_ = value; }

    // Runs at every firing, after the timer has been disabled (single shot) or its next wait
    // started (repeating), so the handler may re-enable, stop or even destroy the timer.
    std::function<void()> OnTimer;

protected:
    // The backend's part: wait `milliseconds` (> 0) and then call fire(); a new wait replaces
    // the one running.
    virtual void startWait(int milliseconds) = 0;
    // Drop the wait that runs, if any.
    virtual void stopWait() = 0;
    // Called by the backend when the wait has run out.
    void fire();

private:
    void restart();

    int interval_ = 1000;
    bool enabled_ = false;
    bool singleShot_ = false;
};

using TimerFactory = std::function<std::unique_ptr<TTimer>()>;

// A new timer, disabled, with the interval 1000 ms and no handler.
std::unique_ptr<TTimer> createTimer();
// Installs the source of createTimer(); an empty factory restores the manual default.
void setTimerFactory(TimerFactory factory);

class ManualTimer;

// A clock that stands still until advanced by hand. Its timers fire during advance(), in the
// order of their due times (timers due at the same moment in the order their waits started),
// each with the clock reading its due time, so a repeating timer fires once for every interval
// that fits in the advance.
class ManualTimerClock {
public:
    ManualTimerClock() = default;
    // Its timers stay usable but never fire again.
    ~ManualTimerClock();
    ManualTimerClock(const ManualTimerClock&) = delete;
    ManualTimerClock& operator=(const ManualTimerClock&) = delete;

    std::unique_ptr<TTimer> createTimer();

    // Milliseconds advanced since the clock was made.
    uint64_t elapsed() const { return now_; }
    // Moves the time on by `milliseconds`, firing every wait that runs out on the way, including
    // waits that handlers start meanwhile.
    void advance(uint64_t milliseconds);
    // The number of timers waiting.
    int waitingCount() const;

private:
    friend class ManualTimer;
    void attach(ManualTimer* timer);
    void detach(ManualTimer* timer);
    ManualTimer* nextDue(uint64_t until) const;

    std::vector<ManualTimer*> timers_;
    uint64_t now_ = 0;
    uint64_t waitsStarted_ = 0;
};

// The clock of the default timers.
ManualTimerClock& manualTimerClock();

} // namespace cibrano
