#include "app/ufSpielfeld.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QKeySequence>
#include <QPainter>
#include <QPen>
#include <QRandomGenerator>
#include <QScreen>
#include <QStandardPaths>
#include <QMargins>
#include <QVBoxLayout>
#include <QTimer>

#include <algorithm>
#include <exception>
#include <vector>

#include "archive/uPaths.h"
#include "i18n/Ansi.h"
#include "i18n/GVDialogs.h"
#include "i18n/MultiLanguage.h"
#include "i18n/lngDialogs.h"
#include "app/uConfig.h"
#include "app/uNetSubmit.h"
#include "app/uOpenDocument.h"
#include "game/uProfile.h"
#include "app/uRichText.h"
#include "game/uSound.h"
#include "graphics/uTBitmapLayer.h"
#include "graphics/uTGFXFile.h"
#include "game/uTSettings.h"
#include "app/ufHighscore.h"
#include "app/ufHistory.h"
#include "app/ufNewGame.h"
#include "app/ufStreichholz.h"

namespace tessum {

namespace {

constexpr int WindowWidth = 800;
constexpr int WindowHeight = 600;

// The stone symbol of the hover hint: one stone of the board's own pictures,
// its red surround made transparent.
QImage HintStoneImage(TSpielfeld& Game) {
    const TBitmap* Stone = Game.Layers().Stones().Bitmap(1);
    if (Stone == nullptr || Stone->Empty()) return {};
    QImage Image = Stone->Image().convertToFormat(QImage::Format_ARGB32);
    const QRgb Red = qRgb(255, 0, 0);
    for (int Y = 0; Y < Image.height(); ++Y) {
        auto* Line = reinterpret_cast<QRgb*>(Image.scanLine(Y));
        for (int X = 0; X < Image.width(); ++X)
            if ((Line[X] & 0xFFFFFFu) == (Red & 0xFFFFFFu)) Line[X] = 0;
    }
    return Image;
}

}  // namespace

// ---------------------------------------------------------------------------

TBoardArea::TBoardArea(TfSpielfeld& Owner) : QWidget(&Owner), View(BoardWidth, BoardHeight), owner_(Owner) {
    setObjectName("pbSpielfeld");
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // Black around the board, as the window's background has always been.
    View.Surround = Qt::black;
}

void TBoardArea::ShowChanges(const TBitmap& Picture) {
    View.SetArea(size(), devicePixelRatioF());
    const QRegion Changed = View.Update(Picture);
    if (!Changed.isEmpty()) update(Changed);
}

void TBoardArea::paintEvent(QPaintEvent* Event) { owner_.pbSpielfeldPaint(Event->rect()); }

void TBoardArea::resizeEvent(QResizeEvent* Event) {
    QWidget::resizeEvent(Event);
    View.SetArea(size(), devicePixelRatioF());
    update();
}

void TBoardArea::mouseMoveEvent(QMouseEvent* Event) {
    const TPoint P = View.ToBoard(Event->position());
    owner_.pbSpielfeldMouseMove(P.X, P.Y);
}

void TBoardArea::mousePressEvent(QMouseEvent* Event) {
    const TPoint P = View.ToBoard(Event->position());
    owner_.pbSpielfeldMouseDown(P.X, P.Y);
}

void TBoardArea::leaveEvent(QEvent*) {
    // Outside the board nothing is under the pointer.
    owner_.pbSpielfeldMouseMove(-1, -1);
}

// ---------------------------------------------------------------------------

TInfoComponent::TInfoComponent(QWidget* Owner) : QObject(Owner), owner_(Owner) { setObjectName("id"); }

void TInfoComponent::Execute() {
    TInfoDialog Dialog(owner_);
    // The window's texts stand in the main window's script beside its others.
    if (const auto* Texts = owner_->findChild<TMultiLanguage*>("lng", Qt::FindDirectChildrenOnly))
        Dialog.SetTexts(Texts->GetQText("c_aboutcaption"), Texts->GetQText("c_abouttext"),
                        Texts->GetQText("c_aboutok"), Texts->GetQText("c_aboutpicture"));
    Dialog.exec();
}

// ---------------------------------------------------------------------------

TfSpielfeld::TfSpielfeld(QWidget* Parent) : QMainWindow(Parent) {
    setObjectName("fSpielfeld");
    // Through the desktop helper, which tells the player when nothing on
    // this computer opens the address or file.
    OpenDocument = [this](const QString& Target) { ::tessum::OpenDocument(Target, this); };

    ChooseFile = [](QFileDialog& Dialog) {
        if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty()) return QString();
        return Dialog.selectedFiles().first();
    };

