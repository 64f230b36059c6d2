// A light, read-only grid: it holds no cell data, asks its owner for every
// text, alignment, colour, column width and row height through callbacks,
// and can draw itself onto any canvas at an integer scale, which is how a
// table on the screen becomes the same table on a printer page.
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "graphics/Graphics.h"

namespace tessum {

class TSmallGrid : public QWidget {
    Q_OBJECT

public:
    using TGetCellStr = std::function<void(TSmallGrid& Sender, int aCol, int aRow, std::string& aCell)>;
    using TGetCellAlignment =
        std::function<void(TSmallGrid& Sender, int aCol, int aRow, THorzAlign& hAlign, TVertAlign& vAlign)>;
    using TGetColWidth = std::function<void(TSmallGrid& Sender, int aCol, int& aWidth)>;
    using TGetRowHeight = std::function<void(TSmallGrid& Sender, int aRow, int& aHeight)>;
    using TGetCellColorBG = std::function<void(TSmallGrid& Sender, int aCol, int aRow, TColor& aColor)>;

    explicit TSmallGrid(QWidget* Parent = nullptr);

    // Font of the cell texts when the grid paints itself.
    TFont Font;
    // Colour of the grid lines when the grid paints itself.
    TColor GridLineColor = RGBColor(160, 160, 160);

    int RowCount() const { return RowCount_; }
    int ColCount() const { return ColCount_; }
    int DefaultRowHeight() const { return DefaultRowHeight_; }
    int DefaultColWidth() const { return DefaultColWidth_; }
    // Each setter also resizes the control to the grid's extent.
    void SetRowCount(int Value);
    void SetColCount(int Value);
    void SetDefaultRowHeight(int Value);
    void SetDefaultColWidth(int Value);

    int GridLineHori = 1;
    int GridLineVert = 1;
    int CellPaddingHori = 3;
    int CellPaddingVert = 0;

    TGetCellStr OnGetCellStr;
    TGetCellAlignment OnGetCellAlignment;
    TGetColWidth OnGetColWidth;
    TGetRowHeight OnGetRowHeight;
    TGetCellColorBG OnGetCellColorBG;

    // Width of column aCol / height of row aRow at scale 1, callbacks included.
    int ColWidth(int aCol);
    int RowHeight(int aRow);
    // Sum of all column widths / row heights at scale 1.
    int TotalColWidth();
    int TotalRowHeight();
    // Makes the control as large as the grid plus one pixel for the closing lines.
    void UpdateSize();

    // Selection in cell coordinates; Right and Bottom exclusive, -1 for none.
    TRect Selection() const { return Selection_; }
    // Selects the whole of Row (nothing for -1) and redraws.
    void SelectRow(int Row);
    bool IsSelected(int aCol, int aRow) const;

    // Draws the whole grid with its top-left corner at Origin, every size,
    // padding and line width multiplied by Scale (values below 1 count as 1).
    // Cells start from the canvas brush's colour; lines use its pen colour.
    void PaintTo(TCanvas& Canvas, TPoint Origin, int Scale);

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    int RowCount_ = 5;
    int ColCount_ = 4;
    int DefaultRowHeight_ = 18;
    int DefaultColWidth_ = 64;
    TRect Selection_{-1, -1, -1, -1};
};

}  // namespace tessum
