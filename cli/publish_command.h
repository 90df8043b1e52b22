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

#include <string>

// The files publish names, before any sensor is asked: the CA and client certificate files
// there and readable, and the password read from its file (its first line; the password is
// never taken from the command line or the environment, and never printed). 0, else 2 or 7
// with the message.
int ReadPublishFiles(const Invocation &invocation, int language, std::string *password,
                     std::string *message);

// Runs until StopPublish. Returns the exit code (also in report->code): 0 after a stop; 3 when
// the sensor could not be reached or identified at the start, or the broker cannot be used at
// all (its certificate fails the check against the CA, it refuses the log-in); 2 when the MQTT
// client cannot be set up (report->error says why).
int RunPublish(const Invocation &invocation, const std::string &password, CommandReport *report);

// Ends the publisher at its next pass; safe in a signal handler.
void StopPublish();
