#include "game/uTSpielfeld.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <limits>

#include "i18n/GVDialogs.h"
#include "i18n/MultiLanguage.h"
#include "i18n/lngDialogs.h"
#include "game/uSound.h"
#include "graphics/uTBitmapLayer.h"
#include "graphics/uTGFXFile.h"
#include "highscore/uTHighscore.h"

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

std::string Padded(std::string Text, int Width, bool LeftJustify) {
    if (Width > static_cast<int>(Text.size())) {
        const std::string Fill(static_cast<std::size_t>(Width) - Text.size(), ' ');
        Text = LeftJustify ? Text + Fill : Fill + Text;
    }
    return Text;
}

std::string IntegerText(const TFormatArg& Arg, char Type, int Precision) {
    if (const auto* S = std::get_if<std::string>(&Arg)) return *S;
    const std::int64_t V = std::get<std::int64_t>(Arg);
    char Buffer[64];
    if (Type == 'u')
        std::snprintf(Buffer, sizeof Buffer, "%u", static_cast<unsigned>(static_cast<std::uint32_t>(V)));
    else if (Type == 'x')
        std::snprintf(Buffer, sizeof Buffer, "%x", static_cast<unsigned>(static_cast<std::uint32_t>(V)));
    else if (Type == 'X')
        std::snprintf(Buffer, sizeof Buffer, "%X", static_cast<unsigned>(static_cast<std::uint32_t>(V)));
    else
        std::snprintf(Buffer, sizeof Buffer, "%lld", static_cast<long long>(V));
    std::string Digits = Buffer;
    const bool Negative = !Digits.empty() && Digits[0] == '-';
    if (Negative) Digits.erase(0, 1);
    if (Precision > static_cast<int>(Digits.size()))
        Digits.insert(0, static_cast<std::size_t>(std::min(Precision, 64)) - Digits.size(), '0');
    return Negative ? "-" + Digits : Digits;
}

}  // namespace

std::string FormatText(std::string_view Pattern, std::initializer_list<TFormatArg> Args) {
    std::string Out;
    const TFormatArg* ArgBegin = Args.begin();
    const std::size_t ArgCount = Args.size();
    std::size_t NextArg = 0;
    std::size_t I = 0;
    while (I < Pattern.size()) {
        const char C = Pattern[I];
        if (C != '%') {
            Out += C;
            ++I;
            continue;
        }
        const std::size_t Start = I++;
        if (I < Pattern.size() && Pattern[I] == '%') {
            Out += '%';
            ++I;
            continue;
        }
        auto ReadNumber = [&](int& Number) {
            bool Any = false;
            Number = 0;
            while (I < Pattern.size() && Pattern[I] >= '0' && Pattern[I] <= '9') {
                Number = std::min(Number * 10 + (Pattern[I] - '0'), 1000);
                ++I;
                Any = true;
            }
            return Any;
        };
        // An explicit argument index "%1:s".
        std::size_t Save = I;
        int Index = 0;
        if (ReadNumber(Index) && I < Pattern.size() && Pattern[I] == ':') {
            NextArg = static_cast<std::size_t>(Index);
            ++I;
        } else {
            I = Save;
        }
        bool LeftJustify = false;
        if (I < Pattern.size() && Pattern[I] == '-') {
            LeftJustify = true;
            ++I;
        }
        int Width = 0;
        ReadNumber(Width);
        int Precision = -1;
        if (I < Pattern.size() && Pattern[I] == '.') {
            ++I;
            ReadNumber(Precision);
        }
        const char Type = I < Pattern.size() ? Pattern[I] : '\0';
        const char Lower = static_cast<char>(Type >= 'A' && Type <= 'Z' ? Type - 'A' + 'a' : Type);
        if (Lower != 's' && Lower != 'd' && Lower != 'u' && Lower != 'x') {
            // Not a directive we know: keep it visible rather than guess.
            Out.append(Pattern.substr(Start, I - Start));
            continue;
        }
        ++I;
        std::string Piece;
        if (NextArg < ArgCount) {
            const TFormatArg& Arg = ArgBegin[NextArg];
            if (Lower == 's') {
                Piece = std::holds_alternative<std::string>(Arg) ? std::get<std::string>(Arg)
                                                                  : std::to_string(std::get<std::int64_t>(Arg));
                if (Precision >= 0 && Precision < static_cast<int>(Piece.size()))
                    Piece.resize(static_cast<std::size_t>(Precision));
            } else {
                Piece = IntegerText(Arg, Lower == 'x' ? Type : Lower, Precision);
            }
        }
        ++NextArg;
        Out += Padded(std::move(Piece), Width, LeftJustify);
    }
    return Out;
}

