// taviron's commands against the simulated sensor, over TCP and over a pseudo-terminal reached
// through the COM mapping: what each prints, what it leaves in the sensor and the frames it
// sends (the window program's, plus the read-backs that make a result sure).
#include "taviron_fixture.h"

#include <chrono>
#include <csignal>
#include <regex>
#include <thread>

namespace {

using Sent = std::vector<int>;

const std::string kIdentityEng =
    "Firmware: TAVIRON V1.0.3 2026-11-28\nSensor: TAVIRON PS-1\nSerial number: 4711\n";

tavsim::ParamSet Set(int tolerance, int badCount, int outmode, int edge) {
    return {uint16_t(tolerance), uint16_t(badCount), uint16_t(outmode), uint16_t(edge)};
}

std::string ParaLines(int tolerance, int badCount, int outmode, int edge) {
    return "STROKE TOLERANCE = " + std::to_string(tolerance) +
           "\nBAD CNT TO FAIL = " + std::to_string(badCount) +
           "\nDIGITAL OUTMODE = " + std::to_string(outmode) +
           "\nCNT STROKE EDGE = " + std::to_string(edge) + "\n";
}

} // namespace

TEST_P(TavironOverEach, InfoSaysTheIdentityInEitherLanguageAndAsJson) {
    TavironRun run = Run({"info"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, kIdentityEng);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Orders(), (Sent{7, 15}));

    run = Run({"info"}, {"LANG=de_DE.UTF-8"});
    EXPECT_EQ(run.out, "Firmware: TAVIRON V1.0.3 2026-11-28\nSensor: TAVIRON PS-1\n"
                       "Seriennummer: 4711\n");
    run = Run({"--lang", "en", "info"}, {"LANG=de_DE.UTF-8"});
    EXPECT_EQ(run.out, kIdentityEng);

    run = Run({"--json", "info"});
    EXPECT_EQ(run.code, 0);
    const std::string connection =
        GetParam() == Transport::Tcp ? "127.0.0.1:" + std::to_string(sim->tcpPort()) : "COM5";
    EXPECT_EQ(run.out, "{\"command\":\"info\",\"connection\":\"" + connection +
                           "\",\"firmware\":\"TAVIRON V1.0.3 2026-11-28\",\"name\":\"TAVIRON "
                           "PS-1\",\"serial\":4711,\"exit\":0}\n");
}

