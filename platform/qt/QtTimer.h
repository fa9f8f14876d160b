#pragma once
// The platform timer over QTimer: its waits run on the Qt message loop of the one thread.

#include "platform/Timer.h"

#include <QTimer>

namespace cibrano {

class QtTimer : public TTimer {
public:
    QtTimer();

protected:
    void startWait(int milliseconds) override;
    void stopWait() override;

private:
    QTimer timer_;
};

// Makes createTimer() hand out QtTimer objects from now on.
void installQtTimerFactory();

} // namespace cibrano
