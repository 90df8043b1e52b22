// The placement decision for the main window's stored position and size.
#include "settings/window_place.h"

#include <algorithm>

namespace {

// How much of the window's top edge must lie on a screen to be grabbed with the mouse, and how
// far below the screen's top edge the window may start so its title bar is still on it.
constexpr int kGripWidth = 100;
constexpr int kGripHeight = 40;

bool TitleBarOn(const WindowRect &w, const WindowRect &s) {
    const long long left = std::max<long long>(w.left, s.left);
    const long long right =
        std::min<long long>((long long)w.left + w.width, (long long)s.left + s.width);
    return right - left >= kGripWidth && w.top >= s.top &&
           (long long)w.top + kGripHeight <= (long long)s.top + s.height;
}

WindowRect Centred(const WindowRect &screen, int width, int height) {
    width = std::min(width, screen.width);
    height = std::min(height, screen.height);
    return {screen.left + (screen.width - width) / 2, screen.top + (screen.height - height) / 2,
            width, height};
}

} // namespace

WindowRect PlaceWindow(const WindowRect &stored, const WindowRect *screens, int screenCount,
                       int defaultWidth, int defaultHeight) {
    if (!screens || screenCount <= 0) return stored;
    if (stored.width >= kMinWindowWidth && stored.height >= kMinWindowHeight) {
        for (int i = 0; i < screenCount; ++i) {
            const WindowRect &s = screens[i];
            if (!TitleBarOn(stored, s)) continue;
            // Larger than its screen: the part beyond (with the scroll bars) could not be
            // reached. It takes the screen's size in that direction and stays inside it.
            WindowRect fit = stored;
            if (fit.width > s.width) {
                fit.width = s.width;
                fit.left = s.left;
            }
            if (fit.height > s.height) {
                fit.height = s.height;
                fit.top = s.top;
            }
            return fit;
        }
    }
    return Centred(screens[0], defaultWidth, defaultHeight);
}
