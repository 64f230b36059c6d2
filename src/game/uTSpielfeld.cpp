#include "game/uTSpielfeld.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <limits>

#include "archive/QDStreamRoutines.h"
#include "i18n/GVDialogs.h"
#include "i18n/MultiLanguage.h"
#include "i18n/lngDialogs.h"
#include "game/uSound.h"
#include "graphics/uTBitmapLayer.h"
#include "graphics/uTGFXFile.h"
#include "highscore/uTHighscore.h"
#include "i18n/TextFormat.h"

namespace tessum {

namespace {

std::int32_t ClampToInt32(std::int64_t V) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(V, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

bool ValidSide(int Side) { return Side == 1 || Side == 2; }

// Restores a flag however the block around it is left, so an error in the
// middle of a move cannot leave the window believing a move still runs.
class TFlagReset {
public:
    TFlagReset(bool& A, bool& B) : a_(A), b_(B) {}
    ~TFlagReset() {
        a_ = false;
        b_ = false;
    }
    TFlagReset(const TFlagReset&) = delete;
    TFlagReset& operator=(const TFlagReset&) = delete;

private:
    bool& a_;
    bool& b_;
};

}  // namespace

const char* ResultSound(std::uint8_t Mode, int Winner) {
    if (Mode == 0) return "gewonnen";
    if (Mode == 1) return Winner == 0 ? "unentschieden" : Winner == 1 ? "verloren" : "gewonnen";
    return Winner == 0 ? "unentschieden" : "gewonnen";
}

TSpielfeld::TSpielfeld(TMultiLanguage* Translation, ISpielfeldWindow* Window)
    : Translation_(Translation), Window_(Window) {
    BeginUpdate();

    Settings_ = std::make_unique<TTessumSettings>();
    Settings_->Load();

    Board_ = std::make_unique<TFeld>();
    Board_->OnBeforeSow = [this](int32_t P, int32_t S, int32_t C) { Animator_->OnBoard(TBoardStep::BeforeSow, P, S, C); };
    Board_->OnAfterSow = [this](int32_t P, int32_t S, int32_t C) { Animator_->OnBoard(TBoardStep::AfterSow, P, S, C); };
    Board_->OnBeforeTake = [this](int32_t P, int32_t S, int32_t C) { Animator_->OnBoard(TBoardStep::BeforeTake, P, S, C); };
    Board_->OnAfterTake = [this](int32_t P, int32_t S, int32_t C) { Animator_->OnBoard(TBoardStep::AfterTake, P, S, C); };
    Board_->OnBeforeStore = [this](int32_t P, int32_t S, int32_t C) { Animator_->OnBoard(TBoardStep::BeforeStore, P, S, C); };
    Board_->OnAfterStore = [this](int32_t P, int32_t S, int32_t C) { Animator_->OnBoard(TBoardStep::AfterStore, P, S, C); };

    Opponent_ = std::make_unique<TKI>(*Board_);
    History_ = std::make_unique<THistory>();

    BackgroundPicture_ = std::make_unique<TBitmap>();
    BoardPicture_ = std::make_unique<TBitmap>();
    FramePicture_ = std::make_unique<TBitmap>();
    OverviewEnglish_ = std::make_unique<TBitmap>();
    PreviewEnglish_ = std::make_unique<TBitmap>();
    OverviewGerman_ = std::make_unique<TBitmap>();
    PreviewGerman_ = std::make_unique<TBitmap>();
    auto Highlight = std::make_unique<TBitmap>();
    LoadPictures(*Highlight);

    Layers_ = std::make_unique<TSpielfeldLayers>(&BackgroundPicture_->Canvas(), [this] { return IsRunning(); },
                                                &BoardPicture_->Canvas());
    Layers_->Translation = Translation_;
    Layers_->Overview().Board = Board_.get();
    // Coalesced: an update bracket repaints once at its end (Refresh).
    Layers_->SetOnPaint([this](TBitmapLayer*) {
        if (!Updating_ && Window_ != nullptr) Window_->Repaint();
    });

    Animator_ = std::make_unique<TMoveAnimator>(static_cast<IAnimationHost&>(*this), *FramePicture_, *BoardPicture_, Layers_->Stones(),
                                                std::move(Highlight));
    Animator_->LoadHands();

    EndUpdate();
}

TSpielfeld::~TSpielfeld() {
    try {
        Settings_->Save();
    } catch (const std::exception& E) {
        ShowError(E.what());
    }
    OverviewEnglish_.reset();
    PreviewEnglish_.reset();
    OverviewGerman_.reset();
    PreviewGerman_.reset();
    Animator_.reset();
    Layers_.reset();
    FramePicture_.reset();
    BoardPicture_.reset();
    BackgroundPicture_.reset();
    History_.reset();
    Opponent_.reset();
    Board_.reset();
    Settings_.reset();
}

void TSpielfeld::LoadPictures(TBitmap& HighlightPicture) {
    // Composed at the screen's pixel scale: the layers and hands load their
    // pictures at the scale of these.
    TGFXFile Archive;
    Archive.LoadForScale(DataFile("game.gfx"), BoardScale());
    TJPEGImage Background;
    Archive.GetJPEG("bg.jpg", Background);
    BackgroundPicture_->Assign(Background);
    Archive.GetBitmap("golden.bmp", HighlightPicture);
    HighlightPicture.Transparent = true;
    HighlightPicture.SetTransparentColor(clWhite);
    Archive.GetBitmap("us_overview.bmp", *OverviewEnglish_);
    Archive.GetBitmap("de_overview.bmp", *OverviewGerman_);
    Archive.GetBitmap("us_preview.bmp", *PreviewEnglish_);
    Archive.GetBitmap("de_preview.bmp", *PreviewGerman_);
    BoardPicture_->Assign(*BackgroundPicture_);
    FramePicture_->Assign(*BackgroundPicture_);
    // The layers write with this font and change only its size. Its colour is
    // the default window text, black, which reads well on the light wood.
    TFont& Font = BoardPicture_->Canvas().Font;
    Font.Name = "Comic Sans MS";
    Font.Bold = true;
    Font.SetSize(9);
}

void TSpielfeld::ShowLanguagePictures() {
    const bool English = Translation_ != nullptr && Translation_->Language() == "english";
    TCanvas& Canvas = BackgroundPicture_->Canvas();
    Canvas.Draw(53, 395, English ? *OverviewEnglish_ : *OverviewGerman_);
    Canvas.Draw(256, 395, English ? *PreviewEnglish_ : *PreviewGerman_);
    BoardPicture_->Assign(*BackgroundPicture_);
    FramePicture_->Assign(*BackgroundPicture_);
}

bool TSpielfeld::IsComputer(int Side) const {
    const std::uint8_t Mode = History_->Mode;
    if (Side == 1) return Mode != 0;
    if (Side == 2) return Mode == 2;
    return false;
}

std::int32_t TSpielfeld::Clock(int Side) { return Layers_->Zeit(Side).Value; }

void TSpielfeld::SetClock(int Side, std::int32_t Seconds) {
    if (ValidSide(Side)) Layers_->Zeit(Side).SetValue(Seconds);
}

const std::string& TSpielfeld::PlayerName(int Side) const {
    static const std::string None;
    if (Side == 1) return History_->Name1;
    if (Side == 2) return History_->Name2;
    return None;
}

std::string TSpielfeld::Text(const char* Key) const {
    return Translation_ != nullptr ? Translation_->GetText(Key) : std::string();
}

void TSpielfeld::SetNote(const std::string& Line) { Layers_->Notes().SetText(Line); }

void TSpielfeld::AppendNote(const std::string& Line) { Layers_->Notes().SetText(Layers_->Notes().Text + "\r\n" + Line); }

void TSpielfeld::UpdateLayers() {
    Layers_->AktSpieler().SetValue(Board_->Player);
    Layers_->SteineHand().SetValue(Board_->Hand);
    Layers_->Runde(0).SetValue(History_->CountMoves());
    Layers_->Runde(1).SetValue(History_->CountMovesOf(1));
    Layers_->Runde(2).SetValue(History_->CountMovesOf(2));
    for (int Pit = 1; Pit <= PitCount; ++Pit) Layers_->Mulde(Pit).SetValue(Board_->Pits[Pit]);
}

void TSpielfeld::Refresh() {
    // The single layer repaints must not reach the screen one by one; the
    // window gets one repaint for the whole update.
    const bool WasUpdating = Updating_;
    Updating_ = true;
    UpdateLayers();
    Updating_ = WasUpdating;
    if (Layers_->OnPaint) Layers_->OnPaint(nullptr);
}

void TSpielfeld::NewGame(const std::string& Name1, const std::string& Name2, const std::string& EMail1,
                         const std::string& EMail2, const std::string& Land1, const std::string& Land2,
                         int StonesPerPit, bool UseEndPits, int Variant, int Level, std::uint8_t Mode,
                         int StartSide) {
    Running_ = true;
    BeginUpdate();
    WillWinShown_ = false;
    UndoList_.Clear();
    Assisted_ = false;
    NoteHeadKey_ = "notestart";
    NoteBase_ = 0;
    Board_->StonesPerPit = static_cast<std::uint8_t>(std::clamp(StonesPerPit, 0, 255));
    Board_->UseEndPits = UseEndPits;
    Board_->Reset();
    Board_->Player = StartSide;
    Board_->Variant = Variant;
    Opponent_->Level = Level;
    History_->Start(Name1, Name2, EMail1, EMail2, Land1, Land2, Variant, UseEndPits, Board_->StonesPerPit, Level,
                   Board_->Player, Mode);
    Layers_->AktSpieler().Names = {Name1, Name2};
    SetClock(1, 0);
    SetClock(2, 0);
    Layers_->Variante().SetValue(Variant);
    SetNote(Text("notestart"));
    Layers_->PaintAll();
    PlaySound("vielesteineinstirnmulde");
    EndUpdate();
    Refresh();
}

bool TSpielfeld::LoadGame(const std::string& FileName) {
    BeginUpdate();
    bool Result = true;
    auto Loaded = std::make_unique<THistory>();
    try {
        Loaded->LoadFromFile(FileName);
    } catch (const std::exception& E) {
        // Nothing of the game in progress has been touched yet.
        EndUpdate();
        Refresh();
        ShowError(E.what());
        return false;
    }

    // What a failed replay must give back: these are the running game's only
    // copies of its clocks, and the next recorded move subtracts from them.
    const std::int32_t OldClock1 = Clock(1);
    const std::int32_t OldClock2 = Clock(2);
    const std::array<std::string, 2> OldNames = Layers_->AktSpieler().Names;
    const std::int32_t OldVariant = Layers_->Variante().Value;

    TFeld Probe;
    Probe.StonesPerPit = Loaded->StonesPerPit;
    Probe.UseEndPits = Loaded->UseEndPits;
    Probe.Variant = Loaded->Variant;
    Probe.Reset();
    Probe.Player = Loaded->StartPlayer;

    SetClock(1, ClampToInt32(Loaded->SumSeconds(1)));
    SetClock(2, ClampToInt32(Loaded->SumSeconds(2)));
    Layers_->AktSpieler().Names = {Loaded->Name1, Loaded->Name2};
    Layers_->Variante().SetValue(Loaded->Variant);

    // Settings_ no new game can have would give a board whose moves change
    // nothing or whose turn never passes.
    if (Loaded->Variant < 1 || Loaded->Variant > 3 || !ValidSide(Loaded->StartPlayer) || Loaded->Mode > 2 ||
        Loaded->StonesPerPit < 1 || Loaded->StonesPerPit > 8)
        Result = false;
    for (std::size_t I = 0; Result && I < Loaded->Moves.size(); ++I) {
        const TMove& Move = Loaded->Moves[I];
        // Every recorded entry belongs to the side to move at that point;
        // another side's entry would put its seconds on the wrong clock.
        if (Move.Player != Probe.Player) {
            Result = false;
        } else if (Move.Pit != 0) {
            if (Probe.IsLegalMove(Move.Pit))
                Probe.DoMove(Move.Pit);
            else
                Result = false;
        } else {
            if (Probe.MustSkip())
                Probe.Skip();
            else
                Result = false;
        }
    }

    if (Result) {
        Opponent_->Level = Loaded->Level;
        Board_->Assign(Probe);
        History_ = std::move(Loaded);
        WillWinShown_ = false;
        UndoList_.Clear();
        Assisted_ = false;
        NoteHeadKey_ = "noteload";
        NoteBase_ = History_->Count();
        Running_ = true;
        SetNote(Text("noteload"));
        // A finished game shows its final board and says how it ended; its
        // result was entered into the table when it was played.
        if (Board_->IsGameOver()) {
            AppendNote(Text("noteend"));
            AppendNote(ResultLine());
        }
    } else {
        SetClock(1, OldClock1);
        SetClock(2, OldClock2);
        Layers_->AktSpieler().Names = OldNames;
        Layers_->Variante().SetValue(OldVariant);
    }

    Layers_->PaintAll();
    UpdateLayers();
    Running_ = !Board_->IsGameOver();
    EndUpdate();
    Refresh();
    // A record whose moves do not replay is as damaged as one that does not
    // read; the running game stays.
    if (!Result) ShowError(CorruptFileText);
    return Result;
}

std::string TSpielfeld::ResultLine() const {
    const int Winner = Board_->Store1() > Board_->Store2() ? 1 : Board_->Store2() > Board_->Store1() ? 2 : 0;
    std::string Line = Winner != 0 ? FormatText(Text("msgplayerwon"), {PlayerName(Winner)}) : Text("msgdrawn");
    // The message's own spacing has no place among the notes.
    while (!Line.empty() && (Line.back() == '\n' || Line.back() == '\r')) Line.pop_back();
    return Line;
}

void TSpielfeld::RecordMove(int Pit) {
    const int Side = Board_->Player;
    const std::int64_t Spent = static_cast<std::int64_t>(Clock(Side)) - History_->SumSeconds(Side);
    History_->AddMove(ClampToInt32(Spent), static_cast<std::uint8_t>(Pit), Side);
    // A new move after an undo: the moves taken back cannot come again.
    UndoList_.Clear();
}

void TSpielfeld::PlayMove(int Pit) {
    // Recording a move the board then ignores would leave a saved game that
    // no longer replays.
    if (!Board_->IsLegalMove(Pit)) return;
    {
        MoveInProgress_ = true;
        TFlagReset Reset(Animating_, MoveInProgress_);
        Layers_->Overview().SetValue(-1);
        RecordMove(Pit);
        Animating_ = true;
        SkipAnimation_ = false;
        Animator_->StartMove();
        Board_->DoMove(Pit);
        Animator_->EndMove();
    }
    if (!WillWinShown_) {
        const int Winner = Board_->WillWin();
        if (Winner != 0) {
            AppendNote(FormatText(Text("notewillwin"), {PlayerName(Winner)}));
            WillWinShown_ = true;
        }
    }
    CheckAfterMove();
}

void TSpielfeld::PassTurn() {
    if (!Board_->MustSkip()) return;
    AppendNote(FormatText(Text("notemustskip"), {PlayerName(Board_->Player)}));
    RecordMove(0);
    Board_->Skip();
    CheckAfterMove();
}

void TSpielfeld::CheckAfterMove() {
    Layers_->Overview().Paint();
    Refresh();
    if (Board_->IsGameOver()) {
        AppendNote(Text("noteend"));
        FinishGame();
        if (Window_ != nullptr) Window_->GameFinished(Rank1_, Rank2_);
    } else if (Board_->MustSkip() && Window_ != nullptr) {
        Window_->MustSkip();
    }
}

bool TSpielfeld::FinishGame() {
    BeginUpdate();
    Running_ = false;
    Rank1_ = -1;
    Rank2_ = -1;
    int P1 = -1;
    int P2 = -1;
    const std::uint8_t Mode = History_->Mode;
    if (Mode != 2 && !Assisted_) {
        try {
            const std::string Folder = HighscoreFolder_.empty() ? UserDataFolder() : HighscoreFolder_;
            const std::string FileName = HighscoreFileName(Folder, History_->Variant);
            THighscore Table;
            // A table that cannot be read throws here, before anything is
            // written: the damaged file stays as it is for inspection.
            Table.LoadFromFile(FileName);
            if (!IsComputer(1))
                P1 = Table.AddScore(History_->Name1, Clock(1), Board_->Store1(), Board_->Store2(),
                                    History_->CountMovesOf(1), false, History_->EMail1, History_->Land1);
            if (!IsComputer(2))
                P2 = Table.AddScore(History_->Name2, Clock(2), Board_->Store2(), Board_->Store1(),
                                    History_->CountMovesOf(2), false, History_->EMail2, History_->Land2);
            Table.SaveToFile(FileName);
            // Side 2's entry went in after side 1's and pushed it down when it
            // landed at or above it.
            if (P1 >= 0 && P2 >= 0 && P2 <= P1) ++P1;
        } catch (const std::exception& E) {
            EndUpdate();
            Refresh();
            ShowError(E.what());
            return false;
        }
    }

    const int Store1 = Board_->Store1();
    const int Store2 = Board_->Store2();
    const int Winner = Store1 > Store2 ? 1 : Store2 > Store1 ? 2 : 0;
    PlaySound(ResultSound(Mode, Winner));

    auto IsPlace = [](int P) { return P >= 0 && P <= 19; };
    if (IsPlace(P1)) Rank1_ = P1 + 1;
    if (IsPlace(P2)) Rank2_ = P2 + 1;
    EndUpdate();
    Refresh();

    std::string Message = Winner != 0 ? FormatText(Text("msgplayerwon"), {PlayerName(Winner)}) : Text("msgdrawn");
    const int Positions[3] = {0, P1, P2};
    for (int Side = 1; Side <= 2; ++Side) {
        const int Position = Positions[Side];
        if (!IsPlace(Position)) continue;
        const std::string Points = FormatPercent(Board_->StoreOf(Side), Store1 + Store2);
        Message += FormatText(Text("msgplayersummary"),
                              {PlayerName(Side), std::int64_t{Board_->StoreOf(Side)}, Points, Points,
                               std::int64_t{Position + 1}});
    }
    if (Assisted_ && Mode != 2) Message += Text("msgassisted");
    ShowResult(Message);
    return IsPlace(P1) || IsPlace(P2);
}

std::uint8_t TSpielfeld::AnimationKind() const { return Settings_->Animation; }

bool TSpielfeld::SoundOn() const { return Settings_->Sound; }

void TSpielfeld::PlaySound(const char* Name) const {
    if (Name != nullptr && Settings_->Sound) PlaySoundResource(Name);
}

void TSpielfeld::ShowError(const std::string& Message) const {
    if (Window_ != nullptr)
        Window_->ShowError(Message);
    else
        LngMessageDlg(Message, mtError, TMsgDlgButtons{mbOK});
}

void TSpielfeld::ShowResult(const std::string& Message) const {
    if (Window_ != nullptr)
        Window_->ShowResult(Message);
    else
        LngMessageDlg(Message, mtInformation, TMsgDlgButtons{mbOK});
}

void TSpielfeld::ShowPreview(int Pit) { Layers_->Overview().SetValue(Pit); }

int TSpielfeld::ComputerMove() {
    const int Row = Opponent_->ChooseMove();
    return Row == 0 ? 0 : PitIndex(Board_->Player, Row);
}

void TSpielfeld::SetPosition(const TPits& Pits, int Player) {
    Board_->Pits = Pits;
    Board_->Player = Player;
    Board_->MovesThisTurn = 0;
    Refresh();
}

bool TSpielfeld::CanUndo() const {
    if (!Running_ || MoveInProgress_ || History_->Mode == 2 || IsComputer(Board_->Player)) return false;
    return UndoList_.CanUndo(*History_, [this](std::int32_t Side) { return IsComputer(Side); });
}

bool TSpielfeld::CanRedo() const {
    return Running_ && !MoveInProgress_ && History_->Mode != 2 && !IsComputer(Board_->Player) &&
           UndoList_.CanRedo();
}

bool TSpielfeld::Undo() {
    if (!CanUndo()) return false;
    UndoList_.Undo(*History_, [this](std::int32_t Side) { return IsComputer(Side); });
    Assisted_ = true;
    RebuildFromRecord();
    return true;
}

bool TSpielfeld::Redo() {
    if (!CanRedo()) return false;
    UndoList_.Redo(*History_);
    RebuildFromRecord();
    return true;
}

void TSpielfeld::RebuildFromRecord() {
    TFeld Probe;
    std::vector<TReplayNote> Lines;
    // The record only ever holds moves that were played on this board, so
    // it replays; should it not, the board stays as it is.
    if (!ReplayRecord(*History_, NoteBase_, History_->Count(), Probe, Lines)) return;
    BeginUpdate();
    Board_->Assign(Probe);
    SetClock(1, ClampToInt32(History_->SumSeconds(1)));
    SetClock(2, ClampToInt32(History_->SumSeconds(2)));
    SetNote(Text(NoteHeadKey_));
    WillWinShown_ = false;
    for (const TReplayNote& Line : Lines) {
        switch (Line.Kind) {
        case TReplayNote::WillWin:
            AppendNote(FormatText(Text("notewillwin"), {PlayerName(Line.Side)}));
            WillWinShown_ = true;
            break;
        case TReplayNote::MustSkip:
            AppendNote(FormatText(Text("notemustskip"), {PlayerName(Line.Side)}));
            break;
        case TReplayNote::End:
            AppendNote(Text("noteend"));
            break;
        }
    }
    Layers_->Overview().SetValue(-1);
    Running_ = !Board_->IsGameOver();
    EndUpdate();
    Refresh();
}

}  // namespace tessum
