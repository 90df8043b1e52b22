// The right-click help of the control callbacks, and the help texts more than one part shows.
#pragma once

#include "base/texts.h"

// The right-click help popup of a control callback: title "Info!" / "Message!", the text in the
// current language.
void ShowHelp(const TextPair &text);
// The whole of a callback whose control only answers its right click with a help popup.
int AnswerHelp(int event, const TextPair &help);

// The right-click help of a control callback: on EVENT_RIGHT_CLICK shows `help` in the help
// popup and returns true (the callback has nothing else to do for that event); otherwise
// shows nothing and returns false.
bool HelpAsked(int event, const TextPair &help);

// The four parameters' texts: the right-click help of their controls, and the explanations the
// parameter page shows beside them in the current language.
extern const TextPair kTextStrokeTol;
extern const TextPair kTextBadCntToFail;
extern const TextPair kTextDigOutmode;
extern const TextPair kTextCntStrokeEdge;

// A file dialog that was cancelled: "No file was selected! Process will not be done!"
extern const TextPair kTxtNoFileSelected;
