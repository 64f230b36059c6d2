// The main window played end to end on the offscreen platform: games by mouse
// and against the computer, saving and loading through the commands, the quit
// question, the clock around the commands. The rules of the turn driver in
// depth, computer-against-computer pacing and forced skips are the driver's
// tests (tests/game/test_turndriver.cpp), on a clock that needs no real time.
#include <QApplication>
#include <QCursor>
#include <QMenuBar>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "FakeClock.h"
#include "GameTestFolder.h"
#include "SoundLog.h"
#include "archive/uPaths.h"
#include "i18n/MultiLanguage.h"
#include "i18n/lngDialogs.h"
#include "app/uFileChoice.h"
#include "app/uOpenDocument.h"
#include "app/uRichText.h"
#include "game/uSound.h"
#include "graphics/uTSpielfeldLayers.h"
#include "app/ufSpielfeld.h"
#include "app/ufStreichholz.h"

namespace tessum {
namespace {

// Closes the program's own modal windows as a player would: confirms the
// new-game dialog with the choices of the settings file, draws in the start
// draw, confirms the highscore table and picks files in the file dialogs.
class TModalDriver {
public:
    int NewGames = 0;
    int Draws = 0;
    int Highscores = 0;
    // The clock timer's state whenever one of these windows was open.
    std::vector<bool> ClockWhileOpen;
    std::function<bool()> ClockRunning;

    TModalDriver() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }

private:
    void Poll() {
        QWidget* Modal = QApplication::activeModalWidget();
        if (Modal == nullptr || Modal == last_) return;
        const QString Class = Modal->metaObject()->className();
        auto Record = [this] {
            if (ClockRunning) ClockWhileOpen.push_back(ClockRunning());
        };
        if (Class == "tessum::TfNewGame") {
            last_ = Modal;
            ++NewGames;
            Record();
            QMetaObject::invokeMethod(Modal, "accept", Qt::QueuedConnection);
        } else if (Class == "tessum::TfStreichholz") {
            last_ = Modal;
            ++Draws;
            auto* Draw = static_cast<TfStreichholz*>(Modal);
            Draw->PauseMilliseconds = 0;
            QMetaObject::invokeMethod(Draw->bLeft, "click", Qt::QueuedConnection);
        } else if (Class == "tessum::TfHighscore") {
            last_ = Modal;
            ++Highscores;
            Record();
            QMetaObject::invokeMethod(Modal, "accept", Qt::QueuedConnection);
        }
    }

    QTimer timer_;
    QWidget* last_ = nullptr;
};

// Answers the translated message boxes: the question for another game with
// Yes while games remain, everything else with its first button.
class TMessageDriver {
public:
    int AnotherGameYes = 0;
    std::vector<QString> Texts;
    int AnotherGameQuestions = 0;
    int QuitAnswer = mrNo;

    TMessageDriver() {
        previous_ = SetMessageDialogObserver([this](QDialog& Dialog) {
            const QString Text = MessageDialogText(Dialog);
            Texts.push_back(Text);
            if (Text.contains(QString::fromUtf8("weiteres Spiel"))) {
                ++AnotherGameQuestions;
                const bool Yes = AnotherGameYes > 0;
                if (Yes) --AnotherGameYes;
                PressMessageDialogButton(Dialog, Yes ? mrYes : mrNo);
            } else if (Text.contains("beenden")) {
                PressMessageDialogButton(Dialog, QuitAnswer);
            } else if (!PressMessageDialogButton(Dialog, mrOk) && !PressMessageDialogButton(Dialog, mrYes)) {
                Dialog.reject();
            }
        });
    }
    ~TMessageDriver() { SetMessageDialogObserver(previous_); }

    int Count(const QString& Part) const {
        return static_cast<int>(std::count_if(Texts.begin(), Texts.end(), [&](const QString& T) { return T.contains(Part); }));
    }

private:
    TMessageDialogObserver previous_;
};

class TMainWindowTest : public test::TProgramFolderTest {
protected:
    void SetUp() override {
        TProgramFolderTest::SetUp();
        SetSoundOutput(std::make_unique<test::TSilentOutput>());
        // The pauses inside a move (the hands going home) take simulated
        // time; the window's own timers stay real.
        SetWaitClock(&WaitClock);
    }
    void TearDown() override {
        Window.reset();
        SetWaitClock(nullptr);
        SetSoundOutput(nullptr);
        TProgramFolderTest::TearDown();
    }

    // Settings without sound (no splash) and without animation, and the
    // choices the new-game dialog opens with.
    void Configure(int Mode, int Variant = 0, int Stones = 4) {
        WriteFile("settings.ini",
                  "[settings]\nlanguage=german\nsound=0\nhandani=0\nstoneani=0\nnoani=1\n"
                  "[newgame]\nname1=Anna\nname2=Bert\nmail1=a@example.org\nmail2=b@example.org\n"
                  "difficulty=0\nmode=" +
                      std::to_string(Mode) + "\nvariant=" + std::to_string(Variant) +
                      "\nstones=" + std::to_string(Stones) + "\nusehead=1\n");
    }

    // Changes lines of the settings file that Configure wrote, each From
    // to its To.
    void ChangeSettings(const std::vector<std::pair<std::string, std::string>>& Lines) {
        std::string Settings = ReadFile("settings.ini");
        for (const auto& [From, To] : Lines) Settings.replace(Settings.find(From), From.size(), To);
        WriteFile("settings.ini", Settings);
    }

    void Open() {
        Window = std::make_unique<TfSpielfeld>();
        if (RecordDocuments) Window->OpenDocument = [this](const QString& Url) { Opened.push_back(Url); };
        Window->Driver().ComputerPause = 1;
        Window->ChooseFile = [this](QFileDialog& Dialog) {
            ++FileDialogs;
            Modals.ClockWhileOpen.push_back(Window->Driver().ClockRunning());
            FolderShown = Dialog.directory().absolutePath();
            return FileToChoose ? FileToChoose() : QString();
        };
        Window->show();
        Modals.ClockRunning = [this] { return Window->Driver().ClockRunning(); };
    }