    // The black belongs to the area around the board; the menus keep the
    // desktop's colours.
    QPalette Black = palette();
    Black.setColor(QPalette::Window, Qt::black);
    setFocusPolicy(Qt::StrongFocus);

    auto* Client = new QWidget(this);
    Client->setObjectName("client");
    Client->setPalette(Black);
    Client->setAutoFillBackground(true);
    setCentralWidget(Client);

    pbSpielfeld = new TBoardArea(*this);
    pbSpielfeld->setParent(Client);
    auto* ClientLayout = new QVBoxLayout(Client);
    ClientLayout->setContentsMargins(0, 0, 0, 0);
    ClientLayout->addWidget(pbSpielfeld);

    htmlhint = new THTMLHint(this);
    htmlhint->setObjectName("htmlhint");
    htmlhint->SetFont("Tahoma", 8);

    odLoadGame = new TFileChoice(TFileChoice::TKind::Load, "odLoadGame", this);
    sdSaveGame = new TFileChoice(TFileChoice::TKind::Save, "sdSaveGame", this);

    id = new TInfoComponent(this);

    BuildMenus();

    lng = new TMultiLanguage(this);
    lng->setObjectName("lng");
    lng->OnTranslate = [this](QObject*) { lngTranslate(); };
    lng->LoadScript(":/lng/fSpielfeld.lng");

    OpenSettingsFile();
    lng->SetLanguage(ReadLanguage(LanguageGerman));
    CloseSettingsFile();

    Spielfeld_ = std::make_unique<TSpielfeld>(lng, this);
    Driver_ = std::make_unique<TTurnDriver>(*Spielfeld_, *this);
    ilhints = {HintStoneImage(*Spielfeld_)};
    htmlhint->SetImages(ilhints);

    (lng->Language() == LanguageEnglish ? miEnglish : miGerman)->setChecked(true);
    Spielfeld_->ShowLanguagePictures();
    Spielfeld_->Layers().PaintAll();

    resize(WindowWidth, WindowHeight);
    FitToScreen(true);
    if (Spielfeld_->Settings().Maximized) setWindowState(windowState() | Qt::WindowMaximized);
    if (Spielfeld_->Settings().FullScreen) {
        MaximizedBeforeFullScreen_ = Spielfeld_->Settings().Maximized;
        setWindowState(windowState() | Qt::WindowFullScreen);
    }
    aFullScreen->setChecked(Spielfeld_->Settings().FullScreen);

    const TTessumSettings& Settings = Spielfeld_->Settings();
    aSound->setChecked(Settings.Sound);
    miHandanimation->setChecked(Settings.Animation == AnimationHands);
    miSteinAnimation->setChecked(Settings.Animation == AnimationStones);
    minoAnimation->setChecked(Settings.Animation == AnimationNone);
    alMenuUpdate();

    if (Settings.Sound) {
        PlaySoundResource("start");
        // The line under the name in the player's language, as the about window has it.
        const QString Subtitle = TInfoDialog::FillPlaceholders(lng->GetQText("c_aboutpicture"));
        TSplashScreen Splash(TSplashScreen::DefaultPicture(Subtitle), 4000, this);
        Splash.setWindowTitle(windowTitle());
        Splash.exec();
    }
}

TfSpielfeld::~TfSpielfeld() {
    Driver_.reset();
    // The controller saves the settings; its errors show through us, so it
    // goes while the window is still whole.
    Spielfeld_.reset();
}