const char* StoreSound(int Count, int Before) {
    if (Count == 1) return Before == 0 ? "1steininmulde" : "4steininmulde";
    if (Count >= 2 && Count <= 4) return "wenigsteineinstirnmulde";
    if (Count >= 5 && Count <= 999) return "vielesteineinstirnmulde";
    return nullptr;
}

const char* ResultSound(std::uint8_t Mode, int Winner) {
    if (Mode == 0) return "gewonnen";
    if (Mode == 1) return Winner == 0 ? "unentschieden" : Winner == 1 ? "verloren" : "gewonnen";
    return Winner == 0 ? "unentschieden" : "gewonnen";
}

TSpielfeld::TSpielfeld(TMultiLanguage* Translation_, ISpielfeldWindow* Window_)
    : Translation(Translation_), Window(Window_) {
    Rank1 = -1;
    Rank2 = -1;
    BeginUpdate();
    Animating = false;
    Running = false;
    MoveInProgress = false;

    Settings = std::make_unique<TTessumSettings>();
    Settings->Load();

    Board = std::make_unique<TFeld>();
    Board->OnBeforeSow = [this](int32_t P, int32_t S, int32_t C) { BoardBeforeSow(P, S, C); };
    Board->OnAfterSow = [this](int32_t P, int32_t S, int32_t C) { BoardAfterSow(P, S, C); };
    Board->OnBeforeTake = [this](int32_t P, int32_t S, int32_t C) { BoardBeforeTake(P, S, C); };
    Board->OnAfterTake = [this](int32_t P, int32_t S, int32_t C) { BoardAfterTake(P, S, C); };
    Board->OnBeforeStore = [this](int32_t P, int32_t S, int32_t C) { BoardBeforeStore(P, S, C); };
    Board->OnAfterStore = [this](int32_t P, int32_t S, int32_t C) { BoardAfterStore(P, S, C); };

    Opponent = std::make_unique<TKI>(*Board);
    History = std::make_unique<THistory>();

    BackgroundPicture = std::make_unique<TBitmap>();
    BoardPicture = std::make_unique<TBitmap>();
    FramePicture = std::make_unique<TBitmap>();
    HighlightPicture = std::make_unique<TBitmap>();
    OverviewEnglish = std::make_unique<TBitmap>();
    PreviewEnglish = std::make_unique<TBitmap>();
    OverviewGerman = std::make_unique<TBitmap>();
    PreviewGerman = std::make_unique<TBitmap>();
    LoadPictures();

    Layers = std::make_unique<TSpielfeldLayers>(&BackgroundPicture->Canvas(), [this] { return IsRunning(); },
                                                &BoardPicture->Canvas());
    Layers->Translation = Translation;
    Layers->Overview().Board = Board.get();

    Hands = std::make_unique<TTessumHands>(FramePicture.get(), BoardPicture.get(), &Layers->Stones());
    Hands->LoadBitmaps();
    Hands->OnChange = [this] { Refresh(); };
    Hands->OnSkip = [this] { return SkipAnimation; };

    EndUpdate();
}

