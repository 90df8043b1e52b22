// The right-click help of the control callbacks (their texts are in window/callback_list.h),
// and the texts more than one part shows.
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

// A file dialog that was cancelled: "No file was selected! Process will not be done!"
extern const TextPair kTxtNoFileSelected;
