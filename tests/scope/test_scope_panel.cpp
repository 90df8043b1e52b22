// The scope panel through its controls: plots of a record, the digital bands and their
// letters, the cursors landing on the trace and their deltas, the digital graph following the
// analog cursors, Ctrl-drag zoom, ZOOM 1:1, the close button, and
// the trigger-mode dimming and comment box of the scope page.
#include "scope_fixture.h"

#include "Tavironv10.h"
#include "scope/scope.h"
#include "scope/scope_graph.h"

#include <algorithm>
#include <cmath>

namespace {

class ScopePanelTest : public ScopeProgramTest {};

TEST_F(ScopePanelTest, RecordIsPlottedWithItsStylesAndColours) {
    ScopeTraces t = SampleTraces();
    PlotScopeTraces(t);
    PlotScopeTraces(t); // a second record replaces the first

    std::vector<TestPlot> analog = TestGraphPlots(App.ScopePanel, SCOPEP_GRAPH);
    ASSERT_EQ(analog.size(), 1u);
    EXPECT_EQ(analog[0].plotStyle, 5);
    EXPECT_EQ(analog[0].pointStyle, 12);
    EXPECT_EQ(analog[0].lineStyle, 0);
    EXPECT_EQ(analog[0].pointFrequency, 1);
    EXPECT_EQ(analog[0].color, 0x00FF00);
    ASSERT_EQ(analog[0].y.size(), 128u);
    for (int i = 0; i < 128; ++i)
        ASSERT_EQ(analog[0].y[i], t.analog[i]) << i;

    std::vector<TestPlot> digital = TestGraphPlots(App.ScopePanel, SCOPEP_GRAPH_DIG);
    ASSERT_EQ(digital.size(), 4u);
    for (int line = 0; line < 4; ++line) {
        SCOPED_TRACE(line);
        EXPECT_EQ(digital[line].plotStyle, 7);
        EXPECT_EQ(digital[line].pointStyle, 12);
        EXPECT_EQ(digital[line].color, 0x808080);
        ASSERT_EQ(digital[line].y.size(), 128u);
        for (int i = 0; i < 128; ++i)
            ASSERT_EQ(digital[line].y[i], t.digital[line][i]) << i;
    }
}

TEST_F(ScopePanelTest, DigitalBandsReadABCDFromTheTopEachLabelledAndInsideThePlot) {
    PlotScopeTraces(SampleTraces());
    std::vector<TestPlot> digital = TestGraphPlots(App.ScopePanel, SCOPEP_GRAPH_DIG);
    ASSERT_EQ(digital.size(), 4u);
    std::vector<TestAxisItem> items = TestGraphAxisItems(App.ScopePanel, SCOPEP_GRAPH_DIG);
    ASSERT_EQ(items.size(), 4u);
    Range y = Axis(SCOPEP_GRAPH_DIG, VAL_LEFT_YAXIS);
    const char *letters[] = {"A", "B", "C", "D"};
    double above = y.max;
    for (int line = 0; line < 4; ++line) {
        SCOPED_TRACE(letters[line]);
        auto [lo, hi] = std::minmax_element(digital[line].y.begin(), digital[line].y.end());
        EXPECT_EQ(*hi - *lo, 1) << "the sample record switches every line";
        // Below the band above it (A at the top, D at the bottom), and further from it than
        // its own two levels are apart, so the bands read as bands.
        EXPECT_LT(*hi, above);
        if (line > 0) {
            EXPECT_GT(above - *hi, *hi - *lo);
        }
        above = *lo;
        // Its letter between its two levels.
        EXPECT_EQ(items[line].text, letters[line]);
        EXPECT_GT(items[line].value, *lo);
        EXPECT_LT(items[line].value, *hi);
        // Both levels clear of the plot's edges, so neither is drawn on the frame.
        EXPECT_GE(*lo - y.min, 0.25);
        EXPECT_GE(y.max - *hi, 0.25);
    }
}

TEST_F(ScopePanelTest, DeltasTruncateTheCursorPositionsAndTheDigitalCursorsFollow) {
    App.CycleTime = 0.5;
    SetCtrlVal(App.ScopeTab, SCOPETAB_SCAN_RATE, 4);
    SetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, 1, 10.9, 100.9);
    SetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, 2, 3.2, 50.2);
    calcScopDeltaXY();

    EXPECT_DOUBLE_EQ(CtrlDouble(App.ScopePanel, SCOPEP_DELTA_X), 14.0);
    EXPECT_EQ(Precision(App.ScopePanel, SCOPEP_DELTA_X), 3);
    EXPECT_EQ(CtrlInt(App.ScopePanel, SCOPEP_DELTA_Y), 50);
    EXPECT_EQ(App.ScopeScanRate, 4) << "the scan rate is read again on every computation";
    double x, y;
    GetGraphCursor(App.ScopePanel, SCOPEP_GRAPH_DIG, 1, &x, &y);
    EXPECT_DOUBLE_EQ(x, 10.9);
    EXPECT_EQ(y, 0);
    GetGraphCursor(App.ScopePanel, SCOPEP_GRAPH_DIG, 2, &x, &y);
    EXPECT_DOUBLE_EQ(x, 3.2);
    EXPECT_EQ(y, 0);

    // Swapping the cursors gives the same deltas.
    SetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, 1, 3.2, 50.2);
    SetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, 2, 10.9, 100.9);
    calcScopDeltaXY();
    EXPECT_DOUBLE_EQ(CtrlDouble(App.ScopePanel, SCOPEP_DELTA_X), 14.0);
    EXPECT_EQ(CtrlInt(App.ScopePanel, SCOPEP_DELTA_Y), 50);
}