TSpielfeld::~TSpielfeld() {
    try {
        Settings->Save();
    } catch (const std::exception& E) {
        ShowError(E.what());
    }
    OverviewEnglish.reset();
    PreviewEnglish.reset();
    OverviewGerman.reset();
    PreviewGerman.reset();
    Hands.reset();
    Layers.reset();
    HighlightPicture.reset();
    FramePicture.reset();
    BoardPicture.reset();
    BackgroundPicture.reset();
    History.reset();
    Opponent.reset();
    Board.reset();
    Settings.reset();
}

void TSpielfeld::LoadPictures() {
    TGFXFile Archive;
    Archive.LoadFromFile(ProgramFileName("game.gfx"));
    TJPEGImage Background;
    Archive.GetJPEG("bg.jpg", Background);
    BackgroundPicture->Assign(Background);
    Archive.GetBitmap("golden.bmp", *HighlightPicture);
    HighlightPicture->Transparent = true;
    HighlightPicture->SetTransparentColor(clWhite);
    Archive.GetBitmap("us_overview.bmp", *OverviewEnglish);
    Archive.GetBitmap("de_overview.bmp", *OverviewGerman);
    Archive.GetBitmap("us_preview.bmp", *PreviewEnglish);
    Archive.GetBitmap("de_preview.bmp", *PreviewGerman);
    BoardPicture->Assign(*BackgroundPicture);
    FramePicture->Assign(*BackgroundPicture);
    // The layers write with this font and change only its size. Its colour is
    // the default window text, black, which reads well on the light wood.
    TFont& Font = BoardPicture->Canvas().Font;
    Font.Name = "Comic Sans MS";
    Font.Bold = true;
    Font.SetSize(9);
}

void TSpielfeld::ShowLanguagePictures() {
    const bool English = Translation != nullptr && Translation->Language() == "english";
    TCanvas& Canvas = BackgroundPicture->Canvas();
    Canvas.Draw(53, 395, English ? *OverviewEnglish : *OverviewGerman);
    Canvas.Draw(256, 395, English ? *PreviewEnglish : *PreviewGerman);
    BoardPicture->Assign(*BackgroundPicture);
    FramePicture->Assign(*BackgroundPicture);
}

bool TSpielfeld::IsComputer(int Side) const {
    const std::uint8_t Mode = History->Mode;
    if (Side == 1) return Mode != 0;
    if (Side == 2) return Mode == 2;
    return false;
}

std::int32_t TSpielfeld::Clock(int Side) { return Layers->Zeit(Side).Value; }

void TSpielfeld::SetClock(int Side, std::int32_t Seconds) {
    if (ValidSide(Side)) Layers->Zeit(Side).SetValue(Seconds);
}

const std::string& TSpielfeld::PlayerName(int Side) const {
    static const std::string None;
    if (Side == 1) return History->Name1;
    if (Side == 2) return History->Name2;
    return None;
}

std::string TSpielfeld::Text(const char* Key) const {
    return Translation != nullptr ? Translation->GetText(Key) : std::string();
}

void TSpielfeld::SetNote(const std::string& Line) { Layers->Notes().SetText(Line); }

void TSpielfeld::AppendNote(const std::string& Line) { Layers->Notes().SetText(Layers->Notes().Text + "\r\n" + Line); }

void TSpielfeld::UpdateLayers() {
    Layers->AktSpieler().SetValue(Board->Player);
    Layers->SteineHand().SetValue(Board->Hand);
    Layers->Runde(0).SetValue(History->CountMoves());
    Layers->Runde(1).SetValue(History->CountMovesOf(1));
    Layers->Runde(2).SetValue(History->CountMovesOf(2));
    for (int Pit = 1; Pit <= PitCount; ++Pit) Layers->Mulde(Pit).SetValue(Board->Pits[Pit]);
}

void TSpielfeld::Refresh() {
    // The single layer repaints must not reach the screen one by one; the
    // window gets one repaint for the whole update.
    const bool WasUpdating = Updating;
    Updating = true;
    UpdateLayers();
    Updating = WasUpdating;
    if (Layers->OnPaint) Layers->OnPaint(nullptr);
}

