// The wait of the serial and TCP lines: the user-interface thread processes events on every
// pass (the TCP data callback, BREAK, STOP, painting run inside it) and looks at the line in
// between; after a quarter of a second the busy cursor shows.
#pragma once

#include "link/byte_line.h"

LineWait WaitOnEvents(ByteLine &line, int count, double deadline, const i16 *keepWaiting);
