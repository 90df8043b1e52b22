// The exported recording as CSV text: a header naming the program, the date, the sensor, the
// recorder settings and the cursors with their deltas, then one row per sample (index, time in ms,
// analog value, lines A to D). Pure text building, no files and no widgets; the same record always
// gives the same bytes.
#pragma once

#include <cstdint>
#include <string>

struct ScopeCsvHeader {
    const char *date;       // when the file is written, e.g. "2026-12-10 14:05:33"
    const char *panelId;    // the sensor identification the operator typed
    const char *sensorName; // the sensor's own name and firmware, as it reported them
    const char *firmware;
    int triggerMode; // 0..4; the mode's name is written beside it
    int triggerLevel;
    int preTrigger;
    int scanRate;         // sensor cycles per sample
    double scanFrequency; // Hz, 0 when not fetched
    double cycleTime;     // ms, 0 when not fetched (the time column is then 0)
    int cursor1, cursor2; // the samples the two cursors stand on
    double deltaX;        // ms between the cursors, as the panel shows it
    int deltaY;           // digits between the cursors
};

// The whole file: lines end with CR LF; fields holding a comma, a quote or a line break are
// quoted, with quotes doubled. `samples` are the 128 sample words in display order.
std::string ScopeCsvText(const ScopeCsvHeader &header, const std::uint16_t *samples);

// A number in the file: at most six decimals, no trailing zeros ("0.25", "13.75", "2000").
std::string CsvNumber(double v);
