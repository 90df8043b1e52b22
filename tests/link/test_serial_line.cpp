// The serial line as an operator meets it: open failures that name the port, the device and
// what to do (both languages), a sensor whose device goes away while the program is idle and
// while the live cycle runs (reported once, with the connection page in front; TRY TO CONNECT
// works again once the device is back), and the busy cursor with a status line that says what
// a connection attempt waits for.
#include "link_fixture.h"

#include "link/link_codes.h"
#include "link/serial_line.h"
#include "linktext/linktext.h"
#include "platform/core/rs232.h"
#include "platform/core/tcp.h"
#include "protocol/frame.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {

namespace fs = std::filesystem;

// COM1 reaches the sensor through a link in the private folder, the way an adapter's stable
// by-id name reaches whatever device node the system gave it; a sensor that comes back on a
// new pseudo-terminal is reached through the same name.
class SerialLineTest : public LinkTest {
  protected:
    fs::path byId;

    void SetUp() override {
        LinkTest::SetUp();
        byId = programDir / "usb-Sensor_Adapter-if00-port0";
        PointAdapterAt(sim->serialPath());
        TestMapComPort(1, byId.c_str());
        UseSerial(1);
        popups.clear();
    }
    void PointAdapterAt(const std::string &device) {
        fs::remove(byId);
        fs::create_symlink(device, byId);
    }
    // The device comes back: a new sensor on a new pseudo-terminal behind the same name.
    void PlugBackIn() {
        sim->stop();
        tavsim::SimConfig config;
        config.tcpPort = 0;
        config.serial = true;
        config.sensor.steppedClock = true;
        sim = std::make_unique<tavsim::SimSensor>(config);
        ASSERT_TRUE(sim->start());
        PointAdapterAt(sim->serialPath());
    }
    static int Count(const std::string &text, const std::string &part) {
        int n = 0;
        for (std::size_t at = text.find(part); at != std::string::npos;
             at = text.find(part, at + 1))
            ++n;
        return n;
    }
    std::string LostText() const {
        std::string device = sim->serialPath(); // what the adapter's name resolves to
        return App.LanguageIndex == 0
                   ? "Serielle Verbindung unterbrochen!\nCOM1 " + device +
                         ": Geraet entfernt - Adapter wieder einstecken, dann VERBINDEN"
                   : "Serial connection lost!\nCOM1 " + device +
                         ": the device went away - plug the adapter back in, then TRY TO CONNECT";
    }
    // Reported once, with the connection page in front, the port let go; then TRY TO CONNECT
    // reaches the sensor again once it is back.
    void ExpectReportedOnceAndRecoverable(const std::string &lost) {
        TestProcessEvents(300); // a hung-up line would be reported again and again
        EXPECT_EQ(Count(Status(), lost), 1) << Status();
        EXPECT_EQ(Count(Status(), "TIMEOUT!"), 0) << "no second report" << Status();
        EXPECT_EQ(ActivePage(), 0);
        EXPECT_EQ(DataStatus(), "TIMEOUT!");
        EXPECT_EQ(App.LinkOk, 0);
        EXPECT_EQ(GetInQLen(1), kRsErrPortNotOpen) << "the dead line is not watched";
        EXPECT_TRUE(popups.empty());

        PlugBackIn();
        Connect();
    }
};

} // namespace

TEST_F(SerialLineTest, DeviceGoneWhileIdleIsReportedOnce) {
    Connect();
    App.LanguageIndex = 0;
    SetActiveTabPage(App.MainPanel, MAINP_TAB, 1); // the operator works on the parameter page
    const std::string device = sim->serialPath();
    sim->stop();
    std::string lost = "Serielle Verbindung unterbrochen!\nCOM1 " + device +
                       ": Geraet entfernt - Adapter wieder einstecken, dann VERBINDEN";
    ExpectReportedOnceAndRecoverable(lost);
}