void TfSpielfeld::BuildMenus() {
    QMenuBar* mm = menuBar();
    mm->setObjectName("mm");
    auto MakeAction = [this](const char* Name, void (TfSpielfeld::*Handler)()) {
        auto* A = new QAction(this);
        A->setObjectName(Name);
        connect(A, &QAction::triggered, this,
                [this, Handler] { Driver_->Guarded([this, Handler] { (this->*Handler)(); }); });
        return A;
    };

    miGame = mm->addMenu(QString());
    miGame->setObjectName("miGame");
    aNewGame = MakeAction("aNewGame", &TfSpielfeld::aNewGameExecute);
    aLoadGame = MakeAction("aLoadGame", &TfSpielfeld::aLoadGameExecute);
    aSaveGame = MakeAction("aSaveGame", &TfSpielfeld::aSaveGameExecute);
    aUndo = MakeAction("aUndo", &TfSpielfeld::aUndoExecute);
    aRedo = MakeAction("aRedo", &TfSpielfeld::aRedoExecute);
    aHint = MakeAction("aHint", &TfSpielfeld::aHintExecute);
    aNewGame->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    aLoadGame->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    aSaveGame->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    aUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    aRedo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    aHint->setShortcut(QKeySequence(Qt::Key_H));
    for (QAction* A : {aUndo, aRedo, aHint}) {
        A->setShortcutContext(Qt::WindowShortcut);
        A->setEnabled(false);
        addAction(A);
    }
    aHighscore = MakeAction("aHighscore", &TfSpielfeld::aHighscoreExecute);
    aGameHistory = MakeAction("aGameHistory", &TfSpielfeld::aGameHistoryExecute);
    aEnd = MakeAction("aEnd", &TfSpielfeld::aEndExecute);
    aEnd->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    // Quitting is open at any time, like the close box, also while a move
    // is shown and the menus are disabled.
    aEnd->setShortcutContext(Qt::WindowShortcut);
    addAction(aEnd);
    miGame->addAction(aNewGame);
    miGame->addAction(aLoadGame);
    miGame->addAction(aSaveGame);
    miGame->addSeparator();
    miGame->addAction(aUndo);
    miGame->addAction(aRedo);
    miGame->addAction(aHint);
    miGame->addSeparator();
    miGame->addAction(aHighscore);
    miGame->addAction(aGameHistory);
    miGame->addSeparator();
    miGame->addAction(aEnd);
    connect(miGame, &QMenu::aboutToShow, this, [this] { alMenuUpdate(); });

    miOptions = mm->addMenu(QString());
    miOptions->setObjectName("miOptions");
    aSound = MakeAction("aSound", &TfSpielfeld::aSoundExecute);
    aSound->setCheckable(true);
    miOptions->addAction(aSound);
    aFullScreen = MakeAction("aFullScreen", &TfSpielfeld::aFullScreenExecute);
    aFullScreen->setCheckable(true);
    aFullScreen->setShortcut(QKeySequence(Qt::Key_F11));
    // On the window as well, so the key works while the menus are disabled.
    addAction(aFullScreen);
    miOptions->addAction(aFullScreen);
    miOptions->addSeparator();
    auto* Animations = new QActionGroup(this);
    Animations->setObjectName("agAnimation");
    Animations->setExclusive(true);
    auto AddRadio = [this](QMenu* Menu, QActionGroup* Group, const char* Name) {
        auto* A = new QAction(this);
        A->setObjectName(Name);
        A->setCheckable(true);
        Group->addAction(A);
        Menu->addAction(A);
        return A;
    };
    miHandanimation = AddRadio(miOptions, Animations, "miHandanimation");
    miSteinAnimation = AddRadio(miOptions, Animations, "miSteinAnimation");
    minoAnimation = AddRadio(miOptions, Animations, "minoAnimation");
    connect(Animations, &QActionGroup::triggered, this,
            [this](QAction* Item) { Driver_->Guarded([this, Item] { miAnimationClick(Item); }); });
    miOptions->addSeparator();
    auto* Languages = new QActionGroup(this);
    Languages->setObjectName("agLanguage");
    Languages->setExclusive(true);
    miGerman = AddRadio(miOptions, Languages, "miGerman");
    miEnglish = AddRadio(miOptions, Languages, "miEnglish");
    connect(Languages, &QActionGroup::triggered, this,
            [this](QAction* Item) { Driver_->Guarded([this, Item] { miGermanClick(Item); }); });

    miInternet = mm->addMenu(QString());
    miInternet->setObjectName("miInternet");
    aUpdate = MakeAction("aUpdate", &TfSpielfeld::aUpdateExecute);
    aEmail = MakeAction("aEmail", &TfSpielfeld::aEmailExecute);
    aHomepage = MakeAction("aHomepage", &TfSpielfeld::aHomepageExecute);
    aSponsor = MakeAction("aSponsor", &TfSpielfeld::aSponsorExecute);
    miInternet->addAction(aUpdate);
    miInternet->addAction(aEmail);
    miInternet->addAction(aHomepage);
    miInternet->addSeparator();
    miInternet->addAction(aSponsor);

    miHelp = mm->addMenu(QString());
    miHelp->setObjectName("miHelp");
    aContent = MakeAction("aContent", &TfSpielfeld::aContentExecute);
    aAbout = MakeAction("aAbout", &TfSpielfeld::aAboutExecute);
    aContent->setShortcut(QKeySequence(Qt::Key_F1));
    miHelp->addAction(aContent);
    miHelp->addAction(aAbout);
}

