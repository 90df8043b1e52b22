// A byte line without any device, socket or event loop, for tests of the link and for its fuzz
// target. The sensor's bytes arrive at set times of a clock of the fake's own, which becomes
// the link's clock while the fake is installed; a wait moves that clock on to the moment its
// bytes are there, or to just past its deadline when they do not come. So every wait ends at
// once and always the same way, however loaded the machine is.
#pragma once

#include "link/byte_line.h"

#include <deque>
#include <functional>
#include <map>
#include <vector>

class FakeLine final : public ByteLine {
  public:
    using Bytes = std::vector<u8>;

    FakeLine();
    ~FakeLine() override;
    FakeLine(const FakeLine &) = delete;
    FakeLine &operator=(const FakeLine &) = delete;

    // Makes this the link's line and its clock the link's clock (the destructor undoes both).
    void Install();
    // The fake's clock, in seconds; it starts at 100.
    static double Now();

    // The other side. The reply to the next request written (one queued reply a request):
    // its bytes arrive from `after` seconds after the request on, `gap` seconds apart.
    void Reply(Bytes bytes, double after = 0.001, double gap = 0);
    // Bytes that arrive from the time `at` on, `gap` apart, whatever the program writes.
    void Arrive(double at, const Bytes &bytes, double gap = 0);
    // Runs `action` inside the wait in which the clock reaches `at`, as a callback runs inside
    // a wait that processes events (it may talk to the line itself).
    void At(double at, std::function<void()> action);
    // The other side closes the line at `at` (DeviceGone or ServerClosed).
    void CloseAt(double at, LinkError why);
    // The line reports an error at `at`.
    void LineErrorAt(double at);

    // Waits as the serial and TCP lines wait (link/event_wait.h: events processed, the line
    // looked at between them), with the clock moving on by `step` seconds at every reading, in
    // place of the fake's own jump to the next arrival.
    void WaitAsTheRealLinesDo(double step);

    // What the program wrote, one entry a Write.
    std::vector<Bytes> written;
    // How often the program waited on the line.
    int waits = 0;

    // The byte line.
    int Write(const u8 *bytes, int count) override;
    int Available() override;
    int Read(u8 *buffer, int count) override;
    LineWait WaitFor(int count, double deadline, int expected, const i16 *keepWaiting) override;
    void Flush() override;
    int LineErrors() override;
    LinkError WhyClosed() override { return why_; }
    std::string Where() override { return "fake line"; }
    void Close() override;

  private:
    struct Scripted {
        Bytes bytes;
        double after, gap;
    };
    // Brings everything due by the clock's time about: arrivals, actions, the close, errors.
    void Happen();
    // The time of the next thing that will happen; a huge value when nothing will.
    double Next() const;

    std::multimap<double, u8> coming_;
    std::deque<u8> received_;
    std::deque<Scripted> replies_;
    std::multimap<double, std::function<void()>> actions_;
    std::multimap<double, LinkError> closes_;
    std::multimap<double, int> errorsDue_;
    bool open_ = true;
    LinkError why_ = LinkError::None;
    int errors_ = 0;
};
