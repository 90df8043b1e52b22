// What the data panel shows for one set of live values: the seven displays and four LEDs as
// received, and the period graph as drawn on screen (gap area, tolerance window, stroke
// cursor), read back from a screenshot of the panel.
#include "live_fixture.h"

#include "live/live.h"
#include "platform/toolbox.h"

#include <cstdint>
#include <fstream>
#include <iterator>

namespace {

// A bitmap file as the panel screenshot writes it (24 or 32 bits a pixel, either row order).
struct Image {
    int width = 0, height = 0;
    std::vector<std::uint32_t> rgb; // 0xRRGGBB, top row first
    std::uint32_t at(int x, int y) const { return rgb[size_t(y) * width + x]; }
};

Image ReadBmp(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> b((std::istreambuf_iterator<char>(in)), {});
    Image img;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return img;
    auto u32 = [&](size_t o) {
        return std::uint32_t(b[o] | b[o + 1] << 8 | b[o + 2] << 16 | b[o + 3] << 24);
    };
    const std::uint32_t offset = u32(10);
    const std::int32_t w = std::int32_t(u32(18)), h = std::int32_t(u32(22));
    const int bpp = b[28] | b[29] << 8;
    if ((bpp != 24 && bpp != 32) || w <= 0 || h == 0) return img;
    const int rows = h < 0 ? -h : h, bytes = bpp / 8;
    const size_t stride = (size_t(w) * bytes + 3) & ~size_t(3);
    if (b.size() < offset + stride * rows) return img;
    img.width = w;
    img.height = rows;
    img.rgb.resize(size_t(w) * rows);
    for (int y = 0; y < rows; ++y) {
        const size_t row = offset + stride * size_t(h < 0 ? y : rows - 1 - y);
        for (int x = 0; x < w; ++x) {
            const std::uint8_t *p = &b[row + size_t(x) * bytes];
            img.rgb[size_t(y) * w + x] = std::uint32_t(p[2]) << 16 | p[1] << 8 | p[0];
        }
    }
    return img;
}

// Where pixels of one exact colour lie within a rectangle of the image.
struct Extent {
    int count = 0, left = 1 << 30, right = -1, top = 1 << 30, bottom = -1;
};
Extent Find(const Image &img, std::uint32_t color, int x0, int y0, int w, int h) {
    Extent e;
    for (int y = y0; y < y0 + h && y < img.height; ++y)
        for (int x = x0; x < x0 + w && x < img.width; ++x)
            if (img.at(x, y) == color) {
                ++e.count;
                e.left = std::min(e.left, x);
                e.right = std::max(e.right, x);
                e.top = std::min(e.top, y);
                e.bottom = std::max(e.bottom, y);
            }
    return e;
}

// The column where most pixels have `color`: the cursor's full-height line, not its tick.
int Column(const Image &img, std::uint32_t color, int x0, int y0, int w, int h) {
    int best = -1, bestCount = 0;
    for (int x = x0; x < x0 + w && x < img.width; ++x) {
        int n = 0;
        for (int y = y0; y < y0 + h && y < img.height; ++y)
            n += img.at(x, y) == color;
        if (n > bestCount) {
            best = x;
            bestCount = n;
        }
    }
    return best;
}

constexpr std::uint32_t kGreen = 0x00FF00, kDarkCyan = 0x008080, kBlue = 0x0000FF,
                        kPaper = 0xFFFFFF;

LiveDataRec Values(u32 period, u32 gap, u32 stroke, u32 lower, u32 upper) {
    LiveDataRec d{};
    d.CntPeriod = period;
    d.CntGap = gap;
    d.CntStroke = stroke;
    d.LowerTolLimit = lower;
    d.UpperTolLimit = upper;
    return d;
}

class LivePanelTest : public LiveTest {
  protected:
    // The graph as shown: its plot area (the white paper) and the three marks on it.
    struct GraphShown {
        Extent paper, gap, window;
        int cursor; // column of the stroke cursor, -1 when none is drawn
    };
    GraphShown ShowAndGrab(const LiveDataRec &d) {
        App.LiveData = d;
        SetPanelData();
        TestProcessEvents(20);
        const fs::path bmp = programDir / "datap.bmp";
        EXPECT_EQ(SavePanelDisplayToFile(App.DataPanel, bmp.c_str()), 0);
        const Image img = ReadBmp(bmp);
        EXPECT_GT(img.width, 0);
        int left = 0, top = 0, width = 0, height = 0;
        GetCtrlAttribute(App.DataPanel, DATAP_GRAPH_PAPER, ATTR_LEFT, &left);
        GetCtrlAttribute(App.DataPanel, DATAP_GRAPH_PAPER, ATTR_TOP, &top);
        GetCtrlAttribute(App.DataPanel, DATAP_GRAPH_PAPER, ATTR_WIDTH, &width);
        GetCtrlAttribute(App.DataPanel, DATAP_GRAPH_PAPER, ATTR_HEIGHT, &height);
        return {Find(img, kPaper, left, top, width, height),
                Find(img, kGreen, left, top, width, height),
                Find(img, kDarkCyan, left, top, width, height),
                Column(img, kBlue, left, top, width, height)};
    }
};

TEST_F(LivePanelTest, DisplaysAndLedsShowTheValuesAsReceived) {
    LiveDataRec d = Values(4000000000u, 5000, 3000000001u, 0xFFFFFFFFu, 14000);
    d.BadCntLower = 2;
    d.BadCntUpper = 65535;
    d.OutputBits = 0xFFFFFFFA; // OUT1 and OUT3; the bits above OUT3 are not shown
    App.LiveData = d;
    SetPanelData();
    ExpectDisplays(d);
    EXPECT_EQ(Shown(DATAP_LED_OUT0), 0u);
    EXPECT_EQ(Shown(DATAP_LED_OUT1), 1u);
    EXPECT_EQ(Shown(DATAP_LED_OUT2), 0u);
    EXPECT_EQ(Shown(DATAP_LED_OUT3), 1u);
}

TEST_F(LivePanelTest, GraphDrawsGapWindowAndStrokeAtTheirShareOfThePeriod) {
    const GraphShown s = ShowAndGrab(Values(20000, 5000, 12345, 11000, 14000));
    double x = -1, y = -1;
    GetGraphCursor(App.DataPanel, DATAP_GRAPH_PAPER, 1, &x, &y);
    EXPECT_EQ(x, 617);
    EXPECT_EQ(y, 1);

    ASSERT_GT(s.paper.count, 0);
    ASSERT_GT(s.gap.count, 0) << "green gap area";
    ASSERT_GT(s.window.count, 0) << "dark cyan tolerance window";
    ASSERT_GE(s.cursor, 0) << "blue stroke cursor";
    const double x0 = s.paper.left, w = s.paper.right - s.paper.left;
    auto at = [&](double share) { return x0 + share * w; };
    EXPECT_NEAR(s.gap.left, at(0), 2);
    EXPECT_NEAR(s.gap.right, at(0.250), 2);
    EXPECT_NEAR(s.window.left, at(0.550), 2);
    EXPECT_NEAR(s.window.right, at(0.700), 2);
    EXPECT_NEAR(s.cursor, at(0.617), 2);
    // The gap fills the lower band (y 0..5), the window the upper band (y 5..10).
    const double mid = (s.paper.top + s.paper.bottom) / 2.0;
    EXPECT_NEAR(s.gap.bottom, s.paper.bottom, 2);
    EXPECT_NEAR(s.gap.top, mid, 2);
    EXPECT_NEAR(s.window.top, s.paper.top, 2);
    EXPECT_NEAR(s.window.bottom, mid, 2);
}

TEST_F(LivePanelTest, GraphShowsNoAreaForPositionsBeyondThePeriod) {
    struct Case {
        const char *what;
        LiveDataRec live;
        bool gap, window;
        double cursor;
    };
    const Case cases[] = {
        {"gap longer than the period", Values(20000, 20020, 12345, 11000, 14000), false, true, 617},
        {"upper limit beyond", Values(20000, 5000, 12345, 11000, 20100), true, false, 617},
        {"lower limit beyond", Values(20000, 5000, 12345, 20100, 14000), true, false, 617},
        {"stroke beyond", Values(20000, 5000, 30000, 11000, 14000), true, true, 1000},
        // 4 294 968 x 1000 wraps in 32 bits to a small number: it must not look drawable.
        {"counts past the 32-bit limit", Values(1, 4294968, 4294968, 4294968, 4294968), false,
         false, 1000},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const GraphShown s = ShowAndGrab(c.live);
        EXPECT_EQ(s.gap.count > 0, c.gap);
        EXPECT_EQ(s.window.count > 0, c.window);
        double x = -1, y = -1;
        GetGraphCursor(App.DataPanel, DATAP_GRAPH_PAPER, 1, &x, &y);
        EXPECT_EQ(x, c.cursor);
        ASSERT_GE(s.cursor, 0);
        const double share = c.cursor / 1000.0;
        EXPECT_NEAR(s.cursor, s.paper.left + share * (s.paper.right - s.paper.left), 2);
    }
}

} // namespace