    TSpielfeld& Game() { return Window->Spielfeld(); }

    // Handles events until Done holds or the time is up.
    bool RunUntil(const std::function<bool()>& Done, int Milliseconds = 60000) {
        QElapsedTimer Clock;
        Clock.start();
        while (!Done()) {
            if (Clock.elapsed() > Milliseconds) return false;
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return true;
    }

    // A mouse event at board point Board, where the window shows it.
    void Mouse(QEvent::Type Type, QPoint Board) {
        const Qt::MouseButton Button = Type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const TBoardView& View = Window->pbSpielfeld->View;
        const QPointF At = View.ToWidget(TPoint{Board.x(), Board.y()}) + QPointF(View.Factor() / 2, View.Factor() / 2);
        QMouseEvent Event(Type, At, Window->pbSpielfeld->mapToGlobal(At), Button,
                          Type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(Window->pbSpielfeld, &Event);
    }
    static QPoint Centre(int Pit) {
        const TRect& R = PitRects[static_cast<std::size_t>(Pit)];
        return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
    }
    // What a player does: point at the pit, then press.
    void ClickPit(int Pit) {
        Mouse(QEvent::MouseMove, Centre(Pit));
        Mouse(QEvent::MouseButtonPress, Centre(Pit));
    }
    int FirstLegalPit() {
        const int Side = Game().Board().Player;
        for (int Row = 1; Row <= 6; ++Row)
            if (Game().Board().IsLegalMove(PitIndex(Side, Row))) return PitIndex(Side, Row);
        return 0;
    }

    test::TFakeClock WaitClock;
    std::function<QString()> FileToChoose;
    int FileDialogs = 0;
    QString FolderShown;
    TModalDriver Modals;
    TMessageDriver Messages;
    std::vector<QString> Opened;
    // Whether Open replaces the window's way to the desktop by a record.
    bool RecordDocuments = true;
    std::unique_ptr<TfSpielfeld> Window;
};

TEST_F(TMainWindowTest, StartsWithoutAGameAndSizesItselfAroundTheBoard) {
    Configure(0);
    Open();
    EXPECT_EQ(Window->windowTitle(), "TESSUM (R) Freeware Nr. 1");
    EXPECT_EQ(Window->size(), QSize(800, 600));
    // The board area is the whole client area; the board in it as large as
    // fits, its shape kept, centred.
    EXPECT_EQ(Window->pbSpielfeld->size(), Window->centralWidget()->size());
    const QRectF Board = Window->pbSpielfeld->View.Target();
    EXPECT_NEAR(Board.width() / Board.height(), 720.0 / 520.0, 0.01);
    EXPECT_GE(Board.width(), 720);
    EXPECT_NEAR(Board.center().x(), Window->pbSpielfeld->width() / 2.0, 1.0);
    EXPECT_FALSE(Game().IsRunning());
    EXPECT_FALSE(Window->aSaveGame->isEnabled());
    EXPECT_FALSE(Window->aGameHistory->isEnabled());
    EXPECT_TRUE(Window->minoAnimation->isChecked());
    EXPECT_FALSE(Window->aSound->isChecked());
    EXPECT_TRUE(Window->miGerman->isChecked());
    EXPECT_TRUE(Window->lng->UnresolvedTargets().empty());
    // A click with no game does nothing.
    ClickPit(1);
    EXPECT_EQ(Game().History().CountMoves(), 0);
}

TEST_F(TMainWindowTest, PersonAgainstPersonPlayedByMouseToTheEnd) {
    Configure(0);
    Open();
    Window->aNewGame->trigger();
    ASSERT_TRUE(Game().IsRunning());
    EXPECT_EQ(Modals.Draws, 1);
    EXPECT_TRUE(Window->Driver().ClockRunning());
    EXPECT_FALSE(Window->Driver().ComputerArmed());
    EXPECT_TRUE(Window->aSaveGame->isEnabled());

    int Moves = 0;
    while (Game().IsRunning() && Moves < 2000) {
        const int Pit = FirstLegalPit();
        ASSERT_GT(Pit, 0) << "a running game whose side to move cannot move";
        const int Before = Game().History().CountMoves();
        // Hovering shows the count of any pit in the hint.
        Mouse(QEvent::MouseMove, Centre(Pit));
        EXPECT_EQ(Window->pbSpielfeld->Tag, Pit);
        EXPECT_EQ(Window->Pointer(), TPointer::HandPoint);
        Mouse(QEvent::MouseButtonPress, Centre(Pit));
        ASSERT_GT(Game().History().CountMoves(), Before);
        EXPECT_EQ(Window->Pointer(), TPointer::Arrow);
        EXPECT_TRUE(Window->centralWidget()->isEnabled());
        ++Moves;
    }
    EXPECT_FALSE(Game().IsRunning());
    EXPECT_TRUE(Game().Board().IsGameOver());
    EXPECT_EQ(Modals.Highscores, 1);
    EXPECT_EQ(Messages.AnotherGameQuestions, 1);
    // The result message came before the question.
    EXPECT_GE(Messages.Count("Spieler"), 1);
    // After the game the clock is off, saving stays possible.
    EXPECT_FALSE(Window->Driver().ClockRunning());
    EXPECT_TRUE(Window->aSaveGame->isEnabled());
    EXPECT_TRUE(Exists("hs1.dat"));
}

TEST_F(TMainWindowTest, KeyboardPlayAndTheUndoRedoAndHintKeys) {
    Configure(0);
    Open();
    EXPECT_FALSE(Window->aUndo->isEnabled());
    EXPECT_FALSE(Window->aHint->isEnabled());
    Window->aNewGame->trigger();
    ASSERT_TRUE(Game().IsRunning());
    auto Key = [this](int Code, Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
        QKeyEvent Press(QEvent::KeyPress, Code, Modifiers);
        QApplication::sendEvent(Window.get(), &Press);
    };
    auto Shortcut = [this](const QKeySequence& Keys) {
        // What the shortcut of a menu command reaches: the command's action.
        for (QAction* A : Window->actions())
            if (A->shortcut() == Keys && A->isEnabled()) A->trigger();
    };
    const int Side = Game().Board().Player;
    // The legal pits as the board shows them, left to right.
    std::vector<int> Shown;
    for (int N = 1; N <= 6; ++N) Shown.push_back(Side == 1 ? 7 - N : 7 + N);
    Key(Qt::Key_Right);
    EXPECT_EQ(Window->FocusPit(), Shown.front());
    EXPECT_EQ(Window->pbSpielfeld->Tag, Shown.front());  // the hint shows its stones
    Key(Qt::Key_Right);
    EXPECT_EQ(Window->FocusPit(), Shown[1]);
    Key(Qt::Key_Left);
    Key(Qt::Key_Left);
    EXPECT_EQ(Window->FocusPit(), Shown.back());  // round the row
    Key(Qt::Key_3);
    EXPECT_EQ(Window->FocusPit(), PitIndex(Side, 3));
    Key(Qt::Key_Return);
    ASSERT_EQ(Game().History().Count(), 1);
    EXPECT_EQ(Game().History().Items(0).Pit, PitIndex(Side, 3));

    // The move can be taken back with Ctrl+Z and played again with Ctrl+Shift+Z.
    Window->alMenuUpdate();
    EXPECT_TRUE(Window->aUndo->isEnabled());
    Shortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(Game().History().Count(), 0);
    EXPECT_EQ(Game().Board().Player, Side);
    EXPECT_TRUE(Window->aRedo->isEnabled());
    Shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    EXPECT_EQ(Game().History().Count(), 1);
    EXPECT_TRUE(Game().Assisted());

    // H asks the master; its pit is marked until the next move.
    Window->Driver().MasterBudget = std::chrono::milliseconds(20);
    EXPECT_TRUE(Window->aHint->isEnabled());
    Shortcut(QKeySequence(Qt::Key_H));
    ASSERT_TRUE(RunUntil([this] { return !Window->Driver().Thinking(); }, 10000));
    const int Best = Window->Driver().BestPit();
    EXPECT_TRUE(Game().Board().IsLegalMove(Best));
    // The focus still stands on the other side's pit: Space plays nothing.
    ASSERT_FALSE(Game().Board().IsLegalMove(Window->FocusPit()));
    Key(Qt::Key_Space);
    EXPECT_EQ(Game().History().Count(), 1);
    ClickPit(Best);
    EXPECT_EQ(Window->Driver().BestPit(), -1);
}

TEST_F(TMainWindowTest, ClickRule) {
    Configure(0);
    Open();
    Window->aNewGame->trigger();
    ASSERT_TRUE(Game().IsRunning());
    const int Side = Game().Board().Player;
    const int Own = FirstLegalPit();

    // Without a movement over the pit the pointer is no hand: ignored.
    Mouse(QEvent::MouseButtonPress, Centre(Own));
    EXPECT_EQ(Game().History().CountMoves(), 0);

    // The other side's pit and the end pits keep the arrow, show the hint, and do nothing.
    const int Theirs = PitIndex(Side == 1 ? 2 : 1, 1);
    Mouse(QEvent::MouseMove, Centre(Theirs));
    EXPECT_EQ(Window->Pointer(), TPointer::Arrow);
    EXPECT_EQ(Window->pbSpielfeld->Tag, Theirs);
    EXPECT_TRUE(Window->htmlhint->Html().contains("<b>4</b>"));
    Mouse(QEvent::MouseButtonPress, Centre(Theirs));
    Mouse(QEvent::MouseMove, Centre(7));
    Mouse(QEvent::MouseButtonPress, Centre(7));
    EXPECT_EQ(Game().History().CountMoves(), 0);

    // Pointing at a legal pit and moving off it to a wrong one: still refused.
    Mouse(QEvent::MouseMove, Centre(Own));
    Mouse(QEvent::MouseButtonPress, Centre(Theirs));
    EXPECT_EQ(Game().History().CountMoves(), 0);

    // Leaving the board hides the hint.
    Mouse(QEvent::MouseMove, QPoint(-1, -1));
    EXPECT_EQ(Window->pbSpielfeld->Tag, -1);

    ClickPit(Own);
    EXPECT_EQ(Game().History().CountMoves(), 1);
}

TEST_F(TMainWindowTest, ComputerAgainstPersonAndNoClicksWhileTheComputerMoves) {
    Configure(1);
    Open();
    Window->aNewGame->trigger();
    ASSERT_TRUE(Game().IsRunning());
    int Guard = 0;
    while (Game().IsRunning() && Guard++ < 3000) {
        if (Game().IsComputer(Game().Board().Player)) {
            EXPECT_TRUE(Window->Driver().ComputerArmed());
            // Hovering while the computer is to move shows nothing and allows nothing.
            Window->pbSpielfeld->Tag = -1;
            for (int Row = 1; Row <= 6; ++Row) ClickPit(PitIndex(1, Row));
            EXPECT_EQ(Window->pbSpielfeld->Tag, -1);
            const int Before = Game().History().CountMoves();
            ASSERT_TRUE(RunUntil([&] { return Game().History().CountMoves() > Before; }, 20000));
        } else {
            EXPECT_FALSE(Window->Driver().ComputerArmed());
            const int Pit = FirstLegalPit();
            ASSERT_GT(Pit, 0);
            ClickPit(Pit);
        }
    }
    EXPECT_FALSE(Game().IsRunning());
    EXPECT_EQ(Modals.Highscores, 1);
    EXPECT_EQ(Messages.AnotherGameQuestions, 1);
    EXPECT_FALSE(Window->Driver().ComputerArmed());
}

// HOME and the XDG settings folder of a test, put back when it ends.
class THomeFolder {
public:
    explicit THomeFolder(const std::string& Home)
        : home_(qgetenv("HOME")), config_(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("HOME", QByteArray::fromStdString(Home));
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(Home + "/.config"));
    }
    ~THomeFolder() {
        qputenv("HOME", home_);
        if (config_.isNull()) qunsetenv("XDG_CONFIG_HOME");
        else qputenv("XDG_CONFIG_HOME", config_);
    }

private:
    QByteArray home_, config_;
};

TEST_F(TMainWindowTest, SaveAndLoadThroughTheCommands) {
    const THomeFolder Home(folder_);
    std::filesystem::create_directory(Path("Documents"));
    Configure(0);
    Open();
    Window->aNewGame->trigger();
    for (int I = 0; I < 4 && Game().IsRunning(); ++I) ClickPit(FirstLegalPit());
    const int Moves = Game().History().CountMoves();
    const auto Pits = Game().Board().Pits;
    const int Player = Game().Board().Player;
    Game().SetClock(1, 77);

    const std::string Base = Path("spiele/partie");
    std::filesystem::create_directory(Path("spiele"));
    FileToChoose = [&] { return QString::fromStdString(Base); };
    Window->aSaveGame->trigger();
    ASSERT_TRUE(Exists("spiele/partie.tsm")) << "the extension is added";
    EXPECT_EQ(FolderShown.toStdString(), Path("Documents")) << "the first folder is the user's documents";
    EXPECT_EQ(Messages.Count("gespeichert"), 1);
    EXPECT_TRUE(Window->Driver().ClockRunning());

    // A name that ends in .TSM stays as typed; one ending in .txt gets .tsm behind it.
    FileToChoose = [&] { return QString::fromStdString(Path("zwei.TSM")); };
    Window->aSaveGame->trigger();
    EXPECT_EQ(FolderShown.toStdString(), Path("spiele")) << "the next one starts where the last file went";
    EXPECT_TRUE(Exists("zwei.TSM"));
    EXPECT_FALSE(Exists("zwei.TSM.tsm"));
    FileToChoose = [&] { return QString::fromStdString(Path("drei.txt")); };
    Window->aSaveGame->trigger();
    EXPECT_TRUE(Exists("drei.txt.tsm"));

    // Replace the game, then load the saved one.
    Window->aNewGame->trigger();
    ASSERT_EQ(Game().History().CountMoves(), 0);
    FileToChoose = [&] { return QString::fromStdString(Base + ".tsm"); };
    Window->aLoadGame->trigger();
    EXPECT_EQ(Game().History().CountMoves(), Moves);
    EXPECT_EQ(Game().Board().Pits, Pits);
    EXPECT_EQ(Game().Board().Player, Player);
    EXPECT_TRUE(Game().IsRunning());
    EXPECT_TRUE(Window->Driver().ClockRunning());
    EXPECT_EQ(Game().Clock(1), static_cast<int>(Game().History().SumSeconds(1)));

    // Cancelled or missing files change nothing.
    FileToChoose = [] { return QString(); };
    Window->aLoadGame->trigger();
    FileToChoose = [&] { return QString::fromStdString(Path("fehlt.tsm")); };
    Window->aLoadGame->trigger();
    EXPECT_EQ(Game().History().CountMoves(), Moves);
    EXPECT_TRUE(Window->Driver().ClockRunning());
}

TEST_F(TMainWindowTest, WithoutDocumentsTheDialogsStartAtHome) {
    const THomeFolder Home(folder_);
    Configure(0);
    Open();
    Window->aLoadGame->trigger();
    EXPECT_EQ(FolderShown.toStdString(), folder_);
}

TEST_F(TMainWindowTest, AGameGivenByNameLoadsOrShowsWhyNot) {
    Configure(0);
    Open();
    Window->aNewGame->trigger();
    for (int I = 0; I < 3 && Game().IsRunning(); ++I) ClickPit(FirstLegalPit());
    const int Moves = Game().History().CountMoves();
    FileToChoose = [&] { return QString::fromStdString(Path("given.tsm")); };
    Window->aSaveGame->trigger();
    Window->aNewGame->trigger();
    ASSERT_EQ(Game().History().CountMoves(), 0);

    Window->LoadGameFile(QString::fromStdString(Path("given.tsm")));
    EXPECT_EQ(Game().History().CountMoves(), Moves);
    EXPECT_TRUE(Game().IsRunning());
    EXPECT_TRUE(Window->Driver().ClockRunning());

    // A damaged file is reported and the game in progress goes on.
    WriteFile("damaged.tsm", "not a saved game at all");
    Window->LoadGameFile(QString::fromStdString(Path("damaged.tsm")));
    EXPECT_EQ(Messages.Count("File is corrupt."), 1);
    Window->LoadGameFile(QString::fromStdString(Path("missing.tsm")));
    EXPECT_EQ(Game().History().CountMoves(), Moves);
    EXPECT_TRUE(Game().IsRunning());
}

TEST_F(TMainWindowTest, SaveFileNameRule) {
    EXPECT_EQ(TfSpielfeld::SaveFileName("/a/b"), "/a/b.tsm");
    EXPECT_EQ(TfSpielfeld::SaveFileName("/a/b.tsm"), "/a/b.tsm");
    EXPECT_EQ(TfSpielfeld::SaveFileName("/a/b.TsM"), "/a/b.TsM");
    EXPECT_EQ(TfSpielfeld::SaveFileName("/a/b.txt"), "/a/b.txt.tsm");
    EXPECT_EQ(TfSpielfeld::SaveFileName("/a/b.tsm.bak"), "/a/b.tsm.bak.tsm");
}

TEST_F(TMainWindowTest, CancelledQuitLeavesTheComputerTimerAsItWas) {
    Configure(1);
    Open();
    Messages.QuitAnswer = mrNo;
    EXPECT_FALSE(Window->close());
    EXPECT_FALSE(Window->Driver().ComputerArmed());
    EXPECT_TRUE(Window->isVisible());

    Window->aNewGame->trigger();
    ASSERT_TRUE(Game().IsRunning());
    // Put the computer to move with its timer armed, as after a person's move.
    Game().SetPosition(Game().Board().Pits, 1);
    Window->Driver().ArmComputer();
    ASSERT_TRUE(Window->Driver().ComputerArmed());
    const int Moves = Game().History().CountMoves();
    EXPECT_FALSE(Window->close());
    EXPECT_TRUE(Window->Driver().ComputerArmed());
    EXPECT_EQ(Game().History().CountMoves(), Moves);
    EXPECT_EQ(Messages.Count("beenden"), 2);

    Messages.QuitAnswer = mrYes;
    EXPECT_TRUE(Window->close());
}

TEST_F(TMainWindowTest, ClockRunsOnlyWhileASideWaits) {
    Configure(0);
    Open();
    const int Idle1 = Game().Clock(1);
    const int Idle2 = Game().Clock(2);
    Window->Driver().tZeitTimer();
    EXPECT_EQ(Game().Clock(1), Idle1) << "no game, no time";
    EXPECT_EQ(Game().Clock(2), Idle2);
    Window->aNewGame->trigger();
    const int Side = Game().Board().Player;
    const int Other = Side == 1 ? 2 : 1;
    Window->Driver().tZeitTimer();
    Window->Driver().tZeitTimer();
    EXPECT_EQ(Game().Clock(Side), 2);
    EXPECT_EQ(Game().Clock(Other), 0);
    // Every command with a window of its own stopped the clock meanwhile.
    Window->aHighscore->trigger();
    Window->aNewGame->trigger();
    ASSERT_FALSE(Modals.ClockWhileOpen.empty());
    for (bool Running : Modals.ClockWhileOpen) EXPECT_FALSE(Running);
    EXPECT_TRUE(Window->Driver().ClockRunning());
    // Opening a web page or the help stops and resumes it too.
    Window->aHomepage->trigger();
    Window->aContent->trigger();
    EXPECT_TRUE(Window->Driver().ClockRunning());
    ASSERT_EQ(Opened.size(), 2u);
    EXPECT_TRUE(Opened[1].endsWith("/hilfe/start.htm"));
}

TEST_F(TMainWindowTest, LanguageSwitchKeepsTheGameAndIsRemembered) {
    Configure(0);
    Open();
    Window->aNewGame->trigger();
    ClickPit(FirstLegalPit());
    const auto Pits = Game().Board().Pits;
    Window->miEnglish->trigger();
    EXPECT_EQ(Window->windowTitle(), "TESSUM (R) Freeware No. 1");
    EXPECT_EQ(Window->aNewGame->text(), "&new game");
    EXPECT_EQ(DialogLanguage(), "english");
    EXPECT_EQ(Game().Board().Pits, Pits);
    EXPECT_EQ(Window->HelpFile().toStdString(), DataFile("hilfe/start_e.htm"));
    EXPECT_TRUE(QFileInfo(Window->HelpFile()).isFile());
    EXPECT_NE(ReadFile("settings.ini").find("language=english"), std::string::npos);
    Window->miGerman->trigger();
    EXPECT_EQ(Window->aNewGame->text(), "&neues Spiel");
}

TEST_F(TMainWindowTest, OptionsReachTheSettings) {
    Configure(0);
    Open();
    Window->aSound->trigger();
    EXPECT_TRUE(Game().Settings().Sound);
    Window->aSound->trigger();
    EXPECT_FALSE(Game().Settings().Sound);
    Window->miHandanimation->trigger();
    EXPECT_EQ(Game().Settings().Animation, AnimationHands);
    Window->miSteinAnimation->trigger();
    EXPECT_EQ(Game().Settings().Animation, AnimationStones);
    EXPECT_FALSE(Window->miHandanimation->isChecked());
    Window->minoAnimation->trigger();
    EXPECT_EQ(Game().Settings().Animation, AnimationNone);
}

}  // namespace
}  // namespace tessum

