// The files of the command line are the window program's: the program, connected to the
// simulated sensor, writes its hardware information file and its parameter file of the values
// it read; taviron, started against the same sensor, writes both again, byte for byte the same.
#include "connected_fixture.h"

#include "taviron_process.h"

TEST_F(ConnectedTest, TavironWritesTheProgramsFilesByteForByte) {
    StartSimulatedSensor();
    ASSERT_FALSE(HasFatalFailure());
    Connect(sim->tcpPort());
    ASSERT_FALSE(HasFatalFailure());

    // The program: the hardware information file (which also puts the sensor's working set on
    // the page), then that set into a parameter file with FILE selected.
    chosenPath = (dir / "program-hw.ini").string();
    PressButton();
    ASSERT_EQ(Page(), (std::vector<int>{120, 7, 1, 1}));
    chosenPath = (dir / "program-para.ini").string();
    TestClickCtrl(App.MainPanel, MAINP_FILE);
    TestClickCtrl(App.MainPanel, MAINP_SEND);
    TestProcessEvents(10);
    Disconnect(); // the simulated sensor serves one TCP client at a time

    TavironFolder taviron;
    const std::string tcp = "127.0.0.1:" + std::to_string(sim->tcpPort());
    TavironRun run =
        RunTaviron(taviron, {"--tcp", tcp, "hwinfo", "-o", (dir / "cli-hw.ini").string()});
    ASSERT_EQ(run.code, 0) << run.err;
    run = RunTaviron(taviron, {"--tcp", tcp, "save", "-o", (dir / "cli-para.ini").string()});
    ASSERT_EQ(run.code, 0) << run.err;

    const std::string programHw = ReadBytes(dir / "program-hw.ini");
    const std::string programPara = ReadBytes(dir / "program-para.ini");
    ASSERT_NE(programHw.find("FIRMWARE VERSION"), std::string::npos) << "the program wrote it";
    ASSERT_NE(programPara.find("STROKE TOLERANCE = 120"), std::string::npos);
    EXPECT_EQ(ReadBytes(dir / "cli-hw.ini"), programHw);
    EXPECT_EQ(ReadBytes(dir / "cli-para.ini"), programPara);
}
