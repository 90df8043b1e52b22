// Handing a finished PDF document to a printer's queue on the system's print scheduler and
// finding out what became of it: refused, waiting in a stopped queue, or on its way.
#pragma once

#include <string>

enum class QueueOutcome {
    Printing,     // accepted by a queue that prints
    Waiting,      // accepted, but the queue is stopped or the job is held
    NotAccepting, // the queue refuses jobs
    NoPrinter,    // no queue of that name
    NoScheduler,  // the print scheduler does not answer: no printer can be reached
    Failed,       // any other failure
};

// Submits `pdfPath` to the queue `printer` as a job named `title`. `message` gets the reason
// the queue's keeper wrote ("cupsreject -r ..."), or the text a failed job left, when there is
// one beyond the scheduler's stock words for the state ("Rejecting Jobs", "Paused"): the
// program says the state itself, in its own language. The scheduler's own words and state
// keywords go to standard error.
QueueOutcome SubmitToQueue(const char *printer, const char *pdfPath, const char *title, int copies,
                           std::string *message);
