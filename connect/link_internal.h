// What the connection operations and the identity check share: the failure message of a
// connection attempt and the popup that lets the operator close the program or go offline.
#pragma once

#include "base/texts.h"

// "Could not establish connection! ..." in the popup of a failed attempt.
extern const TextPair kTxtNoConnection;

// The popup of a failed attempt with the buttons Close and Offline (Close has the focus and
// answers Enter and Esc). Offline runs Disconnect; Close ends the user-interface loop.
void AskCloseOrOffline(const char *message);

// Appends `text` to the connection page's status box.
void AppendStatus(const char *text);
