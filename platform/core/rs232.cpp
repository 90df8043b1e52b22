// Serial ports on the system's terminal devices (termios), in non-blocking mode, with a socket
// notifier that lets the event loop see the device while nobody reads it.
//
// The notifier wakes the event loop when the line hangs up or the first byte comes. While a
// wait loop waits for a reply of known length, the event loop is woken once when its last byte
// is there: a timer wakes it when all but the last bytes can have come at the line's speed
// (counted from the end of the request, or from the bytes already there), and then the line
// discipline's minimum count (VMIN) makes the device readable only once the whole reply is in,
// so the system returns from the event loop's poll with the last byte, not a timer's margin
// later. (A thread that polls a terminal is woken by the system for every byte it receives,
// whatever the minimum count, and goes back to sleep inside the poll: so the minimum count
// watches the last bytes only, and the timer the rest.) Bytes that nobody reads keep the
// notifier off (it would fire again and again); a slow check looks at the line meanwhile so
// that a hang-up is still seen.
#include "platform/core/rs232.h"
#include "platform/core/ports.h"
#include "platform/core/runtime.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/timerfd.h>
#include <termios.h>
#include <unistd.h>

namespace {

// How often a port whose unread bytes keep the notifier off is looked at for a hang-up.
constexpr int kIdleCheckMs = 200;
// A reply longer than the line discipline's minimum count can be (cc_t) is timed as a whole,
// and looked at half a character late: a sensor's bytes do not come exactly at the line's
// speed, and a look one byte early costs a further wake-up.
constexpr double kRestMarginChars = 0.5;
constexpr int kMaxMinCount = 255;
// The timer of a reply of known length wakes the loop this many characters before its last
// byte can be there; the minimum count takes over from then on. At most this many bytes are
// left to the minimum count (each one a wake-up inside the system's poll).
constexpr double kLastBytesLeadChars = 1.5;
constexpr int kLastBytesByCount = 2;
// The minimum count's own timer: a reply that has not become whole this many characters after
// it could have is waited for as a reply of unknown length.
constexpr double kCountOverrunChars = 2;

struct Port {
    int number = 0;
    int fd = -1;             // -1 once the device has gone
    unsigned generation = 0; // tells a reopened port from the one a queued report was for
    int timeoutMs = 5000;
    int status = 0; // GetComStat bits gathered since the last call
    bool lost = false;
    int wakeCount = 1;       // bytes the current wait needs (SetComWakeCount), 1 when none
    int replyLength = 0;     // bytes the whole reply is expected to have (SetComReplyLength)
    int minCount = 1;        // the line discipline's minimum count (VMIN) as set now
    double charSeconds = 0;  // one character on the line: start, data, parity and stop bits
    double writeDoneAt = -1; // Timer() value when the last request written is out on the line
    // Bytes known to be in the system's input queue: the last count the system gave, less what
    // the program read since (nobody else reads the line), 0 after a flush. The queue holds at
    // least this many, so a read or a wait that needs no more does not ask again.
    int known = 0;
    termios settings{}; // the line settings as last set
    ComCallbackPtr callback = nullptr;
    void *callbackData = nullptr;
    std::unique_ptr<QSocketNotifier> watch;
    std::unique_ptr<QTimer> idleCheck;
    int restTimer = -1;   // timer descriptor that wakes the loop when a reply can be complete
    double restDue = -1;  // Timer() value it is set for; -1 while it is not set
    bool overrun = false; // the timer runs out when the reply is overdue (not before its end)
    std::unique_ptr<QSocketNotifier> restWatch;
};

struct OpenFailure {
    int reason = kComReasonNone;
    std::string text;
};

std::map<int, std::unique_ptr<Port>> &Ports() {
    static std::map<int, std::unique_ptr<Port>> ports;
    return ports;
}

std::map<int, OpenFailure> &OpenFailures() {
    static std::map<int, OpenFailure> failures;
    return failures;
}

unsigned g_nextGeneration = 1;

Port *Find(int port) {
    auto it = Ports().find(port);
    return it == Ports().end() ? nullptr : it->second.get();
}

void Watch(Port &p);

// Tells the port's callback, from a later pass of the event loop and so from a clean stack
// (the callback may close the port), that the device went away.
void PostLost(int number, unsigned generation) {
    if (!qApp) return;
    QMetaObject::invokeMethod(
        qApp,
        [number, generation] {
            Port *p = Find(number);
            if (!p || p->generation != generation || !p->callback) return;
            p->callback(number, kComEventDeviceLost, p->callbackData);
        },
        Qt::QueuedConnection);
}

void StopRestTimer(Port &p) {
    if (p.restDue < 0) return;
    p.restDue = -1;
    const itimerspec off{};
    ::timerfd_settime(p.restTimer, 0, &off, nullptr);
}

// The device went away: let it go now (a hung-up descriptor is readable forever, and a loop
// watching it would burn a core), remember it for the line status, and report it once.
void MarkLost(Port &p) {
    if (p.lost) return;
    p.lost = true;
    p.status |= kComStatDeviceLost;
    if (p.watch) p.watch->setEnabled(false);
    if (p.idleCheck) p.idleCheck->stop();
    StopRestTimer(p);
    if (p.fd >= 0) ::close(p.fd);
    p.fd = -1;
    PostLost(p.number, p.generation);
}

// Whether the line has hung up (or the descriptor is no longer usable).
bool HungUp(Port &p) {
    if (p.fd < 0) return true;
    pollfd pf{p.fd, POLLIN, 0};
    if (::poll(&pf, 1, 0) < 0) return false;
    return (pf.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

// Bytes in the system's input queue, or -1 when the device cannot be asked any more.
int Queued(Port &p) {
    int n = 0;
    if (p.fd < 0 || ::ioctl(p.fd, FIONREAD, &n) != 0) return -1;
    p.known = n;
    return n;
}

// The bytes the wait expects in all: the whole reply when its length is known.
int Aim(const Port &p) {
    return std::max(p.wakeCount, p.replyLength);
}

// The line discipline's minimum count: the device is readable once `count` bytes are in.
void SetMinCount(Port &p, int count) {
    if (count == p.minCount || p.fd < 0) return;
    termios tio = p.settings;
    tio.c_cc[VMIN] = cc_t(count);
    if (::tcsetattr(p.fd, TCSANOW, &tio) == 0) p.minCount = count;
}

// Wakes the event loop after `seconds` (at most the idle check's time, so that a hang-up is
// still seen). `overrun`: the timer comes when the reply is overdue rather than before its end.
void ArmRestTimer(Port &p, double seconds, bool overrun) {
    const double rest = std::clamp(seconds, 0.0, kIdleCheckMs / 1000.0);
    itimerspec due{};
    due.it_value.tv_sec = time_t(rest);
    due.it_value.tv_nsec = std::max(1L, long((rest - double(due.it_value.tv_sec)) * 1e9));
    if (::timerfd_settime(p.restTimer, 0, &due, nullptr) != 0) {
        p.restDue = -1;
        p.idleCheck->start(1); // no timer: look again soon instead
        return;
    }
    p.restDue = Timer() + rest;
    p.overrun = overrun;
}

// The reply is expected to be whole once `aim` bytes are in: the device is watched with that
// minimum count, so the notifier fires with the last byte; the timer catches a reply that stays
// short (or a line that goes quiet).
void WatchForWhole(Port &p, int queued, int aim) {
    p.idleCheck->stop();
    SetMinCount(p, aim);
    p.watch->setEnabled(true);
    ArmRestTimer(p, (aim - queued + kCountOverrunChars) * p.charSeconds, true);
}

// Part of the reply the wait loop waits for is there: the device stays out of the event loop's
// poll while the rest comes (the system wakes a thread polling a terminal for every byte), and
// a timer wakes the loop when all but the last bytes can be there; the minimum count takes the
// last ones. When the length of the whole reply is known, that is what is aimed at: the wait
// for the header then ends with the data there as well, and the wait for the data finds them at
// once. A reply longer than a minimum count can be is timed whole.
void TimeTheRest(Port &p, int queued) {
    const int aim = Aim(p);
    p.watch->setEnabled(false);
    p.idleCheck->stop();
    if (aim > kMaxMinCount) {
        ArmRestTimer(p, (aim - queued + kRestMarginChars) * p.charSeconds, true);
        return;
    }
    if (aim - queued <= kLastBytesByCount) {
        WatchForWhole(p, queued, aim);
        return;
    }
    ArmRestTimer(p, (aim - queued - kLastBytesLeadChars) * p.charSeconds, false);
}

// Nothing has come yet, and the request has just been written: the reply cannot begin before
// the request is out on the line, so the first look is when all but its last bytes can be there
// (no wake-up for its first byte). A sensor that answers later is watched for its first byte.
bool TimeFromTheRequest(Port &p) {
    const double now = Timer();
    if (p.writeDoneAt <= now) return false;
    const int aim = Aim(p);
    if (aim > kMaxMinCount) return false;
    p.watch->setEnabled(false);
    p.idleCheck->stop();
    ArmRestTimer(p, p.writeDoneAt - now + (aim - kLastBytesLeadChars) * p.charSeconds, false);
    return true;
}

// Bytes wait for the program: the notifier would fire for them again and again, so the slow
// check looks at the line meanwhile.
void Hold(Port &p) {
    p.watch->setEnabled(false);
    p.idleCheck->start(kIdleCheckMs);
}

enum class Why { Notified, IdleCheck, RestDue, WaitBegins };

// Looks at the line when the notifier fired, the idle check or the rest of a reply came due,
// and when a wait begins. The line is polled for a hang-up only when nothing is queued, at
// the idle check, and when a reply's rest has not come in its time: polling a terminal while
// bytes come makes the caller wait for the system to pass them on, and bytes that are there
// are read next, which sees a line that broke meanwhile.
void Look(int number, Why why) {
    Port *p = Find(number);
    if (!p || p->lost || !p->watch) return;
    const bool overdue = why == Why::RestDue && p->overrun;
    StopRestTimer(*p);
    // A wait that begins with what it needs already known to be there (the data of a reply
    // whose header was just read) holds them without asking the system again.
    int queued = why == Why::WaitBegins && p->known >= p->wakeCount ? p->known : Queued(*p);
    // A reply that has not come in the time of its expected length is waited for as before,
    // for what the wait needs only.
    if (overdue) p->replyLength = 0;
    const bool waiting = p->wakeCount > 1;
    if (queued >= 0 && waiting && queued >= p->wakeCount) {
        Hold(*p);
        return;
    }
    if (queued == 0 && waiting && why == Why::WaitBegins && TimeFromTheRequest(*p)) return;
    // The timer before the last bytes: the rest is counted from what is there.
    if (queued > 0 && waiting && why == Why::RestDue && !overdue) {
        TimeTheRest(*p, queued);
        return;
    }
    // With a minimum count above what is there the notifier fires only for a hang-up or an
    // error: the line is polled below.
    const bool counting = why == Why::Notified && p->minCount > queued;
    if (queued > 0 && !counting && (why == Why::Notified || why == Why::WaitBegins)) {
        if (waiting)
            TimeTheRest(*p, queued);
        else
            Hold(*p);
        return;
    }
    pollfd pf{p->fd, POLLIN, 0};
    const int polled = queued < 0 ? 0 : ::poll(&pf, 1, 0);
    if (queued < 0 || (polled > 0 && (pf.revents & (POLLHUP | POLLERR | POLLNVAL)))) {
        MarkLost(*p);
        return;
    }
    // Counted again after the poll: no one else reads the line, so readable with nothing
    // queued means end of file, the other end gone.
    if (queued == 0 && polled > 0 && (pf.revents & POLLIN)) queued = Queued(*p);
    if (queued == 0 && polled > 0 && (pf.revents & POLLIN)) {
        char c;
        ssize_t n = ::read(p->fd, &c, 1);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
            MarkLost(*p);
            return;
        }
    }
    if (queued > 0 && queued < p->wakeCount) {
        TimeTheRest(*p, queued);
        return;
    }
    if (queued == 0) {
        Watch(*p); // the first byte wakes the loop
        return;
    }
    Hold(*p);
}

// The wait is over once the program reads or discards the input.
void EndWait(Port &p) {
    p.wakeCount = 1;
    p.replyLength = 0;
    p.writeDoneAt = -1;
    StopRestTimer(p);
    SetMinCount(p, 1);
}

// Notifier on while nothing is waiting to be read (the first byte wakes the loop); otherwise
// the slow check.
void Watch(Port &p) {
    if (p.lost || !p.watch) return;
    p.idleCheck->stop();
    SetMinCount(p, 1);
    p.watch->setEnabled(true);
}

// After the program took bytes: watch the line again once nothing is known to be left. Bytes
// that came meanwhile make the notifier fire at once, and the look it brings holds them.
void Rewatch(Port &p) {
    if (!p.lost && p.watch && !p.watch->isEnabled() && p.known == 0) Watch(p);
}

// Marks the port lost when an operation's system call says the device is gone.
bool GoneAfter(Port &p, int error) {
    if (error == EIO || error == ENXIO || error == ENODEV || error == EBADF) {
        MarkLost(p);
        return true;
    }
    return false;
}

speed_t SpeedOf(long baud) {
    static const struct {
        long baud;
        speed_t speed;
    } kSpeeds[] = {
        {50, B50},           {75, B75},           {110, B110},         {134, B134},
        {150, B150},         {200, B200},         {300, B300},         {600, B600},
        {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
        {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
        {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
        {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
        {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
        {3500000, B3500000}, {4000000, B4000000}};
    for (const auto &s : kSpeeds)
        if (s.baud == baud) return s.speed;
    return B0;
}

int ReasonOf(int error) {
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return kComReasonNoDevice;
    case EACCES:
    case EPERM:
    case EROFS:
        return kComReasonPermission;
    case EBUSY:
    case EWOULDBLOCK:
        return kComReasonBusy;
    case ENOTTY:
        return kComReasonNotSerial;
    default:
        return kComReasonOther;
    }
}

int FailOpen(int port, int code, int error) {
    OpenFailure &f = OpenFailures()[port];
    f.reason = ReasonOf(error);
    f.text = std::strerror(error);
    return code;
}

} // namespace

int OpenComConfig(int port, const char *deviceName, long baudRate, int parity, int dataBits,
                  int stopBits, int inputQueueSize, int /*outputQueueSize*/) {
    if (port < 1 || port > kMaxComPort) return kRsErrInvalidPort;
    CloseCom(port);
    OpenFailures().erase(port);
    speed_t speed = SpeedOf(baudRate);
    if (speed == B0) return kRsErrInvalidBaudrate;
    if (parity < 0 || parity > 2) return kRsErrInvalidParity;
    if (dataBits < 5 || dataBits > 8) return kRsErrInvalidDataBits;
    if (stopBits != 1 && stopBits != 2) return kRsErrInvalidStopBits;
    (void)inputQueueSize; // the system's own queue holds what comes; the program reads it all

    char device[MAX_PATHNAME_LEN];
    if (deviceName && *deviceName)
        std::snprintf(device, sizeof device, "%s", deviceName);
    else
        ComDeviceName(port, device, sizeof device);
    if (!device[0]) return FailOpen(port, kRsErrNoPortFound, ENOENT);

    int fd = ::open(device, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        int error = errno;
        return FailOpen(
            port, ReasonOf(error) == kComReasonNoDevice ? kRsErrNoPortFound : kRsErrCannotOpen,
            error);
    }
    // One program at a time: a lock every cooperating program honours (root included), and
    // the terminal's exclusive mode for the others.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int error = errno;
        ::close(fd);
        return FailOpen(port, kRsErrCannotOpen, error == EWOULDBLOCK ? EBUSY : error);
    }
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        int error = errno;
        ::close(fd);
        return FailOpen(port, kRsErrCannotOpen, error);
    }
    ::ioctl(fd, TIOCEXCL);
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    static const tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    tio.c_cflag |= kSizes[dataBits - 5];
    if (parity == 1) tio.c_cflag |= PARENB | PARODD;
    if (parity == 2) tio.c_cflag |= PARENB;
    if (stopBits == 2) tio.c_cflag |= CSTOPB;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
        int error = errno;
        ::close(fd);
        if (error == EINVAL) return kRsErrInvalidBaudrate;
        return FailOpen(port, kRsErrCannotOpen, error);
    }

    auto p = std::make_unique<Port>();
    p->number = port;
    p->fd = fd;
    p->generation = g_nextGeneration++;
    p->settings = tio;
    p->charSeconds = (1.0 + dataBits + (parity ? 1 : 0) + stopBits) / double(baudRate);
    if (qApp) {
        p->restTimer = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
        if (p->restTimer < 0) {
            int error = errno;
            ::close(fd);
            return FailOpen(port, kRsErrCannotOpen, error);
        }
        p->watch = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        QObject::connect(p->watch.get(), &QSocketNotifier::activated,
                         [port] { Look(port, Why::Notified); });
        p->idleCheck = std::make_unique<QTimer>();
        p->idleCheck->setSingleShot(true);
        QObject::connect(p->idleCheck.get(), &QTimer::timeout,
                         [port] { Look(port, Why::IdleCheck); });
        p->restWatch = std::make_unique<QSocketNotifier>(p->restTimer, QSocketNotifier::Read);
        QObject::connect(p->restWatch.get(), &QSocketNotifier::activated, [port] {
            Port *q = Find(port);
            if (!q) return;
            std::uint64_t expirations;
            if (::read(q->restTimer, &expirations, sizeof expirations) < 0) return;
            q->restDue = -1; // it has run out: nothing to stop
            Look(port, Why::RestDue);
        });
    }
    Ports()[port] = std::move(p);
    return 0;
}

int CloseCom(int port) {
    auto it = Ports().find(port);
    if (it == Ports().end()) return 0; // harmless for a port that is not open
    std::unique_ptr<Port> p = std::move(it->second);
    Ports().erase(it);
    p->watch.reset(); // before its descriptor goes
    p->idleCheck.reset();
    p->restWatch.reset();
    if (p->restTimer >= 0) ::close(p->restTimer);
    if (p->fd >= 0) {
        // Exclusive mode outlives this descriptor while another one (a modem getty, a
        // simulated sensor) keeps the terminal open; the next program must get in.
        ::ioctl(p->fd, TIOCNXCL);
        ::close(p->fd);
    }
    return 0;
}

void CloseAllComPorts() {
    while (!Ports().empty())
        CloseCom(Ports().begin()->first);
}

int SetComTime(int port, double seconds) {
    Port *p = Find(port);
    if (!p) return kRsErrPortNotOpen;
    p->timeoutMs = seconds <= 0 ? 0 : int(seconds * 1000 + 0.5);
    return 0;
}

int SetCTSMode(int port, int mode) {
    Port *p = Find(port);
    if (!p) return kRsErrPortNotOpen;
    if (p->fd < 0) return kRsErrIo;
    if (mode)
        p->settings.c_cflag |= CRTSCTS;
    else
        p->settings.c_cflag &= ~CRTSCTS;
    return ::tcsetattr(p->fd, TCSANOW, &p->settings) == 0 ? 0 : kRsErrIo;
}

int SetComWakeCount(int port, int count) {
    Port *p = Find(port);
    if (!p) return kRsErrPortNotOpen;
    p->wakeCount = count < 1 ? 1 : count;
    if (p->lost || !p->watch) return 0;
    // Nothing there yet and the notifier on: it wakes the loop at the first byte (or a
    // hang-up) as it is, unless a request has just gone out (the reply is then timed from it).
    // Otherwise the line is looked at: part of the reply may be there.
    if (!p->watch->isEnabled() || p->restDue >= 0 || p->writeDoneAt > Timer())
        Look(port, Why::WaitBegins);
    return 0;
}

int SetComReplyLength(int port, int count) {
    Port *p = Find(port);
    if (!p) return kRsErrPortNotOpen;
    p->replyLength = count < 0 ? 0 : count;
    return 0;
}

double ComWakeDueIn() {
    double due = -1;
    const double now = Timer();
    for (const auto &[number, p] : Ports())
        if (p->restDue >= 0 && (due < 0 || p->restDue - now < due))
            due = std::max(0.0, p->restDue - now);
    return due;
}

namespace {

// Discards what the queues named by `which` (TCIFLUSH, TCOFLUSH, TCIOFLUSH) hold.
int Discard(int port, int which) {
    Port *p = Find(port);
    if (!p) return kRsErrPortNotOpen;
    if (p->fd >= 0) ::tcflush(p->fd, which);
    if (which != TCOFLUSH) {
        p->known = 0;
        EndWait(*p);
        Rewatch(*p);
    }
    return 0;
}

} // namespace

int FlushInQ(int port) {
    return Discard(port, TCIFLUSH);
}

int FlushOutQ(int port) {
    return Discard(port, TCOFLUSH);
}

int FlushComQueues(int port) {
    return Discard(port, TCIOFLUSH);
}

int ComWrt(int port, const void *buffer, int count) {
    Port *p = Find(port);
    if (!p) return kRsErrPortNotOpen;
    if (!buffer || count <= 0) return 0;
    if (p->lost) {
        p->status |= kComStatWriteError;
        return kRsErrIo;
    }
    const char *in = static_cast<const char *>(buffer);
    int done = 0;
    const double until = Timer() + p->timeoutMs / 1000.0;
    while (done < count) {
        ssize_t n = ::write(p->fd, in + done, size_t(count - done));
        if (n > 0) {
            done += int(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) {
            p->status |= kComStatWriteError;
            GoneAfter(*p, errno);
            return done > 0 ? done : kRsErrIo;
        }
        int left = int((until - Timer()) * 1000);
        if (left <= 0) break;
        pollfd pf{p->fd, POLLOUT, 0};
        if (::poll(&pf, 1, left) > 0 && (pf.revents & (POLLHUP | POLLERR | POLLNVAL))) {
            p->status |= kComStatWriteError;
            MarkLost(*p);
            break;
        }
    }
    // Out on the line once the system has sent it at the line's speed (the output queue is
    // empty before a request: it is flushed first).
    if (done > 0) p->writeDoneAt = Timer() + done * p->charSeconds;
    return done;
}

namespace {

// Reads into `out` what the input queue holds, up to `count` bytes: the terminal may hand a
// long reply over in pieces, so the reads go on until the count is met or nothing more is
// there. A line found gone is marked lost. Returns the bytes read.
int ReadQueued(Port &p, char *out, int count) {
    int got = 0;
    while (got < count) {
        const ssize_t n = ::read(p.fd, out + got, size_t(count - got));
        if (n > 0) {
            got += int(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) break;
        p.status |= kComStatReadError; // end of file or a broken line: the device is gone
        MarkLost(p);
        break;
    }
    return got;
}

// The program took `got` bytes from the input queue: the wait for them is over.
int Taken(Port &p, int got) {
    p.known = std::max(0, p.known - got);
    EndWait(p);
    Rewatch(p);
    return got;
}

} // namespace

int ComRd(int port, void *buffer, int count) {
    Port *p = Find(port);
    if (!p) return kRsErrPortNotOpen;
    if (!buffer || count <= 0 || p->lost) return 0;
    char *out = static_cast<char *>(buffer);
    int got = 0;
    const double until = Timer() + p->timeoutMs / 1000.0;
    bool slept = false; // the last wait was for the rest of the bytes, not for the next one
    for (;;) {
        got += ReadQueued(*p, out + got, count - got);
        if (got >= count || p->lost) break;
        const double left = until - Timer();
        if (left <= 0) break;
        if (got > 0 && !slept) {
            // The bytes are coming: sleep for the time the rest needs on the line rather than
            // waking for each byte, then wait for the next byte if some are still missing.
            const double rest = std::min(left, (count - got) * p->charSeconds);
            timespec t{time_t(rest), long((rest - double(time_t(rest))) * 1e9)};
            ::ppoll(nullptr, 0, &t, nullptr);
            slept = true;
            continue;
        }
        slept = false;
        pollfd pf{p->fd, POLLIN, 0};
        int r = ::poll(&pf, 1, int(left * 1000 + 0.999));
        if (r > 0 && (pf.revents & (POLLHUP | POLLERR | POLLNVAL)) && Queued(*p) <= 0) {
            p->status |= kComStatReadError;
            MarkLost(*p);
            break;
        }
    }
    return Taken(*p, got);
}

int ComRdQueued(int port, void *buffer, int count) {
    Port *p = Find(port);
    if (!p) return kRsErrPortNotOpen;
    if (!buffer || count <= 0 || p->lost) return 0;
    return Taken(*p, ReadQueued(*p, static_cast<char *>(buffer), count));
}

int GetInQLen(int port) {
    Port *p = Find(port);
    if (!p) return kRsErrPortNotOpen;
    if (p->lost) return kRsErrDeviceGone;
    int queued = Queued(*p);
    if (queued < 0 || (queued == 0 && HungUp(*p))) {
        MarkLost(*p);
        return kRsErrDeviceGone;
    }
    return queued;
}

int GetComStat(int port) {
    Port *p = Find(port);
    if (!p) return kRsErrPortNotOpen;
    int s = p->status;
    p->status = p->lost ? kComStatDeviceLost : 0;
    return s;
}

int InstallComCallback(int port, ComCallbackPtr callback, void *callbackData) {
    Port *p = Find(port);
    if (!p) return kRsErrPortNotOpen;
    p->callback = callback;
    p->callbackData = callbackData;
    if (p->lost) PostLost(port, p->generation); // it went before anyone listened
    return 0;
}

int GetComOpenReason(int port, char *systemText, int size) {
    auto it = OpenFailures().find(port);
    const OpenFailure none;
    const OpenFailure &f = it == OpenFailures().end() ? none : it->second;
    if (systemText && size > 0) std::snprintf(systemText, size_t(size), "%s", f.text.c_str());
    return f.reason;
}
