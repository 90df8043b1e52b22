// COM port numbers to devices: the mapping file beside the program, the mappings tests make,
// the Linux default, and the port listing's count.
#include "platform/ports.h"
#include "platform/testing.h"
#include "platform/ui.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string Device(int port) {
    char buf[MAX_PATHNAME_LEN];
    ComDeviceName(port, buf, sizeof buf);
    return buf;
}

std::string FromText(const char *text, int port) {
    char buf[MAX_PATHNAME_LEN];
    ComDeviceFromMapText(text, port, buf, sizeof buf);
    return buf;
}

// A private program directory for the mapping file.
class PortsTest : public ::testing::Test {
  protected:
    std::filesystem::path dir;
    void SetUp() override {
        char tmpl[] = "/tmp/taviron-ports-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        TestSetProjectDir(dir.c_str());
    }
    void TearDown() override {
        TestSetProjectDir("");
        std::filesystem::remove_all(dir);
    }
    void WriteMap(const std::string &text) {
        std::ofstream(dir / "ComPorts.cfg", std::ios::binary) << text;
    }
};

} // namespace

TEST(ComMapText, ReadsTheDeviceOfOnePort) {
    const char *text = "; written by the simulated sensor\r\n"
                       "[OTHER]\r\nCOM2 = \"/dev/wrong\"\r\n"
                       "[com ports]\r\n"
                       "COM1 = \"/dev/pts/7\"\r\n"
                       "  com2=/dev/ttyUSB0  \r\n"
                       "COM10 = \"/dev/odd \\\"name\\\" \\\\x\"\r\n"
                       "COM3\r\n"
                       "[LATER]\r\nCOM4 = \"/dev/later\"\r\n";
    struct Case {
        int port;
        const char *device;
    } cases[] = {{1, "/dev/pts/7"},
                 {2, "/dev/ttyUSB0"}, // plain value, key in another case
                 {10, "/dev/odd \"name\" \\x"},
                 {3, ""},   // no value at all
                 {4, ""},   // outside the section
                 {11, ""}}; // COM1 is not COM11
    for (const Case &c : cases)
        EXPECT_EQ(FromText(text, c.port), c.device) << c.port;
    EXPECT_EQ(FromText("", 1), "");
    EXPECT_EQ(FromText(nullptr, 1), "");
}

TEST_F(PortsTest, MappingFileTestMappingAndDefault) {
    EXPECT_EQ(Device(1), "/dev/ttyS0");
    EXPECT_EQ(Device(12), "/dev/ttyS11");
    WriteMap("[COM PORTS]\r\nCOM1 = \"/dev/pts/3\"\r\nCOM12 = \"/dev/ttyUSB1\"\r\n");
    EXPECT_EQ(Device(1), "/dev/pts/3");
    EXPECT_EQ(Device(12), "/dev/ttyUSB1");
    EXPECT_EQ(Device(2), "/dev/ttyS1");
    TestMapComPort(1, "/dev/pts/99"); // a test's own mapping comes first
    EXPECT_EQ(Device(1), "/dev/pts/99");
    TestMapComPort(1, nullptr);
    EXPECT_EQ(Device(1), "/dev/pts/3");
    // Read afresh on every call: a mapping written while the program runs counts at once.
    std::filesystem::remove(dir / "ComPorts.cfg");
    EXPECT_EQ(Device(1), "/dev/ttyS0");

    char buf[8] = "x";
    EXPECT_EQ(ComDeviceName(0, buf, sizeof buf), -2);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(ComDeviceName(256, buf, sizeof buf), -2);
    EXPECT_EQ(ComDeviceName(255, buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "/dev/tt") << "cut to the buffer, terminated";
}

TEST_F(PortsTest, LocateComListsMappedDevicesThatExist) {
    for (int port = 1; port <= kMaxComPort; ++port)
        TestMapComPort(port, "/nonexistent/tty");
    std::ofstream(dir / "a");
    std::ofstream(dir / "b");
    std::ofstream(dir / "c");
    TestMapComPort(2, (dir / "a").c_str());
    TestMapComPort(9, (dir / "b").c_str());
    TestMapComPort(200, (dir / "c").c_str());
    int ports[255];
    EXPECT_EQ(LocateCom("", ports, 255), 3);
    EXPECT_EQ(ports[0], 2);
    EXPECT_EQ(ports[1], 9);
    EXPECT_EQ(ports[2], 200);
    int two[2] = {0, 0};
    EXPECT_EQ(LocateCom("", two, 2), 2) << "never more than the array holds";
    for (int port = 1; port <= kMaxComPort; ++port)
        TestMapComPort(port, nullptr);
}
