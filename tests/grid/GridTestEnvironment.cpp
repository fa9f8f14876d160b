// The test program's application object, made before the first test runs (not while the
// program starts, so that listing the tests needs no display).

#include <QApplication>

#include <gtest/gtest.h>

namespace {

class GridEnvironment : public testing::Environment {
public:
    void SetUp() override {
        // Widget tests need no display, however they are started.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "test_grid";
        static char* argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
    }
    void TearDown() override {
        delete app_;
        app_ = nullptr;
    }

private:
    QApplication* app_ = nullptr;
};

[[maybe_unused]] testing::Environment* const environment =
    testing::AddGlobalTestEnvironment(new GridEnvironment);

} // namespace