void TfSpielfeld::lngTranslate() { SetDialogLanguage(lng->Language()); }

void TfSpielfeld::ShowError(const std::string& Message) { LngMessageDlg(Message, mtError, {mbOK}); }

void TfSpielfeld::Repaint() {
    // Coalesced: the next round of events rescales and repaints once, only
    // what changed, however many layers changed; the animation's waits
    // handle events every frame.
    if (RepaintPending_) return;
    RepaintPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            RepaintPending_ = false;
            if (Spielfeld_ && !Spielfeld_->IsUpdating()) pbSpielfeld->ShowChanges(Spielfeld_->ShownPicture());
        },
        Qt::QueuedConnection);
}

void TfSpielfeld::ShowResult(const std::string& Message) {
    // A game that ends with the move cut short by quitting is entered into
    // the table, but no window opens any more.
    if (Driver_ && Driver_->ShuttingDown()) return;
    LngMessageDlg(Message, mtInformation, {mbOK});
}

void TfSpielfeld::GameFinished(std::int32_t Rank1, std::int32_t Rank2) {
    if (Driver_) Driver_->GameFinished(Rank1, Rank2);
}

void TfSpielfeld::MustSkip() {
    if (Driver_) Driver_->MustSkip();
}

bool TfSpielfeld::Ask(const std::string& Question) {
    return LngMessageDlg(Question, mtConfirmation, {mbYes, mbNo}) == mrYes;
}

int TfSpielfeld::HintPit() const { return pbSpielfeld->Tag; }

bool TfSpielfeld::HintShown() const { return htmlhint->isVisible(); }

void TfSpielfeld::ShowHint(int Pit, int Stones, int X, int Y) {
    htmlhint->CancelHint();
    pbSpielfeld->Tag = Pit;
    const std::string Word = lng->GetText(Stones == 1 ? "stone" : "stones");
    const QString Html = QString("<IMG src=\"idx:0\" align=\"middle\"> <b>%1</b> %2")
                             .arg(static_cast<unsigned>(Stones))
                             .arg(FromAnsi(Word));
    const QPointF At = pbSpielfeld->View.ToWidget(TPoint{X, Y});
    htmlhint->ShowHint(Html, pbSpielfeld->mapToGlobal(At.toPoint()));
}

void TfSpielfeld::HideHint() {
    pbSpielfeld->Tag = -1;
    htmlhint->CancelHint();
}

void TfSpielfeld::SetInputEnabled(bool Enabled) {
    // The window itself stays enabled so that Escape still reaches it and can
    // cut a long animation short; the menus and the board take no input.
    menuBar()->setEnabled(Enabled);
    centralWidget()->setEnabled(Enabled);
}

void TfSpielfeld::SetPointer(TPointer Pointer) {
    pointer_ = Pointer;
    // The shape is the window's, never the board's own: the board takes no
    // input during a move, and a disabled widget's pointer is not shown, so
    // the hourglass must come from the window to cover the board as well.
    pbSpielfeld->unsetCursor();
    switch (Pointer) {
        case TPointer::Arrow: unsetCursor(); break;
        case TPointer::Hourglass: setCursor(Qt::WaitCursor); break;
        case TPointer::HandPoint: setCursor(Qt::PointingHandCursor); break;
    }
}

bool TfSpielfeld::MouseOnBoard(int& X, int& Y) const {
    const QPoint Global = QCursor::pos();
    if (QApplication::widgetAt(Global) != pbSpielfeld) return false;
    const QPoint At = pbSpielfeld->mapFromGlobal(Global);
    X = At.x();
    Y = At.y();
    return true;
}

bool TfSpielfeld::DialogOpen() const { return QApplication::activeModalWidget() != nullptr; }

// ---------------------------------------------------------------------------
// Window events

