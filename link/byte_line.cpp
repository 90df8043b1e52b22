// The report of a line's closure, once.
#include "link/byte_line.h"

int ByteLine::ReportClosure() {
    if (closureReported_) return -1;
    closureReported_ = true;
    ++closureReports_;
    LinkFault fault;
    fault.code = WhyClosed();
    if (fault.code == LinkError::None) fault.code = LinkError::Timeout; // closed by the program
    fault.where = Where();
    return LinkFailure(fault);
}
