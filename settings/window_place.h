// Where the main window goes when a stored position and size are applied: the stored place if
// the operator can reach and use the window there, otherwise the default size centred on the
// main screen. Pure arithmetic, tested without widgets.
#pragma once

struct WindowRect {
    int left, top, width, height;
};

// The smallest window that is still worth opening at its stored size.
constexpr int kMinWindowWidth = 400;
constexpr int kMinWindowHeight = 300;

// `screens` are the usable areas of the screens, the main screen first. The stored rectangle
// is kept when it is at least the minimum size and its top edge (where the title bar is) lies
// on a screen with enough of its width to grab it; a window larger than that screen is made to
// fit it. Anything else, the default size centred on the main screen (no larger than that
// screen). Without screens the stored rectangle is kept.
WindowRect PlaceWindow(const WindowRect &stored, const WindowRect *screens, int screenCount,
                       int defaultWidth, int defaultHeight);