TEST_F(ScopePanelTest, DraggedCursorsLandOnTheTraceAndTheDeltasCountWholeSamples) {
    // Sample i has the analog value 1000 + 20 i: y tells the sample a cursor sits on.
    std::uint16_t samples[kScopeSamples];
    for (int i = 0; i < kScopeSamples; ++i)
        samples[i] = std::uint16_t((1000 + 20 * i) | (i % 2 ? 0x5000 : 0));
    const std::int16_t settings[4] = {2000, 1, 20, 1};
    ShowScopeRecord(samples, settings);
    App.CycleTime = 0.25;
    SetCtrlVal(App.ScopeTab, SCOPETAB_SCAN_RATE, 1);

    struct {
        const char *what;
        double x1, y1, x2, y2; // where the operator lets go
        double sx1, sx2;       // the samples the cursors land on
        double deltaX;         // ms: whole samples of 0.25 ms
        int deltaY;            // digits: the signal's difference
    } const cases[] = {
        {"looking like 20 and 75", 20.06, 1500, 74.99, 2000, 20, 75, 13.75, 1100},
        {"between samples", 40.4, 0, 40.6, 4000, 40, 41, 0.25, 20},
        {"past the right edge", 60, 0, 180.78, 3000, 60, 127, 16.75, 1340},
        {"past the left edge", -7.5, 0, 10, 0, 0, 10, 2.5, 200},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TestMoveCursor(App.ScopePanel, SCOPEP_GRAPH, 1, c.x1, c.y1);
        TestMoveCursor(App.ScopePanel, SCOPEP_GRAPH, 2, c.x2, c.y2);
        TestProcessEvents(5);
        double x1, y1, x2, y2;
        GetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, 1, &x1, &y1);
        GetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, 2, &x2, &y2);
        EXPECT_EQ(x1, c.sx1);
        EXPECT_EQ(y1, 1000 + 20 * c.sx1);
        EXPECT_EQ(x2, c.sx2);
        EXPECT_EQ(y2, 1000 + 20 * c.sx2);
        EXPECT_DOUBLE_EQ(CtrlDouble(App.ScopePanel, SCOPEP_DELTA_X), c.deltaX);
        EXPECT_EQ(CtrlInt(App.ScopePanel, SCOPEP_DELTA_Y), c.deltaY);
        double dx, dy;
        GetGraphCursor(App.ScopePanel, SCOPEP_GRAPH_DIG, 2, &dx, &dy);
        EXPECT_EQ(dx, c.sx2) << "the digital cursor follows the landed one";
    }
}