TEST_F(SerialLineTest, DeviceGoneDuringTheLiveCycleIsReportedOnce) {
    Connect();
    App.LanguageIndex = 1;
    SetActiveTabPage(App.MainPanel, MAINP_TAB, 1);
    const std::string device = sim->serialPath();
    std::atomic<bool> polled{false};
    sim->setLogSink([&](const tavsim::LogEntry &e) {
        if (e.kind == tavsim::LogKind::Received && e.hex.compare(0, 5, "55 08") == 0) polled = true;
    });
    tavsim::SimSensor *sensor = sim.get();
    std::thread unplug([&] {
        for (int i = 0; i < 500 && !polled; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        sensor->stop(); // mid-cycle: the line goes while requests and replies pass
    });
    Click(App.MainPanel, MAINP_GO); // returns when the cycle has ended
    unplug.join();
    EXPECT_TRUE(polled);
    EXPECT_EQ(App.Running, 0);
    ExpectReportedOnceAndRecoverable("Serial connection lost!\nCOM1 " + device +
                                     ": the device went away - plug the adapter back in, then "
                                     "TRY TO CONNECT");
}

TEST_F(SerialLineTest, OpenFailuresNameThePortTheDeviceAndWhatToDo) {
    struct Case {
        int language;
        const char *expected;
    } cases[] = {
        {0, "Kein serieller Port gefunden\nCOM1 %s: Geraet nicht vorhanden - ist der Adapter "
            "eingesteckt?"},
        {1, "No serial port found\nCOM1 %s: no such device - is the adapter plugged in?"},
    };
    const std::string device = sim->serialPath();
    fs::remove(byId); // the adapter is unplugged
    for (const Case &c : cases) {
        App.LanguageIndex = c.language;
        ClearStatus();
        popups.clear();
        Click(App.ConnectTab, CONNECT_TRY_TO_CONNECT);
        char expected[512];
        std::snprintf(expected, sizeof expected, c.expected, byId.c_str());
        EXPECT_EQ(Count(Status(), expected), 1) << Status();
        EXPECT_EQ(popups.size(), 1u);
    }
    // Another program holds the device.
    PointAdapterAt(device);
    TestMapComPort(2, byId.c_str());
    ASSERT_EQ(OpenComConfig(2, "", 115200, 0, 8, 1, 1024, 1024), 0);
    App.LanguageIndex = 1;
    ClearStatus();
    Click(App.ConnectTab, CONNECT_TRY_TO_CONNECT);
    EXPECT_EQ(Count(Status(), "Cannot open port\nCOM1 " + device + ": in use by another program"),
              1)
        << Status();
    CloseCom(2);
    TestMapComPort(2, nullptr);
}

// A line opened by its device path (as a program without the COM mapping opens one) is named
// by that path, in an open failure as in the report of a device that goes away.
TEST_F(SerialLineTest, ALineOpenedByItsDeviceIsNamedByIt) {
    const std::string missing = (programDir / "no-such-tty").string();
    EXPECT_EQ(OpenSerialLine(9, missing.c_str(), 115200), kRsErrNoPortFound);
    EXPECT_EQ(LastLinkFault().code, LinkError::SerialOpen);
    EXPECT_EQ(LastLinkFault().where, missing);

    const std::string device = sim->serialPath();
    CloseCom(1); // the start-up attempt's port holds the device
    ASSERT_EQ(OpenSerialLine(9, device.c_str(), 115200), 0);
    App.ComProtocol = 0;
    EXPECT_EQ(SerialLine().Where(), device);
    App.LanguageIndex = 1;
    ClearStatus();
    sim->stop();
    TestProcessEvents(300);
    EXPECT_NE(Status().find("Serial connection lost!\n" + device + ": the device went away"),
              std::string::npos)
        << Status();
    CloseCom(9);
}

// What an operator reads for each reason the system gives, in both languages.
TEST(ExplainedFailureTexts, ReasonsInOperatorWords) {
    struct Case {
        bool tcp;
        int reason;
        const char *ger, *eng;
    } cases[] = {
        {false, kComReasonPermission,
         "Zugriff verweigert - Benutzer zur Gruppe dialout hinzufuegen, dann neu anmelden",
         "permission denied - add the user to group dialout, then log in again"},
        {false, kComReasonBusy, "von einem anderen Programm belegt", "in use by another program"},
        {false, kComReasonNoDevice, "Geraet nicht vorhanden - ist der Adapter eingesteckt?",
         "no such device - is the adapter plugged in?"},
        {true, kTcpReasonRefused,
         "Verbindung abgelehnt - Sensor eingeschaltet, Port-Nummer richtig?",
         "connection refused - is the sensor switched on, is the port number right?"},
        {true, kTcpReasonUnreachable,
         "Rechner nicht erreichbar - Netzwerkkabel und Adresse pruefen",
         "host unreachable - check the network cable and the address"},
        {true, kTcpReasonNameNotResolved, "Name nicht aufloesbar - Servernamen pruefen",
         "name not resolved - check the server name"},
        {true, kTcpReasonTimedOut,
         "keine Antwort (Zeitueberschreitung) - Sensor eingeschaltet und im Netz?",
         "timed out without an answer - is the sensor switched on and on this network?"},
    };
    for (const Case &c : cases) {
        const TextPair &t = c.tcp ? TcpReasonText(c.reason) : ComReasonText(c.reason);
        EXPECT_STREQ(t.ger, c.ger);
        EXPECT_STREQ(t.eng, c.eng);
    }
    // The specified text first; the system's own words when there is no advice; nothing added
    // when nothing is known.
    EXPECT_EQ(ExplainedFailureText("Cannot open port", "COM1 /dev/ttyS0", "permission denied", "x"),
              "Cannot open port\nCOM1 /dev/ttyS0: permission denied");
    EXPECT_EQ(ExplainedFailureText("RS-232 error!", "COM1 /dev/ttyS0", "", "Input/output error"),
              "RS-232 error!\nCOM1 /dev/ttyS0: Input/output error");
    EXPECT_EQ(ExplainedFailureText("Invalid port number", "COM0", "", ""),
              "Invalid port number\nCOM0");
    EXPECT_EQ(ExplainedFailureText("Timeout", "", "", ""), "Timeout");
    EXPECT_STREQ(ComReasonText(kComReasonNone).eng, "");
    EXPECT_STREQ(ComReasonText(99).eng, "") << "an unknown reason has no advice";
}

// A connection attempt shows the busy cursor while it waits for the sensor and says on the
// status line what it waits for; the cursor is back to normal afterwards.
TEST_F(SerialLineTest, AnAttemptShowsWhatItWaitsFor) {
    struct Seen {
        std::string statusLine;
        bool taken = false;
    };
    static Seen seen;
    seen = Seen{};
    tavsim::FaultSetting silent;
    silent.kind = tavsim::FaultKind::NoReply;
    silent.order = 7; // the identity request stays unanswered: the attempt waits, then fails
    sim->setFault(silent);
    auto identityRequests = [this] {
        int n = 0;
        for (const tavsim::LogEntry &e : sim->requests())
            if (e.hex.compare(0, 5, "55 07") == 0) ++n;
        return n;
    };
    // Looked at inside the attempt's wait: once the sensor has the request, the time-out below
    // lets a second pass per turn of the event loop; the busy cursor shows after the first of
    // them, and the look comes turns before the attempt gives up.
    const int before = identityRequests();
    RunWhen(
        [identityRequests, before] { return identityRequests() > before && TestBusyCursorShown(); },
        [] {
            seen.taken = true;
            seen.statusLine = Text(App.DataPanel, DATAP_STATUS);
        });
    App.LanguageIndex = 1;
    popups.clear();
    TimeOutAfterRequest(OrderFirmware);
    Click(App.ConnectTab, CONNECT_TRY_TO_CONNECT);
    ASSERT_TRUE(seen.taken) << "the busy cursor showed while the attempt waited";
    EXPECT_EQ(seen.statusLine, "Waiting for the sensor: COM1 " + sim->serialPath() + ", 115200 Bd");
    EXPECT_FALSE(TestBusyCursorShown()) << "the cursor is normal again";
    EXPECT_EQ(popups.size(), 1u) << "the attempt failed as it should";
}