namespace tessum {
namespace {

TEST_F(TMainWindowTest, QuittingDuringAHandAnimationEndsAtOnceAndTheSettingsAreWritten) {
    // The animation runs on real time here: things happen while it is shown.
    SetWaitClock(nullptr);
    Configure(0);
    ChangeSettings({{"handani=0", "handani=1"}, {"noani=1", "noani=0"}});
    Open();
    ASSERT_EQ(Game().Settings().Animation, AnimationHands);
    Window->aNewGame->trigger();
    ASSERT_TRUE(Game().IsRunning());
    // Something to find in the file afterwards.
    Window->miSteinAnimation->trigger();
    Window->miHandanimation->trigger();
    Window->aSound->trigger();

    Messages.QuitAnswer = mrYes;
    QElapsedTimer SinceClose;
    bool DuringMove = false;
    bool Closed = false;
    QTimer::singleShot(300, Window.get(), [&] {
        DuringMove = Game().IsMoveInProgress();
        SinceClose.start();
        Closed = Window->close();
    });
    ClickPit(FirstLegalPit());
    ASSERT_TRUE(SinceClose.isValid()) << "the move ended before the close box was pressed";
    EXPECT_LT(SinceClose.elapsed(), 1000);
    EXPECT_TRUE(DuringMove);
    EXPECT_TRUE(Closed);
    EXPECT_FALSE(Window->isVisible());
    EXPECT_FALSE(Window->Driver().ClockRunning());
    EXPECT_FALSE(Window->Driver().ComputerArmed());
    EXPECT_EQ(Modals.Highscores, 0);
    EXPECT_EQ(Messages.AnotherGameQuestions, 0);
    Window.reset();
    EXPECT_NE(ReadFile("settings.ini").find("sound=1"), std::string::npos);
}

}  // namespace
}  // namespace tessum

