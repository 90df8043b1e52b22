// Pseudo-terminal loop of the simulated sensor (posix_openpt, termios, ppoll).
#include "sim/pty_line.h"

#include "sim/link_session.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace tavsim {

namespace {

struct SpeedName {
    speed_t speed;
    int rate;
};
const SpeedName Speeds[] = {
    {B50, 50},       {B75, 75},         {B110, 110},       {B134, 134},       {B150, 150},
    {B200, 200},     {B300, 300},       {B600, 600},       {B1200, 1200},     {B1800, 1800},
    {B2400, 2400},   {B4800, 4800},     {B9600, 9600},     {B19200, 19200},   {B38400, 38400},
    {B57600, 57600}, {B115200, 115200}, {B230400, 230400}, {B460800, 460800}, {B921600, 921600},
};

speed_t speedOf(int rate) {
    for (const SpeedName &s : Speeds)
        if (s.rate == rate) return s.speed;
    return B115200;
}

// The time until `wake`, to the nanosecond: paced bytes leave at their own times, not at the
// next whole millisecond.
timespec pollTimeout(LinkSession::Clock::time_point wake, LinkSession::Clock::time_point now) {
    auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wake - now).count();
    if (ns < 0) ns = 0;
    return timespec{time_t(ns / 1'000'000'000), long(ns % 1'000'000'000)};
}

} // namespace

PtyLine::PtyLine(SensorCore &core, bool pace) : core_(core), pace_(pace) {}

PtyLine::~PtyLine() {
    if (slaveKeep_ >= 0) ::close(slaveKeep_);
    if (master_ >= 0) ::close(master_);
}

int PtyLine::lineRate(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return 0;
    speed_t speed = cfgetospeed(&t);
    for (const SpeedName &s : Speeds)
        if (s.speed == speed) return s.rate;
    return 0;
}

bool PtyLine::open(std::string *error) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128];
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0 ||
        ptsname_r(master_, name, sizeof name) != 0) {
        *error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    slavePath_ = name;
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    slaveKeep_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    termios t{};
    if (slaveKeep_ < 0 || tcgetattr(slaveKeep_, &t) != 0) {
        *error = "cannot open " + slavePath_ + ": " + std::strerror(errno);
        return false;
    }
    cfmakeraw(&t);
    int rate;
    {
        std::lock_guard<std::mutex> lock(core_.mutex);
        rate = baudRateOf(core_.baudIndex());
    }
    cfsetispeed(&t, speedOf(rate));
    cfsetospeed(&t, speedOf(rate));
    tcsetattr(slaveKeep_, TCSANOW, &t);
    return true;
}

void PtyLine::run(int stopFd) {
    LinkSession session(core_, LinkKind::Serial, pace_);
    for (;;) {
        auto now = LinkSession::Clock::now();
        pollfd fds[2] = {{stopFd, POLLIN, 0}, {master_, POLLIN, 0}};
        const timespec timeout = pollTimeout(session.nextWake(now), now);
        if (::ppoll(fds, 2, &timeout, nullptr) < 0 && errno != EINTR) break;
        if (fds[0].revents) break;
        now = LinkSession::Clock::now();
        if (fds[1].revents & POLLIN) {
            uint8_t buf[4096];
            ssize_t n = ::read(master_, buf, sizeof buf);
            if (n > 0) session.receive(buf, size_t(n), lineRate(master_), now);
        }
        session.service(now);
        bool close = false;
        std::vector<uint8_t> due = session.takeDue(now, lineRate(master_), &close);
        if (!due.empty()) {
            ssize_t n = ::write(master_, due.data(), due.size());
            if (n < ssize_t(due.size())) // nobody reads the line: the bytes are lost
                core_.log().add(LogKind::Note, "serial", nullptr, 0,
                                std::to_string(due.size() - size_t(n < 0 ? 0 : n)) +
                                    " bytes lost, nobody reads the line");
        }
    }
}

} // namespace tavsim
