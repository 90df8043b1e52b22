// The user-interface runtime the program is written against: panels from the resource file,
// controls and their values, graphs, popups and the event loop; with the part a program without
// a window uses as well (platform/core/runtime.h: waiting for events, the timer, paths).
// Plain functions and plain types only; the Qt implementation stays behind this header.
#pragma once

#include "platform/core/runtime.h"

#include <cstddef>

// ---- Events delivered to callbacks --------------------------------------------------------
enum {
    EVENT_NONE = 0,
    EVENT_COMMIT = 1,
    EVENT_VAL_CHANGED = 2,
    EVENT_LEFT_CLICK = 3,
    EVENT_LEFT_DOUBLE_CLICK = 4,
    EVENT_RIGHT_CLICK = 5,
    EVENT_RIGHT_DOUBLE_CLICK = 6,
    EVENT_CLOSE = 11,
    EVENT_ACTIVE_TAB_CHANGE = 31,
    EVENT_ZOOM = 40,
    // The key combination in a control's "shortcut" property was pressed in its window (for
    // controls that are not buttons; a button's shortcut clicks it).
    EVENT_SHORTCUT = 41,
};

using CtrlCallbackPtr = int (*)(int panel, int control, int event, void *callbackData,
                                int eventData1, int eventData2);
using PanelCallbackPtr = int (*)(int panel, int event, void *callbackData, int eventData1,
                                 int eventData2);

// The program names its callbacks in the resource file; it hands the runtime the table that
// resolves those names before loading any panel.
struct CallbackEntry {
    const char *name;
    CtrlCallbackPtr ctrl;   // set for control callbacks
    PanelCallbackPtr panel; // set for panel callbacks
};
void RegisterCallbacks(const CallbackEntry *table, int count);

// Why a dimmed control is dimmed: when the operator rests the mouse on a dimmed control, the
// runtime asks `source` and shows its text as the control's tool tip (null or "": the control's
// own tool tip). `busy` is 1 while the program is inside an operation (a callback still runs,
// or a wait lets the window live), 0 while it waits for the operator. Null: no source.
using DimmedTipSource = const char *(*)(int panel, int control, int busy);
void SetDimmedTipSource(DimmedTipSource source);

// ---- Attributes ---------------------------------------------------------------------------
enum {
    ATTR_TITLE = 1,
    ATTR_TOP,
    ATTR_LEFT,
    ATTR_HEIGHT,
    ATTR_WIDTH,
    ATTR_VISIBLE,
    ATTR_WINDOW_ZOOM, // 0 normal, 1 minimised, 2 maximised (position and size of a window
                      // panel are those it has when not maximised or minimised)
    ATTR_DIMMED,
    ATTR_TOOLTIP_TEXT,
    ATTR_LABEL_TEXT,
    ATTR_TEXT_FONT,       // font family name
    ATTR_TEXT_POINT_SIZE, // int
    ATTR_TEXT_COLOR,      // 0xRRGGBB
    ATTR_TEXT_BGCOLOR,    // 0xRRGGBB or VAL_TRANSPARENT
    ATTR_FRAME_COLOR,     // 0xRRGGBB: background of decorations
    ATTR_PRECISION,       // decimal places of a double numeric
    ATTR_ON_TEXT,
    ATTR_OFF_TEXT,
    ATTR_DEFAULT_VALUE_TEXT,
    ATTR_CONSTANT_NAME, // read only: the name given in the resource file
    ATTR_CTRL_STYLE,    // read only: CTRL_* kind
    ATTR_CTRL_MODE,     // read only: VAL_INDICATOR or VAL_HOT
    ATTR_REFRESH_GRAPH, // 1: graph redraws after each change, 0: only on RefreshGraph
    ATTR_XNAME,
    ATTR_YNAME,
    ATTR_NUM_CURSORS, // read only
    ATTR_ENABLE_ZOOM,
    ATTR_CHARSET,
    ATTR_PANEL_FIRST_CTRL, // read only: id of the first control, 0 when none
    ATTR_NEXT_CTRL,        // control attribute, read only: id of the next control, 0 at the end
    ATTR_FIRST_CHILD,      // read only: handle of the first child panel, 0 when none
    ATTR_NEXT_PANEL,       // read only: handle of the next sibling panel, 0 at the end
    ATTR_PANEL_PARENT,     // read only: handle of the parent panel, 0 for a window
    ATTR_NUM_TAB_PAGES,    // read only, tab controls
    ATTR_MENU_FIRST_ITEM,  // menu bars, read only: id of the first item, 0 when none
    ATTR_MENU_NEXT_ITEM,   // menu items, read only: id of the next item, 0 at the end
    ATTR_ITEM_NAME,        // menu items: the text shown
    ATTR_MAX_LINES,        // text boxes: the most lines kept, the oldest dropped first; 0 all
    ATTR_CALLBACK_NAME,    // read only: the name of the control's callback, "" when none
};