void TfSpielfeld::closeEvent(QCloseEvent* Event) {
    Driver_->HoldComputer();
    const bool Quit = Ask(lng->GetText("msgquit"));
    if (isVisible()) {
        // Full screen hides whether the window was maximized beneath it.
        Spielfeld_->Settings().FullScreen = isFullScreen();
        Spielfeld_->Settings().Maximized = isFullScreen() ? MaximizedBeforeFullScreen_ : isMaximized();
    }
    if (Quit) {
        // A move being shown ends at once and nothing follows it, so the
        // program ends now rather than after the animation.
        Driver_->Shutdown();
        Event->accept();
        return;
    }
    Event->ignore();
    Driver_->ReleaseComputer();
}

void TfSpielfeld::keyPressEvent(QKeyEvent* Event) {
    if (Event->key() == Qt::Key_Escape) {
        Spielfeld_->SkipAnimation();
        Driver_->HurryComputer();
        Event->accept();
        return;
    }
    if (Event->modifiers() == Qt::NoModifier || Event->modifiers() == Qt::KeypadModifier) {
        bool Used = false;
        Driver_->Guarded([&] { Used = PlayKey(Event->key()); });
        if (Used) {
            Event->accept();
            return;
        }
    }
    QMainWindow::keyPressEvent(Event);
}

void TfSpielfeld::showEvent(QShowEvent* Event) {
    QMainWindow::showEvent(Event);
    if (Placed_) return;
    Placed_ = true;
    // The window manager's frame is known only once the window is up: then
    // the window is pulled fully onto the screen.
    QTimer::singleShot(0, this, [this] { FitToScreen(false); });
}

void TfSpielfeld::changeEvent(QEvent* Event) {
    QMainWindow::changeEvent(Event);
    if (Event->type() == QEvent::WindowStateChange && aFullScreen) aFullScreen->setChecked(isFullScreen());
}

QMargins TfSpielfeld::FrameMargins() const {
    const QRect Inner = geometry(), Outer = frameGeometry();
    return {Inner.left() - Outer.left(), Inner.top() - Outer.top(), Outer.right() - Inner.right(),
            Outer.bottom() - Inner.bottom()};
}

QSize TfSpielfeld::MinimumSize(const QRect& Available, const QMargins& Frame) {
    const QSize Room(Available.width() - Frame.left() - Frame.right(),
                     Available.height() - Frame.top() - Frame.bottom());
    return QSize(std::max(1, std::min(WindowWidth, Room.width())), std::max(1, std::min(WindowHeight, Room.height())));
}

QRect TfSpielfeld::Placement(const QRect& Available, QSize Wanted, const QMargins& Frame) {
    const QSize Room(Available.width() - Frame.left() - Frame.right(),
                     Available.height() - Frame.top() - Frame.bottom());
    const QSize Size = Wanted.boundedTo(Room).expandedTo(QSize(1, 1));
    const int OuterW = Size.width() + Frame.left() + Frame.right();
    const int OuterH = Size.height() + Frame.top() + Frame.bottom();
    const int X = Available.left() + std::max(0, (Available.width() - OuterW) / 2);
    const int Y = Available.top() + std::max(0, (Available.height() - OuterH) / 2);
    return QRect(QPoint(X, Y), Size);
}

void TfSpielfeld::FitToScreen(bool Centre) {
    const QScreen* Screen = screen() ? screen() : QGuiApplication::primaryScreen();
    if (Screen == nullptr) return;
    const QRect Available = Screen->availableGeometry();
    const QMargins Frame = FrameMargins();
    setMinimumSize(MinimumSize(Available, Frame));
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)) return;
    const QRect Wanted = Placement(Available, size(), Frame);
    if (Wanted.size() != size()) resize(Wanted.size());
    if (Centre) {
        move(Wanted.topLeft());
        return;
    }
    // Only pulled back where it sticks out.
    const QRect Outer = frameGeometry();
    const int X = std::clamp(Outer.left(), Available.left(), std::max(Available.left(), Available.right() + 1 - Outer.width()));
    const int Y = std::clamp(Outer.top(), Available.top(), std::max(Available.top(), Available.bottom() + 1 - Outer.height()));
    if (X != Outer.left() || Y != Outer.top()) move(X, Y);
}

// ---------------------------------------------------------------------------
// Board area

