// Hooks for tests: answer popups and dialogs without a person, and act on controls the way an
// operator's mouse and keyboard would (the events travel the same path as real input).
#pragma once

#include "platform/core/tcp.h"

#include <functional>
#include <string>
#include <vector>

struct PopupRecord {
    std::string kind; // "message", "confirm", "generic", "file", "print"
    std::string title;
    std::string text;
    std::vector<std::string> buttons; // as the dialog labels them, in Qt's current language
    std::string defaultPath;          // file dialogs: start directory joined with the default name
    // File dialogs: the captions "Look in", "File name" and "Files of type" as the dialog
    // shows them.
    std::vector<std::string> labels{};
};

// The responder answers every popup while it is installed: the value it returns is the popup's
// result (button number, 1/0 for yes/no, file dialog result); for file and print dialogs it
// fills *path with the chosen file or printer. An empty function restores real dialogs.
using PopupResponder = std::function<int(const PopupRecord &, std::string *path)>;
void SetPopupResponder(PopupResponder responder);
// The responder installed now; empty while real dialogs are shown.
const PopupResponder &CurrentPopupResponder();

// Operator actions, delivered as real input events to the control's widget.
void TestClickCtrl(int panel, int control); // left click (buttons, toggles)
void TestRightClickCtrl(int panel, int control);
void TestRightDoubleClickCtrl(int panel, int control);
void TestRightDoubleClickPanel(int panel);
// The tool tip the operator sees resting the mouse on the control now (while it is dimmed:
// why, from the dimmed-tip source), "" when none shows. Sent as the window system sends it.
std::string TestToolTip(int panel, int control);
void TestClosePanel(int panel); // the window's close box
void TestSelectTab(int panel, int tabControl, int index);
void TestSelectRingItem(int panel, int control, int index);
void TestTypeText(int panel, int control, const char *text); // replaces the text and commits
// Clicks into a numeric or string control and types `text` over its contents, without Enter:
// the edit stays in progress, as when the operator goes on with a key or the mouse.
void TestEditText(int panel, int control, const char *text);
void TestKey(int panel, const char *keySequence); // e.g. "F9", delivered to the panel
// Presses `keySequence` (e.g. "Escape", "Return") in the next modal popup once it is shown as a
// real dialog (no responder installed); its text goes to *textOut when given. Returns at once.
void TestKeyInNextPopup(const char *keySequence, std::string *textOut = nullptr);
void TestMoveCursor(int panel, int control, int cursor, double x, double y); // user drag
// Ctrl + left-button drag from (x1, y1) to (x2, y2), in axis units, with real mouse events.
void TestZoom(int panel, int control, double x1, double y1, double x2, double y2);

// What a graph holds, for checks of what the program plotted.
struct TestPlot {
    int plotStyle, pointStyle, lineStyle, pointFrequency, color;
    std::vector<double> y;
};
std::vector<TestPlot> TestGraphPlots(int panel, int control);
// The texts the graph's left Y axis shows in place of numbers, with their values.
struct TestAxisItem {
    std::string text;
    double value;
};
std::vector<TestAxisItem> TestGraphAxisItems(int panel, int control);

// Pending callbacks run, then the call returns once nothing is pending for `ms` milliseconds.
void TestProcessEvents(int ms = 0);
// True while the panel's window is shown on screen.
bool TestPanelShown(int panel);
// Screen geometry of a top-level panel's window, for checks of size and centring.
void TestPanelScreenRect(int panel, int *left, int *top, int *width, int *height);
void TestScreenSize(int *width, int *height);

// Makes GetProjectDir report `directory` (empty: the program's own directory again), so a test
// can give the program a private folder for its resource and settings files.
void TestSetProjectDir(const char *directory);
// Makes the installed data folder `directory` for FindProgramFile (empty: the real one again).
void TestSetDataDir(const char *directory);

// Runs `work` from the event loop once it is running (for tests that enter WinMain's loop).
void TestRunFromLoop(std::function<void()> work);

// Maps COM<port> to `device` for this process only, before the mapping file beside the
// program; a null or empty device removes the mapping again.
void TestMapComPort(int port, const char *device);
// True while the busy cursor is shown (SetWaitCursor).
bool TestBusyCursorShown();
// Makes the port numbering look for adapters in `byIdRoot` (standing in for
// /dev/serial/by-id) and for device information under `sysRoot` (for /sys); empty or null:
// the system's own again.
void TestSetDeviceRoots(const char *byIdRoot, const char *sysRoot);

// Where a control and its caption sit on their panel (panel coordinates) and the room its own
// text needs, for checks that no text is clipped or overlapped.
struct TestCtrlLayout {
    int control = 0;
    std::string name;
    int style = 0;
    bool visible = false;
    int left = 0, top = 0, width = 0, height = 0;
    bool hasCaption = false;
    int captionLeft = 0, captionTop = 0, captionWidth = 0, captionHeight = 0;
    int neededWidth = 0, neededHeight = 0; // 0: nothing to check
};
std::vector<TestCtrlLayout> TestPanelLayout(int panel, int *panelWidth, int *panelHeight);

// TestTcpBuffered: platform/core/tcp.h.

// How often the control's widget has painted itself since the first call for it (which starts
// the count at 0): checks that the screen follows the values while the program is busy.
int TestPaintCount(int panel, int control);

// The control as the screen shows it, one 0xRRGGBB value a pixel row by row (empty: no such
// control).
std::vector<unsigned> TestCtrlPixels(int panel, int control);

// The largest size the panel's window icon comes in, 0 when the window has none of its own.
int TestWindowIconSize(int panel);
