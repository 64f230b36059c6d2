#include "app/uBrokenInstallation.h"

#include "game/uTSettings.h"
#include "i18n/GVDialogs.h"
#include "i18n/lngDialogs.h"

namespace tessum {

QString BrokenInstallationText(const TArchiveFault& Fault, const std::string& Language) {
    SetDialogLanguage(Language);
    const char* Key = "msgfiledamaged";
    switch (Fault.Problem()) {
        case TArchiveProblem::Missing: Key = "msgfilemissing"; break;
        case TArchiveProblem::Unreadable: Key = "msgfileunreadable"; break;
        case TArchiveProblem::Damaged: break;
    }
    const QString File = QString::fromLocal8Bit(Fault.ArchiveFileName().c_str());
    return DialogText(Key).arg(File) + QStringLiteral("\n\n") + DialogText("msgreinstall");
}

int ReportBrokenInstallation(const TArchiveFault& Fault) {
    LngMessageDlg(BrokenInstallationText(Fault, ReadLanguage(LanguageGerman)), mtError, {mbOK});
    return 1;
}

}  // namespace tessum
