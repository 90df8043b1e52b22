// The hardware text of the sensor's block and the hardware information file as the INI library
// writes it, without panels or link.
#include "params/layout/hwinfo_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string Text(const std::vector<std::uint8_t> &block, int count) {
    char text[kHwTextSize];
    std::memset(text, 'X', sizeof text);
    HardwareText(block.data(), count, text);
    EXPECT_EQ(text[kHwTextLength], 0);
    return text;
}

// The block the simulated sensor sends: word 0 = 0x1234, word 1 = 4711, word k = 0xA500 + k.
std::vector<std::uint8_t> SensorBlock() {
    std::vector<std::uint8_t> b(kHwBlockSize);
    for (int k = 0; k < 256; ++k) {
        int w = k == 0 ? 0x1234 : k == 1 ? 4711 : 0xA500 + k;
        b[2 * k] = std::uint8_t(w);
        b[2 * k + 1] = std::uint8_t(w >> 8);
    }
    return b;
}

std::string ReadFile(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Lines(const std::string &bytes) {
    std::vector<std::string> out;
    std::size_t at = 0, end;
    while ((end = bytes.find("\r\n", at)) != std::string::npos) {
        out.push_back(bytes.substr(at, end - at));
        at = end + 2;
    }
    EXPECT_EQ(at, bytes.size()) << "every line ends in CR LF";
    return out;
}

class HwInfoFileLayout : public ::testing::Test {
  protected:
    fs::path dir = fs::temp_directory_path() / ("taviron_hwlayout_" + std::to_string(getpid()));
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }

    std::string Write(const char *firmware, int firmwareSize, const char *text,
                      std::vector<std::uint16_t> values) {
        IniText doc = Ini_New(0);
        PutHwInfoItems(doc, firmware, firmwareSize, text, values.data());
        fs::path path = dir / "hw.ini";
        EXPECT_EQ(Ini_WriteToFile(doc, path.c_str()), 0);
        Ini_Dispose(doc);
        return ReadFile(path);
    }
};

} // namespace

TEST(HardwareText, BlockFrom3412ToFF00) {
    std::vector<std::uint8_t> block(kHwBlockSize, 0);
    block[0] = 0x34;
    block[1] = 0x12;
    block[510] = 0xFF;
    block[511] = 0x00;
    std::string text = Text(block, kHwBlockSize);
    ASSERT_EQ(text.size(), 1024u);
    EXPECT_EQ(text.substr(0, 8), "12340000");
    EXPECT_EQ(text.substr(1016), "000000ff");
    EXPECT_EQ(text.find_first_not_of('0', 4), 1022u) << "everything between is zero";
}

TEST(HardwareText, EveryWordInItsPlace) {
    std::string text = Text(SensorBlock(), kHwBlockSize);
    for (int k = 0; k < 256; ++k) {
        char expected[5];
        std::snprintf(expected, sizeof expected, "%04x",
                      k == 0   ? 0x1234
                      : k == 1 ? 4711
                               : 0xA500 + k);
        ASSERT_EQ(text.substr(4 * k, 4), expected) << "word " << k;
    }
}

// A short reply: the text keeps its 1024 characters and shows only the bytes that arrived.
TEST(HardwareText, ShortBlockShowsMissingBytesAsDashes) {
    std::vector<std::uint8_t> block = SensorBlock();
    struct Case {
        int count;
        std::string head;
        int dashesFrom; // first character that is a dash
    };
    const Case cases[] = {
        {0, "--------", 0},      {1, "--34----", 0},  // low byte of word 0 only
        {3, "1234--67", 4},                           // word 1 lacks its high byte
        {4, "12341267", 8},                           // two whole words
        {511, "12341267", 1020}, {-5, "--------", 0}, // nothing counts as nothing
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.count);
        std::string text = Text(block, c.count);
        ASSERT_EQ(text.size(), 1024u);
        EXPECT_EQ(text.substr(0, 8), c.head);
        EXPECT_EQ(text.find('-'), std::size_t(c.dashesFrom));
        int missing = kHwBlockSize - std::max(c.count, 0);
        EXPECT_EQ(std::count(text.begin(), text.end(), '-'), 2 * missing);
    }
    // 511 bytes: only the last word's high byte is missing.
    EXPECT_EQ(Text(block, 511).substr(1020), "--ff");
}

