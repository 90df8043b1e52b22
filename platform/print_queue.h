// Handing a finished PDF document to a printer's queue on the system's print scheduler and
// finding out what became of it: refused, waiting in a stopped queue, or on its way.
#pragma once

#include <string>

enum class QueueOutcome {
    Printing,     // accepted by a queue that prints
    Waiting,      // accepted, but the queue is stopped or the job is held
    NotAccepting, // the queue refuses jobs
    NoPrinter,    // no queue of that name
    Failed,       // any other failure
};

// Submits `pdfPath` to the queue `printer` as a job named `title`. `message` gets the
// scheduler's reason where it gave one (empty otherwise).
QueueOutcome SubmitToQueue(const char *printer, const char *pdfPath, const char *title, int copies,
                           std::string *message);