namespace tessum {
namespace {

// The pointer a widget shows, by Qt's rule: that of the nearest widget up the
// chain that sets one, and the arrow when that widget takes no input.
Qt::CursorShape ShownCursor(const QWidget* W) {
    while (!W->isWindow() && !W->testAttribute(Qt::WA_SetCursor)) W = W->parentWidget();
    if (!W->testAttribute(Qt::WA_SetCursor) || !W->isEnabled()) return Qt::ArrowCursor;
    return W->cursor().shape();
}

TEST_F(TMainWindowTest, TheHourglassCoversBoardAndMenusWhileAMoveIsShown) {
    // The animation runs on real time here: things happen while it is shown.
    SetWaitClock(nullptr);
    Configure(0);
    ChangeSettings({{"stoneani=0", "stoneani=1"}, {"noani=1", "noani=0"}});
    Open();
    Window->aNewGame->trigger();
    ASSERT_TRUE(Game().IsRunning());
    std::vector<Qt::CursorShape> Board, Menus;
    QTimer Look;
    QObject::connect(&Look, &QTimer::timeout, [&] {
        if (!Game().IsMoveInProgress()) return;
        Board.push_back(ShownCursor(Window->pbSpielfeld));
        Menus.push_back(ShownCursor(Window->menuBar()));
        // Seen enough: Escape, as a player would.
        if (Board.size() >= 3) Game().SkipAnimation();
    });
    Look.start(20);
    ClickPit(FirstLegalPit());
    Look.stop();
    ASSERT_FALSE(Board.empty()) << "no look during the move";
    for (Qt::CursorShape Shape : Board) EXPECT_EQ(Shape, Qt::WaitCursor);
    for (Qt::CursorShape Shape : Menus) EXPECT_EQ(Shape, Qt::WaitCursor);
    EXPECT_NE(ShownCursor(Window->pbSpielfeld), Qt::WaitCursor);
}

TEST_F(TMainWindowTest, AfterAMoveThePointerIsWorkedOutWhereTheMouseIs) {
    Configure(0);
    Open();
    Window->aNewGame->trigger();
    ASSERT_TRUE(Game().IsRunning());
    // A move after which the other side is to move, and a pit that side may take then.
    int Played = 0, Next = 0;
    const int Side = Game().Board().Player;
    for (int Row = 1; Row <= 6 && Next == 0; ++Row) {
        const int Pit = PitIndex(Side, Row);
        if (!Game().Board().IsLegalMove(Pit)) continue;
        TFeld After(Game().Board());
        After.DoMove(Pit);
        if (After.Player == Side) continue;
        for (int Other = 1; Other <= 6 && Next == 0; ++Other)
            if (After.IsLegalMove(PitIndex(After.Player, Other))) Next = PitIndex(After.Player, Other);
        Played = Pit;
    }
    ASSERT_GT(Next, 0);
    // The mouse rests over that pit when the move ends; no movement follows.
    Mouse(QEvent::MouseMove, Centre(Played));
    QCursor::setPos(Window->pbSpielfeld->mapToGlobal(Centre(Next)));
    Mouse(QEvent::MouseButtonPress, Centre(Played));
    ASSERT_EQ(Game().History().CountMoves(), 1);
    EXPECT_EQ(Window->Pointer(), TPointer::HandPoint);
    EXPECT_EQ(ShownCursor(Window->pbSpielfeld), Qt::PointingHandCursor);
    EXPECT_EQ(Window->pbSpielfeld->Tag, Next);
    // So the click needs no movement first.
    Mouse(QEvent::MouseButtonPress, Centre(Next));
    EXPECT_EQ(Game().History().CountMoves(), 2);

    // Off the board the arrow comes back after the move.
    QCursor::setPos(Window->mapToGlobal(QPoint(2, Window->height() - 2)));
    ClickPit(FirstLegalPit());
    EXPECT_EQ(Window->Pointer(), TPointer::Arrow);
    EXPECT_EQ(ShownCursor(Window->pbSpielfeld), Qt::ArrowCursor);
}

TEST_F(TMainWindowTest, TheComputerWaitsWhileADialogOfTheWindowIsOpen) {
    Configure(2);
    Open();
    Window->aNewGame->trigger();
    ASSERT_TRUE(Game().IsRunning());
    ASSERT_TRUE(RunUntil([&] { return Game().History().CountMoves() >= 2; }, 20000));
    int AtOpen = -1, AtClose = -1;
    QTimer::singleShot(0, Window.get(), [&] {
        AtOpen = Game().History().CountMoves();
        QTimer::singleShot(1500, Window.get(), [&] {
            AtClose = Game().History().CountMoves();
            if (QWidget* About = QApplication::activeModalWidget()) static_cast<QDialog*>(About)->accept();
        });
    });
    Window->aAbout->trigger();
    ASSERT_GE(AtOpen, 2);
    EXPECT_EQ(AtClose, AtOpen);
    // And plays on once it is closed.
    EXPECT_TRUE(RunUntil([&] { return Game().History().CountMoves() > AtClose || !Game().IsRunning(); }, 20000));
}

}  // namespace
}  // namespace tessum

