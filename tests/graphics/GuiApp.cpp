#include "GuiApp.h"

#include <QApplication>

namespace tessum::test {

void EnsureGuiApp() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "tessum_graphics_test";
    static char* argv[] = {name, nullptr};
    // Lives until the process ends; tests never tear it down.
    new QApplication(argc, argv);
}

}  // namespace tessum::test