enum { VAL_TRANSPARENT = 0x1000000 };
enum { VAL_AUTO_CENTER = -1000000 }; // position or size value that centres the panel
enum { VAL_NO_ZOOM = 0, VAL_MINIMIZE = 1, VAL_MAXIMIZE = 2 };
enum { VAL_INDICATOR = 0, VAL_HOT = 1 };

// Control kinds (the value of ATTR_CTRL_STYLE).
enum {
    CTRL_NUMERIC = 1,
    CTRL_RING,
    CTRL_STRING,
    CTRL_TEXT_BOX,
    CTRL_TEXT_MSG,
    CTRL_COMMAND_BUTTON,
    CTRL_TOGGLE_BUTTON,
    CTRL_LED,
    CTRL_PICTURE,
    CTRL_DECORATION,
    CTRL_TAB,
    CTRL_GRAPH,
    CTRL_BUSY,
};

// ---- Panels -------------------------------------------------------------------------------
int LoadPanel(int parent, const char *resourceFile, int panelNumber); // handle, <0 on failure
int DisplayPanel(int panel);
int HidePanel(int panel);
int DiscardPanel(int panel);
int SetPanelPos(int panel, int top, int left);
int SetPanelSize(int panel, int height, int width);
int SetPanelAttribute(int panel, int attribute, int value);
int SetPanelAttribute(int panel, int attribute, const char *value);
int GetPanelAttribute(int panel, int attribute, int *value);
int GetPanelAttribute(int panel, int attribute, char *buffer, int size);

// ---- Tab controls -------------------------------------------------------------------------
int GetPanelHandleFromTabPage(int panel, int tabControl, int index, int *pagePanel);
int SetActiveTabPage(int panel, int tabControl, int index);
int GetActiveTabPage(int panel, int tabControl, int *index);
int SetTabPageAttribute(int panel, int tabControl, int index, int attribute, int value);
int SetTabPageAttribute(int panel, int tabControl, int index, int attribute, const char *value);
int GetTabPageAttribute(int panel, int tabControl, int index, int attribute, int *value);
int GetTabPageAttribute(int panel, int tabControl, int index, int attribute, char *buffer,
                        int size);

// ---- Menu bars ----------------------------------------------------------------------------
// A menu bar along the top of a window panel with one row of items. The resource file gives
// no panel a menu bar; these serve panels that make one at run time. Item 0 stands for the
// menu bar itself (its ATTR_CONSTANT_NAME).
int NewMenuBar(int panel, const char *constantName);                          // handle, <0 fails
int NewMenuItem(int menuBar, const char *constantName, const char *itemName); // item id, <0 fails
int GetPanelMenuBar(int panel);                                               // 0 when none
int DiscardMenuBar(int menuBar);
int SetMenuBarAttribute(int menuBar, int item, int attribute, const char *value);
int GetMenuBarAttribute(int menuBar, int item, int attribute, int *value);
int GetMenuBarAttribute(int menuBar, int item, int attribute, char *buffer, int size);