TEST(HardwareText, TakesNoMoreThan512Bytes) {
    std::vector<std::uint8_t> block = SensorBlock();
    block.resize(600, 0xEE);
    EXPECT_EQ(Text(block, 600), Text(SensorBlock(), kHwBlockSize));
}

TEST_F(HwInfoFileLayout, WrittenByteForByteWithDataIn13Pieces) {
    char text[kHwTextSize];
    std::vector<std::uint8_t> block = SensorBlock();
    HardwareText(block.data(), kHwBlockSize, text);
    char firmware[72] = "TAVIRON V1.0.3 2026-11-28";

    std::string written = Write(firmware, sizeof firmware, text, {120, 7, 1, 1});

    EXPECT_EQ(written, ReadFile(fs::path(TAVIRON_TEST_DATA) / "HardwareInitialFile.ini"));
}

TEST_F(HwInfoFileLayout, AllZeroBlockGivesTwelvePiecesOf80AndOneOf64) {
    char text[kHwTextSize];
    std::vector<std::uint8_t> zeros(kHwBlockSize, 0);
    HardwareText(zeros.data(), kHwBlockSize, text);
    std::vector<std::string> lines = Lines(Write("FW", 72, text, {0, 0, 0, 0}));
    ASSERT_GE(lines.size(), 19u);
    EXPECT_EQ(lines[5], "[HARDWARE INFO]");
    for (int k = 1; k <= 13; ++k) {
        char tag[32];
        std::snprintf(tag, sizeof tag, "DATA Line%04d = \"", k);
        std::string expected = tag + std::string(k < 13 ? 80 : 64, '0') + "\"";
        EXPECT_EQ(lines[5 + k], expected);
    }
    EXPECT_EQ(lines[19], "");

    // Read back, the pieces are one DATA value again.
    IniText doc = Ini_New(0);
    ASSERT_EQ(Ini_ReadFromFile(doc, (dir / "hw.ini").c_str()), 0);
    char data[2048];
    EXPECT_EQ(Ini_GetStringIntoBuffer(doc, "HARDWARE INFO", "DATA", data, sizeof data), 1);
    EXPECT_EQ(std::string(data), std::string(1024, '0'));
    Ini_Dispose(doc);
}

// The firmware text comes from the sensor: it is escaped like any string and never read past
// its buffer, even when the sensor filled all of it.
TEST_F(HwInfoFileLayout, FirmwareTextIsEscapedAndBounded) {
    char text[kHwTextSize];
    HardwareText(nullptr, 0, text);
    struct Case {
        std::string firmware; // bytes of the 72-byte buffer
        std::string line;
    };
    const Case cases[] = {
        {std::string("V1 \"beta\" C:\\x\n", 16) + std::string(56, '\0'),
         "FIRMWARE VERSION: = \"V1 \\\"beta\\\" C:\\\\x\\n\""},
        {std::string(72, 'A'), "FIRMWARE VERSION: = \"" + std::string(72, 'A') + "\""},
        {std::string(72, '\0'), "FIRMWARE VERSION: = \"\""},
    };
    for (const Case &c : cases) {
        char buffer[80];
        std::memset(buffer, 'Z', sizeof buffer); // what lies beyond the 72 bytes
        std::memcpy(buffer, c.firmware.data(), 72);
        std::vector<std::string> lines = Lines(Write(buffer, 72, text, {1, 2, 3, 4}));
        ASSERT_GE(lines.size(), 4u);
        EXPECT_EQ(lines[3], c.line);
    }
}
