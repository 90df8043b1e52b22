// The link's clock: the seconds every wait of the link measures its time-out in. It is read
// through one function that a test can replace, so that a time-out is reached by moving the
// clock on rather than by waiting it out, and a reply that comes late on a loaded machine is
// not taken for a missing one.
#pragma once

// Seconds from an arbitrary start, never going back; the system's steady clock unless a
// test has set its own.
double LinkClock();

// Replaces the clock (null: the system's steady clock again).
using LinkClockFunction = double (*)();
void SetLinkClock(LinkClockFunction clock);
