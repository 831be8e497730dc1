// Where a monitor window puts its controls, in twips (15 twips make one pixel at 96 dpi).
#pragma once

constexpr int TwipsPerPixel = 15;

constexpr int TwipsToPixels(int twips) {
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

struct TwipRect {
    int x;
    int y;
    int width;
    int height;
};

struct TwipPoint {
    int x;
    int y;
};

struct MonitorLayout {
    int innerWidth; // the window's inner size
    int innerHeight;
    int firstColumnLeft; // column t starts at firstColumnLeft + (t - 1) * columnStep
    int columnStep;
    int labelWidth; // lblTable, lblTime and lblSum
    int labelHeight;
    int tableTop;
    int timeTop;
    int sumTop;         // lblSum; the alternative window only
    int tableButtonTop; // btnReset or btnSet
    int tableButtonWidth;
    int tableButtonHeight;
    double tableFontPoints; // lblTable, lblTime and lblSum; lblInfo always uses the standard size
    int lineY;              // Line1 runs from (firstColumnLeft, lineY) to (lineRight, lineY)
    int lineRight;
    TwipRect info; // lblInfo, btnInfo and btnHide
    TwipRect infoButton;
    TwipRect hideButton;
    TwipPoint flash[3]; // Flash1 to Flash3, each FlashSize square
};

constexpr int FlashSize = 345;
constexpr double StatusFontPoints = 8.25;

// Column t's cell of the given top and size.
constexpr TwipRect ColumnRect(const MonitorLayout& layout, int table, int top, int width, int height) {
    return {layout.firstColumnLeft + (table - 1) * layout.columnStep, top, width, height};
}
