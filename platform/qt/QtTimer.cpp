#include "platform/qt/QtTimer.h"

#include "platform/UiServices.h"

#include <exception>

namespace cibrano {

QtTimer::QtTimer() {
    // One wait at a time: TTimer itself starts the next one of a repeating timer.
    timer_.setSingleShot(true);
    // The 100 ms search wait and the 60 ms drag tick want their length, not the coarse
    // timer's 5 % slack.
    timer_.setTimerType(Qt::PreciseTimer);
    // An error from the handler (a search the dataset refuses) is shown like any other error
    // escaping an event handler, and the loop goes on.
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        try {
            fire();
        } catch (const std::exception& e) {
            reportError(e);
        }
    });
}

void QtTimer::startWait(int milliseconds) {
    timer_.start(milliseconds);
}

void QtTimer::stopWait() {
    timer_.stop();
}

void installQtTimerFactory() {
    setTimerFactory([] { return std::unique_ptr<TTimer>(std::make_unique<QtTimer>()); });
}

} // namespace cibrano
