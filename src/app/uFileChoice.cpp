#include "app/uFileChoice.h"

#include <QFileInfo>

namespace tessum {

TFileChoice::TFileChoice(TKind Kind, const QString& Name, QObject* Owner) : QObject(Owner), kind_(Kind) {
    setObjectName(Name);
}

QString TFileChoice::Folder(const QString& Fallback) const { return folder_.isEmpty() ? Fallback : folder_; }

void TFileChoice::Learn(const QString& FileName) {
    if (FileName.isEmpty()) return;
    folder_ = QFileInfo(FileName).absolutePath();
}

std::unique_ptr<QFileDialog> TFileChoice::MakeDialog(QWidget* Parent, const QString& Fallback) const {
    auto Dialog = std::make_unique<QFileDialog>(Parent);
    Dialog->setObjectName(objectName());
    Dialog->setWindowTitle(title_);
    Dialog->setNameFilter(QStringLiteral("Tessum (*.tsm)"));
    if (kind_ == TKind::Load) {
        Dialog->setAcceptMode(QFileDialog::AcceptOpen);
        // A name without ".tsm" must reach the command, which finds the
        // game under the name with the extension, as saving writes it.
        Dialog->setFileMode(QFileDialog::AnyFile);
    } else {
        Dialog->setAcceptMode(QFileDialog::AcceptSave);
        Dialog->setFileMode(QFileDialog::AnyFile);
        // The ".tsm" rule is the command's; the dialog must not add a suffix of its own.
        Dialog->setDefaultSuffix(QString());
    }
    Dialog->setDirectory(Folder(Fallback));
    return Dialog;
}

}  // namespace tessum