// get reads RAM with the program's order 2; from the EEPROM it loads the stored set (4, 2) and
// then writes the working set back (1), so the sensor runs on as before.
TEST_P(TavironOverEach, GetReadsRamOrTheEepromAndLeavesRamAsItWas) {
    sim->setRamParams(Set(60, 30, 1, 0));
    sim->setEepromParams(Set(70, 40, 0, 1));
    ClearOrders();
    TavironRun run = Run({"get"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, ParaLines(60, 30, 1, 0));
    EXPECT_EQ(Orders(), (Sent{7, 15, 2}));

    ClearOrders();
    run = Run({"get", "--from", "eeprom"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, ParaLines(70, 40, 0, 1));
    EXPECT_EQ(Orders(), (Sent{7, 15, 2, 4, 2, 1}));
    EXPECT_EQ(sim->ramParams(), Set(60, 30, 1, 0)) << "RAM as before";
    EXPECT_EQ(sim->eeprom().params, Set(70, 40, 0, 1));

    run = Run({"--lang", "de", "--json", "get"});
    EXPECT_NE(run.out.find("\"from\":\"ram\",\"parameters\":{\"strokeTolerance\":60,"
                           "\"badCntToFail\":30,\"digitalOutmode\":1,\"cntStrokeEdge\":0}"),
              std::string::npos)
        << run.out;
}

TEST_P(TavironOverEach, SetWritesReadsBackAndSaysBoth) {
    sim->setRamParams(Set(60, 30, 1, 0));
    ClearOrders();
    // Named parameters change, the others keep what RAM holds.
    TavironRun run = Run({"set", "stroke-tolerance=75", "CNT STROKE EDGE=falling"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "                  written  read back\n"
                       "STROKE TOLERANCE       75         75\n"
                       "BAD CNT TO FAIL        30         30\n"
                       "DIGITAL OUTMODE         1          1\n"
                       "CNT STROKE EDGE         1          1\n");
    EXPECT_EQ(Orders(), (Sent{7, 15, 2, 1, 2}));
    EXPECT_EQ(sim->ramParams(), Set(75, 30, 1, 1));

    // Into the EEPROM from a parameter file: stored (3), then the stored set read back (4, 2).
    const fs::path file = WriteFile("p.ini", "[GENERAL INFO]\r\nFILE TYPE: = \"Parameter File\"\r\n"
                                             "SCOPE VERSION: = \"TAVIRON Scope V1.0\"\r\n\r\n"
                                             "[PARAMETER]\r\nSTROKE TOLERANCE = 120\r\n"
                                             "BAD CNT TO FAIL = 9\r\nDIGITAL OUTMODE = 0\r\n"
                                             "CNT STROKE EDGE = 0\r\n");
    ClearOrders();
    run = Run({"set", "--to", "eeprom", "--file", file.string()});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(Orders(), (Sent{7, 15, 1, 3, 4, 2}));
    EXPECT_EQ(sim->eeprom().params, Set(120, 9, 0, 0));
    EXPECT_EQ(sim->ramParams(), Set(120, 9, 0, 0));

    // All four named, without the read-back: order 1 alone.
    ClearOrders();
    run = Run({"set", "--no-verify", "StrokeTolerance=5", "BadCntToFail=6", "DigitalOutmode=0",
               "CntStrokeEdge=0"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "                  written\nSTROKE TOLERANCE        5\n"
                       "BAD CNT TO FAIL         6\nDIGITAL OUTMODE         0\n"
                       "CNT STROKE EDGE         0\n");
    EXPECT_EQ(Orders(), (Sent{7, 15, 1}));
}

// diff: RAM, EEPROM (and a file) side by side, exit code 1 when they differ; RAM as before.
TEST_P(TavironOverEach, DiffTellsWhetherRamIsStored) {
    sim->setRamParams(Set(60, 30, 1, 0));
    sim->setEepromParams(Set(60, 30, 1, 0));
    TavironRun run = Run({"diff"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "                  RAM  EEPROM\nSTROKE TOLERANCE   60      60\n"
                       "BAD CNT TO FAIL    30      30\nDIGITAL OUTMODE     1       1\n"
                       "CNT STROKE EDGE     0       0\n");

    sim->setEepromParams(Set(50, 30, 1, 0));
    const fs::path file = WriteFile("p.ini", "[GENERAL INFO]\r\nFILE TYPE: = \"Parameter File\"\r\n"
                                             "SCOPE VERSION: = \"TAVIRON Scope V1.0\"\r\n\r\n"
                                             "[PARAMETER]\r\nSTROKE TOLERANCE = 60\r\n"
                                             "BAD CNT TO FAIL = 30\r\nDIGITAL OUTMODE = 1\r\n"
                                             "CNT STROKE EDGE = 1\r\n");
    ClearOrders();
    run = Run({"diff", "--file", file.string()}, {"LANG=de_DE.UTF-8"});
    EXPECT_EQ(run.code, 1) << run.err;
    EXPECT_EQ(run.out, "                     RAM  EEPROM  DATEI\n"
                       "STANZHUB TOLERANZ     60      50     60  verschieden\n"
                       "FEHLER BIS SCHALTEN   30      30     30\n"
                       "DIGITAL OUTMODE        1       1      1\n"
                       "STANZHUB KANTE         0       0      1  verschieden\n");
    EXPECT_EQ(Orders(), (Sent{7, 15, 2, 4, 2, 1}));
    EXPECT_EQ(sim->ramParams(), Set(60, 30, 1, 0)) << "RAM as before";

    run = Run({"--json", "diff"});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.out.find("\"differing\":[\"strokeTolerance\"],\"exit\":1}"), std::string::npos)
        << run.out;
}

TEST_P(TavironOverEach, SaveAndHwinfoWriteTheirFilesAndSayWhere) {
    sim->setRamParams(Set(60, 30, 1, 0));
    sim->setEepromParams(Set(70, 40, 0, 1));
    const fs::path para = folder.dir() / "para.ini";
    TavironRun run = Run({"save", "-o", para.string(), "--from", "eeprom"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, para.string() + "\n");
    EXPECT_EQ(ReadFile(para), "[GENERAL INFO]\r\nFILE TYPE: = \"Parameter File\"\r\n"
                              "SCOPE VERSION: = \"TAVIRON Scope V1.0\"\r\n\r\n"
                              "[PARAMETER]\r\nSTROKE TOLERANCE = 70\r\nBAD CNT TO FAIL = 40\r\n"
                              "DIGITAL OUTMODE = 0\r\nCNT STROKE EDGE = 1\r\n\r\n");
    EXPECT_EQ(sim->ramParams(), Set(60, 30, 1, 0));

    const fs::path hw = folder.dir() / "hw.ini";
    ClearOrders();
    run = Run({"hwinfo", "-o", hw.string()});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, hw.string() + "\n");
    EXPECT_EQ(Orders(), (Sent{7, 15, 2, 194}));
    const std::string text = ReadFile(hw);
    EXPECT_EQ(text.rfind("[GENERAL INFO]\r\nFILE TYPE: = \"Hardware Initial File\"\r\n"
                         "SCOPE VERSION: = \"TAVIRON Scope V1.0.0\"\r\n"
                         "FIRMWARE VERSION: = \"TAVIRON V1.0.3 2026-11-28\"\r\n",
                         0),
              0u)
        << text;
    // Word 0 of the sensor's block is 0x1234, word 1 its serial number.
    EXPECT_NE(text.find("DATA Line0001 = \"12341267a502"), std::string::npos) << text;
    EXPECT_NE(text.find("[PARAMETER]\r\nSTROKE TOLERANCE = 60\r\nBAD CNT TO FAIL = 30\r\n"),
              std::string::npos);
}

TEST_P(TavironOverEach, LiveWritesRowsWithTimeStamps) {
    TavironRun run = Run({"live", "--count", "3"});
    EXPECT_EQ(run.code, 0) << run.err;
    std::vector<std::string> rows = Lines(run.out);
    ASSERT_EQ(rows.size(), 4u) << run.out;
    EXPECT_EQ(rows[0], "time,cntPeriod,cntGap,cntStroke,lowerTolLimit,upperTolLimit,"
                       "badCntLower,badCntUpper,out0,out1,out2,out3");
    const std::regex plain(
        R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d(,\d+){7}(,[01]){4})");
    for (std::size_t i = 1; i < rows.size(); ++i)
        EXPECT_TRUE(std::regex_match(rows[i], plain)) << rows[i];
    EXPECT_EQ(Orders(), (Sent{7, 15, 8, 8, 8}));

    // For a German spreadsheet, into a file.
    const fs::path csv = folder.dir() / "shift.csv";
    run = Run({"live", "--count", "2", "--csv", csv.string(), "--csv-style", "excel-de"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "");
    rows = Lines(ReadFile(csv));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].substr(0, 20), "time;cntPeriod;cntGa");
    const std::regex excel(
        R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d,\d{3}[+-]\d\d:\d\d(;\d+){7}(;[01]){4})");
    EXPECT_TRUE(std::regex_match(rows[1], excel)) << rows[1];

    // JSON lines; a press that stands still changes nothing, so --changes writes one row.
    sim->setPressRunning(false);
    run = Run({"--json", "live", "--count", "5", "--changes"});
    EXPECT_EQ(run.code, 0) << run.err;
    rows = Lines(run.out);
    ASSERT_EQ(rows.size(), 1u) << run.out;
    EXPECT_TRUE(std::regex_match(
        rows[0],
        std::regex(R"(\{"time":"[^"]+","cntPeriod":\d+,.*"out":\[[01],[01],[01],[01]\]\})")))
        << rows[0];
}

// Without --seconds or --count live runs until stopped: Ctrl-C (or TERM) ends it after the
// pass under way, with every row written whole and exit code 0.
TEST_F(TavironTest, LiveRunsUntilInterruptedAndEndsWithWholeRows) {
    const fs::path csv = folder.dir() / "shift.csv";
    for (int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        fs::remove(csv);
        TavironProcess process;
        std::vector<std::string> args = Connect(Transport::Tcp);
        for (const char *a : {"live", "--csv"})
            args.push_back(a);
        args.push_back(csv.string());
        process.Start(folder.program(), args, folder.dir());
        // Rows come in as the sensor answers; stop once a few are there.
        for (int i = 0; i < 500 && Lines(ReadFile(csv)).size() < 4; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        process.Signal(signal);
        EXPECT_EQ(process.Wait(30), 0) << process.err;
        const std::string rows = ReadFile(csv);
        EXPECT_GE(Lines(rows).size(), 4u);
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows.back(), '\n') << "the last row whole";
    }
}

INSTANTIATE_TEST_SUITE_P(Transports, TavironOverEach,
                         ::testing::Values(Transport::Tcp, Transport::Serial), TransportName);
