#include "monitor/MonitorControls.h"

#include "monitor/BilliardAlt.h"
#include "monitor/BilliardStd.h"
#include "monitor/MonitorCaptions.h"
#include "monitor/RefreshCycle.h"

#include <functional>

namespace {

using ColumnCaption = std::function<std::string(int table)>;

ColumnCaption same(const std::string& caption) {
    return [caption](int) { return caption; };
}

// A row of the grid: the control of that name in each table's column.
void addColumnRow(std::vector<WindowControl>& controls, const MonitorLayout& layout, const std::string& name,
                  ControlKind kind, int top, int width, int height, double points,
                  std::optional<uint32_t> background, const ColumnCaption& caption) {
    for (int t = 1; t <= TableCount; ++t)
        controls.push_back(
            {name, t, kind, ColumnRect(layout, t, top, width, height), caption(t), points, background});
}

WindowDescription describe(const std::string& name, const MonitorLayout& layout, MonitorMode mode) {
    const bool alternative = mode == MonitorMode::Alternative;
    const double points = layout.tableFontPoints;
    std::vector<WindowControl> controls;
    addColumnRow(controls, layout, "lblTable", ControlKind::Label, layout.tableTop, layout.labelWidth,
                 layout.labelHeight, points, {}, MonitorCaptions::Table);
    addColumnRow(controls, layout, "lblTime", ControlKind::Label, layout.timeTop, layout.labelWidth,
                 layout.labelHeight, points, QBColor(static_cast<int>(QBColorIndex::Red)),
                 same(MonitorCaptions::Time));
    if (alternative) {
        addColumnRow(controls, layout, "lblSum", ControlKind::Label, layout.sumTop, layout.labelWidth,
                     layout.labelHeight, points, BilliardAlt::SumBackground, same(MonitorCaptions::Sum));
    }
    const TwipRect line{layout.firstColumnLeft, layout.lineY,
                        layout.lineRight - layout.firstColumnLeft + TwipsPerPixel, TwipsPerPixel};
    controls.push_back({"Line1", -1, ControlKind::Line, line, "", 0, {}});
    controls.push_back(
        {"lblInfo", -1, ControlKind::Label, layout.info, MonitorCaptions::Info, StatusFontPoints, {}});
    controls.push_back({"btnInfo",
                        -1,
                        ControlKind::Button,
                        layout.infoButton,
                        MonitorCaptions::InfoButton,
                        StatusFontPoints,
                        {}});
    controls.push_back({"btnHide",
                        -1,
                        ControlKind::Button,
                        layout.hideButton,
                        MonitorCaptions::HideButton,
                        StatusFontPoints,
                        {}});
    for (int n = 0; n < 3; ++n) {
        controls.push_back({"Flash" + std::to_string(n + 1),
                            -1,
                            ControlKind::Picture,
                            {layout.flash[n].x, layout.flash[n].y, FlashSize, FlashSize},
                            "",
                            0,
                            {}});
    }
    addColumnRow(controls, layout, alternative ? "btnSet" : "btnReset", ControlKind::Button,
                 layout.tableButtonTop, layout.tableButtonWidth, layout.tableButtonHeight, StatusFontPoints,
                 {}, same(alternative ? MonitorCaptions::StartButton : MonitorCaptions::ResetButton));
    return {name, layout.innerWidth, layout.innerHeight, std::move(controls)};
}

} // namespace

const WindowDescription& MonitorControls(MonitorMode mode) {
    static const WindowDescription standard =
        describe("BilliardStd", BilliardStd::Layout, MonitorMode::Standard);
    static const WindowDescription alternative =
        describe("BilliardAlt", BilliardAlt::Layout, MonitorMode::Alternative);
    return mode == MonitorMode::Alternative ? alternative : standard;
}
