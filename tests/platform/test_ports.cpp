// COM port numbers to devices: the mapping file beside the program, the mappings tests make,
// the Linux default, the numbers given to USB adapters in a fake device tree, the port listing
// and the description FIND COM PORTS shows.
#include "platform/core/ports.h"
#include "platform/testing.h"
#include "platform/ui.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Device(int port) {
    char buf[MAX_PATHNAME_LEN];
    ComDeviceName(port, buf, sizeof buf);
    return buf;
}

std::string Description(int port) {
    char buf[MAX_PATHNAME_LEN];
    GetComPortDescription(port, buf, sizeof buf);
    return buf;
}

std::vector<int> Located() {
    int ports[kMaxComPort];
    int n = LocateCom("", ports, kMaxComPort);
    return std::vector<int>(ports, ports + (n > 0 ? n : 0));
}

std::string ReadFile(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const fs::path &p, const std::string &text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

// A private program directory for the mapping file, and an empty fake device tree (no
// adapters, no built-in ports) unless a test fills it.
class PortsTest : public ::testing::Test {
  protected:
    fs::path dir, byId, sys;
    void SetUp() override {
        char tmpl[] = "/tmp/taviron-ports-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        byId = dir / "dev" / "serial" / "by-id";
        sys = dir / "sys";
        fs::create_directories(byId);
        fs::create_directories(sys / "class" / "tty");
        TestSetProjectDir(dir.c_str());
        TestSetDeviceRoots(byId.c_str(), sys.c_str());
    }
    void TearDown() override {
        TestSetDeviceRoots(nullptr, nullptr);
        TestSetProjectDir("");
        fs::remove_all(dir);
    }
    fs::path MapFile() const { return dir / "ComPorts.cfg"; }
    // A built-in port whose UART the system found (type not 0) or did not (type 0).
    void BuiltIn(int ttyS, const char *type) {
        WriteFile(sys / "class" / "tty" / ("ttyS" + std::to_string(ttyS)) / "type",
                  std::string(type) + "\n");
    }
    // A USB adapter: its device node, its by-id link and, with a product name, the USB device
    // above the tty in the device information.
    fs::path Adapter(const std::string &byIdName, const std::string &node,
                     const std::string &product) {
        fs::path dev = dir / "dev" / node;
        WriteFile(dev, "");
        fs::remove(byId / byIdName);
        fs::create_symlink(fs::path("../..") / node, byId / byIdName);
        fs::path usb = sys / "devices" / "usb1" / ("1-" + node);
        fs::path ttyDevice = usb / "1-1:1.0" / node;
        fs::create_directories(ttyDevice);
        if (!product.empty()) WriteFile(usb / "product", product + "\n");
        fs::path cls = sys / "class" / "tty" / node;
        fs::remove_all(cls);
        fs::create_directories(cls);
        fs::create_directory_symlink(ttyDevice, cls / "device");
        return dev;
    }
};

} // namespace

