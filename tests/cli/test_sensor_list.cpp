// The sensor list of --sensors: every way of naming a sensor's connection, and every mistake
// found before any sensor is asked, with the file, line and section.
#include "cli/exit_codes.h"
#include "cli/sensor_list.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

class CliSensorList : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/taviron-list-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        path_ = dir_ + "/line2.ini";
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    int Read(const std::string &text, bool fileNames = false, int language = 1) {
        std::ofstream(path_, std::ios::binary) << text;
        return ReadSensorList(path_, 115200, fileNames, language, &sensors_, &message_);
    }

    std::string dir_, path_;
    std::vector<SensorEntry> sensors_;
    std::string message_;
};

TEST_F(CliSensorList, EachSectionIsASensorInFileOrder) {
    ASSERT_EQ(Read("; press line 2\r\n"
                   "[Press 4 left]\r\n"
                   "TCP = \"192.168.1.20:5000\"\r\n"
                   "\r\n"
                   "[Press 5]\r\n"
                   "port = COM3\r\n"
                   "Baud = 9600\r\n"
                   "[Presse Süd]\n"
                   "DEVICE = \"/dev/serial/by-id/usb-A\"\n"
                   "[Press 7]\n"
                   "PORT = 7\n"
                   "[Press 8]\n"
                   "TCP = press8\n"),
              0)
        << message_;
    ASSERT_EQ(sensors_.size(), 5u);
    EXPECT_EQ(sensors_[0].name, "Press 4 left");
    EXPECT_EQ(sensors_[0].connection.kind, LinkKind::Tcp);
    EXPECT_EQ(ConnectionText(sensors_[0].connection), "192.168.1.20:5000");
    EXPECT_EQ(sensors_[1].connection.kind, LinkKind::Port);
    EXPECT_EQ(sensors_[1].connection.port, 3);
    EXPECT_EQ(sensors_[1].connection.baud, 9600);
    EXPECT_EQ(sensors_[2].name, "Presse Süd");
    EXPECT_EQ(sensors_[2].connection.device, "/dev/serial/by-id/usb-A");
    EXPECT_EQ(sensors_[2].connection.baud, 115200); // the default rate
    EXPECT_EQ(ConnectionText(sensors_[3].connection), "COM7");
    EXPECT_EQ(ConnectionText(sensors_[4].connection), "press8:5000");
    EXPECT_EQ(message_, "");
}

TEST_F(CliSensorList, MistakesAreNamedWithFileLineAndSection) {
    const struct {
        const char *text;
        const char *message; // after the path
    } cases[] = {
        {"", ": no sensors in it (one section [NAME] per sensor, with PORT, DEVICE or TCP)"},
        {"PORT = 1\n", ": no sensors in it (one section [NAME] per sensor, with PORT, DEVICE or "
                       "TCP)"},
        {"[A]\nTCP = h:1\n[B]\n", ": [B] no connection (PORT, DEVICE or TCP)"},
        {"[A]\nTCP = h:1\nPORT = 2\n", ": [A] more than one connection (only one of PORT, "
                                       "DEVICE, TCP)"},
        {"[A]\nTCP = h:1\nBAUDRATE = 9600\n", ":3: [A] unknown key BAUDRATE (PORT, DEVICE, TCP, "
                                              "BAUD)"},
        {"[A]\nPORT = 1\nPORT = 2\n", ": [A] key PORT given twice"},
        {"[A]\n\nPORT = COM0\n", ":3: [A] invalid PORT COM0 (COM1 to COM255)"},
        {"[A]\nTCP = \"h:x\"\n", ":2: [A] invalid TCP h:x (HOST:PORT)"},
        {"[A]\nDEVICE = \"\"\n", ":2: [A] DEVICE without a path"},
        {"[A]\nPORT = 1\nBAUD = 1200\n", ":3: [A] invalid BAUD 1200 (9600, 19200, 38400, 57600, "
                                         "115200, 230400, 460800, 921600)"},
        {"[A]\nTCP = h\nBAUD = 9600\n", ":3: [A] BAUD applies to PORT and DEVICE only"},
        {"[A]\nPORT = 1\n[a]\nPORT = 2\n", ": [a] sensor listed twice"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Read(c.text), kExitUsage) << c.text;
        EXPECT_EQ(message_, path_ + c.message) << c.text;
        EXPECT_TRUE(sensors_.empty()) << c.text;
    }
    // In German.
    EXPECT_EQ(Read("[A]\nTCP = h:1\nPORT = 2\n", false, 0), kExitUsage);
    EXPECT_EQ(message_, path_ + ": [A] mehr als eine Verbindung (nur eines von PORT, DEVICE, TCP)");
}

TEST_F(CliSensorList, NamesMustBeFileNamesOnlyWhereFilesAreNamedAfterThem) {
    const std::string list = "[Line 2/Press 4]\nPORT = 1\n";
    EXPECT_EQ(Read(list), 0) << message_;
    EXPECT_EQ(Read(list, true), kExitUsage);
    EXPECT_EQ(message_, path_ + ": [Line 2/Press 4] name cannot be a file name (empty, \".\", "
                                "\"..\", '/' or '\\')");
    for (const char *bad : {"", ".", "..", "a/b", "a\\b", "a\tb"})
        EXPECT_FALSE(UsableAsFileName(bad)) << bad;
    for (const char *good : {"Press 4", "Presse Süd", "...", "a.b"})
        EXPECT_TRUE(UsableAsFileName(good)) << good;
}

TEST_F(CliSensorList, AMissingListIsAUsageError) {
    EXPECT_EQ(ReadSensorList(dir_ + "/none.ini", 115200, false, 1, &sensors_, &message_),
              kExitUsage);
    EXPECT_EQ(message_, "File not found: " + dir_ + "/none.ini");
    EXPECT_EQ(ReadSensorList(dir_, 115200, false, 0, &sensors_, &message_), kExitUsage);
    EXPECT_EQ(message_, "Das ist ein Ordner, keine Datei: " + dir_);
}

} // namespace
