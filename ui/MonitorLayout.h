// Where a monitor window puts its shared controls, in twips (15 twips make one pixel).
#pragma once

#include <QPoint>
#include <QRect>

constexpr int TwipsPerPixel = 15;

constexpr int TwipsToPixels(int twips) {
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

inline QRect TwipsRect(int left, int top, int width, int height) {
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

struct MonitorLayout {
    int innerWidth; // the window's inner size
    int innerHeight;
    int firstColumnLeft; // column t starts at firstColumnLeft + (t - 1) * columnStep
    int columnStep;
    int labelWidth; // lblTable and lblTime
    int labelHeight;
    int tableTop;
    int timeTop;
    double tableFontPoints; // lblTable and lblTime; lblInfo always uses the standard size
    int lineY;              // Line1 runs from (firstColumnLeft, lineY) to (lineRight, lineY)
    int lineRight;
    QRect info; // lblInfo, btnInfo and btnHide as left, top, width, height
    QRect infoButton;
    QRect hideButton;
    QPoint flash[3]; // Flash1 to Flash3
};