TEST_F(ScopePanelTest, DeltaXDecimalsFollowItsSize) {
    struct {
        double cycleTime;
        int scanRate;
        double x1, x2, deltaX;
        int decimals;
    } const cases[] = {
        {0, 4, 10.9, 3.2, 0, 6},      // cycle time never fetched
        {10, 100, 1, 0, 1000, 3},     // exactly 1000
        {0.5, 1, 2001, 0, 1000.5, 0}, // above 1000
        {0.25, 4, 1, 0, 1, 6},        // exactly 1
        {0.5, 10000, 127, 0, 635000, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "delta X " << c.deltaX);
        App.CycleTime = c.cycleTime;
        SetCtrlVal(App.ScopeTab, SCOPETAB_SCAN_RATE, c.scanRate);
        SetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, 1, c.x1, 0);
        SetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, 2, c.x2, 0);
        calcScopDeltaXY();
        EXPECT_DOUBLE_EQ(CtrlDouble(App.ScopePanel, SCOPEP_DELTA_X), c.deltaX);
        EXPECT_EQ(Precision(App.ScopePanel, SCOPEP_DELTA_X), c.decimals);
    }
}

TEST_F(ScopePanelTest, ClickingTheGraphMovesTheNearestCursor) {
    App.CycleTime = 1;
    double x1, y1, x2, y2;
    GetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, 1, &x1, &y1);
    GetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, 2, &x2, &y2);
    ASSERT_NE(x1, x2) << "the cursors start apart";

    TestClickCtrl(App.ScopePanel, SCOPEP_GRAPH); // a click in the middle of the graph
    TestProcessEvents(10);
    double nx1, ny1, nx2, ny2;
    GetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, 1, &nx1, &ny1);
    GetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, 2, &nx2, &ny2);
    int moved = (nx1 != x1) + (nx2 != x2);
    EXPECT_EQ(moved, 1);
    int n = std::abs(int(std::trunc(nx1 - nx2)));
    EXPECT_DOUBLE_EQ(CtrlDouble(App.ScopePanel, SCOPEP_DELTA_X), n * 1.0 * App.ScopeScanRate)
        << "the move reached the graph's callback";
    double dx, dy;
    GetGraphCursor(App.ScopePanel, SCOPEP_GRAPH_DIG, nx1 != x1 ? 1 : 2, &dx, &dy);
    EXPECT_DOUBLE_EQ(dx, nx1 != x1 ? nx1 : nx2);

    // The digital graph's cursors only follow; a click there moves nothing.
    GetGraphCursor(App.ScopePanel, SCOPEP_GRAPH_DIG, 1, &x1, &y1);
    GetGraphCursor(App.ScopePanel, SCOPEP_GRAPH_DIG, 2, &x2, &y2);
    TestClickCtrl(App.ScopePanel, SCOPEP_GRAPH_DIG);
    TestProcessEvents(10);
    GetGraphCursor(App.ScopePanel, SCOPEP_GRAPH_DIG, 1, &nx1, &ny1);
    GetGraphCursor(App.ScopePanel, SCOPEP_GRAPH_DIG, 2, &nx2, &ny2);
    EXPECT_EQ(nx1, x1);
    EXPECT_EQ(nx2, x2);
}

