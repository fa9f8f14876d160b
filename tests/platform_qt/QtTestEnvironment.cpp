// The test program's application object, made before the first test runs (not while the
// program starts, so that listing the tests needs no display). It is the program's own, so
// that errors escaping handlers, timers and fonts behave as in the program. The window tests
// use it too.

#include "platform/qt/QtApplication.h"

#include <gtest/gtest.h>

namespace {

class QtEnvironment : public testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "cibrano-tests";
        static char* argv[] = {name, nullptr};
        app_ = new cibrano::TApplication(argc, argv, "Cibrano",
                                         QLocale(QLocale::Italian, QLocale::Italy));
    }
    void TearDown() override {
        delete app_;
        app_ = nullptr;
    }

private:
    cibrano::TApplication* app_ = nullptr;
};

[[maybe_unused]] testing::Environment* const environment =
    testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace
