// taviron's exit codes as a script sees them, against the simulated sensor: bad input stops
// before the sensor is asked, a sensor out of reach or of another version, a link that fails
// during the command, values the sensor refuses, a sensor that keeps something else, files
// that cannot be written, and a sensor list where one sensor is missing.
#include "taviron_fixture.h"

namespace {

// A TCP port on this machine where nothing listens.
int ClosedPort() {
    return FreePort();
}

bool Has(const std::string &text, const std::string &part) {
    return text.find(part) != std::string::npos;
}

tavsim::ParamSet Set(int tolerance, int badCount, int outmode, int edge) {
    return {uint16_t(tolerance), uint16_t(badCount), uint16_t(outmode), uint16_t(edge)};
}

} // namespace

// Exit 2: whatever is wrong on the command line or in a file named there is said on standard
// error before any sensor is asked; with --json one object says it on standard output.
TEST_F(TavironTest, BadInputIsAUsageErrorAndReachesNoSensor) {
    const fs::path list = WriteFile("line.ini", "[Press 1]\nBAUD = 9600\n");
    const std::string tcp = "127.0.0.1:" + std::to_string(sim->tcpPort());
    struct Case {
        std::vector<std::string> args;
        std::string says;
        bool commandLine; // a mistake on the command line points to --help
    };
    const Case cases[] = {
        {{"--tcp", tcp, "frobnicate"}, "frobnicate", true},
        {{"--tcp", tcp, "get", "--bogus"}, "--bogus", true},
        {{"--tcp", tcp, "set", "stroke-tolerance=70000"}, "70000", true},
        {{"--tcp", "127.0.0.1:99999", "info"}, "99999", true},
        {{"get"}, "", true}, // no connection named
        {{"--tcp", tcp, "set", "--file", "missing.ini"}, "File not found: missing.ini", false},
        {{"--sensors", list.string(), "info"},
         "[Press 1] no connection (PORT, DEVICE or TCP)",
         false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.back());
        ClearOrders();
        TavironRun run = RunAlone(c.args);
        EXPECT_EQ(run.code, 2) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.rfind("taviron: ", 0), 0u) << run.err;
        EXPECT_TRUE(Has(run.err, c.says)) << run.err;
        EXPECT_EQ(Has(run.err, "taviron --help"), c.commandLine) << run.err;
        EXPECT_TRUE(Orders().empty());
    }

    TavironRun run = RunAlone({"--lang", "de", "--json", "--tcp", tcp, "frobnicate"});
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.out.rfind("{\"error\":\"", 0), 0u) << run.out;
    EXPECT_TRUE(Has(run.out, "\"exit\":2}\n")) << run.out;
    EXPECT_TRUE(Has(run.err, "erklärt")) << run.err;
}

// Exit 3: the line does not open, nobody answers, or the sensor runs another firmware version;
// the window program's texts say which.
TEST_F(TavironTest, NoConnectionOrAnotherVersionIsExitThree) {
    struct Case {
        std::vector<std::string> args;
        std::string says;
    };
    const Case cases[] = {
        {{"--tcp", "127.0.0.1:" + std::to_string(ClosedPort())}, "connection refused"},
        {{"--port", "COM9"}, "COM9"},
        {{"--device", (folder.dir() / "no-such-tty").string()}, "no-such-tty"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.back());
        std::vector<std::string> args = c.args;
        args.push_back("info");
        TavironRun run = RunAlone(args);
        EXPECT_EQ(run.code, 3) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(Has(run.err, c.says)) << run.err;
    }

    sim->setFirmware("TAVIRON V2.0.0 2027-01-01");
    ClearOrders();
    TavironRun run = Run(Transport::Tcp, {"get"});
    EXPECT_EQ(run.code, 3);
    EXPECT_TRUE(Has(run.err, "2.0")) << run.err;
    EXPECT_EQ(Orders(), (std::vector<int>{7})) << "nothing asked of another version";

    // Silence: the link's TIMEOUT text, in German when asked.
    sim->setFirmware("TAVIRON V1.0.3 2026-11-28");
    tavsim::FaultSetting silent;
    silent.kind = tavsim::FaultKind::NoReply;
    silent.count = 0;
    sim->setFault(silent);
    run = Run(Transport::Serial, {"--lang", "de", "--json", "info"});
    EXPECT_EQ(run.code, 3);
    EXPECT_TRUE(Has(run.err, "TIMEOUT!\nKeine Daten erhalten!")) << run.err;
    EXPECT_TRUE(Has(run.out, "\"exit\":3}")) << run.out;
}

// Exit 4: a sensor that stops answering in the middle of live leaves every row before it.
TEST_P(TavironOverEach, ASensorFallingSilentDuringLiveKeepsTheRowsSoFar) {
    tavsim::FaultSetting silent;
    silent.kind = tavsim::FaultKind::NoReply;
    silent.count = 0;
    silent.order = 8;
    silent.skip = 3;
    sim->setFault(silent);
    const fs::path csv = folder.dir() / "shift.csv";
    TavironRun run = Run({"live", "--seconds", "30", "--csv", csv.string()});
    EXPECT_EQ(run.code, 4) << run.err;
    EXPECT_EQ(Lines(ReadFile(csv)).size(), 4u) << "the header and three rows";
    EXPECT_TRUE(Has(run.err, "TIMEOUT!")) << run.err;

    // A hardware block that never comes: no file.
    silent.order = 194;
    silent.skip = 0;
    sim->setFault(silent);
    run = Run({"hwinfo", "-o", (folder.dir() / "hw.ini").string()});
    EXPECT_EQ(run.code, 4) << run.err;
    EXPECT_FALSE(fs::exists(folder.dir() / "hw.ini"));
}

// Exit 5: values the sensor's plausibility check refuses, written or found in its EEPROM.
TEST_P(TavironOverEach, ValuesTheSensorRefusesAreExitFive) {
    sim->setRamParams(Set(60, 30, 1, 0));
    TavironRun run = Run({"set", "stroke-tolerance=600"});
    EXPECT_EQ(run.code, 5) << run.err;
    EXPECT_TRUE(Has(run.err, "RAM")) << run.err;
    EXPECT_TRUE(Has(run.out, "STROKE TOLERANCE      600")) << run.out;
    EXPECT_NE(sim->ramParams(), Set(600, 30, 1, 0)) << "the sensor took its defaults";

    // An EEPROM set the sensor finds implausible is not passed off as the stored set.
    sim->setRamParams(Set(60, 30, 1, 0));
    sim->setEepromParams(Set(600, 30, 1, 0));
    run = Run({"get", "--from", "eeprom"});
    EXPECT_EQ(run.code, 5) << run.err;
    EXPECT_TRUE(Has(run.err, "EEPROM")) << run.err;
    sim->setEepromParams(Set(600, 30, 1, 0)); // the sensor replaced it by its defaults
    const fs::path backup = folder.dir() / "backup.ini";
    run = Run({"save", "-o", backup.string(), "--from", "eeprom"});
    EXPECT_EQ(run.code, 5) << run.err;
    EXPECT_FALSE(fs::exists(backup)) << "no backup of the defaults";
    EXPECT_EQ(sim->ramParams(), Set(60, 30, 1, 0)) << "RAM as before";
}

// Exit 6: a sensor that keeps another value than the one written, or an EEPROM that does not
// keep what it was told to store; said in the window program's words. Without the read-back
// nothing can tell.
TEST_P(TavironOverEach, ASensorKeepingSomethingElseIsExitSix) {
    sim->setRamParams(Set(60, 30, 1, 0));
    tavsim::SensorFlaws flaws;
    flaws.strokeToleranceSkew = -1;
    sim->setFlaws(flaws);
    TavironRun run = Run({"set", "stroke-tolerance=75"});
    EXPECT_EQ(run.code, 6) << run.err;
    EXPECT_TRUE(Has(run.out, "STROKE TOLERANCE       75         74  differs\n")) << run.out;
    EXPECT_TRUE(Has(run.err, "Sent to RAM and read back: 1 of 4 differ (")) << run.err;
    EXPECT_TRUE(Has(run.err, "\nSTROKE TOLERANCE: sent 75, read 74")) << run.err;
    run = Run({"set", "--no-verify", "stroke-tolerance=75"});
    EXPECT_EQ(run.code, 0) << run.err;

    flaws = {};
    flaws.eepromStoreLost = true;
    sim->setFlaws(flaws);
    sim->setEepromParams(Set(60, 30, 1, 0));
    run = Run({"--lang", "de", "--json", "set", "--to", "eeprom", "BAD CNT TO FAIL=40"});
    EXPECT_EQ(run.code, 6) << run.err;
    EXPECT_TRUE(Has(run.err, "FEHLER BIS SCHALTEN: gesendet 40, gelesen 30")) << run.err;
    EXPECT_TRUE(Has(run.err, "Das RAM haelt jetzt ebenfalls den gespeicherten Satz.")) << run.err;
    EXPECT_TRUE(Has(run.out, "\"exit\":6}")) << run.out;
    EXPECT_EQ(sim->eeprom().params, Set(60, 30, 1, 0));
}

