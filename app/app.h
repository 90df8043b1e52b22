// Start-up, the banner, the child panel switch and shut-down of the program.
#pragma once

#include "base/state.h"

// Entry: returns the process exit code, 0 after a normal end, -1 when the runtime cannot start
// or a panel cannot be loaded.
int WinMain(int argc, char **argv);

// Loads the three panels and places the child panels (the steps of WinMain before InitAll).
// Returns 0, or -1 when the runtime cannot start or a panel cannot be loaded.
int LoadPanels(int argc, char **argv);
void InitAll();
// Everything after the event loop: closes the link and releases the panels.
void ShutDown();

void ShowLogo();
int ShowInfoText(const char *text, int tooltip, int left, int top, int pointSize, int bgColor,
                 int textColor);
// Makes the scope page visible, brings it to the front with the scope panel and ends the live
// cycle, as picking the page does. For --scope and the tab control's key combination.
void ShowScopePage();
