// taviron publish: one sensor on an MQTT broker until TERM or Ctrl-C. The identity check runs
// first; then the state ("online") and both parameter sets go out retained, and the live
// values are polled at --poll a second and published on change at most --rate a second. A
// sensor that stops answering makes the state "sensor-lost" and is tried again with back-off
// (1, 2, 4 ... 30 s), its identity checked again: another serial number or firmware makes it
// "wrong-sensor", and nothing goes out on live until the first sensor is back. The end says
// "offline"; a process that dies without saying it leaves the broker's last will, "offline".
#pragma once

#include "cli/command_line.h"
#include "cli/report.h"

// Runs until StopPublish. Returns the exit code (also in report->code): 0 after a stop, 3 when
// the sensor could not be reached or identified at the start, 2 when the MQTT client cannot be
// set up (report->error says why).
int RunPublish(const Invocation &invocation, CommandReport *report);

// Ends the publisher at its next pass; safe in a signal handler.
void StopPublish();
