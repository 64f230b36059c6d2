// The Qt application of a test binary that does not link QtApp.cpp.
#pragma once

#include <QApplication>

namespace tessum::test {

inline void EnsureApplication() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "tessum-test";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

}  // namespace tessum::test
