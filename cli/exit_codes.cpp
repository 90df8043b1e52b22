// What each exit code means, in both languages.
#include "cli/exit_codes.h"

const TextPair &ExitCodeText(int code) {
    static const TextPair kTexts[] = {
        {"erledigt", "done"},
        {"Unterschiede gefunden", "differences found"},
        {"Aufruf fehlerhaft", "usage error"},
        {"keine Verbindung oder falscher Sensor", "no connection or wrong identity"},
        {"Verbindungsfehler während der Arbeit", "link failure during the operation"},
        {"Werte vom Sensor abgelehnt (Plausibilität)",
         "values rejected by the sensor (plausibility)"},
        {"Zurückgelesen ist anders als geschrieben", "read back differs from what was written"},
        {"Datei nicht lesbar oder nicht schreibbar", "file could not be read or written"},
    };
    static const TextPair kUnknown = {"?", "?"};
    return code >= 0 && code <= 7 ? kTexts[code] : kUnknown;
}
