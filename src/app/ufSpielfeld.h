// TfSpielfeld: the main window. It hosts the board area, the menus and their
// commands, the load and save dialogs, the clock and computer timers, the
// hover hint, the splash and about windows, and it owns the game controller.
//
// Who moves when is the turn driver's (game/uTTurnDriver.h): the window
// forwards the board area's mouse and the controller's notifications to it
// and offers it input, pointer, hint, the highscore and new-game commands and
// a yes/no question (ITurnWindow). Every command that opens a window of its
// own holds a TClockStop while it runs. To add a menu command: a QAction made
// with MakeAction in BuildMenus, its caption in fSpielfeld.lng, and a handler
// that starts with a TClockStop when it shows a window.
#pragma once

#include <QActionGroup>
#include <QFileDialog>
#include <QImage>
#include <QList>
#include <QMainWindow>
#include <QMenu>
#include <QObject>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

#include "app/uFileChoice.h"
#include "game/uTSpielfeld.h"
#include "game/uTTurnDriver.h"
#include "graphics/uBoardView.h"

class QAction;

namespace tessum {

class TMultiLanguage;
class THTMLHint;
class TfSpielfeld;

// The board area: the whole client area of the window. It shows the
// controller's picture at the largest size that fits, centred in black, and
// reports the mouse in board coordinates.
class TBoardArea : public QWidget {
    Q_OBJECT
public:
    explicit TBoardArea(TfSpielfeld& Owner);
    // The pit whose hint is shown, -1 for none.
    int Tag = -1;
    // Placement of the board in this widget and its scaled picture.
    TBoardView View;

    // Brings the scaled picture up to date with Picture and repaints what
    // changed.
    void ShowChanges(const TBitmap& Picture);

protected:
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void leaveEvent(QEvent* Event) override;

private:
    TfSpielfeld& owner_;
};

// The about window as a component of the main window: its "language" follows
// the window's translation, and Execute shows the window in that language.
class TInfoComponent : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString language READ Language WRITE SetLanguage)
public:
    explicit TInfoComponent(QWidget* Owner);
    QString Language() const { return language_; }
    void SetLanguage(const QString& Language) { language_ = Language; }
    void Execute();

private:
    QWidget* owner_;
    QString language_ = QStringLiteral("german");
};

class TfSpielfeld : public QMainWindow, public ISpielfeldWindow, public ITurnWindow {
    Q_OBJECT

public:
    // Reads the language, creates the controller with every picture, applies
    // the settings to the menus and, when sound is on, plays the start sound
    // and shows the splash window.
    explicit TfSpielfeld(QWidget* Parent = nullptr);
    // Destroys the controller, which saves the settings.
    ~TfSpielfeld() override;

    TSpielfeld& Spielfeld() { return *Spielfeld_; }
    TTurnDriver& Driver() { return *Driver_; }

    // ISpielfeldWindow and ITurnWindow: the application's error display.
    void ShowError(const std::string& Message) override;
    // ISpielfeldWindow.
    void Repaint() override;
    void ShowResult(const std::string& Message) override;
    void GameFinished(std::int32_t Rank1, std::int32_t Rank2) override;
    void MustSkip() override;
    // ITurnWindow.
    void SetInputEnabled(bool Enabled) override;
    TPointer Pointer() const override { return pointer_; }
    void SetPointer(TPointer Pointer) override;
    int HintPit() const override;
    bool HintShown() const override;
    void ShowHint(int Pit, int Stones, int X, int Y) override;
    void HideHint() override;
    void ShowHighscore(std::int32_t Rank1, std::int32_t Rank2) override;
    void StartNewGame() override { aNewGameExecute(); }
    bool Ask(const std::string& Question) override;
    void CommandsChanged() override { alMenuUpdate(); }
    void ShowBestPit(int Pit) override;
    bool MouseOnBoard(int& X, int& Y) const override;
    bool DialogOpen() const override;

    // Components, named as their object names.
    TMultiLanguage* lng;
    TBoardArea* pbSpielfeld;
    THTMLHint* htmlhint;
    QList<QImage> ilhints;
    // What the load and save dialogs remember; each dialog lives only while
    // the player chooses.
    TFileChoice* odLoadGame;
    TFileChoice* sdSaveGame;
    TInfoComponent* id;
    QMenu* miGame;
    QMenu* miOptions;
    QMenu* miInternet;
    QMenu* miHelp;
    QAction* aNewGame;
    QAction* aLoadGame;
    QAction* aSaveGame;
    QAction* aUndo;
    QAction* aRedo;
    QAction* aHint;
    QAction* aHighscore;
    QAction* aGameHistory;
    QAction* aEnd;
    QAction* aSound;
    QAction* aFullScreen = nullptr;
    QAction* miHandanimation;
    QAction* miSteinAnimation;
    QAction* minoAnimation;
    QAction* miGerman;
    QAction* miEnglish;
    QAction* aUpdate;
    QAction* aEmail;
    QAction* aHomepage;
    QAction* aSponsor;
    QAction* aContent;
    QAction* aAbout;

