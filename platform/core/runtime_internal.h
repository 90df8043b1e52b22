// What the window layer of the runtime (platform/ui_loop.cpp) tells the core part and asks it.
#pragma once

// Shows or hides the busy cursor when SetWaitCursor's count changes between 0 and 1.
using WaitCursorShower = void (*)(int on);
void SetWaitCursorShower(WaitCursorShower shower);
// Whether SetWaitCursor's count is above 0.
bool WaitCursorShown();
// Forgets what the waits learned about the application object that ends.
void ResetEventWait();
// Whether a wait loop is inside ProcessSystemEvents now: the program is inside an operation.
bool InsideEventWait();
