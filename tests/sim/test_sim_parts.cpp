// The simulated sensor's small parts: plausibility, the EEPROM file, what each fault does to a
// frame, the COM port mapping file, and the program's options and commands.
#include "protocol/frame.h"
#include "sim/com_map.h"
#include "sim/faults.h"
#include "sim/options.h"
#include "sim/sensor_params.h"
#include "sim/sim.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace tavsim;
namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> frameOf(uint8_t order, uint16_t argument, const std::string &text) {
    std::vector<uint8_t> f(FrameHeaderSize + text.size());
    frameBuild(f.data(), int(f.size()), order, argument,
               reinterpret_cast<const uint8_t *>(text.data()), int(text.size()));
    return f;
}

std::string readFile(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

fs::path freshDir(const char *name) {
    fs::path dir = fs::temp_directory_path() / (std::string(name) + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

} // namespace

TEST(SimParams, PlausibilityNamesEachFailingParameter) {
    struct Case {
        ParamSet set;
        uint16_t faults;
    };
    const Case cases[] = {
        {{50, 25, 0, 0}, 0},  {{1, 1, 0, 0}, 0},       {{500, 9999, 1, 1}, 0}, {{0, 25, 0, 0}, 1},
        {{501, 25, 0, 0}, 1}, {{50, 0, 0, 0}, 2},      {{50, 10000, 0, 0}, 2}, {{50, 25, 2, 0}, 4},
        {{50, 25, 0, 2}, 8},  {{0, 0, 0xFFFF, 7}, 15},
    };
    for (const Case &c : cases)
        EXPECT_EQ(plausibilityFaults(c.set), c.faults)
            << c.set.strokeTolerance << "/" << c.set.badCntToFail << "/" << c.set.digitalOutmode
            << "/" << c.set.cntStrokeEdge;
}

TEST(SimParams, BlockLayoutAndEepromFile) {
    uint8_t block[8];
    encodeParams(ParamSet{300, 25, 1, 0}, block);
    const uint8_t expected[8] = {0x2C, 0x01, 0x19, 0x00, 0x01, 0x00, 0x00, 0x00};
    EXPECT_EQ(std::memcmp(block, expected, 8), 0);
    EXPECT_EQ(decodeParams(block), (ParamSet{300, 25, 1, 0}));

    fs::path dir = freshDir("tav-eeprom-");
    EepromImage image;
    EXPECT_FALSE(loadEeprom((dir / "missing").string(), &image));
    EXPECT_EQ(image.params, ParamSet{});
    EXPECT_TRUE(saveEeprom((dir / "e.txt").string(), EepromImage{ParamSet{7, 8, 1, 1}, 2}));
    EepromImage back;
    ASSERT_TRUE(loadEeprom((dir / "e.txt").string(), &back));
    EXPECT_EQ(back.params, (ParamSet{7, 8, 1, 1}));
    EXPECT_EQ(back.baudIndex, 2);
    EXPECT_FALSE(fs::exists(dir / "e.txt.tmp"));
    fs::remove_all(dir);
}

TEST(SimFaultDamage, EachFaultDamagesTheFrameAsNamed) {
    const std::vector<uint8_t> reply = frameOf(OrderFirmware, 0, "TAVIRON V1.0.3 2026-11-28");
    const std::vector<uint8_t> bare = frameOf(OrderStoreEeprom, 0, "");
    FrameHeader h;

    EXPECT_EQ(applyFault(FaultKind::None, reply, 1).bytes, reply);
    EXPECT_EQ(applyFault(FaultKind::Trickle, reply, 1).bytes, reply);
    EXPECT_TRUE(applyFault(FaultKind::NoReply, reply, 1).bytes.empty());
    FaultedReply closed = applyFault(FaultKind::Close, reply, 1);
    EXPECT_TRUE(closed.bytes.empty());
    EXPECT_TRUE(closed.close);

    EXPECT_FALSE(frameCheckHeader(applyFault(FaultKind::BadHeaderCrc, reply, 1).bytes.data(), &h));

    // Only the data check catches a wrong data CRC.
    std::vector<uint8_t> d = applyFault(FaultKind::BadDataCrc, reply, 1).bytes;
    ASSERT_TRUE(frameCheckHeader(d.data(), &h));
    EXPECT_NE(frameDataCrc(d.data() + 8, h.length), h.dataCrc);

    // Only the start byte is wrong: the CRC over the header is still 0.
    std::vector<uint8_t> s = applyFault(FaultKind::BadStartByte, reply, 1).bytes;
    EXPECT_EQ(s[0], 0x5A);
    EXPECT_EQ(crc8Update(s.data(), 0, 8, Crc8Table), 0);
    EXPECT_FALSE(frameCheckHeader(s.data(), &h));

    for (auto [kind, code] :
         {std::pair{FaultKind::ErrorOrder, 1}, std::pair{FaultKind::ErrorLine, 2}}) {
        std::vector<uint8_t> e = applyFault(kind, reply, 1).bytes;
        ASSERT_TRUE(frameCheckHeader(e.data(), &h));
        EXPECT_EQ(h.order, OrderErrorReply);
        EXPECT_EQ(h.argument, code);
        EXPECT_EQ(e.size(), 8u);
    }

    std::vector<uint8_t> shortData = applyFault(FaultKind::ShortData, reply, 1).bytes;
    ASSERT_TRUE(frameCheckHeader(shortData.data(), &h));
    EXPECT_EQ(h.length, 25);
    EXPECT_EQ(shortData.size(), 8u + 12u);
    std::vector<uint8_t> shortBare = applyFault(FaultKind::ShortData, bare, 1).bytes;
    ASSERT_TRUE(frameCheckHeader(shortBare.data(), &h));
    EXPECT_EQ(h.length, 8);
    EXPECT_EQ(shortBare.size(), 8u);

    std::vector<uint8_t> longData = applyFault(FaultKind::LongLength, reply, 1).bytes;
    ASSERT_TRUE(frameCheckHeader(longData.data(), &h));
    EXPECT_EQ(h.length, LongLengthAnnounced);
    EXPECT_EQ(longData.size(), size_t(8 + LongLengthAnnounced));
    EXPECT_EQ(frameDataCrc(longData.data() + 8, LongLengthAnnounced), h.dataCrc);

    for (uint64_t seed = 1; seed < 200; ++seed) {
        std::vector<uint8_t> g = applyFault(FaultKind::Garbage, reply, seed).bytes;
        ASSERT_EQ(g.size(), size_t(GarbageLength));
        ASSERT_FALSE(frameCheckHeader(g.data(), &h));
    }
}

TEST(SimComMap, AddsReplacesAndKeepsOtherItemsWithCrLf) {
    EXPECT_EQ(mapComPort("", 3, "/dev/pts/5"), "[COM PORTS]\r\nCOM3 = \"/dev/pts/5\"\r\n\r\n");

    const std::string existing = "[COM PORTS]\nCOM1 = \"/dev/ttyUSB0\"\nCOM3 = \"/dev/pts/1\"\n\n"
                                 "[OTHER]\nKey = 1\n";
    EXPECT_EQ(mapComPort(existing, 3, "/dev/pts/7"),
              "[COM PORTS]\r\nCOM1 = \"/dev/ttyUSB0\"\r\nCOM3 = \"/dev/pts/7\"\r\n\r\n"
              "[OTHER]\r\nKey = 1\r\n\r\n");
    EXPECT_EQ(mapComPort(existing, 9, "/dev/pts/7"),
              "[COM PORTS]\r\nCOM1 = \"/dev/ttyUSB0\"\r\nCOM3 = \"/dev/pts/1\"\r\n"
              "COM9 = \"/dev/pts/7\"\r\n\r\n[OTHER]\r\nKey = 1\r\n\r\n");
    EXPECT_EQ(mapComPort("[OTHER]\r\nKey = 1\r\n", 2, "/dev/a\"b"),
              "[OTHER]\r\nKey = 1\r\n\r\n[COM PORTS]\r\nCOM2 = \"/dev/a\\\"b\"\r\n\r\n");
    // A long device name stays on one line, as the program reads it.
    const std::string byId = "/dev/serial/by-id/usb-Serial_Adapter_A50285BI-if00-port0";
    EXPECT_EQ(mapComPort("", 4, byId), "[COM PORTS]\r\nCOM4 = \"" + byId + "\"\r\n\r\n");

    fs::path dir = freshDir("tav-commap-");
    std::string written = writeComPortMapping(dir.string(), 4, "/dev/pts/9");
    EXPECT_EQ(written, (dir / "ComPorts.cfg").string());
    EXPECT_EQ(readFile(dir / "ComPorts.cfg"), "[COM PORTS]\r\nCOM4 = \"/dev/pts/9\"\r\n\r\n");
    writeComPortMapping(written, 5, "/dev/pts/10");
    EXPECT_EQ(readFile(dir / "ComPorts.cfg"),
              "[COM PORTS]\r\nCOM4 = \"/dev/pts/9\"\r\nCOM5 = \"/dev/pts/10\"\r\n\r\n");
    EXPECT_TRUE(writeComPortMapping((dir / "no" / "such" / "dir" / "f").string(), 1, "x").empty());
    fs::remove_all(dir);
}

TEST(SimComMap, UnmapTakesOutOnlyItsOwnLine) {
    const std::string file =
        "[COM PORTS]\r\nCOM1 = \"/dev/ttyUSB0\"\r\nCOM3 = \"/dev/pts/7\"\r\n\r\n"
        "[OTHER]\r\nCOM3 = \"/dev/pts/7\"\r\n";
    struct Case {
        int number;
        std::string device, expected;
    } cases[] = {
        // our line goes; the same text in another section stays
        {3, "/dev/pts/7",
         "[COM PORTS]\r\nCOM1 = \"/dev/ttyUSB0\"\r\n\r\n[OTHER]\r\nCOM3 = \"/dev/pts/7\"\r\n"},
        // mapped to another device since, or never mapped: left alone
        {3, "/dev/pts/8", file},
        {4, "/dev/pts/7", file},
        {1, "/dev/ttyUSB", file},
    };
    for (const Case &c : cases)
        EXPECT_EQ(unmapComPort(file, c.number, c.device), c.expected) << c.number << c.device;
    // Quoting and escapes as the mapping file has them.
    EXPECT_EQ(unmapComPort(mapComPort("", 2, "/dev/a\"b"), 2, "/dev/a\"b").find("COM2"),
              std::string::npos);

    fs::path dir = freshDir("tav-comunmap-");
    EXPECT_TRUE(removeComPortMapping(dir.string(), 4, "/dev/pts/9")); // no file: nothing to do
    EXPECT_FALSE(fs::exists(dir / "ComPorts.cfg"));
    writeComPortMapping(dir.string(), 4, "/dev/pts/9");
    writeComPortMapping(dir.string(), 5, "/dev/pts/10");
    EXPECT_TRUE(removeComPortMapping(dir.string(), 4, "/dev/pts/9"));
    EXPECT_EQ(readFile(dir / "ComPorts.cfg"), mapComPort("", 5, "/dev/pts/10"));
    fs::remove_all(dir);
}

TEST(SimOptions, ParsesTheCommandLine) {
    ProgramOptions o;
    std::string error;
    ASSERT_TRUE(parseOptions({"--tcp", "0.0.0.0:0", "--map-com", "4", "--baud", "9600", "--fault",
                              "trickle:2:8", "--stepped", "--seed", "12", "--eeprom", "e.txt"},
                             &o, &error))
        << error;
    EXPECT_EQ(o.sim.tcpAddress, "0.0.0.0");
    EXPECT_EQ(o.sim.tcpPort, 0);
    EXPECT_TRUE(o.sim.serial); // --map-com needs the serial line
    EXPECT_EQ(o.mapCom, 4);
    EXPECT_EQ(o.sim.sensor.baudIndex, 0);
    EXPECT_EQ(o.sim.fault.kind, FaultKind::Trickle);
    EXPECT_EQ(o.sim.fault.count, 2);
    EXPECT_EQ(o.sim.fault.order, 8);
    EXPECT_TRUE(o.sim.sensor.steppedClock);
    EXPECT_EQ(o.sim.sensor.seed, 12u);
    EXPECT_EQ(o.sim.sensor.eepromFile, "e.txt");

    ProgramOptions p;
    ASSERT_TRUE(parseOptions({"--baud", "3", "--no-tcp", "--pty", "--no-pace"}, &p, &error));
    EXPECT_EQ(p.sim.sensor.baudIndex, 3);
    EXPECT_FALSE(p.sim.tcp);
    EXPECT_TRUE(p.sim.serial);
    EXPECT_FALSE(p.sim.pace);

    for (std::vector<std::string> bad : {std::vector<std::string>{"--baud", "1234"},
                                         {"--fault", "bogus"},
                                         {"--tcp", "99999"},
                                         {"--map-com", "0"},
                                         {"--what"},
                                         {"--seed"}}) {
        ProgramOptions q;
        error.clear();
        EXPECT_FALSE(parseOptions(bad, &q, &error)) << bad[0];
        EXPECT_FALSE(error.empty());
    }
}

TEST(SimCommands, ChangeTheSensorAtRunTime) {
    SimSensor sim(SimConfig{});
    bool quit = false;
    EXPECT_EQ(runCommand(sim, "fault noreply 3", &quit), "fault noreply");
    EXPECT_NE(sim.status().find("fault noreply"), std::string::npos);
    runCommand(sim, "fault off", &quit);
    EXPECT_NE(sim.status().find("fault off"), std::string::npos);
    runCommand(sim, "in0 1", &quit);
    EXPECT_NE(sim.status().find("IN0 1"), std::string::npos);
    runCommand(sim, "press stop", &quit);
    EXPECT_NE(sim.status().find("press stopped"), std::string::npos);
    runCommand(sim, "firmware TAVIRON V2.0.0 2030-01-01", &quit);
    EXPECT_NE(sim.status().find("\"TAVIRON V2.0.0 2030-01-01\""), std::string::npos);
    runCommand(sim, "eeprom 100 5 1 1", &quit);
    EXPECT_EQ(sim.eeprom().params, (ParamSet{100, 5, 1, 1}));
    runCommand(sim, "flaw skew -1", &quit);
    runCommand(sim, "flaw eeprom-lost", &quit);
    EXPECT_EQ(sim.flaws(), (SensorFlaws{-1, true}));
    EXPECT_NE(sim.status().find("flaw skew -1, flaw eeprom-lost"), std::string::npos);
    runCommand(sim, "flaw off", &quit);
    EXPECT_EQ(sim.flaws(), SensorFlaws{});
    EXPECT_NE(runCommand(sim, "flaw sideways", &quit).find("flaw needs"), std::string::npos);
    EXPECT_NE(runCommand(sim, "fault bogus", &quit).find("unknown fault"), std::string::npos);
    EXPECT_NE(runCommand(sim, "frobnicate", &quit).find("unknown command"), std::string::npos);
    EXPECT_FALSE(quit);
    runCommand(sim, "quit", &quit);
    EXPECT_TRUE(quit);
}
