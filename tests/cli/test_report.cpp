// Reports of commands: what standard output shows for each command, the JSON object of each,
// and a sensor list's blocks, summary and worst code.
#include "cli/exit_codes.h"
#include "cli/report.h"

#include <gtest/gtest.h>

#include <string>

namespace {

CommandReport Identified(Command command) {
    CommandReport r;
    r.command = command;
    r.connection = "COM3";
    r.identified = true;
    r.firmware = "TAVIRON V1.0.3 2026-11-28";
    r.name = "TAVIRON PS-1";
    r.serial = 4711;
    return r;
}

TEST(CliReport, EachCommandAsTextAndJson) {
    CommandReport info = Identified(Command::Info);
    EXPECT_EQ(ReportText(info, 1),
              "Firmware: TAVIRON V1.0.3 2026-11-28\nSensor: TAVIRON PS-1\nSerial number: 4711\n");
    EXPECT_EQ(ReportJson(info), "{\"command\":\"info\",\"connection\":\"COM3\",\"firmware\":"
                                "\"TAVIRON V1.0.3 2026-11-28\",\"name\":\"TAVIRON PS-1\","
                                "\"serial\":4711,\"exit\":0}");

    CommandReport get = Identified(Command::Get);
    get.memory = Memory::Eeprom;
    get.hasValues = true;
    get.values = {50, 25, 0, 1};
    EXPECT_EQ(ReportText(get, 1), "STROKE TOLERANCE = 50\nBAD CNT TO FAIL = 25\n"
                                  "DIGITAL OUTMODE = 0\nCNT STROKE EDGE = 1\n");
    EXPECT_EQ(ReportJson(get),
              "{\"command\":\"get\",\"connection\":\"COM3\",\"firmware\":\"TAVIRON V1.0.3 "
              "2026-11-28\",\"name\":\"TAVIRON PS-1\",\"serial\":4711,\"from\":\"eeprom\","
              "\"parameters\":{\"strokeTolerance\":50,\"badCntToFail\":25,\"digitalOutmode\":0,"
              "\"cntStrokeEdge\":1},\"exit\":0}");

    CommandReport set;
    set.command = Command::Set;
    set.connection = "press4:5000";
    set.memory = Memory::Eeprom;
    set.hasWritten = set.hasReadBack = true;
    set.written = {50, 25, 0, 0};
    set.readBack = {49, 25, 0, 0};
    set.code = kExitReadBackDiffers;
    set.error = "Read back differs";
    EXPECT_EQ(ReportDifferences(set), std::vector<int>{0});
    EXPECT_NE(ReportText(set, 1).find("STROKE TOLERANCE       50         49  differs\n"),
              std::string::npos);
    EXPECT_EQ(ReportJson(set),
              "{\"command\":\"set\",\"connection\":\"press4:5000\",\"to\":\"eeprom\",\"written\":"
              "{\"strokeTolerance\":50,\"badCntToFail\":25,\"digitalOutmode\":0,"
              "\"cntStrokeEdge\":0},\"readBack\":{\"strokeTolerance\":49,\"badCntToFail\":25,"
              "\"digitalOutmode\":0,\"cntStrokeEdge\":0},\"differing\":[\"strokeTolerance\"],"
              "\"error\":\"Read back differs\",\"exit\":6}");

    CommandReport diff;
    diff.command = Command::Diff;
    diff.connection = "COM1";
    diff.hasRam = diff.hasEeprom = diff.hasFile = true;
    diff.ram = {60, 25, 0, 0};
    diff.eeprom = {50, 25, 0, 0};
    diff.file = {50, 25, 0, 1};
    diff.path = "p.ini";
    diff.code = kExitDifferences;
    EXPECT_EQ(ReportText(diff, 0), "                     RAM  EEPROM  DATEI\n"
                                   "STANZHUB TOLERANZ     60      50     50  verschieden\n"
                                   "FEHLER BIS SCHALTEN   25      25     25\n"
                                   "DIGITAL OUTMODE        0       0      0\n"
                                   "STANZHUB KANTE         0       0      1  verschieden\n");
    const std::string diffJson = ReportJson(diff);
    EXPECT_NE(diffJson.find("\"file\":{\"strokeTolerance\":50,\"badCntToFail\":25,"
                            "\"digitalOutmode\":0,\"cntStrokeEdge\":1},\"path\":\"p.ini\","
                            "\"differing\":[\"strokeTolerance\",\"cntStrokeEdge\"],\"exit\":1}"),
              std::string::npos)
        << diffJson;
    EXPECT_EQ(diffJson.find("\"error\""), std::string::npos); // differences are no error

    CommandReport save;
    save.command = Command::Save;
    save.connection = "COM1";
    save.path = "backup/Press 5.ini";
    save.hasValues = true;
    EXPECT_EQ(ReportText(save, 1), "backup/Press 5.ini\n");
    save.code = kExitFile;
    save.error = "File could not be saved";
    EXPECT_EQ(ReportText(save, 1), ""); // a file not written is not shown as written
}

TEST(CliReport, ASensorListShowsEachSensorThenTheSummaryAndTheWorstCode) {
    CommandReport a = Identified(Command::Get);
    a.sensor = "Press 4";
    a.hasValues = true;
    a.values = {50, 25, 0, 0};
    CommandReport b;
    b.command = Command::Get;
    b.sensor = "Press 5";
    b.connection = "press5:5000";
    b.code = kExitNoConnection;
    b.error = "Unable to establish connection\npress5:5000: connection refused";
    EXPECT_EQ(SensorListText({a, b}, 1),
              "[Press 4]\n"
              "STROKE TOLERANCE = 50\nBAD CNT TO FAIL = 25\nDIGITAL OUTMODE = 0\n"
              "CNT STROKE EDGE = 0\n"
              "\n"
              "Sensor   Connection   Result\n"
              "Press 4  COM3         0 done\n"
              "Press 5  press5:5000  3 no connection or wrong identity  Unable to establish "
              "connection\n");
    EXPECT_EQ(WorstCodeOf({a, b}), kExitNoConnection);
    EXPECT_EQ(WorstCodeOf({}), kExitDone);
    const std::string json = SensorListJson({a, b});
    EXPECT_EQ(json.rfind("{\"command\":\"get\",\"sensors\":[{\"sensor\":\"Press 4\",", 0), 0u)
        << json;
    EXPECT_NE(json.find("},{\"sensor\":\"Press 5\",\"connection\":\"press5:5000\",\"from\":"
                        "\"ram\",\"error\":\"Unable to establish connection\\npress5:5000: "
                        "connection refused\",\"exit\":3}],\"exit\":3}"),
              std::string::npos)
        << json;
}

} // namespace
