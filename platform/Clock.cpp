#include "platform/Clock.h"

#include <chrono>
#include <ctime>

namespace cibrano {

namespace {
std::function<TDateTime()>& override() {
    static std::function<TDateTime()> f;
    return f;
}
} // namespace

TDateTime now() {
    if (override())
        return override()();
    using namespace std::chrono;
    auto t = system_clock::now();
    std::time_t secs = system_clock::to_time_t(t);
    int ms = static_cast<int>(duration_cast<milliseconds>(t.time_since_epoch()).count() % 1000);
    std::tm local{};
    localtime_r(&secs, &local);
    TDateTime date = 0, time = 0;
    tryEncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, date);
    tryEncodeTime(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec, ms, time);
    return date + time;
}

uint64_t tickCount() {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void setClockForTesting(std::function<TDateTime()> source) {
    override() = std::move(source);
}

} // namespace cibrano