namespace tessum {
namespace {

// Every file dialog of the program that still exists, shown or not.
int FileDialogsAlive() {
    int Count = 0;
    for (QWidget* W : QApplication::allWidgets())
        if (qobject_cast<QFileDialog*>(W) != nullptr) ++Count;
    return Count;
}

TEST_F(TMainWindowTest, FileDialogsLiveOnlyWhileChoosingAndLearnAFolderOnlyFromSuccess) {
    const THomeFolder Home(folder_);
    std::filesystem::create_directory(Path("Documents"));
    std::filesystem::create_directory(Path("spiele"));
    std::filesystem::create_directory(Path("andere"));
    Configure(0);
    Open();
    Window->aNewGame->trigger();
    for (int I = 0; I < 3 && Game().IsRunning(); ++I) ClickPit(FirstLegalPit());
    const int Moves = Game().History().CountMoves();
    EXPECT_EQ(FileDialogsAlive(), 0) << "no dialog waits hidden for its first use";

    FileToChoose = [&] { return QString::fromStdString(Path("spiele/partie")); };
    Window->aSaveGame->trigger();
    ASSERT_TRUE(Exists("spiele/partie.tsm"));
    EXPECT_EQ(FileDialogsAlive(), 0) << "the dialog is gone with the command";

    // A folder that cannot be written: the error, and the dialogs keep the
    // folder of the last game that was really saved.
    const int Errors = Messages.Count("");
    FileToChoose = [] { return QString("/proc/nope"); };
    Window->aSaveGame->trigger();
    EXPECT_EQ(Messages.Count(""), Errors + 1) << "the failed save is reported";
    EXPECT_EQ(Messages.Count("gespeichert"), 1);
    EXPECT_EQ(FileDialogsAlive(), 0);
    FileToChoose = [] { return QString(); };
    Window->aSaveGame->trigger();
    EXPECT_EQ(FolderShown.toStdString(), Path("spiele"));
    Window->aLoadGame->trigger();
    EXPECT_EQ(FolderShown.toStdString(), Path("spiele"));

    // A damaged game is no reason to go there next time either.
    WriteFile("andere/kaputt.tsm", "not a saved game at all");
    FileToChoose = [&] { return QString::fromStdString(Path("andere/kaputt.tsm")); };
    Window->aLoadGame->trigger();
    EXPECT_EQ(Messages.Count("File is corrupt."), 1);
    FileToChoose = [] { return QString(); };
    Window->aLoadGame->trigger();
    EXPECT_EQ(FolderShown.toStdString(), Path("spiele"));

    // A name typed without its extension loads the game saved under it; a
    // successful load moves both dialogs there.
    std::filesystem::copy_file(Path("spiele/partie.tsm"), Path("andere/zweite.tsm"));
    Window->aNewGame->trigger();
    ASSERT_EQ(Game().History().CountMoves(), 0);
    FileToChoose = [&] { return QString::fromStdString(Path("andere/zweite")); };
    Window->aLoadGame->trigger();
    EXPECT_EQ(Game().History().CountMoves(), Moves);
    FileToChoose = [] { return QString(); };
    Window->aSaveGame->trigger();
    EXPECT_EQ(FolderShown.toStdString(), Path("andere"));

    // A name that is neither there nor there with ".tsm" is reported, not ignored.
    const int Before = Messages.Count("");
    FileToChoose = [&] { return QString::fromStdString(Path("andere/fehlt")); };
    Window->aLoadGame->trigger();
    EXPECT_EQ(Messages.Count(""), Before + 1);
    EXPECT_EQ(Game().History().CountMoves(), Moves);
    EXPECT_EQ(FileDialogsAlive(), 0);
}

TEST_F(TMainWindowTest, LoadFileNameRule) {
    WriteFile("a.tsm", "x");
    WriteFile("b", "x");
    WriteFile("b.tsm", "x");
    std::filesystem::create_directory(Path("c"));
    WriteFile("c.tsm", "x");
    auto Load = [this](const char* Name) {
        return TfSpielfeld::LoadFileName(QString::fromStdString(Path(Name))).toStdString();
    };
    EXPECT_EQ(Load("a"), Path("a.tsm"));
    EXPECT_EQ(Load("a.tsm"), Path("a.tsm"));
    EXPECT_EQ(Load("b"), Path("b")) << "an existing file is taken as chosen";
    EXPECT_EQ(Load("c"), Path("c.tsm")) << "a folder is no game";
    EXPECT_EQ(Load("d"), Path("d")) << "the load says what is missing";
    EXPECT_EQ(Load("a.TSM"), Path("a.TSM"));
}

TEST_F(TMainWindowTest, TheRealDialogLeavesNothingBehindOnScreen) {
    Configure(0);
    Open();
    Window->aNewGame->trigger();
    ClickPit(FirstLegalPit());
    FileToChoose = [&] { return QString::fromStdString(Path("echt")); };
    Window->aSaveGame->trigger();
    ASSERT_TRUE(Exists("echt.tsm"));
    Window->aNewGame->trigger();

    // The program's own dialog this time: the name typed as a player types
    // it, with the completion list working on it, then Open.
    const auto Chooser = Window->ChooseFile;
    Window->ChooseFile = [](QFileDialog& Dialog) {
        QTimer::singleShot(0, &Dialog, [&Dialog] {
            auto* Name = Dialog.findChild<QLineEdit*>("fileNameEdit");
            if (Name != nullptr) QTest::keyClicks(Name, "ech");
            QTimer::singleShot(300, &Dialog, [&Dialog] {
                if (auto* Name = Dialog.findChild<QLineEdit*>("fileNameEdit")) Name->setText("echt");
                QMetaObject::invokeMethod(&Dialog, "accept");
            });
        });
        if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty()) return QString();
        return Dialog.selectedFiles().first();
    };
    std::filesystem::current_path(folder_);
    Window->aLoadGame->trigger();
    Window->ChooseFile = Chooser;
    EXPECT_EQ(Game().History().CountMoves(), 1) << "echt.tsm was loaded from the name echt";
    QApplication::processEvents();
    EXPECT_EQ(FileDialogsAlive(), 0);
    for (QWidget* W : QApplication::topLevelWidgets())
        EXPECT_TRUE(W == Window.get() || !W->isVisible()) << W->metaObject()->className() << " stays on screen";
}

TEST_F(TMainWindowTest, MenusHaveAcceleratorsAndTheUsualShortcutsInBothLanguages) {
    Configure(0);
    Open();
    for (QAction* Language : {Window->miEnglish, Window->miGerman}) {
        Language->trigger();
        // Alt and a letter: one per menu on the bar, one per entry in each menu.
        std::set<int> Bar;
        for (QAction* MenuEntry : Window->menuBar()->actions()) {
            const QKeySequence Letter = QKeySequence::mnemonic(MenuEntry->text());
            EXPECT_FALSE(Letter.isEmpty()) << MenuEntry->text().toStdString();
            EXPECT_TRUE(Bar.insert(Letter[0].toCombined()).second) << MenuEntry->text().toStdString();
            std::set<int> Entries;
            for (QAction* Entry : MenuEntry->menu()->actions()) {
                if (Entry->isSeparator()) continue;
                const QKeySequence Key = QKeySequence::mnemonic(Entry->text());
                EXPECT_FALSE(Key.isEmpty()) << Entry->text().toStdString();
                EXPECT_TRUE(Entries.insert(Key[0].toCombined()).second) << Entry->text().toStdString();
            }
        }
    }

    // The usual keys, pressed on the window as a player presses them.
    auto Press = [this](int Key, Qt::KeyboardModifiers Modifiers) {
        // The window has the keyboard again once the last dialog closed.
        QApplication::setActiveWindow(Window.get());
        QTest::keyClick(Window.get(), static_cast<Qt::Key>(Key), Modifiers);
    };
    Press(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(Modals.NewGames, 1) << "Ctrl+N";
    ASSERT_TRUE(Game().IsRunning());
    ClickPit(FirstLegalPit());
    FileToChoose = [&] { return QString::fromStdString(Path("taste")); };
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(Exists("taste.tsm")) << "Ctrl+S";
    FileToChoose = [] { return QString(); };
    const int Dialogs = FileDialogs;
    Press(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(FileDialogs, Dialogs + 1) << "Ctrl+O";
    Press(Qt::Key_F1, Qt::NoModifier);
    ASSERT_EQ(Opened.size(), 1u) << "F1";
    EXPECT_TRUE(Opened[0].endsWith("/hilfe/start.htm"));
    Messages.QuitAnswer = mrNo;
    Press(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(Messages.Count("beenden"), 1) << "Ctrl+Q";
    EXPECT_TRUE(Window->isVisible());

    // While a move is shown the commands wait, but quitting is open as the
    // close box is.
    Window->SetInputEnabled(false);
    Press(Qt::Key_N, Qt::ControlModifier);
    Press(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(Modals.NewGames, 1);
    EXPECT_EQ(FileDialogs, Dialogs + 1);
    Press(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(Messages.Count("beenden"), 2);
    Window->SetInputEnabled(true);
}

TEST_F(TMainWindowTest, HelpAndTheInternetMenuTellWhenNothingOpensThem) {
    Configure(0);
    // The window's own way out to the desktop, on a desktop that opens nothing.
    RecordDocuments = false;
    Open();
    QStringList Asked;
    const auto Previous = SetDesktopOpener([&](const QString& Target, std::function<void(bool)> Done) {
        Asked << Target;
        Done(false);
    });
    Window->aHomepage->trigger();
    Window->aEmail->trigger();
    Window->aContent->trigger();
    SetDesktopOpener(Previous);
    ASSERT_EQ(Asked.size(), 3);
    EXPECT_TRUE(Asked[2].endsWith("/hilfe/start.htm"));
    for (const QString& Target : Asked)
        EXPECT_EQ(Messages.Count(Target), 1) << Target.toStdString() << " is shown to copy";
}

}  // namespace
}  // namespace tessum

namespace tessum {
namespace {

TEST_F(TMainWindowTest, TheSplashSpeaksTheLanguageOfTheSettings) {
    for (const char* Language : {"german", "english"}) {
        Configure(0);
        ChangeSettings({{"sound=0", "sound=1"}, {"language=german", std::string("language=") + Language}});
        QImage Shown;
        QTimer Look;
        QObject::connect(&Look, &QTimer::timeout, [&] {
            auto* Splash = qobject_cast<TSplashScreen*>(QApplication::activeModalWidget());
            if (Splash == nullptr || !Shown.isNull()) return;
            Shown = Splash->grab().toImage();
            Splash->accept();
        });
        Look.start(5);
        Open();
        Look.stop();
        const QString Line = TInfoDialog::FillPlaceholders(std::string(Language) == "german"
                                                               ? QString::fromUtf8("Freeware Nr. 1  \u00b7  Version %version%")
                                                               : QString::fromUtf8("Freeware No. 1  \u00b7  Version %version%"));
        ASSERT_FALSE(Shown.isNull()) << Language;
        EXPECT_EQ(Shown.convertToFormat(QImage::Format_RGB32),
                  TSplashScreen::DefaultPicture(Line).toImage().convertToFormat(QImage::Format_RGB32))
            << Language;
        Window.reset();
    }
}

}  // namespace
}  // namespace tessum

namespace tessum {
namespace {

// Ends the test program with a failure when the window's thread is still
// stuck after Seconds: a freeze must fail the test, not hang the suite.
class TWatchdog {
public:
    explicit TWatchdog(int Seconds)
        : thread_([this, Seconds] {
              std::unique_lock<std::mutex> Lock(mutex_);
              if (!done_cv_.wait_for(Lock, std::chrono::seconds(Seconds), [this] { return done_; })) {
                  fprintf(stderr, "the window's thread did not come back within %d s\n", Seconds);
                  std::_Exit(1);
              }
          }) {}
    ~TWatchdog() {
        {
            const std::lock_guard<std::mutex> Lock(mutex_);
            done_ = true;
        }
        done_cv_.notify_all();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable done_cv_;
    bool done_ = false;
    std::thread thread_;
};

TEST(FileChoice, AFolderOfPseudoFilesIsListedWithoutReadingThem) {
    // /proc/kmsg is a regular file to stat that never answers a read (only
    // root may open it); Qt's own file types open and read every file.
    if (!QFileInfo("/proc/kmsg").isReadable()) GTEST_SKIP() << "/proc/kmsg cannot be opened here";
    const TWatchdog Watchdog(30);
    TNameOnlyIconProvider Names;
    EXPECT_FALSE(Names.type(QFileInfo("/proc/kmsg")).isEmpty());
    EXPECT_EQ(Names.type(QFileInfo("/x/partie.tsm")), Names.type(QFileInfo("/y/andere.tsm")));

    // The dialog itself, opened in /proc: the window goes on answering.
    TFileChoice Choice(TFileChoice::TKind::Load, "odLoadGame", nullptr);
    Choice.Learn("/proc/kmsg");
    const std::unique_ptr<QFileDialog> Dialog = Choice.MakeDialog(nullptr, "/");
    EXPECT_EQ(Dialog->directory().absolutePath(), "/proc");
    Dialog->show();
    int Ticks = 0;
    QTimer Tick;
    QObject::connect(&Tick, &QTimer::timeout, [&] { ++Ticks; });
    Tick.start(10);
    QElapsedTimer Clock;
    Clock.start();
    while (Clock.elapsed() < 1500) QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_GT(Ticks, 20);
    Dialog->hide();
}

}  // namespace
}  // namespace tessum