// Exit 7: a file that cannot be written is named with the reason; nothing is left half-written.
TEST_F(TavironTest, FilesThatCannotBeWrittenAreExitSeven) {
    const fs::path missing = folder.dir() / "no-folder";
    TavironRun run = Run(Transport::Tcp, {"save", "-o", (missing / "p.ini").string()});
    EXPECT_EQ(run.code, 7) << run.err;
    EXPECT_TRUE(Has(run.err, "the folder does not exist")) << run.err;
    run = Run(Transport::Serial, {"--lang", "de", "hwinfo", "-o", (missing / "hw.ini").string()});
    EXPECT_EQ(run.code, 7) << run.err;
    EXPECT_TRUE(Has(run.err, "Hardware-Info-Datei konnte nicht gespeichert werden")) << run.err;

    // The CSV file is opened before the sensor is asked.
    ClearOrders();
    run = Run(Transport::Tcp, {"live", "--count", "1", "--csv", (missing / "l.csv").string()});
    EXPECT_EQ(run.code, 7) << run.err;
    EXPECT_TRUE(Orders().empty());
    EXPECT_FALSE(fs::exists(missing));
}

// A line of presses: every sensor is done in turn, one out of reach does not stop the others,
// the summary names each, and the exit code is the worst.
TEST_F(TavironTest, ASensorListGoesOnPastAMissingSensorAndReturnsTheWorstCode) {
    sim->setRamParams(Set(60, 30, 1, 0));
    sim->setEepromParams(Set(60, 30, 1, 0));
    const fs::path list =
        WriteFile("line.ini", "[Press 1]\nTCP = 127.0.0.1:" + std::to_string(sim->tcpPort()) +
                                  "\n[Press 2]\nTCP = 127.0.0.1:" + std::to_string(ClosedPort()) +
                                  "\n[Press 3]\nPORT = COM5\nBAUD = 115200\n");
    const fs::path backup = folder.dir() / "backup";
    TavironRun run = RunAlone({"--sensors", list.string(), "save", "-o", backup.string()});
    EXPECT_EQ(run.code, 3) << run.err;
    const std::string expected = "[GENERAL INFO]\r\nFILE TYPE: = \"Parameter File\"\r\n"
                                 "SCOPE VERSION: = \"TAVIRON Scope V1.0\"\r\n\r\n"
                                 "[PARAMETER]\r\nSTROKE TOLERANCE = 60\r\nBAD CNT TO FAIL = 30\r\n"
                                 "DIGITAL OUTMODE = 1\r\nCNT STROKE EDGE = 0\r\n\r\n";
    EXPECT_EQ(ReadFile(backup / "Press 1.ini"), expected);
    EXPECT_EQ(ReadFile(backup / "Press 3.ini"), expected);
    EXPECT_FALSE(fs::exists(backup / "Press 2.ini"));
    EXPECT_TRUE(Has(run.err, "[Press 2] Failed to connect\n127.0.0.1:")) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_GE(lines.size(), 4u) << run.out;
    EXPECT_EQ(lines[lines.size() - 4].substr(0, 19), "Sensor   Connection");
    EXPECT_TRUE(Has(lines[lines.size() - 3], "Press 1")) << run.out;
    EXPECT_TRUE(Has(lines[lines.size() - 3], " 0 done")) << run.out;
    EXPECT_TRUE(Has(lines[lines.size() - 2], " 3 no connection")) << run.out;
    EXPECT_TRUE(Has(lines[lines.size() - 1], "COM5")) << run.out;

    // Differences on one sensor and a missing one: the missing one outranks them.
    sim->setEepromParams(Set(70, 30, 1, 0));
    run = RunAlone({"--json", "--sensors", list.string(), "diff"});
    EXPECT_EQ(run.code, 3) << run.err;
    EXPECT_TRUE(Has(run.out, "\"exit\":1},{\"sensor\":\"Press 2\"")) << run.out;
    EXPECT_TRUE(Has(run.out, "],\"exit\":3}\n")) << run.out;
}

// A serial device named by its path, as /dev/serial/by-id names an adapter.
TEST_F(TavironTest, ADeviceNamedByItsPath) {
    TavironRun run = RunAlone({"--device", sim->serialPath(), "--json", "info"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "\"connection\":\"" + sim->serialPath() + "\"")) << run.out;
}
