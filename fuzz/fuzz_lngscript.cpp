// Any byte string as a translation script applied to a window with every
// kind of control the scripts address: parsing, section choice and setting
// captions, items and titles must neither crash nor leak, whatever the paths
// and values say.
#include "i18n/MultiLanguage.h"
#include "i18n/TRadioGroup.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QWidget>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

using namespace tessum;

namespace {

struct TWindow {
    QWidget form;
    TMultiLanguage* lng;
    TWindow() {
        form.setObjectName(QStringLiteral("fFuzz"));
        auto* label = new QLabel(&form);
        label->setObjectName(QStringLiteral("lDesc"));
        auto* button = new QPushButton(&form);
        button->setObjectName(QStringLiteral("bbOK"));
        auto* check = new QCheckBox(&form);
        check->setObjectName(QStringLiteral("cbuseStrinmulde"));
        auto* group = new TRadioGroup(&form);
        group->setObjectName(QStringLiteral("rgModus"));
        auto* menu = new QMenu(&form);
        menu->setObjectName(QStringLiteral("miGame"));
        auto* action = new QAction(&form);
        action->setObjectName(QStringLiteral("aNewGame"));
        menu->addAction(action);
        lng = new TMultiLanguage(&form);
    }
};

}  // namespace

namespace {

TWindow* Window = nullptr;

void Run(std::string_view Text) {
    Window->lng->SetScript(SplitScriptText(Text));
    for (const char* language : {"german", "english", ""}) {
        Window->lng->SetLanguage(language);
        Window->lng->GetText("msgquit");
        Window->lng->UnresolvedTargets();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* Argc, char*** Argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*Argc, *Argv);
    static TWindow window;
    Window = &window;
    // Qt builds its font and style caches on first use and keeps them for
    // the process; build them here so that no input is charged with them.
    Run("[german]\nCaption=Fenster\nlDesc.Caption=Text \xe4\xf6\xfc\nbbOK.Caption=OK\n"
        "rgModus.Items='eins','zwei'\nrgModus.Caption=Modus\ncbuseStrinmulde.Caption=Mulde\n"
        "miGame.Caption=&Spiel\naNewGame.Caption=&Neu\n[english]\nCaption=Window\n");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    Run(std::string_view(reinterpret_cast<const char*>(Data), Size));
    return 0;
}