void TSpielfeld::NewGame(const std::string& Name1, const std::string& Name2, const std::string& EMail1,
                         const std::string& EMail2, const std::string& Land1, const std::string& Land2,
                         int StonesPerPit, bool UseEndPits, int Variant, int Level, std::uint8_t Mode,
                         int StartSide) {
    Running = true;
    BeginUpdate();
    WillWinShown = false;
    Board->StonesPerPit = static_cast<std::uint8_t>(std::clamp(StonesPerPit, 0, 255));
    Board->UseEndPits = UseEndPits;
    Board->Reset();
    Board->Player = StartSide;
    Board->Variant = Variant;
    Opponent->Level = Level;
    History->Start(Name1, Name2, EMail1, EMail2, Land1, Land2, Variant, UseEndPits, Board->StonesPerPit, Level,
                   Board->Player, Mode);
    Layers->AktSpieler().Names = {Name1, Name2};
    SetClock(1, 0);
    SetClock(2, 0);
    Layers->Variante().SetValue(Variant);
    SetNote(Text("notestart"));
    Layers->PaintAll();
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
    const std::array<std::string, 2> OldNames = Layers->AktSpieler().Names;
    const std::int32_t OldVariant = Layers->Variante().Value;

    TFeld Probe;
    Probe.StonesPerPit = Loaded->StonesPerPit;
    Probe.UseEndPits = Loaded->UseEndPits;
    Probe.Variant = Loaded->Variant;
    Probe.Reset();
    Probe.Player = Loaded->StartPlayer;

    SetClock(1, ClampToInt32(Loaded->SumSeconds(1)));
    SetClock(2, ClampToInt32(Loaded->SumSeconds(2)));
    Layers->AktSpieler().Names = {Loaded->Name1, Loaded->Name2};
    Layers->Variante().SetValue(Loaded->Variant);

    // Settings no new game can have would give a board whose moves change
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
        Opponent->Level = Loaded->Level;
        Board->Assign(Probe);
        History = std::move(Loaded);
        WillWinShown = false;
        Running = true;
        SetNote(Text("noteload"));
    } else {
        SetClock(1, OldClock1);
        SetClock(2, OldClock2);
        Layers->AktSpieler().Names = OldNames;
        Layers->Variante().SetValue(OldVariant);
    }

    Layers->PaintAll();
    UpdateLayers();
    Running = !Board->IsGameOver();
    EndUpdate();
    Refresh();
    return Result;
}

void TSpielfeld::RecordMove(int Pit) {
    const int Side = Board->Player;
    const std::int64_t Spent = static_cast<std::int64_t>(Clock(Side)) - History->SumSeconds(Side);
    History->AddMove(ClampToInt32(Spent), static_cast<std::uint8_t>(Pit), Side);
}

void TSpielfeld::PlayMove(int Pit) {
    // Recording a move the board then ignores would leave a saved game that
    // no longer replays.
    if (!Board->IsLegalMove(Pit)) return;
    {
        MoveInProgress = true;
        TFlagReset Reset(Animating, MoveInProgress);
        Layers->Overview().SetValue(-1);
        RecordMove(Pit);
        Animating = true;
        SkipAnimation = false;
        Hands->StartMove();
        Board->DoMove(Pit);
        Hands->EndMove();
    }
    if (!WillWinShown) {
        const int Winner = Board->WillWin();
        if (Winner != 0) {
            AppendNote(FormatText(Text("notewillwin"), {PlayerName(Winner)}));
            WillWinShown = true;
        }
    }
    CheckAfterMove();
}

void TSpielfeld::PassTurn() {
    if (!Board->MustSkip()) return;
    AppendNote(FormatText(Text("notemustskip"), {PlayerName(Board->Player)}));
    RecordMove(0);
    Board->Skip();
    CheckAfterMove();
}

void TSpielfeld::CheckAfterMove() {
    Layers->Overview().Paint();
    Refresh();
    if (Board->IsGameOver()) {
        AppendNote(Text("noteend"));
        FinishGame();
    }
}