TEST_F(ScopePanelTest, CtrlDragZoomsTheAnalogGraphOnlyAndZoomOneToOneReturns) {
    PlotScopeTraces(SampleTraces());
    App.CycleTime = 1;
    SetCtrlVal(App.ScopeTab, SCOPETAB_SCAN_RATE, 1);
    // Cursors set by the program raise no event; the zoom's event must refresh the deltas.
    SetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, 1, 40, 1000);
    SetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, 2, 50, 3000);
    SetCtrlVal(App.ScopePanel, SCOPEP_DELTA_X, 0.0);

    TestZoom(App.ScopePanel, SCOPEP_GRAPH, 30, 500, 60, 3500);
    TestProcessEvents(10);
    Range x = Axis(SCOPEP_GRAPH, VAL_XAXIS), y = Axis(SCOPEP_GRAPH, VAL_LEFT_YAXIS);
    EXPECT_EQ(x.mode, VAL_MANUAL);
    EXPECT_NEAR(x.min, 30, 0.5);
    EXPECT_NEAR(x.max, 60, 0.5);
    EXPECT_NEAR(y.min, 500, 30);
    EXPECT_NEAR(y.max, 3500, 30);
    EXPECT_DOUBLE_EQ(CtrlDouble(App.ScopePanel, SCOPEP_DELTA_X), 10) << "EVENT_ZOOM handled";
    EXPECT_EQ(CtrlInt(App.ScopePanel, SCOPEP_DELTA_Y), 2000);

    Range dx = Axis(SCOPEP_GRAPH_DIG, VAL_XAXIS), dy = Axis(SCOPEP_GRAPH_DIG, VAL_LEFT_YAXIS);
    EXPECT_EQ(dx.min, 0);
    EXPECT_EQ(dx.max, 128);
    EXPECT_EQ(dy.min, -0.5);
    EXPECT_EQ(dy.max, 10.5);

    // A second zoom narrows the view further.
    TestZoom(App.ScopePanel, SCOPEP_GRAPH, 35, 1000, 45, 2000);
    TestProcessEvents(10);
    EXPECT_NEAR(Axis(SCOPEP_GRAPH, VAL_XAXIS).max, 45, 0.5);

    SetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, 2, 60, 3000);
    TestClickCtrl(App.ScopePanel, SCOPEP_ZOOM11);
    TestProcessEvents(10);
    x = Axis(SCOPEP_GRAPH, VAL_XAXIS);
    y = Axis(SCOPEP_GRAPH, VAL_LEFT_YAXIS);
    EXPECT_EQ(x.mode, VAL_MANUAL);
    EXPECT_EQ(x.min, 0);
    EXPECT_EQ(x.max, 128);
    EXPECT_EQ(y.mode, VAL_MANUAL);
    EXPECT_EQ(y.min, 0);
    EXPECT_EQ(y.max, 4100);
    EXPECT_DOUBLE_EQ(CtrlDouble(App.ScopePanel, SCOPEP_DELTA_X), 20) << "ZOOM 1:1 recomputes";
}

TEST_F(ScopePanelTest, ZoomOneToOneEndsAutoscaling) {
    PlotScopeTraces(SampleTraces());
    SetAxisScalingMode(App.ScopePanel, SCOPEP_GRAPH, VAL_XAXIS, VAL_AUTOSCALE, 0, 0);
    SetAxisScalingMode(App.ScopePanel, SCOPEP_GRAPH, VAL_LEFT_YAXIS, VAL_AUTOSCALE, 0, 0);
    TestClickCtrl(App.ScopePanel, SCOPEP_ZOOM11);
    TestProcessEvents(10);
    Range x = Axis(SCOPEP_GRAPH, VAL_XAXIS), y = Axis(SCOPEP_GRAPH, VAL_LEFT_YAXIS);
    EXPECT_EQ(x.mode, VAL_MANUAL);
    EXPECT_EQ(y.mode, VAL_MANUAL);
    EXPECT_EQ(x.max, 128);
    EXPECT_EQ(y.max, 4100);
}

TEST_F(ScopePanelTest, CloseReturnsToTheLiveDisplays) {
    ASSERT_TRUE(TestPanelShown(App.ScopePanel));
    TestClickCtrl(App.ScopePanel, SCOPEP_CLOSE);
    TestProcessEvents(10);
    EXPECT_FALSE(TestPanelShown(App.ScopePanel));
    EXPECT_TRUE(TestPanelShown(App.DataPanel));
}

TEST_F(ScopePanelTest, TriggerModeDimsLevelAndPreTrigger) {
    struct {
        int mode, levelDimmed, preDimmed;
    } const cases[] = {{1, 0, 0}, {0, 1, 1}, {2, 0, 0}, {3, 1, 0}, {4, 1, 0}};
    // The page starts in single shot with both dimmed, as the first mode says.
    EXPECT_EQ(Dimmed(App.ScopeTab, SCOPETAB_TRIG_LEVEL), 1);
    EXPECT_EQ(Dimmed(App.ScopeTab, SCOPETAB_PRE_TRIG), 1);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.mode);
        TestSelectRingItem(App.ScopeTab, SCOPETAB_TRIG_MODE, c.mode);
        TestProcessEvents(5);
        EXPECT_EQ(App.ScopeTriggerMode, c.mode);
        EXPECT_EQ(Dimmed(App.ScopeTab, SCOPETAB_TRIG_LEVEL), c.levelDimmed);
        EXPECT_EQ(Dimmed(App.ScopeTab, SCOPETAB_PRE_TRIG), c.preDimmed);
    }
}