    // How web pages, the mail address and the help file are opened; the
    // desktop's handler unless replaced (tests record instead).
    std::function<void(const QString& Url)> OpenDocument;

    // Runs a file dialog and gives the chosen file, empty when cancelled;
    // the dialog's own modal run unless replaced (tests choose directly).
    // The dialog is destroyed when the command is done with it.
    std::function<QString(QFileDialog& Dialog)> ChooseFile;

    // Board area events; positions in board coordinates.
    void pbSpielfeldPaint(const QRect& Exposed);
    void pbSpielfeldMouseMove(int X, int Y);
    void pbSpielfeldMouseDown(int X, int Y);

    // Commands.
    void aNewGameExecute();
    void aLoadGameExecute();
    // What the load command does once a file is chosen; also the saved game
    // given on the command line. Errors are shown as the command shows them.
    // The dialogs learn the file's folder only when the game loaded.
    void LoadGameFile(const QString& FileName);
    void aSaveGameExecute();
    void aUndoExecute();
    void aRedoExecute();
    void aHintExecute();
    void aHighscoreExecute();
    void aGameHistoryExecute();
    void aEndExecute();
    void aSoundExecute();
    // Full screen on and off (F11); remembered like maximized.
    void aFullScreenExecute();
    void miAnimationClick(QAction* Item);
    void miGermanClick(QAction* Item);
    void aUpdateExecute();
    void aEmailExecute();
    void aHomepageExecute();
    void aSponsorExecute();
    void aContentExecute();
    void aAboutExecute();
    // Enables saving and the history once there is something to save, and
    // undo, redo and the hint when a person may use them.
    void alMenuUpdate();

    // Keyboard play: the pit the focus frame stands on, -1 for none. Left and
    // Right move it over the legal pits of the person to move, the digits 1
    // to 6 pick a pit of that person's row, Enter or Space plays it.
    int FocusPit() const { return FocusPit_; }
    // True when the key was one of keyboard play's.
    bool PlayKey(int Key);

    // The name a save-file choice is written under: ".tsm" added unless the
    // name already ends in it, whatever the letter case.
    static QString SaveFileName(const QString& Chosen);
    // The file a load choice means: the name as chosen when it is a file,
    // else that name with ".tsm" when that one is, else the name unchanged
    // (whose load then says what is wrong with it).
    static QString LoadFileName(const QString& Chosen);
    // Where a window of Wanted size (without its frame) opens on a screen
    // whose free area is Available, with Frame around it: centred, no larger
    // than the area, never beyond it. The frame's top left is returned with
    // the client size.
    static QRect Placement(const QRect& Available, QSize Wanted, const QMargins& Frame);
    // The smallest client size: the board's own 1:1 size with the menu, or
    // the screen when that is smaller.
    static QSize MinimumSize(const QRect& Available, const QMargins& Frame);
    // Where the help document of the current language lies.
    QString HelpFile() const;
    // Where the file dialogs start before a game was loaded or saved: the
    // user's documents, or home when there are none.
    static QString FirstGameFolder();

protected:
    void closeEvent(QCloseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void showEvent(QShowEvent* Event) override;
    void changeEvent(QEvent* Event) override;

private:
    // Size limits and position from the screen the window is on; Centre
    // places it in the middle, otherwise it is only pulled back onto it.
    void FitToScreen(bool Centre);
    QMargins FrameMargins() const;
    void BuildMenus();
    void lngTranslate();
    void OpenShell(const QString& Target);
    // Both dialogs open next where this game was loaded or saved.
    void LearnFolder(const QString& FileName);
    // Runs a new dialog of Choice and gives the file chosen, empty when none.
    QString RunFileDialog(TFileChoice& Choice);

    std::unique_ptr<TSpielfeld> Spielfeld_;
    std::unique_ptr<TTurnDriver> Driver_;
    TPointer pointer_ = TPointer::Arrow;
    int BestPit_ = -1;
    int FocusPit_ = -1;
    // A person is to move and may choose a pit now.
    bool PersonMayMove() const;
    void SetFocusPit(int Pit);
    // A repaint of the board is on its way.
    bool RepaintPending_ = false;
    // Maximized before full screen, to return to it.
    bool MaximizedBeforeFullScreen_ = false;
    bool Placed_ = false;
};

}  // namespace tessum