void TfSpielfeld::pbSpielfeldPaint(const QRect& Exposed) {
    if (!Spielfeld_) return;
    TBoardView& View = pbSpielfeld->View;
    View.SetArea(pbSpielfeld->size(), pbSpielfeld->devicePixelRatioF());
    // While the controller updates, the last picture stays.
    if (!Spielfeld_->IsUpdating()) {
        const QRegion Changed = View.Update(Spielfeld_->ShownPicture());
        const QRegion Elsewhere = Changed - Exposed;
        if (!Elsewhere.isEmpty()) pbSpielfeld->update(Elsewhere);
    }
    QPainter Painter(pbSpielfeld);
    View.Paint(Painter, Exposed);
    if (Spielfeld_->IsAnimating()) return;
    // The marks are drawn in board coordinates over the scaled board.
    const QRectF Board = View.Target();
    Painter.setClipRect(Exposed);
    Painter.translate(Board.topLeft());
    Painter.scale(View.Factor(), View.Factor());
    // The hint's pit wears the marker the stone animation uses.
    if (BestPit_ >= 1 && BestPit_ <= PitCount && !Spielfeld_->HighlightPicture().Empty()) {
        const TRect& R = PitRects[static_cast<std::size_t>(BestPit_)];
        QImage Marker = Spielfeld_->HighlightPicture().Image().convertToFormat(QImage::Format_ARGB32);
        // White is the marker's transparent colour.
        for (int Y = 0; Y < Marker.height(); ++Y) {
            auto* Line = reinterpret_cast<QRgb*>(Marker.scanLine(Y));
            for (int X = 0; X < Marker.width(); ++X)
                if ((Line[X] & 0xFFFFFF) == 0xFFFFFF) Line[X] = 0;
        }
        Painter.drawImage(R.Left + (R.Width() - Marker.width()) / 2, R.Top + (R.Height() - Marker.height()) / 2, Marker);
    }
    if (FocusPit_ >= 1 && PersonMayMove() && Spielfeld_->Board().IsLegalMove(FocusPit_)) {
        const TRect& R = PitRects[static_cast<std::size_t>(FocusPit_)];
        Painter.setRenderHint(QPainter::Antialiasing);
        Painter.setBrush(Qt::NoBrush);
        Painter.setPen(QPen(QColor(255, 215, 64), 3));
        Painter.drawRoundedRect(QRectF(R.Left + 2, R.Top + 2, R.Width() - 4, R.Height() - 4), 10, 10);
    }
}

void TfSpielfeld::pbSpielfeldMouseMove(int X, int Y) {
    Driver_->Guarded([&] { Driver_->MouseMove(X, Y); });
}

void TfSpielfeld::pbSpielfeldMouseDown(int X, int Y) {
    Driver_->Guarded([&] { Driver_->MouseDown(X, Y); });
}

// ---------------------------------------------------------------------------
// Commands

void TfSpielfeld::alMenuUpdate() {
    const bool Something = Spielfeld_ && (Spielfeld_->IsRunning() || Spielfeld_->History().CountMoves() > 0);
    aSaveGame->setEnabled(Something);
    aGameHistory->setEnabled(Something);
    aUndo->setEnabled(Spielfeld_ && Spielfeld_->CanUndo());
    aRedo->setEnabled(Spielfeld_ && Spielfeld_->CanRedo());
    aHint->setEnabled(Driver_ && Driver_->CanHint());
}

void TfSpielfeld::aUndoExecute() {
    Driver_->Undo();
    alMenuUpdate();
}

void TfSpielfeld::aRedoExecute() {
    Driver_->Redo();
    alMenuUpdate();
}

void TfSpielfeld::aHintExecute() {
    Driver_->AskForHint();
    alMenuUpdate();
}

void TfSpielfeld::ShowBestPit(int Pit) {
    BestPit_ = Pit;
    pbSpielfeld->update();
}

bool TfSpielfeld::PersonMayMove() const {
    return Spielfeld_ && Spielfeld_->IsRunning() && !Spielfeld_->IsMoveInProgress() &&
           !Spielfeld_->ComputerToMove() && !Spielfeld_->Board().MustSkip();
}

void TfSpielfeld::SetFocusPit(int Pit) {
    FocusPit_ = Pit;
    if (Pit >= 1) {
        // As if the pointer rested on it: the preview and the stone count.
        const TRect& R = PitRects[static_cast<std::size_t>(Pit)];
        Spielfeld_->ShowPreview(Pit);
        ShowHint(Pit, Spielfeld_->Board().Pits[Pit], R.Left + R.Width() / 2, R.Bottom);
    }
    pbSpielfeld->update();
}

