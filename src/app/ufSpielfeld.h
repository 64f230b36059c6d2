// TfSpielfeld: the main window. It hosts the board area, the menus and their
// commands, the load and save dialogs, the clock and computer timers, the
// hover hint, the splash and about windows, and it owns the game controller.
//
// It is also the turn driver: it decides when a person's click counts, when
// the computer moves, when the clocks run, when a side that cannot move skips,
// and what happens once a game is over (highscore table, another game?).
//
// Pacing of computer-against-computer games: the next computer move is always
// started by the computer timer from the event loop, never from inside the
// wait after the previous move, so a game of any length (and the next game
// started from the final question) runs at a constant stack depth. In that
// mode the timer waits ComputerPauseMs instead of ComputerDelayMs.
#pragma once

#include <QActionGroup>
#include <QFileDialog>
#include <QImage>
#include <QList>
#include <QMainWindow>
#include <QMenu>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

#include "game/uTSpielfeld.h"

class QAction;

namespace tessum {

class TMultiLanguage;
class THTMLHint;
class TfSpielfeld;

inline constexpr int ComputerDelayMs = 250;
inline constexpr int ComputerPauseMs = 1000;
inline constexpr int ClockTickMs = 1000;

// The board area: shows the controller's picture and reports the mouse.
class TBoardArea : public QWidget {
    Q_OBJECT
public:
    explicit TBoardArea(TfSpielfeld& Owner);
    // The pit whose hint is shown, -1 for none.
    int Tag = -1;

protected:
    void paintEvent(QPaintEvent* Event) override;
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

// The pointer shapes the turn driver works with.
enum class TPointer { Arrow, Hourglass, HandPoint };

class TfSpielfeld : public QMainWindow, public ISpielfeldWindow {
    Q_OBJECT

public:
    // Reads the language, creates the controller with every picture, applies
    // the settings to the menus and, when sound is on, plays the start sound
    // and shows the splash window.
    explicit TfSpielfeld(QWidget* Parent = nullptr);
    // Destroys the controller, which saves the settings.
    ~TfSpielfeld() override;

    TSpielfeld& Spielfeld() { return *Spielfeld_; }

    // ISpielfeldWindow: the application's error display.
    void ShowError(const std::string& Message) override;

    // Components, named as their object names.
    TMultiLanguage* lng;
    TBoardArea* pbSpielfeld;
    THTMLHint* htmlhint;
    QList<QImage> ilhints;
    QTimer* tZeit;
    QTimer* tKI;
    QFileDialog* odLoadGame;
    QFileDialog* sdSaveGame;
    TInfoComponent* id;
    QMenu* miGame;
    QMenu* miOptions;
    QMenu* miInternet;
    QMenu* miHelp;
    QAction* aNewGame;
    QAction* aLoadGame;
    QAction* aSaveGame;
    QAction* aHighscore;
    QAction* aGameHistory;
    QAction* aEnd;
    QAction* aSound;
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
    std::function<QString(QFileDialog& Dialog)> ChooseFile;

    // The pause before a computer move when the computer plays both sides.
    int ComputerPause = ComputerPauseMs;

    // Turn driver.
    void StopClock();
    void ResumeClock();
    void ArmComputer();
    void MakeMove(int Pit);
    void MakeSkip();
    void tZeitTimer();
    void tKITimer();

    // Board area events.
    void pbSpielfeldPaint();
    void pbSpielfeldMouseMove(int X, int Y);
    void pbSpielfeldMouseDown(int X, int Y);

    // Commands.
    void aNewGameExecute();
    void aLoadGameExecute();
    void aSaveGameExecute();
    void aHighscoreExecute();
    void aGameHistoryExecute();
    void aEndExecute();
    void aSoundExecute();
    void miAnimationClick(QAction* Item);
    void miGermanClick(QAction* Item);
    void aUpdateExecute();
    void aEmailExecute();
    void aHomepageExecute();
    void aSponsorExecute();
    void aContentExecute();
    void aAboutExecute();
    // Enables saving and the history once there is something to save.
    void alMenuUpdate();

    // The pointer shown over the board.
    TPointer Pointer() const { return pointer_; }
    void SetPointer(TPointer Pointer);

    // The name a save-file choice is written under: ".tsm" added unless the
    // name already ends in it, whatever the letter case.
    static QString SaveFileName(const QString& Chosen);
    // Where the help document of the current language lies.
    QString HelpFile() const;

protected:
    void closeEvent(QCloseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;

private:
    void BuildMenus();
    void lngTranslate();
    // Runs a command or event handler; an exception that escapes it reaches
    // the error display, and a window left disabled by it accepts input again.
    void Guarded(const std::function<void()>& Handler);
    void OpenShell(const QString& Target);
    void SetInputEnabled(bool Enabled);
    void AskForAnotherGame();
    void SetInitialFolders(const QString& FileName);

    std::unique_ptr<TSpielfeld> Spielfeld_;
    TPointer pointer_ = TPointer::Arrow;
    // Whether the file dialogs have been given their first folder.
    bool LoadFolderSet_ = false;
    bool SaveFolderSet_ = false;
};

}  // namespace tessum
