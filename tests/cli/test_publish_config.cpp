// The publisher's settings file: its keys read as publish's options (the command line's own
// winning), and everything wrong in it said with the file, line and section before anything
// else happens; a password written into it is refused.
#include "cli/command_line.h"
#include "cli/publish_config.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

class CliPublishConfig : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/taviron-conf-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        path_ = dir_ + "/press4.conf";
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    void Write(const std::string &text) { std::ofstream(path_, std::ios::binary) << text; }

    // The words typed (after the program's name) with the file's read in, parsed.
    int Read(std::vector<std::string> typed, Invocation *inv, UsageError *error) {
        std::vector<std::string> words = {"taviron"};
        words.insert(words.end(), typed.begin(), typed.end());
        EXPECT_EQ(ConfigPathOf(words), path_);
        const int code = ReadPublishConfig(path_, 1, &words, &places_, &message_);
        std::vector<const char *> argv;
        for (const std::string &w : words)
            argv.push_back(w.c_str());
        ParseArguments(int(argv.size()), argv.data(), inv, error);
        return code;
    }

    std::string dir_, path_, message_;
    std::vector<ConfigPlace> places_;
};

const char kPress4[] = "; press 4 of line 2\r\n"
                       "[SENSOR]\r\nTCP = \"192.168.1.20:5000\"\r\n\r\n"
                       "[BROKER]\r\nMQTT = \"broker.plant:8883\"\r\nUser = press4\r\n"
                       "password_file = /etc/taviron/publish/press4.password\r\n"
                       "CAFILE = /etc/taviron/plant-ca.crt\r\n\r\n"
                       "[Publish]\r\nID = line2/press4\r\nPOLL = 50\r\nLOG = /var/log/taviron\r\n"
                       "CSV-STYLE = excel-de\r\nLANG = de\r\n";

TEST_F(CliPublishConfig, KeysAreTheOptionsAndTheCommandLineWins) {
    Write(kPress4);
    Invocation inv;
    UsageError error;
    ASSERT_EQ(Read({"publish", "--config", path_}, &inv, &error), 0) << message_;
    ASSERT_EQ(error.text, nullptr) << UsageErrorText(error, 1);
    EXPECT_EQ(inv.command, Command::Publish);
    EXPECT_EQ(inv.connection.kind, LinkKind::Tcp);
    EXPECT_EQ(inv.connection.host, "192.168.1.20");
    EXPECT_EQ(inv.connection.tcpPort, 5000);
    EXPECT_EQ(inv.mqttHost, "broker.plant");
    EXPECT_EQ(inv.mqttPort, 8883);
    EXPECT_EQ(inv.mqttUser, "press4");
    EXPECT_EQ(inv.passwordFile, "/etc/taviron/publish/press4.password");
    EXPECT_EQ(inv.caFile, "/etc/taviron/plant-ca.crt");
    EXPECT_EQ(inv.publishId, "line2/press4");
    EXPECT_EQ(inv.pollHz, 50);
    EXPECT_EQ(inv.logFolder, "/var/log/taviron");
    EXPECT_EQ(inv.csvStyle, CsvStyle::ExcelDe);
    EXPECT_EQ(inv.language, 0);
    ASSERT_FALSE(places_.empty());
    EXPECT_EQ(places_[0].option, "--tcp");
    EXPECT_EQ(places_[0].where, path_ + ":3: [SENSOR] TCP");

    // Typed: another sensor (the file's whole sensor section gives way), another id.
    ASSERT_EQ(
        Read({"--port", "COM2", "publish", "--id", "bench", "--config=" + path_}, &inv, &error), 0)
        << message_;
    ASSERT_EQ(error.text, nullptr) << UsageErrorText(error, 1);
    EXPECT_EQ(inv.connection.kind, LinkKind::Port);
    EXPECT_EQ(inv.publishId, "bench");
    EXPECT_EQ(inv.mqttHost, "broker.plant");
}

TEST_F(CliPublishConfig, WhatIsWrongInTheFileIsSaidWithItsPlace) {
    const struct {
        const char *text;
        const char *message; // after the file's path
    } cases[] = {
        {"[SENSOR]\nTCP = h:1\n[MQTT]\nHOST = b\n",
         ": [MQTT] unknown section (SENSOR, BROKER, PUBLISH)"},
        {"[BROKER]\nMQTT = b\nPORT = 1883\n", ":3: [BROKER] unknown key PORT"},
        {"[BROKER]\nMQTT = b\nUSER = u\nPassword = secret\n",
         ":4: [BROKER] PASSWORD does not belong here: the password stands alone in the file "
         "PASSWORD-FILE names"},
        {"[PUBLISH]\nID = a\nid = b\n", ":2: [PUBLISH] key id given twice"},
    };
    for (const auto &c : cases) {
        Write(c.text);
        std::vector<std::string> words = {"taviron", "publish", "--config", path_};
        EXPECT_EQ(ReadPublishConfig(path_, 1, &words, &places_, &message_), 2) << c.text;
        EXPECT_EQ(message_, path_ + c.message);
        EXPECT_EQ(words.size(), 4u) << "nothing added";
    }
    std::vector<std::string> words = {"taviron", "publish", "--config", dir_ + "/none.conf"};
    EXPECT_EQ(ReadPublishConfig(dir_ + "/none.conf", 1, &words, &places_, &message_), 2);
    EXPECT_EQ(message_, "File not found: " + dir_ + "/none.conf");
}

} // namespace