bool TfSpielfeld::PlayKey(int Key) {
    const bool Move = Key == Qt::Key_Return || Key == Qt::Key_Enter || Key == Qt::Key_Space;
    const bool Step = Key == Qt::Key_Left || Key == Qt::Key_Right;
    const bool Digit = Key >= Qt::Key_1 && Key <= Qt::Key_6;
    if (!Move && !Step && !Digit) return false;
    if (!PersonMayMove()) return true;
    const TFeld& Board = Spielfeld_->Board();
    const int Side = Board.Player;
    if (Move) {
        if (FocusPit_ >= 1 && Board.IsLegalMove(FocusPit_) && !Driver_->Thinking()) {
            const int Pit = FocusPit_;
            Driver_->MakeMove(Pit);
        }
        return true;
    }
    if (Digit) {
        const int Pit = PitIndex(Side, Key - Qt::Key_1 + 1);
        if (Board.IsLegalMove(Pit)) SetFocusPit(Pit);
        return true;
    }
    // The legal pits from left to right as the board shows them: side 1's
    // row runs from pit 6 on the left to pit 1, side 2's from pit 8 to 13.
    std::vector<int> Pits;
    for (int N = 1; N <= RowLength; ++N) {
        const int Pit = Side == 1 ? PitIndex(1, RowLength + 1 - N) : PitIndex(2, N);
        if (Board.IsLegalMove(Pit)) Pits.push_back(Pit);
    }
    if (Pits.empty()) return true;
    const auto At = std::find(Pits.begin(), Pits.end(), FocusPit_);
    int Index;
    if (At == Pits.end()) Index = Key == Qt::Key_Right ? 0 : static_cast<int>(Pits.size()) - 1;
    else {
        const int Count = static_cast<int>(Pits.size());
        Index = (static_cast<int>(At - Pits.begin()) + (Key == Qt::Key_Right ? 1 : Count - 1)) % Count;
    }
    SetFocusPit(Pits[static_cast<std::size_t>(Index)]);
    return true;
}

void TfSpielfeld::aNewGameExecute() {
    const TClockStop Stop(*Driver_);
    TfNewGame Dialog(this);
    Dialog.SetLanguage(lng->Language());
    if (Dialog.Execute()) {
        const TNewGameSettings Choice = Dialog.Choices();
        int StartSide = QRandomGenerator::global()->bounded(2) == 0 ? 1 : 2;
        if (Choice.Mode != 2) {
            TfStreichholz Draw(this);
            Draw.SetLanguage(lng->Language());
            Draw.SetPlayers(Choice.Name1, Choice.Name2);
            Draw.exec();
            StartSide = Draw.Won() ? 2 : 1;
        }
        Spielfeld_->NewGame(Choice.Name1, Choice.Name2, Choice.Mail1, Choice.Mail2, Dialog.LandKey(1),
                            Dialog.LandKey(2), Choice.Stones, Choice.UseHead, Choice.Variant + 1,
                            Choice.Difficulty + 1, static_cast<std::uint8_t>(Choice.Mode), StartSide);
        Driver_->GameStarted();
    }
}

void TfSpielfeld::LearnFolder(const QString& FileName) {
    odLoadGame->Learn(FileName);
    sdSaveGame->Learn(FileName);
}

QString TfSpielfeld::RunFileDialog(TFileChoice& Choice) {
    const std::unique_ptr<QFileDialog> Dialog = Choice.MakeDialog(this, FirstGameFolder());
    return ChooseFile(*Dialog);
}

QString TfSpielfeld::FirstGameFolder() {
    const QString Documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!Documents.isEmpty() && QFileInfo(Documents).isDir()) return Documents;
    return QDir::homePath();
}

void TfSpielfeld::aLoadGameExecute() {
    const TClockStop Stop(*Driver_);
    const QString Chosen = RunFileDialog(*odLoadGame);
    if (Chosen.isEmpty()) return;
    LoadGameFile(LoadFileName(Chosen));
}

void TfSpielfeld::LoadGameFile(const QString& FileName) {
    if (!Spielfeld_->LoadGame(FileName.toStdString())) return;
    LearnFolder(FileName);
    Driver_->GameStarted();
}

QString TfSpielfeld::LoadFileName(const QString& Chosen) {
    if (QFileInfo(Chosen).isFile()) return Chosen;
    const QString WithExtension = SaveFileName(Chosen);
    if (WithExtension != Chosen && QFileInfo(WithExtension).isFile()) return WithExtension;
    return Chosen;
}

QString TfSpielfeld::SaveFileName(const QString& Chosen) {
    if (Chosen.endsWith(QLatin1String(".tsm"), Qt::CaseInsensitive)) return Chosen;
    return Chosen + ".tsm";
}

