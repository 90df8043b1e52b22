// The shift log of taviron publish --log DIR: every change of the live values as one row of
// `live --changes` (the same columns and CSV style) in DIR/<id>/YYYY-MM-DD.csv, the file of the
// row's local date, so a new file begins at midnight. Rows wait in memory for at most half a
// second and are then written whole, each batch with one write, so that a process killed at
// any moment leaves every file valid CSV with at most its last second missing. The times come
// from the caller (the wall clock for the rows, a steady clock for the waiting), so a test can
// cross midnight without waiting for it.
#pragma once

#include "base/csv_style.h"
#include "base/state.h"
#include "cli/live_rows.h"

#include <string>

class ShiftLog {
  public:
    // Rows are kept for at most this long before they are written (seconds).
    static constexpr double kMostWaiting = 0.5;

    ShiftLog(std::string folder, CsvFormat format) : folder_(std::move(folder)), format_(format) {}
    ~ShiftLog();
    ShiftLog(const ShiftLog &) = delete;
    ShiftLog &operator=(const ShiftLog &) = delete;

    // Makes the folder when it is missing and opens the file of `time`'s date: true, or false
    // with the reason in *error (in the language) when either cannot be done. A file already
    // there is continued: under another header (other columns, the other CSV style) it is
    // refused rather than mixed; a last row left unfinished (the power failed while it was
    // written) is cut off.
    bool Open(const WallTime &time, int language, std::string *error);

    // One poll's values at `time`: a row when they differ from the last row (the first values
    // always). `now`: a steady clock in seconds. False when writing has failed (Error says why;
    // the rows wait and are tried again).
    bool Add(const LiveDataRec &live, const WallTime &time, double now);
    // Writes the rows that have waited kMostWaiting or longer at `now`.
    bool Tick(double now);
    // Writes every row that waits.
    bool Flush();

    // Why the last write failed ("" after one that worked).
    const std::string &Error() const { return error_; }
    // The file rows go to now.
    const std::string &Path() const { return path_; }

  private:
    bool OpenDay(const std::string &day, std::string *error);
    void Close();

    const std::string folder_;
    const CsvFormat format_;
    int language_ = 1;
    int fd_ = -1;
    std::string day_, path_; // the open file's date (YYYY-MM-DD) and path
    std::string waiting_;    // whole rows not yet written, each with its line end
    double waitingSince_ = 0;
    LiveChangeFilter changes_;
    std::string error_;
};