// ---- Control values -----------------------------------------------------------------------
// Values are converted to the control's own data type; on a text box SetCtrlVal appends.
int SetCtrlVal(int panel, int control, int value);
int SetCtrlVal(int panel, int control, unsigned int value);
int SetCtrlVal(int panel, int control, double value);
int SetCtrlVal(int panel, int control, const char *value);
int GetCtrlVal(int panel, int control, unsigned short *value);
int GetCtrlVal(int panel, int control, short *value);
int GetCtrlVal(int panel, int control, int *value);
int GetCtrlVal(int panel, int control, unsigned int *value);
int GetCtrlVal(int panel, int control, double *value);
int GetCtrlValText(int panel, int control, char *buffer, int size); // always terminated
template <std::size_t N> int GetCtrlVal(int panel, int control, char (&buffer)[N]) {
    return GetCtrlValText(panel, control, buffer, static_cast<int>(N));
}
int ResetTextBox(int panel, int control, const char *text);

int SetCtrlAttribute(int panel, int control, int attribute, int value);
int SetCtrlAttribute(int panel, int control, int attribute, const char *value);
int GetCtrlAttribute(int panel, int control, int attribute, int *value);
int GetCtrlAttribute(int panel, int control, int attribute, char *buffer, int size);

// Ring items: label and value; the value is what GetCtrlVal reports.
int GetNumListItems(int panel, int control, int *count);
int GetLabelFromIndex(int panel, int control, int index, char *buffer, int size);
int ReplaceListItemLabel(int panel, int control, int index, const char *label);

int NewCtrl(int panel, int style, const char *label, int top, int left); // new control id
int DisplayImageFile(int panel, int control, const char *file);

// ---- Graphs -------------------------------------------------------------------------------
enum { VAL_UNSIGNED_SHORT_INTEGER = 1, VAL_SHORT_INTEGER, VAL_INTEGER, VAL_DOUBLE };
enum { VAL_IMMEDIATE_DRAW = 0, VAL_DELAYED_DRAW = 1, VAL_NO_DRAW = 2 };
enum { VAL_XAXIS = 0, VAL_LEFT_YAXIS = 1 };
enum { VAL_MANUAL = 0, VAL_AUTOSCALE = 1 };
enum { VAL_THIN_LINE = 0, VAL_CONNECTED_POINTS = 5, VAL_THIN_STEP = 7 }; // plot styles
enum { VAL_SOLID_SQUARE = 12 };                                          // point style
enum { VAL_SOLID = 0 };                                                  // line style

int PlotY(int panel, int control, const void *values, int count, int dataType, int plotStyle,
          int pointStyle, int lineStyle, int pointFrequency, int color);
int PlotRectangle(int panel, int control, double x1, double y1, double x2, double y2, int color,
                  int fillColor);
int DeleteGraphPlot(int panel, int control, int plotHandle, int refresh); // -1: all plots
int RefreshGraph(int panel, int control);
int SetGraphCursor(int panel, int control, int cursor, double x, double y);
int GetGraphCursor(int panel, int control, int cursor, double *x, double *y);
int SetAxisScalingMode(int panel, int control, int axis, int mode, double min, double max);
int GetAxisScalingMode(int panel, int control, int axis, int *mode, double *min, double *max);
// Axis item labels: texts the axis shows at given values instead of its numbers. Only the
// left Y axis takes them; index -1 appends.
int InsertAxisItem(int panel, int control, int axis, int index, const char *label, double value);
int ClearAxisItems(int panel, int control, int axis);