void TfSpielfeld::aSaveGameExecute() {
    const TClockStop Stop(*Driver_);
    const QString Chosen = RunFileDialog(*sdSaveGame);
    if (Chosen.isEmpty()) return;
    const QString FileName = SaveFileName(Chosen);
    // A failed write throws past the folder, which stays as it was.
    Spielfeld_->History().SaveToFile(FileName.toStdString());
    LearnFolder(FileName);
    LngMessageDlg(lng->GetText("msgsaved"), mtInformation, {mbOK});
}

void TfSpielfeld::aHighscoreExecute() { ShowHighscore(-1, -1); }

void TfSpielfeld::ShowHighscore(std::int32_t Rank1, std::int32_t Rank2) {
    const TClockStop Stop(*Driver_);
    TfHighscore Dialog(this);
    AttachNetSubmit(Dialog);
    Dialog.SetLanguage(lng->Language());
    Dialog.Show(Spielfeld_->Board().Variant - 1, TfHighscore::BestRank(Rank1, Rank2));
}

void TfSpielfeld::aGameHistoryExecute() {
    const TClockStop Stop(*Driver_);
    ShowGameHistory(this, Spielfeld_->History(), lng->Language());
}

void TfSpielfeld::aEndExecute() { close(); }

void TfSpielfeld::aFullScreenExecute() {
    if (isFullScreen()) {
        setWindowState((windowState() & ~Qt::WindowFullScreen) |
                       (MaximizedBeforeFullScreen_ ? Qt::WindowMaximized : Qt::WindowNoState));
    } else {
        MaximizedBeforeFullScreen_ = isMaximized();
        setWindowState(windowState() | Qt::WindowFullScreen);
    }
    aFullScreen->setChecked(isFullScreen());
}

void TfSpielfeld::aSoundExecute() {
    // A checkable action has already flipped its mark when it triggers.
    Spielfeld_->Settings().Sound = aSound->isChecked();
    if (!aSound->isChecked()) StopSound();
}

void TfSpielfeld::miAnimationClick(QAction* Item) {
    Item->setChecked(true);
    std::uint8_t& Animation = Spielfeld_->Settings().Animation;
    if (Item == miHandanimation)
        Animation = AnimationHands;
    else if (Item == miSteinAnimation)
        Animation = AnimationStones;
    else
        Animation = AnimationNone;
}

void TfSpielfeld::miGermanClick(QAction* Item) {
    TIniFile* Settings = OpenSettingsFile();
    Item->setChecked(true);
    const char* Language = Item == miEnglish ? LanguageEnglish : LanguageGerman;
    try {
        Settings->WriteString(SectionSettings, KeyLanguage, Language);
    } catch (...) {
        // The language still changes for this run; the failure is reported.
        lng->SetLanguage(Language);
        CloseSettingsFile();
        Spielfeld_->BeginUpdate();
        Spielfeld_->ShowLanguagePictures();
        Spielfeld_->Layers().PaintAll();
        Spielfeld_->EndUpdate();
        Spielfeld_->Refresh();
        throw;
    }
    lng->SetLanguage(Language);
    CloseSettingsFile();
    Spielfeld_->BeginUpdate();
    Spielfeld_->ShowLanguagePictures();
    Spielfeld_->Layers().PaintAll();
    Spielfeld_->EndUpdate();
    Spielfeld_->Refresh();
}

void TfSpielfeld::OpenShell(const QString& Target) {
    const TClockStop Stop(*Driver_);
    if (OpenDocument) OpenDocument(Target);
}

void TfSpielfeld::aUpdateExecute() { OpenShell(config::UpdatePage); }
void TfSpielfeld::aEmailExecute() { OpenShell(config::SupportMail); }
void TfSpielfeld::aHomepageExecute() { OpenShell(config::HomePage); }
void TfSpielfeld::aSponsorExecute() { OpenShell(config::SponsorPage); }

QString TfSpielfeld::HelpFile() const {
    QString Relative = FromAnsi(lng->GetText("c_helpfile"));
    Relative.replace('\\', '/');
    return QString::fromStdString(DataFile(Relative.toStdString()));
}

void TfSpielfeld::aContentExecute() { OpenShell(HelpFile()); }

void TfSpielfeld::aAboutExecute() {
    const TClockStop Stop(*Driver_);
    id->Execute();
}

}  // namespace tessum
