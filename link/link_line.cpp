// Which line the link talks through: a test's, or the one the protocol chooses.
#include "link/byte_line.h"
#include "link/serial_line.h"
#include "link/tcp_line.h"

namespace {

ByteLine *g_testLine = nullptr;

} // namespace

ByteLine &LinkLine() {
    if (g_testLine) return *g_testLine;
    return App.ComProtocol == 1 ? TcpLine() : SerialLine();
}

void UseLinkLine(ByteLine *line) {
    g_testLine = line;
}
