// The placement decision for a stored main window position and size, as a table: kept where
// the operator can reach and use it, fitted to its screen when larger, otherwise the default
// size centred on the main screen.
#include "settings/window_place.h"

#include <gtest/gtest.h>

#include <vector>

static bool operator==(const WindowRect &a, const WindowRect &b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

static std::ostream &operator<<(std::ostream &out, const WindowRect &r) {
    return out << r.left << "," << r.top << " " << r.width << "x" << r.height;
}

namespace {

TEST(WindowPlace, StoredPlaceIsKeptFittedOrReplacedByTheCentredDefault) {
    // The main screen, and a smaller second one to its right (its bottom above the main one's).
    const std::vector<WindowRect> two = {{0, 0, 1280, 800}, {1280, 0, 1024, 768}};
    const std::vector<WindowRect> small = {{0, 0, 800, 500}};
    const WindowRect centred{133, 55, 1014, 690}; // 1014 x 690 on the main screen
    struct Case {
        const char *what;
        std::vector<WindowRect> screens;
        WindowRect stored, expected;
    } cases[] = {
        {"on the main screen", two, {100, 50, 900, 600}, {100, 50, 900, 600}},
        {"off to the left", two, {-5000, 100, 900, 600}, centred},
        {"title bar above the top", two, {100, -300, 900, 600}, centred},
        {"only a sliver on the right", two, {2304 - 50, 100, 900, 600}, centred},
        {"title bar below the bottom", two, {100, 790, 900, 600}, centred},
        {"tiny", two, {-5000, -5000, 5, 5}, centred},
        {"tiny but on screen", two, {10, 40, 5, 5}, centred},
        {"one pixel narrower than usable", two, {10, 40, 399, 600}, centred},
        {"smallest usable", two, {10, 40, 400, 300}, {10, 40, 400, 300}},
        {"huge: fitted to its screen", two, {10, 40, 100000, 100000}, {0, 0, 1280, 800}},
        {"wider than its screen, kept in it", two, {300, 100, 1500, 500}, {0, 100, 1280, 500}},
        {"on the second screen", two, {1400, 100, 800, 500}, {1400, 100, 800, 500}},
        {"huge on the second screen", two, {1300, 0, 3000, 3000}, {1280, 0, 1024, 768}},
        {"below the second screen, beside the main one", two, {1400, 750, 800, 500}, centred},
        {"title bar across both screens", two, {1200, 10, 900, 600}, {1200, 10, 900, 600}},
        {"default larger than the main screen", small, {-5000, 0, 900, 600}, {0, 0, 800, 500}},
        {"no screens known: as stored", {}, {-5000, 0, 5, 5}, {-5000, 0, 5, 5}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(PlaceWindow(c.stored, c.screens.data(), int(c.screens.size()), 1014, 690),
                  c.expected)
            << c.what;
    }
}

} // namespace
