// One QApplication for all cases of a test binary; widgets need it.
#include <QApplication>
#include <gtest/gtest.h>

namespace {

class TQtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "tessum-test";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) App_ = new QApplication(argc, argv);
    }
    void TearDown() override {
        delete App_;
        App_ = nullptr;
    }

private:
    QApplication* App_ = nullptr;
};

const auto* const kEnv = ::testing::AddGlobalTestEnvironment(new TQtEnvironment);

}  // namespace
