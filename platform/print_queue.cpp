// Print queue submission through the scheduler's own client library: the queue's state is
// asked before and after the job goes in, because a queue that refuses jobs or has been
// stopped would otherwise look, from the program's side, like one that printed.
#include "platform/print_queue.h"

#include <cups/cups.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string OptionOf(const cups_dest_t *dest, const char *name) {
    const char *v = cupsGetOption(name, dest->num_options, dest->options);
    return v ? v : "";
}

// The queue's state as the scheduler reports it now; false when it has no such queue.
struct QueueState {
    bool accepting = true;
    bool stopped = false;
    std::string reason;  // the state message, when it is more than the stock words
    std::string details; // the state message and reasons as the scheduler gave them
};

// What the scheduler writes as the state message when the keeper gave no reason: the program
// says these states in its own words.
bool StockMessage(const std::string &text) {
    return text.empty() || text == "Rejecting Jobs" || text == "Paused";
}

void Log(const char *printer, const std::string &details) {
    if (!details.empty()) std::fprintf(stderr, "Print queue %s: %s\n", printer, details.c_str());
}

// True when the print scheduler takes connections: without it no queue can be found, which
// the client library reports as a missing queue.
bool SchedulerAnswers() {
    http_t *http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                5000, nullptr);
    if (!http) return false;
    httpClose(http);
    return true;
}

// The text the queue's keeper gave with its state ("cupsreject -r ..."), which the list of
// destinations does not carry.
std::string StateMessage(const cups_dest_t *dest) {
    const std::string uri = OptionOf(dest, "printer-uri-supported");
    if (uri.empty()) return "";
    ipp_t *request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.c_str());
    static const char *const wanted[] = {"printer-state-message"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 1, nullptr,
                  wanted);
    ipp_t *response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    std::string text;
    if (ipp_attribute_t *a = ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT))
        if (const char *v = ippGetString(a, 0, nullptr)) text = v;
    ippDelete(response);
    return text;
}

bool AskQueue(const char *printer, QueueState *state) {
    cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, printer, nullptr);
    if (!dest) return false;
    state->accepting = OptionOf(dest, "printer-is-accepting-jobs") != "false";
    state->stopped = OptionOf(dest, "printer-state") == "5";
    const std::string message = StateMessage(dest);
    state->reason = StockMessage(message) ? "" : message;
    state->details = message + " [" + OptionOf(dest, "printer-state-reasons") + "]";
    cupsFreeDests(1, dest);
    return true;
}

// The state of job `id` in `printer`'s queue, or 0 when the scheduler no longer lists it.
int JobState(const char *printer, int id) {
    cups_job_t *jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, printer, 0, CUPS_WHICHJOBS_ALL);
    int state = 0;
    for (int i = 0; i < count; ++i)
        if (jobs[i].id == id) state = jobs[i].state;
    cupsFreeJobs(count, jobs);
    return state;
}

} // namespace

QueueOutcome SubmitToQueue(const char *printer, const char *pdfPath, const char *title, int copies,
                           std::string *message) {
    message->clear();
    QueueState before;
    if (!AskQueue(printer, &before)) {
        Log(printer, cupsLastErrorString() ? cupsLastErrorString() : "");
        return SchedulerAnswers() ? QueueOutcome::NoPrinter : QueueOutcome::NoScheduler;
    }
    if (!before.accepting) {
        *message = before.reason;
        Log(printer, before.details);
        return QueueOutcome::NotAccepting;
    }

    cups_option_t *options = nullptr;
    int count =
        cupsAddOption("copies", std::to_string(copies < 1 ? 1 : copies).c_str(), 0, &options);
    count = cupsAddOption("document-format", "application/pdf", count, &options);
    const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, printer, pdfPath, title, count, options);
    cupsFreeOptions(count, options);
    if (job <= 0) {
        // The queue may have stopped accepting between the question and the job.
        const ipp_status_t status = cupsLastError();
        const std::string said = cupsLastErrorString() ? cupsLastErrorString() : "";
        Log(printer, said);
        if (status == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS) {
            QueueState now;
            if (AskQueue(printer, &now)) *message = now.reason;
            return QueueOutcome::NotAccepting;
        }
        *message = said;
        return QueueOutcome::Failed;
    }

    QueueState after;
    const int state = JobState(printer, job);
    if (state == IPP_JSTATE_ABORTED || state == IPP_JSTATE_CANCELED) {
        if (AskQueue(printer, &after)) {
            *message = after.reason;
            Log(printer, after.details);
        }
        return QueueOutcome::Failed;
    }
    if (state == IPP_JSTATE_HELD || state == IPP_JSTATE_STOPPED ||
        (AskQueue(printer, &after) && after.stopped && state != IPP_JSTATE_COMPLETED)) {
        *message = after.reason;
        Log(printer, after.details);
        return QueueOutcome::Waiting;
    }
    return QueueOutcome::Printing;
}
