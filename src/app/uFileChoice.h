// TFileChoice: what the load or the save command keeps between two uses of
// its file dialog: the title the translation scripts give it and the folder
// of the last game that was really loaded or saved.
//
// The dialog itself exists only while the player chooses. A dialog kept
// hidden between uses goes on watching its folder in the background (a
// special folder such as /proc can block that watch, and with it the whole
// program), and its pop-ups, such as the name completion list, may outlive
// its window. A folder is learnt only after a load or save in it succeeded,
// so a failed write never points the next dialog at a folder that cannot be
// listed.
#pragma once

#include <QFileDialog>
#include <QFileIconProvider>
#include <QObject>
#include <QString>

#include <memory>

class QWidget;

namespace tessum {

// Names and icons for the file list that come from the file's name and kind
// only. Qt's own provider opens every file to sniff its type from the
// content, in the window's thread: a pseudo-file that never answers a read
// (such as /proc/kmsg) then freezes the whole program as soon as a dialog
// lists its folder or completes a name in it.
class TNameOnlyIconProvider : public QFileIconProvider {
public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& Info) const override;
    QString type(const QFileInfo& Info) const override;
};

class TFileChoice : public QObject {
    Q_OBJECT
    // "odLoadGame.Title" and "sdSaveGame.Title" of the window's script.
    Q_PROPERTY(QString Title READ Title WRITE SetTitle)
public:
    enum class TKind { Load, Save };

    TFileChoice(TKind Kind, const QString& Name, QObject* Owner);

    QString Title() const { return title_; }
    void SetTitle(const QString& Title) { title_ = Title; }
    TKind Kind() const { return kind_; }

    // The folder the next dialog opens in: the learnt one, else Fallback.
    QString Folder(const QString& Fallback) const;
    bool HasFolder() const { return !folder_.isEmpty(); }
    // Takes the folder of FileName, a game that was just loaded or saved.
    void Learn(const QString& FileName);

    // A new dialog for one choice, opening in Folder(Fallback). Loading
    // accepts a name typed without its extension; the command adds ".tsm".
    std::unique_ptr<QFileDialog> MakeDialog(QWidget* Parent, const QString& Fallback);

private:
    TKind kind_;
    TNameOnlyIconProvider icons_;
    QString title_;
    QString folder_;
};

}  // namespace tessum
