// The scope panel through its controls: plots of a record, the cursors and their deltas, the
// digital graph following the analog cursors, Ctrl-drag zoom, ZOOM 1:1, the close button, and
// the trigger-mode dimming and comment box of the scope page.
#include "scope_fixture.h"

#include "Tavironv10.h"
#include "scope/scope.h"
#include "scope/scope_graph.h"

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
    // Drawn in the order A, B, C, D: the bands 2/3, 0/1, 6/7, 4/5.
    EXPECT_GE(digital[0].y[0], 2);
    EXPECT_LE(digital[1].y[0], 1);
    EXPECT_GE(digital[2].y[0], 6);
    EXPECT_GE(digital[3].y[0], 4);
    EXPECT_LE(digital[3].y[0], 5);
}

TEST_F(ScopePanelTest, MovingACursorShowsTheDeltasAndMovesTheDigitalCursors) {
    App.CycleTime = 0.5;
    SetCtrlVal(App.ScopeTab, SCOPETAB_SCAN_RATE, 4);
    TestMoveCursor(App.ScopePanel, SCOPEP_GRAPH, 1, 10.9, 100.9);
    TestMoveCursor(App.ScopePanel, SCOPEP_GRAPH, 2, 3.2, 50.2);
    TestProcessEvents(10);

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
    TestMoveCursor(App.ScopePanel, SCOPEP_GRAPH, 1, 3.2, 50.2);
    TestMoveCursor(App.ScopePanel, SCOPEP_GRAPH, 2, 10.9, 100.9);
    TestProcessEvents(10);
    EXPECT_DOUBLE_EQ(CtrlDouble(App.ScopePanel, SCOPEP_DELTA_X), 14.0);
    EXPECT_EQ(CtrlInt(App.ScopePanel, SCOPEP_DELTA_Y), 50);
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
    EXPECT_EQ(dy.min, 0);
    EXPECT_EQ(dy.max, 8);

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

} // namespace
