#pragma once
// Telling several listeners the same thing: an error raised by one of them must not keep the
// others from hearing it, or they would go on showing what was true before. Each step runs
// through run(); the first error is kept and passed on by rethrow() once all have run.

#include <exception>

namespace cibrano {

class TFirstError {
public:
    template <typename Step> void run(Step step) {
        try {
            step();
        } catch (...) {
            if (!first_)
                first_ = std::current_exception();
        }
    }
    void rethrow() const {
        if (first_)
            std::rethrow_exception(first_);
    }

private:
    std::exception_ptr first_;
};

} // namespace cibrano