bool TSpielfeld::FinishGame() {
    BeginUpdate();
    Running = false;
    int P1 = -1;
    int P2 = -1;
    const std::uint8_t Mode = History->Mode;
    if (Mode != 2) {
        try {
            const std::string Folder = HighscoreFolder.empty() ? ProgramFolder() : HighscoreFolder;
            const std::string FileName = HighscoreFileName(Folder, History->Variant);
            THighscore Table;
            // A table that cannot be read throws here, before anything is
            // written: the damaged file stays as it is for inspection.
            Table.LoadFromFile(FileName);
            if (!IsComputer(1))
                P1 = Table.AddScore(History->Name1, Clock(1), Board->Store1(), Board->Store2(),
                                    History->CountMovesOf(1), false, History->EMail1, History->Land1);
            if (!IsComputer(2))
                P2 = Table.AddScore(History->Name2, Clock(2), Board->Store2(), Board->Store1(),
                                    History->CountMovesOf(2), false, History->EMail2, History->Land2);
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

    const int Store1 = Board->Store1();
    const int Store2 = Board->Store2();
    const int Winner = Store1 > Store2 ? 1 : Store2 > Store1 ? 2 : 0;
    PlaySound(ResultSound(Mode, Winner));

    auto IsPlace = [](int P) { return P >= 0 && P <= 19; };
    if (IsPlace(P1)) Rank1 = P1 + 1;
    if (IsPlace(P2)) Rank2 = P2 + 1;
    EndUpdate();
    Refresh();

    std::string Message = Winner != 0 ? FormatText(Text("msgplayerwon"), {PlayerName(Winner)}) : Text("msgdrawn");
    const int Positions[3] = {0, P1, P2};
    for (int Side = 1; Side <= 2; ++Side) {
        const int Position = Positions[Side];
        if (!IsPlace(Position)) continue;
        const std::string Points = FormatPercent(Board->StoreOf(Side), Store1 + Store2);
        Message += FormatText(Text("msgplayersummary"),
                              {PlayerName(Side), std::int64_t{Board->StoreOf(Side)}, Points, Points,
                               std::int64_t{Position + 1}});
    }
    ShowResult(Message);
    return IsPlace(P1) || IsPlace(P2);
}

void TSpielfeld::ShowStoneFrame(int Pit, std::uint32_t Milliseconds) {
    const std::uint32_t Start = GetTickCount();
    const TRect All = {0, 0, BoardPicture->Width(), BoardPicture->Height()};
    FramePicture->Canvas().CopyRect(All, BoardPicture->Canvas(), All);
    if (Pit >= 1 && Pit <= PitCount && !HighlightPicture->Empty()) {
        const TRect& R = PitRects[static_cast<std::size_t>(Pit)];
        FramePicture->Canvas().Draw(R.Left + (R.Width() - HighlightPicture->Width()) / 2,
                                    R.Top + (R.Height() - HighlightPicture->Height()) / 2, *HighlightPicture);
    }
    Refresh();
    // Waiting in short slices lets Escape end the pause at once.
    const std::uint32_t End = Start + Milliseconds;
    while (!SkipAnimation && static_cast<std::int32_t>(GetTickCount() - End) < 0) {
        const std::uint32_t Slice = GetTickCount() + 10;
        WaitUntil(static_cast<std::int32_t>(Slice - End) < 0 ? Slice : End);
    }
}

std::uint8_t TSpielfeld::AnimationKind() const { return Settings->Animation; }

void TSpielfeld::PlaySound(const char* Name) const {
    if (Name != nullptr && Settings->Sound) PlaySoundResource(Name);
}

const char* TSpielfeld::SowSound(int Pit) const {
    return Board->Pits[Pit] == 0 ? "1steininmulde" : "4steininmulde";
}

void TSpielfeld::BoardBeforeTake(int Pit, int Side, int Count) {
    if (SkipAnimation || !ValidSide(Side) || Pit < 1 || Pit > PitCount) return;
    const char* Sound = IsPlayingPit(Pit) && Count > 0 ? "4steinausmulde" : nullptr;
    switch (AnimationKind()) {
        case AnimationStones:
            PlaySound(Sound);
            ShowStoneFrame(-1, 500);
            break;
        case AnimationHands: {
            const TPoint Centre = RectCenter(PitRects[static_cast<std::size_t>(Pit)]);
            Hands->MoveHands(Centre, OffsetPoint(Centre, HandSides[static_cast<std::size_t>(Side)].RightBesidePit, true),
                             Side);
            if (!SkipAnimation) PlaySound(Sound);
            break;
        }
        default:
            break;
    }
}

void TSpielfeld::BoardAfterTake(int Pit, int Side, int Count) {
    if (SkipAnimation || !ValidSide(Side) || Pit < 1 || Pit > PitCount) return;
    switch (AnimationKind()) {
        case AnimationStones:
            ShowStoneFrame(-1, 200);
            break;
        case AnimationHands: {
            const auto S = static_cast<std::size_t>(Side);
            const TPoint Centre = RectCenter(PitRects[static_cast<std::size_t>(Pit)]);
            Hands->Grab(Centre, Count, Side);
            if (SkipAnimation) return;
            const int Held = Hands->LeftStones[S];
            if (Held >= 2 && Held <= 4)
                PlaySound("wenigsteineinderhand");
            else if (Held >= 5 && Held <= 999)
                PlaySound("vielesteineinderhand");
            Hands->PassToRightHand(Centre, Count, Side);
            if (SkipAnimation) return;
            WaitUntil(GetTickCount() + 200);
            Hands->LeftFrame[S] = 0;
            Hands->MoveHands(HandSides[S].LeftHome, OffsetPoint(Hands->RightPos[S], HandSides[S].RightStepAside, true),
                             Side);
            break;
        }
        default:
            break;
    }
}

void TSpielfeld::BoardBeforeSow(int Pit, int Side, int Count) {
    if (SkipAnimation || !ValidSide(Side) || Pit < 1 || Pit > PitCount) return;
    switch (AnimationKind()) {
        case AnimationStones:
            ShowStoneFrame(Pit, 500);
            if (!SkipAnimation) PlaySound(SowSound(Pit));
            break;
        case AnimationHands:
            Hands->SowFromRightHand(RectCenter(PitRects[static_cast<std::size_t>(Pit)]), Count, Side);
            if (!SkipAnimation) PlaySound(SowSound(Pit));
            break;
        default:
            break;
    }
}

void TSpielfeld::BoardAfterSow(int /*Pit*/, int Side, int /*Count*/) {
    if (SkipAnimation || !ValidSide(Side)) return;
    if (AnimationKind() == AnimationStones) ShowStoneFrame(-1, 200);
}

void TSpielfeld::BoardBeforeStore(int Pit, int Side, int Count) {
    if (SkipAnimation || !ValidSide(Side) || Pit < 1 || Pit > PitCount) return;
    const char* Sound = StoreSound(Count, Board->Pits[Pit]);
    switch (AnimationKind()) {
        case AnimationStones:
            ShowStoneFrame(Pit, 500);
            if (!SkipAnimation) PlaySound(Sound);
            break;
        case AnimationHands:
            Hands->SowFromRightHand(RectCenter(PitRects[static_cast<std::size_t>(Pit)]), Count, Side);
            if (!SkipAnimation) PlaySound(Sound);
            break;
        default:
            break;
    }
}

void TSpielfeld::BoardAfterStore(int /*Pit*/, int Side, int /*Count*/) {
    if (SkipAnimation || !ValidSide(Side)) return;
    if (AnimationKind() == AnimationStones) ShowStoneFrame(-1, 200);
}

void TSpielfeld::ShowError(const std::string& Message) const {
    if (Window != nullptr)
        Window->ShowError(Message);
    else
        LngMessageDlg(Message, mtError, TMsgDlgButtons{mbOK});
}

void TSpielfeld::ShowResult(const std::string& Message) const {
    LngMessageDlg(Message, mtInformation, TMsgDlgButtons{mbOK});
}

}  // namespace tessum
