// Panel localisation from a language file: replaces the texts of a panel, its child panels and
// its menu bar with those the file gives, and writes such files from loaded panels.
//
// Every operation returns 0 or a negative code: -12 out of memory (also a header number that
// is not an integer), -65 no path, -93 the file cannot be read, -94 the file cannot be opened,
// -6000 not a valid language file; errors of the runtime's panel operations pass unchanged.
// Nothing here shows a message.
//
// Text classes of our control kinds (the class decides which texts a control's section has):
//   CTRL_DECORATION, CTRL_PICTURE            1  tooltip
//   CTRL_NUMERIC, CTRL_COMMAND_BUTTON,       2  label, tooltip
//   CTRL_LED, CTRL_BUSY                         (an LED's label is its caption; a busy
//                                                indicator's label is the text it shows)
//   CTRL_STRING, CTRL_TEXT_BOX               3  label, default text, tooltip
//   CTRL_TEXT_MSG                            4  its text ("Default"), tooltip
//   CTRL_TOGGLE_BUTTON                       5  label, on text, off text, tooltip
//   CTRL_GRAPH                               6  label, axis names, tooltip, axis item labels,
//                                               annotation captions
//   CTRL_RING                                8  label, tooltip, item labels (values are data
//                                               and are never replaced)
//   CTRL_TAB                                11  tooltip, tab page labels
// Our graphs have one X axis (bottom) and one Y axis (left), no axis item labels and no
// annotations: a file's top X and right Y names have nowhere to go and are passed over.
// Any other kind is passed over.
#pragma once

#include "platform/ui.h"

// Applies the language file to `panel`, then to its child panels (first child first, each
// with its own children), then to the panel's menu bar. The path is opened as given; a plain
// file name is relative to the current directory. A file that fails the checks of a panel
// changes nothing on that panel; the first child panel that fails stops the walk.
int LocalizePanel(int panel, const char *languageFile);

// Applies the file's menu item names to a menu bar alone.
int LocalizeMenuBar(int menuBar, const char *languageFile);

// LoadPanel followed by LocalizePanel; a panel that cannot be localised is discarded again.
// *panel receives the handle on success.
int LoadLocalizedPanel(int parent, const char *resourceFile, int panelNumber,
                       const char *languageFile, int *panel);
// The same, registering `callbacks` first for a resource file whose callbacks the program has
// not registered yet.
int LoadLocalizedPanelEx(int parent, const char *resourceFile, int panelNumber,
                         const CallbackEntry *callbacks, int callbackCount,
                         const char *languageFile, int *panel);

// Maintainer tool: writes every text of `panel`, its child panels and its menu bar into a new
// language file (version 200). Texts that are empty are flagged as not given.
int ExportAllObjectsToLangFile(int panel, const char *languageFile);