TEST_F(PortsTest, MappingFileTestMappingAndDefault) {
    EXPECT_EQ(Device(1), "/dev/ttyS0");
    EXPECT_EQ(Device(12), "/dev/ttyS11");
    // Keys and section in any case, quoted values with escapes or plain ones; other sections
    // and items without a value do not count.
    WriteFile(MapFile(), "; written by hand\r\n"
                         "[OTHER]\r\nCOM2 = \"/dev/wrong\"\r\n"
                         "[com ports]\r\n"
                         "COM1 = \"/dev/pts/3\"\r\n"
                         "  com2=/dev/ttyUSB0  \r\n"
                         "COM10 = \"/dev/odd \\\"name\\\" \\\\x\"\r\n"
                         "COM12 = \"/dev/ttyUSB1\"\r\n"
                         "COM3\r\n");
    struct Case {
        int port;
        const char *device;
    } cases[] = {{1, "/dev/pts/3"},    {2, "/dev/ttyUSB0"}, {10, "/dev/odd \"name\" \\x"},
                 {12, "/dev/ttyUSB1"}, {3, "/dev/ttyS2"},   {11, "/dev/ttyS10"}};
    for (const Case &c : cases)
        EXPECT_EQ(Device(c.port), c.device) << c.port;
    TestMapComPort(1, "/dev/pts/99"); // a test's own mapping comes first
    EXPECT_EQ(Device(1), "/dev/pts/99");
    TestMapComPort(1, nullptr);
    EXPECT_EQ(Device(1), "/dev/pts/3");
    // Read afresh on every call: a mapping written while the program runs counts at once.
    fs::remove(MapFile());
    EXPECT_EQ(Device(1), "/dev/ttyS0");

    char buf[8] = "x";
    EXPECT_EQ(ComDeviceName(0, buf, sizeof buf), -2);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(ComDeviceName(256, buf, sizeof buf), -2);
    EXPECT_EQ(ComDeviceName(255, buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "/dev/tt") << "cut to the buffer, terminated";
}

TEST_F(PortsTest, LocateComListsMappedDevicesThatExistAndBuiltInPortsPresent) {
    BuiltIn(0, "4"); // COM1 has a UART
    BuiltIn(1, "0"); // COM2's node exists without one
    std::ofstream(dir / "a");
    std::ofstream(dir / "b");
    TestMapComPort(9, (dir / "a").c_str());
    TestMapComPort(200, (dir / "b").c_str());
    TestMapComPort(7, "/nonexistent/tty");
    EXPECT_EQ(Located(), (std::vector<int>{1, 9, 200}));
    int two[2] = {0, 0};
    EXPECT_EQ(LocateCom("", two, 2), 2) << "never more than the array holds";
    for (int port : {7, 9, 200})
        TestMapComPort(port, nullptr);
}

// Adapters get the lowest free numbers from COM3 up, in the order of their stable names,
// skipping numbers the file uses and built-in ports present; the file records them by their
// stable names, so a replug onto another device node keeps the number.
TEST_F(PortsTest, AdaptersGetNumbersRecordedByTheirStableNames) {
    BuiltIn(0, "4");
    BuiltIn(2, "4"); // COM3 is a built-in port present
    WriteFile(MapFile(), "[COM PORTS]\r\nCOM4 = \"/dev/absent\"\r\n");
    const std::string adapter = "usb-Serial_Adapter_A50285BI-if00-port0";
    const std::string acm = "usb-Board_9563-if00";
    fs::path usb0 = Adapter(adapter, "ttyUSB0", "USB Serial Adapter");
    fs::path acm0 = Adapter(acm, "ttyACM0", "");

    EXPECT_EQ(Located(), (std::vector<int>{1, 3, 5, 6}));
    const std::string expected = "[COM PORTS]\r\n"
                                 "COM4 = \"/dev/absent\"\r\n"
                                 "COM5 = \"" +
                                 (byId / acm).string() +
                                 "\"\r\n"
                                 "COM6 = \"" +
                                 (byId / adapter).string() +
                                 "\"\r\n"
                                 "\r\n";
    EXPECT_EQ(ReadFile(MapFile()), expected);
    EXPECT_EQ(Description(1), "/dev/ttyS0");
    EXPECT_EQ(Description(6), usb0.string() + " (USB Serial Adapter)");
    EXPECT_EQ(Description(5), acm0.string()) << "no product name known";
    EXPECT_EQ(Device(6), (byId / adapter).string());

    // Unplugged: the number is no longer listed, and stays reserved for the adapter.
    fs::remove(byId / adapter);
    EXPECT_EQ(Located(), (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(ReadFile(MapFile()), expected);
    // Plugged in again, the system names another node: same number, same file.
    fs::path usb1 = Adapter(adapter, "ttyUSB1", "USB Serial Adapter");
    EXPECT_EQ(Located(), (std::vector<int>{1, 3, 5, 6}));
    EXPECT_EQ(Description(6), usb1.string() + " (USB Serial Adapter)");
    EXPECT_EQ(ReadFile(MapFile()), expected);
    // A number the operator gave an adapter by hand is kept, under any name for the device.
    fs::path usb2 = Adapter("usb-Other_Adapter-if00-port0", "ttyUSB2", "");
    WriteFile(MapFile(), expected.substr(0, expected.size() - 2) + "COM20 = \"" + usb2.string() +
                             "\"\r\n\r\n");
    EXPECT_EQ(Located(), (std::vector<int>{1, 3, 5, 6, 20}));
    EXPECT_EQ(Device(20), usb2.string());
}
