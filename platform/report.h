// Report printing: a report is built from calls (lines of text in the current font, empty
// lines, images from files, a page footer), laid out on A4 pages and printed on a system
// printer or into a PDF file. Also the system's print dialog that chooses where it goes.
// Plain functions; the Qt printing stays inside report.cpp.
#pragma once

// Report attributes.
enum {
    REPORT_ATTR_FOOTER_LEFT_TEXT = 11,
    REPORT_ATTR_FOOTER_CENTER_TEXT = 12,
    REPORT_ATTR_FOOTER_RIGHT_TEXT = 13,
    REPORT_ATTR_JOB_TITLE = 20, // the name the print job carries in the printer's queue
};
// Footer texts may hold these fields, filled in on every page when it is printed.
// Their forms follow the toolkit's language (SetToolkitLanguage): German "31.12.2026", "14:05",
// "Seite n von m"; English "31 Dec 2026", "14:05", "Page n of m".
#define REPORT_FIELD_SHORT_DATE "<shortdate>" // today's date
#define REPORT_FIELD_TIME "<time>"            // the time of printing, 24 hours
#define REPORT_FIELD_PAGE_N_OF_M "<pagenofm>" // page n of m

// Text attributes: they apply to every text appended after them.
enum {
    REPORT_TEXT_FONT = 100,       // font family name
    REPORT_TEXT_POINT_SIZE = 101, // double (an int is taken too)
    REPORT_TEXT_BOLD = 102,       // 0 / 1
    REPORT_TEXT_COLOR = 108,      // 0xRRGGBB
};

// Error codes (negative results).
enum {
    REPORT_ERR_NO_RUNTIME = -1,    // the user-interface runtime is not running
    REPORT_ERR_HANDLE = -2,        // no such report
    REPORT_ERR_ATTRIBUTE = -3,     // attribute unknown or value of the wrong kind
    REPORT_ERR_IMAGE = -4,         // image file missing or unreadable
    REPORT_ERR_PRINTER = -5,       // no such printer
    REPORT_ERR_PRINT_FAILED = -6,  // the printer or the PDF file could not be written
    REPORT_ERR_NOT_ACCEPTING = -7, // the printer's queue refuses jobs
    REPORT_ERR_DISK_FULL = -8,     // the PDF file could not be written: the disk is full
    REPORT_ERR_NO_SCHEDULER = -9,  // the system's print scheduler does not answer
};
// Report_Print's result when the printer's queue took the job but does not print it now
// (the queue is stopped or the job is held): it waits there.
enum { REPORT_PRINT_WAITING = 1 };

// Creates an empty report; 0 and a handle in *handle, or a negative code.
int Report_New(int *handle);
int Report_SetReportAttribute(int handle, int attribute, const char *value);
int Report_SetTextAttribute(int handle, int attribute, int value);
int Report_SetTextAttribute(int handle, int attribute, double value);
int Report_SetTextAttribute(int handle, int attribute, const char *value);
// Appends the text and ends the line; line breaks inside the text start new lines, long lines
// wrap at the page width.
int Report_AppendLine(int handle, const char *text);
// An empty line in the current font.
int Report_NewLine(int handle);
// Reads the image file now (the file may go once this returns) and places the image at this
// point, at its natural size or smaller to fit the page. The name labels the image in the
// report.
int Report_AppendImageFile(int handle, const char *path, const char *name);
// Prints the report on the printer of that name, or, when the name holds a '/', into the PDF
// file of that path. Returns 0 when printed (the printer's queue took the job and prints),
// REPORT_PRINT_WAITING when the job waits in a stopped queue, a negative code otherwise.
int Report_Print(int handle, const char *printerName, int copies);
// What the printer's queue said about the last Report_Print of this report: the reason its
// keeper gave for a refusal or for waiting, or the text a failed job left; "" when there is
// none beyond the state itself, which the result code tells.
const char *Report_PrintMessage(int handle);
// Releases the report.
int Report_Discard(int handle);

// The system's print dialog: a printer of the system or printing into a PDF file. Returns 1
// and the printer's name (or the PDF file's path) in `name`, or 0 when cancelled (or when the
// choice does not fit into `size` bytes); `name` is left alone then. Tests answer it through
// the popup responder (kind "print").
int PrinterSelectPopup(char *name, int size);
