// The link's clock for tests of the whole program: the system's steady clock plus an offset
// the test moves on. A reply that comes in real time is never taken for a missing one, and a
// reply the sensor keeps back times out as soon as the test moves the clock past the wait.
#pragma once

// Makes it the link's clock (offset 0); RemoveTestClock gives the link its own clock back.
void InstallTestClock();
void RemoveTestClock();
// Moves the clock on by `seconds`.
void AdvanceTestClock(double seconds);
