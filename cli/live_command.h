// taviron live: the live data cycle (order 8) back to back, as the window program's GO runs it,
// with one row per reply (or per change) written as it comes: CSV with an ISO 8601 time stamp,
// or a JSON line.
#pragma once

#include "cli/command_line.h"
#include "cli/report.h"

#include <cstdio>

// Polls the identified sensor until --seconds have passed, --count replies have come, or a
// stop is asked for (StopLive: Ctrl-C, TERM). Rows go to `rows` (CSV, or JSON lines when
// `json`), each flushed as it is written, so a sensor that stops answering leaves every row
// before it. Returns the exit code: 0, or 4 after a link failure (report->error says it).
int RunLive(const Invocation &invocation, std::FILE *rows, bool json, CommandReport *report);

// Ends a live cycle at its next pass; safe in a signal handler.
void StopLive();
