// SetPanelData: the data panel's seven displays, four output LEDs and the period graph, from
// the live values of the last poll; and ShowValuesLive, how they look once they stopped being
// live.
#include "live/calc/live_data.h"
#include "live/live.h"

#include "base/state.h"
#include "base/texts.h"
#include "platform/ui.h"

#include "Tavironv10.h"

#include <ctime>
#include <string>

namespace {

constexpr int kDisplays[7] = {DATAP_CNT_PERIOD,      DATAP_CNT_GAP,         DATAP_CNT_STROKE,
                              DATAP_LOWER_TOL_LIMIT, DATAP_UPPER_TOL_LIMIT, DATAP_BAD_CNT_LOWER,
                              DATAP_BAD_CNT_UPPER};
constexpr int kGapColor = 0x00FF00;    // green
constexpr int kWindowColor = 0x008080; // dark cyan
constexpr int kLeds[4] = {DATAP_LED_OUT0, DATAP_LED_OUT1, DATAP_LED_OUT2, DATAP_LED_OUT3};

void PlotArea(const GraphRect &r, int color) {
    PlotRectangle(App.DataPanel, DATAP_GRAPH_PAPER, r.x1, r.y1, r.x2, r.y2, color, color);
}

} // namespace

void SetPanelData() {
    const int panel = App.DataPanel;
    const LiveDataRec &d = App.LiveData;

    SetCtrlVal(panel, DATAP_CNT_PERIOD, unsigned(d.CntPeriod));
    SetCtrlVal(panel, DATAP_CNT_GAP, unsigned(d.CntGap));
    SetCtrlVal(panel, DATAP_CNT_STROKE, unsigned(d.CntStroke));
    SetCtrlVal(panel, DATAP_LOWER_TOL_LIMIT, unsigned(d.LowerTolLimit));
    SetCtrlVal(panel, DATAP_UPPER_TOL_LIMIT, unsigned(d.UpperTolLimit));
    SetCtrlVal(panel, DATAP_BAD_CNT_LOWER, unsigned(d.BadCntLower));
    SetCtrlVal(panel, DATAP_BAD_CNT_UPPER, unsigned(d.BadCntUpper));

    for (int out = 0; out < 4; ++out)
        SetCtrlVal(panel, kLeds[out], OutputLed(d.OutputBits, out));

    // The graph is rebuilt from scratch and redrawn once, not after each of its changes.
    const GraphPaperLayout g = LayoutGraphPaper(NormalisedPositions(d));
    SetCtrlAttribute(panel, DATAP_GRAPH_PAPER, ATTR_REFRESH_GRAPH, 0);
    DeleteGraphPlot(panel, DATAP_GRAPH_PAPER, -1, VAL_NO_DRAW);
    PlotArea(g.gapArea, kGapColor);
    SetGraphCursor(panel, DATAP_GRAPH_PAPER, 1, g.strokeX, g.strokeY);
    PlotArea(g.window, kWindowColor);
    RefreshGraph(panel, DATAP_GRAPH_PAPER);
}

void ShowValuesLive(int live) {
    const int panel = App.DataPanel;
    App.LiveStale = live ? 0 : 1;
    for (int c : kDisplays)
        SetCtrlAttribute(panel, c, ATTR_DIMMED, App.LiveStale);
    for (int c : kLeds) // a dimmed LED shows neither state
        SetCtrlAttribute(panel, c, ATTR_DIMMED, App.LiveStale);
    if (App.LiveStale) {
        const std::string when =
            App.LiveShownAt ? ClockText(static_cast<std::time_t>(App.LiveShownAt)) : "--:--:--";
        SetCtrlVal(panel, DATAP_LAST_VALUES_TIME, when.c_str());
    }
    SetCtrlAttribute(panel, DATAP_LAST_VALUES, ATTR_VISIBLE, App.LiveStale);
    SetCtrlAttribute(panel, DATAP_LAST_VALUES_TIME, ATTR_VISIBLE, App.LiveStale);
}
