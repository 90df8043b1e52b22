// The sensor's identity as the link reads it, without panels: the firmware text (order 7),
// checked against the version this program is made for, and the sensor's name and serial
// number (order 15). The window program's identity check and the command line send the same
// frames through these.
#pragma once

// The firmware version this program is made for: the firmware text up to its second "." must
// spell it.
inline constexpr const char *kAcceptedVersion = "TAVIRON V1.0";

// Order 7: the sensor's firmware text into FirmwareVersion (zero-filled first; a text that
// fills the field is cut at 71 characters). 1, or -1 after a link failure.
int ReadFirmwareText();
// 1 when the version in FirmwareVersion (its parts A "." B) is the accepted one, else 0.
int FirmwareAccepted();
// Order 15: the sensor's name into SensorName (zero-filled first, cut at 255 characters) and
// its serial number into *serial. 1, or -1 after a link failure.
int ReadSensorIdentity(int *serial);
