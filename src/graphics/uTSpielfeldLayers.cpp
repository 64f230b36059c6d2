#include "graphics/uTSpielfeldLayers.h"

#include <algorithm>
#include <cstdio>

#include "i18n/MultiLanguage.h"
#include "graphics/uSmallBoard.h"

namespace tessum {

namespace {

// The text height the layers step their lines by: a letter with a descender
// and a capital, so lines never touch.
constexpr const char* LineProbe = "gH";

std::string Decimal(std::int64_t V) { return std::to_string(V); }

void WriteAt(TCanvas& Target, const TRect& Clip, int X, int Y, const std::string& Text) {
    Target.TextRect(Clip, X, Y, Text);
}

int EndPitIndex(int Pit) { return Pit == 14 ? 1 : 0; }

}  // namespace

int PitAtPoint(int X, int Y) {
    for (int Pit = 1; Pit <= PitCount; ++Pit)
        if (PitRects[static_cast<std::size_t>(Pit)].Contains(X, Y)) return Pit;
    return -1;
}

TStonePlacement PlayingPitStones(int Pit, int Count) {
    TStonePlacement Result;
    if (!IsPlayingPit(Pit) || Count < 1 || Count > 99) return Result;
    TPoint At = StoneOrigins[static_cast<std::size_t>(Pit)];
    if (Count <= 8) {
        const TPoint Offset = StoneCountOffsets[static_cast<std::size_t>(Count)];
        At.X += Offset.X;
        At.Y += Offset.Y;
    }
    Result.Picture = std::min(Count, 9);
    Result.At = At;
    return Result;
}

std::array<TStonePlacement, EndPitSpotCount> EndPitStones(int Pit, int Count) {
    std::array<TStonePlacement, EndPitSpotCount> Result{};
    if (!IsEndPit(Pit) || Count < 1 || Count > 99) return Result;
    const auto Side = static_cast<std::size_t>(EndPitIndex(Pit));
    const auto& Row = EndPitGroups[Side][static_cast<std::size_t>(std::min(Count, EndPitMaxDrawn))];
    int Remaining = Count;
    for (std::size_t Spot = 0; Spot < EndPitSpotCount && Remaining > 0; ++Spot) {
        const int N = std::min(Remaining, static_cast<int>(Row[Spot]));
        if (N > 0) {
            Result[Spot].Picture = std::min(N, 9);
            Result[Spot].At = EndPitSpots[Side][Spot];
            Remaining -= N;
        }
    }
    return Result;
}

std::string ClockText(int Side, std::int32_t Seconds) {
    char Buffer[64];
    std::snprintf(Buffer, sizeof Buffer, "%u) %2.2d:%2.2d:%2.2d", static_cast<unsigned>(Side), Seconds / 3600,
                  (Seconds / 60) % 60, Seconds % 60);
    return Buffer;
}

std::vector<std::string> SplitNoteLines(const std::string& Text) {
    std::vector<std::string> Lines;
    std::size_t Start = 0;
    std::size_t I = 0;
    while (I < Text.size()) {
        const char C = Text[I];
        if (C == '\r' || C == '\n') {
            Lines.push_back(Text.substr(Start, I - Start));
            if (C == '\r' && I + 1 < Text.size() && Text[I + 1] == '\n') ++I;
            Start = ++I;
        } else {
            ++I;
        }
    }
    if (Start < Text.size()) Lines.push_back(Text.substr(Start));
    return Lines;
}

void TZeitLayer::Draw(TCanvas& Target) {
    if (Value < 0) return;
    WriteAt(Target, DestRect, DestRect.Left, DestRect.Top, ClockText(Side, Value));
}

void TAktSpielerLayer::Draw(TCanvas& Target) {
    if (Value != 1 && Value != 2) return;
    const std::string& Name = Names[static_cast<std::size_t>(Value - 1)];
    while (Target.TextWidth(Name) > DestRect.Width() && Target.Font.Size > 4) Target.Font.SetSize(Target.Font.Size - 1);
    WriteAt(Target, DestRect, DestRect.Left, DestRect.Top, Name);
}

void TVarianteLayer::Draw(TCanvas& Target) {
    if (Value <= 0) return;
    const auto* Owner = static_cast<const TSpielfeldLayers*>(Layers);
    const std::string Caption = Owner ? Owner->GetText("c_variant") : std::string();
    WriteAt(Target, DestRect, DestRect.Left, DestRect.Top, Caption + " " + Decimal(Value));
}

void TSteineHandLayer::Draw(TCanvas& Target) {
    if (Value <= 0) return;
    const auto* Owner = static_cast<const TSpielfeldLayers*>(Layers);
    WriteAt(Target, DestRect, DestRect.Left, DestRect.Top, Owner ? Owner->GetText("captioninhand") : std::string());
    const std::string Number = Decimal(Value);
    const int X = DestRect.Left + (DestRect.Width() - Target.TextWidth(Number)) / 2;
    WriteAt(Target, DestRect, X, DestRect.Top + Target.TextHeight(LineProbe), Number);
}

std::string TRundeLayer::Caption() const {
    if (Value <= 0) return {};
    const std::string Prefix = Side <= 0 ? std::string(">") : Decimal(Side) + ") ";
    return Prefix + Decimal(Value);
}

void TRundeLayer::Draw(TCanvas& Target) {
    if (Value > 0) WriteAt(Target, DestRect, DestRect.Left, DestRect.Top, Caption());
    // The total's rectangle overlaps both sides' counters: restoring this
    // one's background erased what the others had written in the shared part,
    // so their texts are written there again, whatever order they change in.
    const auto* Owner = static_cast<const TSpielfeldLayers*>(Layers);
    if (Owner == nullptr) return;
    for (int Other = 0; Other <= 2; ++Other) {
        const TRundeLayer& Counter = Owner->Runde(Other);
        if (&Counter == this || Counter.Value <= 0) continue;
        const TRect Shared{std::max(DestRect.Left, Counter.DestRect.Left), std::max(DestRect.Top, Counter.DestRect.Top),
                           std::min(DestRect.Right, Counter.DestRect.Right),
                           std::min(DestRect.Bottom, Counter.DestRect.Bottom)};
        if (!Shared.IsEmpty())
            WriteAt(Target, Shared, Counter.DestRect.Left, Counter.DestRect.Top, Counter.Caption());
    }
}

void TStringLayer::Draw(TCanvas& Target) {
    const std::vector<std::string> Lines = SplitNoteLines(Text);
    if (Lines.empty() || MaxLines <= 0) return;
    const int Step = Target.TextHeight(LineProbe);
    const int Shown = std::min(MaxLines, static_cast<int>(Lines.size()));
    for (int K = 0; K < Shown; ++K) {
        const std::size_t Index = FromTop ? static_cast<std::size_t>(K) : Lines.size() - 1 - static_cast<std::size_t>(K);
        WriteAt(Target, DestRect, DestRect.Left, DestRect.Top + K * Step, Lines[Index]);
    }
}

void TOverviewLayer::Draw(TCanvas& Target) {
    if (Board == nullptr || Value == 0) return;
    // DrawSmall leaves its own font, brush and pen behind; the next layer
    // expects the board font.
    const TPen SavedPen = Target.Pen;
    const TFont SavedFont = Target.Font;
    const TBrush SavedBrush = Target.Brush;
    DrawSmall(*Board, Target, {DestRect.Left + 3, DestRect.Top + 4}, Value);
    if (Board->IsLegalMove(Value)) {
        TFeld After(*Board);  // a copy without observers: nothing animates or sounds
        After.DoMove(Value);
        DrawSmall(After, Target, {DestRect.Left + Spacing + 3, DestRect.Top + 4}, 0);
    }
    Target.Pen = SavedPen;
    Target.Font = SavedFont;
    Target.Brush = SavedBrush;
}

void TMulde::Draw(TCanvas& Target) {
    if (Value < 1 || Value > 99 || Stones == nullptr) return;
    if (!IsEndPit(Pit)) {
        const TStonePlacement Place = PlayingPitStones(Pit, Value);
        if (const TBitmap* Picture = Stones->Bitmap(Place.Picture)) Target.Draw(Place.At.X, Place.At.Y, *Picture);
        if (PitPictures != nullptr) {
            if (const TBitmap* Overlay = PitPictures->Bitmap(Pit)) {
                const TPoint At = OverlayPositions[static_cast<std::size_t>(Pit)];
                Target.Draw(At.X, At.Y, *Overlay);
            }
        }
        return;
    }
    for (const TStonePlacement& Group : EndPitStones(Pit, Value))
        if (const TBitmap* Picture = Stones->Bitmap(Group.Picture)) Target.Draw(Group.At.X, Group.At.Y, *Picture);
}

TSpielfeldLayers::TSpielfeldLayers(TCanvas* SourceCanvas, TCanPaintEvent GameInProgress, TCanvas* Canvas)
    // The stones and overlays are loaded at the board picture's own scale, so
    // drawing them is a plain pixel copy at every scale.
    : stones_(std::make_unique<TGFXSteine>(Canvas != nullptr ? Canvas->Scale() : 1)),
      pitPictures_(std::make_unique<TGFXMulden>(Canvas != nullptr ? Canvas->Scale() : 1)) {
    auto Guarded = [&](auto& Layer, const TRect& R) {
        using Layer_t = typename std::remove_reference_t<decltype(Layer)>::element_type;
        Layer = std::make_unique<Layer_t>(SourceCanvas, GameInProgress, R, R, Canvas);
    };
    auto Unguarded = [&](auto& Layer, const TRect& R) {
        using Layer_t = typename std::remove_reference_t<decltype(Layer)>::element_type;
        Layer = std::make_unique<Layer_t>(SourceCanvas, TCanPaintEvent(), R, R, Canvas);
    };

    Guarded(zeit1_, ZeitRect1);
    zeit1_->Side = 1;
    Guarded(zeit2_, ZeitRect2);
    zeit2_->Side = 2;
    Guarded(aktSpieler_, AktSpielerRect);
    Guarded(variante_, VarianteRect);
    Guarded(steineHand_, SteineHandRect);
    Unguarded(runde_, RundeRect);
    runde_->Side = 0;
    Unguarded(runde1_, RundeRect1);
    runde1_->Side = 1;
    Unguarded(runde2_, RundeRect2);
    runde2_->Side = 2;
    Unguarded(notes_, NotesRect);
    notes_->FontSize = 8;
    notes_->MaxLines = 5;
    notes_->FromTop = false;
    Guarded(overview_, OverviewRect);
    overview_->Spacing = 210;
    for (int Pit = 1; Pit <= PitCount; ++Pit) {
        auto& Mulde = mulden_[static_cast<std::size_t>(Pit)];
        Guarded(Mulde, PitRects[static_cast<std::size_t>(Pit)]);
        Mulde->Pit = Pit;
        Mulde->Stones = stones_.get();
        Mulde->PitPictures = pitPictures_.get();
    }

    AddLayer(zeit1_.get());
    AddLayer(zeit2_.get());
    AddLayer(aktSpieler_.get());
    AddLayer(variante_.get());
    AddLayer(steineHand_.get());
    AddLayer(runde_.get());
    AddLayer(runde1_.get());
    AddLayer(runde2_.get());
    AddLayer(notes_.get());
    AddLayer(overview_.get());
    for (int Pit = 1; Pit <= PitCount; ++Pit) AddLayer(mulden_[static_cast<std::size_t>(Pit)].get());
}

TSpielfeldLayers::~TSpielfeldLayers() {
    // The base list only points at the layers; empty it before they go.
    items_.clear();
}

std::string TSpielfeldLayers::GetText(const char* Key) const {
    return Translation != nullptr ? Translation->GetText(Key) : std::string();
}

}  // namespace tessum
