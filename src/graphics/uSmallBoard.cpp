#include "graphics/uSmallBoard.h"

#include <string>

namespace tessum {

namespace {

constexpr int CellWidth = 23;
constexpr int RowHeight = 15;

void WriteCentred(TCanvas& Canvas, int CellLeft, int Top, int CellWidthPx, int Number, TColor Color) {
    const std::string text = std::to_string(Number);
    Canvas.Font.Color = Color;
    // Integer division truncates toward zero, so a number wider than its
    // cell starts left of it, centred on the cell.
    Canvas.TextOut(CellLeft + (CellWidthPx - Canvas.TextWidth(text)) / 2, Top, text);
}

}  // namespace

void DrawSmall(const TFeld& Feld, TCanvas& Canvas, TPoint Origin, int MarkedPit) {
    Canvas.Font.Name = "Arial";
    Canvas.Font.Bold = true;
    Canvas.Font.SetSize(8);
    Canvas.Brush.Style = TBrushStyle::Clear;
    Canvas.Pen.Width = 2;

    const int X = Origin.X;
    const int Y = Origin.Y;
    if (IsPlayingPit(MarkedPit)) {
        const bool side1 = MarkedPit <= 6;
        const int column = side1 ? 7 - MarkedPit : MarkedPit - 7;
        const int row = side1 ? 0 : 2;
        Canvas.Pen.Color = side1 ? SmallBoardSide1Color : SmallBoardSide2Color;
        const int x = X + CellWidth * column;
        const int y = Y + RowHeight * row;
        Canvas.Ellipse(x + 1, y - 3, x + 21, y + 17);
    }

    for (int c = 1; c <= 6; ++c)
        WriteCentred(Canvas, X + CellWidth * c, Y, CellWidth, Feld.Pits[7 - c], SmallBoardSide1Color);
    WriteCentred(Canvas, X, Y + RowHeight, CellWidth, Feld.Pits[7], SmallBoardSide1Color);
    const int inPlay = Feld.OwnSideSum() + Feld.OtherSideSum() + Feld.Hand + Feld.Captured;
    WriteCentred(Canvas, X, Y + RowHeight, SmallBoardWidth, inPlay, clBlack);
    WriteCentred(Canvas, X + CellWidth * 7, Y + RowHeight, CellWidth, Feld.Pits[14], SmallBoardSide2Color);
    for (int c = 1; c <= 6; ++c)
        WriteCentred(Canvas, X + CellWidth * c, Y + 2 * RowHeight, CellWidth, Feld.Pits[7 + c], SmallBoardSide2Color);
}

}  // namespace tessum
