#pragma once
// Code that runs handlers on behalf of an object cannot take for granted that the object
// outlives them: a handler may free the data link or data source whose notification it hears.
// Such an object carries a TLifeMark; the code takes a watch before it runs handlers and asks
// the watch afterwards, before it touches the object again.

#include <memory>
#include <utility>

namespace cibrano {

class TLifeMark {
public:
    class Watch {
    public:
        explicit Watch(std::shared_ptr<const bool> alive) : alive_(std::move(alive)) {}
        // False once the object that carried the mark is gone.
        bool alive() const { return *alive_; }

    private:
        std::shared_ptr<const bool> alive_;
    };

    TLifeMark() = default;
    TLifeMark(const TLifeMark&) = delete;
    TLifeMark& operator=(const TLifeMark&) = delete;
    ~TLifeMark() { *alive_ = false; }

    Watch watch() const { return Watch(alive_); }

private:
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace cibrano
