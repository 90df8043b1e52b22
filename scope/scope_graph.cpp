// The scope panel's graphs: drawing a decoded record, the cursor deltas (the digital graph's
// cursors follow the analog graph's) and the return from a zoom to the full record.
#include "scope/scope_graph.h"
#include "scope/scope.h"

#include "Tavironv10.h"
#include "base/state.h"
#include "platform/ui.h"

#include <cstring>

namespace {

constexpr int kAnalogColor = 0x00FF00;  // green
constexpr int kDigitalColor = 0x808080; // grey

// Full view of the analog graph: the 128 samples and the 12-bit range with a little room.
constexpr double kFullXMax = 128;
constexpr double kFullYMax = 4100;

} // namespace

void PlotScopeTraces(const ScopeTraces &traces) {
    DeleteGraphPlot(App.ScopePanel, SCOPEP_GRAPH, -1, VAL_IMMEDIATE_DRAW);
    PlotY(App.ScopePanel, SCOPEP_GRAPH, traces.analog, kScopeSamples, VAL_UNSIGNED_SHORT_INTEGER,
          VAL_CONNECTED_POINTS, VAL_SOLID_SQUARE, VAL_SOLID, 1, kAnalogColor);
    DeleteGraphPlot(App.ScopePanel, SCOPEP_GRAPH_DIG, -1, VAL_IMMEDIATE_DRAW);
    for (int line = DigitalLineA; line < kDigitalLines; ++line)
        PlotY(App.ScopePanel, SCOPEP_GRAPH_DIG, traces.digital[line], kScopeSamples,
              VAL_UNSIGNED_SHORT_INTEGER, VAL_THIN_STEP, VAL_SOLID_SQUARE, VAL_SOLID, 1,
              kDigitalColor);
}

void ShowScopeRecord(const std::uint16_t *samples, const std::int16_t settings[4]) {
    std::memcpy(App.ScopeSamples, samples, sizeof App.ScopeSamples);
    std::memcpy(App.ScopeRecordSettings, settings, sizeof App.ScopeRecordSettings);
    App.ScopeRecordShown = 1;
    ScopeTraces traces;
    TracesFromSamples(App.ScopeSamples, &traces);
    PlotScopeTraces(traces);
    // The cursors keep their samples but sit on the new trace, and the deltas are measured
    // on it: what the displays, the printout and the export show belongs to this record.
    SnapScopeCursors();
    calcScopDeltaXY();
}

void LabelDigitalLines() {
    static const char *const kLetters[kDigitalLines] = {"A", "B", "C", "D"};
    ClearAxisItems(App.ScopePanel, SCOPEP_GRAPH_DIG, VAL_LEFT_YAXIS);
    for (int line = DigitalLineA; line < kDigitalLines; ++line)
        InsertAxisItem(App.ScopePanel, SCOPEP_GRAPH_DIG, VAL_LEFT_YAXIS, -1, kLetters[line],
                       DigitalBandCentre(line));
}

void SnapScopeCursors() {
    ScopeTraces traces;
    TracesFromSamples(App.ScopeSamples, &traces);
    const std::uint16_t *trace = App.ScopeRecordShown ? traces.analog : nullptr;
    for (int cursor = 1; cursor <= 2; ++cursor) {
        double x = 0, y = 0;
        GetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, cursor, &x, &y);
        CursorPoint p = SnapCursorToTrace(trace, kScopeSamples, x, y);
        SetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, cursor, p.x, p.y);
    }
}

void calcScopDeltaXY() {
    GetCtrlVal(App.ScopeTab, SCOPETAB_SCAN_RATE, &App.ScopeScanRate);

    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    GetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, 1, &x1, &y1);
    GetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, 2, &x2, &y2);
    SetGraphCursor(App.ScopePanel, SCOPEP_GRAPH_DIG, 1, x1, 0);
    SetGraphCursor(App.ScopePanel, SCOPEP_GRAPH_DIG, 2, x2, 0);

    int samples = CursorDeltaSamples(x1, x2);
    int deltaY = CursorDeltaDigits(y1, y2);
    double deltaX = CursorDeltaTime(samples, App.CycleTime, App.ScopeScanRate);

    SetCtrlAttribute(App.ScopePanel, SCOPEP_DELTA_X, ATTR_PRECISION, DeltaXPrecision(deltaX));
    SetCtrlVal(App.ScopePanel, SCOPEP_DELTA_X, deltaX);
    SetCtrlVal(App.ScopePanel, SCOPEP_DELTA_Y, deltaY);
}

void ZoomScopeFull() {
    SetAxisScalingMode(App.ScopePanel, SCOPEP_GRAPH, VAL_XAXIS, VAL_MANUAL, 0, kFullXMax);
    SetAxisScalingMode(App.ScopePanel, SCOPEP_GRAPH, VAL_LEFT_YAXIS, VAL_MANUAL, 0, kFullYMax);
}