// ---- Popups -------------------------------------------------------------------------------
int MessagePopup(const char *title, const char *message);
int ConfirmPopup(const char *title, const char *message); // 1 yes, 0 no
enum {
    VAL_GENERIC_POPUP_NO_CTRL = 0,
    VAL_GENERIC_POPUP_BTN1 = 1,
    VAL_GENERIC_POPUP_BTN2 = 2,
    VAL_GENERIC_POPUP_BTN3 = 3
};
// Returns the number (1 to 3) of the button pressed.
int GenericMessagePopup(const char *title, const char *message, const char *button1,
                        const char *button2, const char *button3, int activeButton, int enterButton,
                        int escapeButton);
enum { VAL_OK_BUTTON = 0, VAL_SAVE_BUTTON = 1, VAL_SELECT_BUTTON = 2, VAL_LOAD_BUTTON = 3 };
enum { VAL_NO_FILE_SELECTED = 0, VAL_EXISTING_FILE_SELECTED = 1, VAL_NEW_FILE_SELECTED = 2 };
// pathOut holds at least 260 characters. A dialog with the Save button asks before it gives a
// file that exists, as FileSavePopup does.
int FileSelectPopup(const char *defaultDirectory, const char *defaultFileName,
                    const char *fileTypeList, const char *title, int buttonLabel,
                    int restrictDirectory, int restrictExtension, int allowCancel,
                    int allowMakeDirectory, char *pathOut);
// The file dialog of an operation that writes the chosen file, whatever its button says: a
// file that exists is never given without asking, in the toolkit's language, whether it may be
// replaced (ConfirmFileReplace). No, the default and the answer to Escape, goes back to the
// dialog to choose again. VAL_EXISTING_FILE_SELECTED means the operator agreed to replace it.
int FileSavePopup(const char *defaultDirectory, const char *defaultFileName,
                  const char *fileTypeList, const char *title, int buttonLabel,
                  int restrictDirectory, int restrictExtension, int allowCancel,
                  int allowMakeDirectory, char *pathOut);
// Asks whether the file at `path` may be replaced, with `title` over the question: 1 when it
// may (Yes), or when there is no file there; 0 for No, the default and the answer to Escape.
int ConfirmFileReplace(const char *title, const char *path);

// The language of Qt's own texts (standard dialogs and their buttons) and of a printout's
// footer (date, time, page n of m): "de" German, anything else English. Returns 0, or -1 when
// the German texts cannot be loaded (they stay English; the footer is German all the same).
int SetToolkitLanguage(const char *language);

// ---- Event loop ---------------------------------------------------------------------------
int InitUserInterface(int argc, char **argv); // 1 on success, 0 when it cannot start
// Ends the runtime in a fixed order: every panel and other window, the serial ports and TCP
// conversations still open, the deletions still pending, then the application object itself,
// so that nothing of the user interface is left for the process's exit to tear down.
// Called once the program, or a test run, is done with the user interface (not from inside
// the event loop); InitUserInterface may start the runtime again afterwards.
int CloseUserInterface();
// Ctrl-C (SIGINT) and SIGTERM end the program as its window's close box does: an open popup
// or dialog is closed as Escape closes it, then every window panel gets EVENT_CLOSE (no window
// yet: QuitUserInterface(0)). A second signal ends the process at once. Returns 0, or -1 when
// the signals cannot be watched. In force until the runtime ends (CloseUserInterface).
int CloseOnTerminationSignals();
// 1 when a popup would be answered: the windows go to a screen someone looks at, or a test
// answers popups; 0 on a platform without one (Qt's offscreen platform), where a popup would
// wait for ever.
int PopupsCanBeAnswered();
int RunUserInterface(); // returns the code given to QuitUserInterface
int QuitUserInterface(int returnCode);
// ProcessSystemEvents, SetWaitCursor and Timer: platform/core/runtime.h.

// ---- Paths and files ----------------------------------------------------------------------
// The program's folders and paths: platform/core/runtime.h.
// The usable areas of the screens (without the desktop's bars), the main screen first: up to
// `max` of them into `areas`; returns how many there are.
struct ScreenArea {
    int left, top, width, height;
};
int GetScreenAreas(ScreenArea *areas, int max);
