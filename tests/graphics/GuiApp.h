// Fonts and event loops need a GUI application object; tests share one.
#pragma once

namespace tessum::test {

void EnsureGuiApp();

}  // namespace tessum::test
