#include "app/uFileChoice.h"

#include <QFileInfo>
#include <QIcon>
#include <QMimeDatabase>

namespace tessum {

QIcon TNameOnlyIconProvider::icon(const QFileInfo& Info) const {
    if (Info.isDir()) return icon(Folder);
    if (!Info.isFile()) return icon(File);
    const QMimeType Type = QMimeDatabase().mimeTypeForFile(Info, QMimeDatabase::MatchExtension);
    return QIcon::fromTheme(Type.iconName(), QIcon::fromTheme(Type.genericIconName(), icon(File)));
}

QString TNameOnlyIconProvider::type(const QFileInfo& Info) const {
    // Folders, drives, links and devices never need their content read.
    if (!Info.isFile()) return QFileIconProvider::type(Info);
    const QMimeType Type = QMimeDatabase().mimeTypeForFile(Info, QMimeDatabase::MatchExtension);
    return Type.comment().isEmpty() ? Type.name() : Type.comment();
}

TFileChoice::TFileChoice(TKind Kind, const QString& Name, QObject* Owner) : QObject(Owner), kind_(Kind) {
    setObjectName(Name);
}

QString TFileChoice::Folder(const QString& Fallback) const { return folder_.isEmpty() ? Fallback : folder_; }

void TFileChoice::Learn(const QString& FileName) {
    if (FileName.isEmpty()) return;
    folder_ = QFileInfo(FileName).absolutePath();
}

std::unique_ptr<QFileDialog> TFileChoice::MakeDialog(QWidget* Parent, const QString& Fallback) {
    auto Dialog = std::make_unique<QFileDialog>(Parent);
    Dialog->setObjectName(objectName());
    Dialog->setWindowTitle(title_);
    Dialog->setNameFilter(QStringLiteral("Tessum (*.tsm)"));
    Dialog->setAcceptMode(kind_ == TKind::Load ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    // Any name reaches the command, also one without ".tsm" when loading:
    // the ".tsm" rule is the command's, and the dialog adds no suffix.
    Dialog->setFileMode(QFileDialog::AnyFile);
    Dialog->setDefaultSuffix(QString());
    Dialog->setIconProvider(&icons_);
    Dialog->setDirectory(Folder(Fallback));
    return Dialog;
}

}  // namespace tessum