TEST_F(ScopePanelTest, ScanRateChangeRecomputesDeltaX) {
    App.CycleTime = 0.5;
    SetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, 1, 10, 0);
    SetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, 2, 0, 0);
    TestTypeText(App.ScopeTab, SCOPETAB_SCAN_RATE, "8");
    TestProcessEvents(10);
    EXPECT_EQ(App.ScopeScanRate, 8);
    EXPECT_DOUBLE_EQ(CtrlDouble(App.ScopePanel, SCOPEP_DELTA_X), 40.0);
}

TEST_F(ScopePanelTest, RightDoubleClickClearsTheComment) {
    SetCtrlVal(App.ScopeTab, SCOPETAB_COMMENT, "press 4, die change");
    TestRightDoubleClickCtrl(App.ScopeTab, SCOPETAB_COMMENT);
    TestProcessEvents(10);
    char text[64] = "x";
    GetCtrlVal(App.ScopeTab, SCOPETAB_COMMENT, text);
    EXPECT_STREQ(text, "");
    EXPECT_TRUE(popups.empty()) << "the comment box has no help";
}

// The graphs keep their background, grid and axis labels as a picture between paints. After
// the range or the axis texts change, a graph must look as one drawn from nothing does (a size
// change makes it draw everything again).
TEST_F(ScopePanelTest, GraphsShowANewRangeAndNewAxisTextsAfterTheyWerePainted) {
    PlotScopeTraces(SampleTraces());
    TestProcessEvents(0);
    auto drawnAfresh = [](int control) {
        int width = 0;
        GetCtrlAttribute(App.ScopePanel, control, ATTR_WIDTH, &width);
        SetCtrlAttribute(App.ScopePanel, control, ATTR_WIDTH, width + 7);
        TestCtrlPixels(App.ScopePanel, control);
        SetCtrlAttribute(App.ScopePanel, control, ATTR_WIDTH, width);
        return TestCtrlPixels(App.ScopePanel, control);
    };

    const std::vector<unsigned> before = TestCtrlPixels(App.ScopePanel, SCOPEP_GRAPH);
    ASSERT_FALSE(before.empty());
    ASSERT_TRUE(before == drawnAfresh(SCOPEP_GRAPH)) << "the same graph drawn twice differs";
    Range y = Axis(SCOPEP_GRAPH, VAL_LEFT_YAXIS);
    SetAxisScalingMode(App.ScopePanel, SCOPEP_GRAPH, VAL_LEFT_YAXIS, VAL_MANUAL, y.min,
                       y.min + 3 * (y.max - y.min));
    const std::vector<unsigned> rescaled = TestCtrlPixels(App.ScopePanel, SCOPEP_GRAPH);
    EXPECT_TRUE(rescaled != before) << "the graph did not change";
    EXPECT_TRUE(rescaled == drawnAfresh(SCOPEP_GRAPH)) << "the old grid or labels still show";

    const std::vector<unsigned> lettered = TestCtrlPixels(App.ScopePanel, SCOPEP_GRAPH_DIG);
    InsertAxisItem(App.ScopePanel, SCOPEP_GRAPH_DIG, VAL_LEFT_YAXIS, -1, "XYZ",
                   TestGraphAxisItems(App.ScopePanel, SCOPEP_GRAPH_DIG)[1].value - 0.5);
    const std::vector<unsigned> relettered = TestCtrlPixels(App.ScopePanel, SCOPEP_GRAPH_DIG);
    EXPECT_TRUE(relettered != lettered) << "the graph did not change";
    EXPECT_TRUE(relettered == drawnAfresh(SCOPEP_GRAPH_DIG)) << "the new axis text does not show";
}

} // namespace
