// Golden vectors for the CRC-8 and the request frames, and the header check's rejections.
#include "protocol/frame.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// Bitwise reference of the Dallas/Maxim CRC step, independent of the table.
uint8_t crcStepBitwise(uint8_t crc, uint8_t byte) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit)
        crc = (crc & 1) ? uint8_t((crc >> 1) ^ 0x8C) : uint8_t(crc >> 1);
    return crc;
}

std::vector<uint8_t> build(uint8_t order, uint16_t argument, std::vector<uint8_t> data = {}) {
    std::vector<uint8_t> out(FrameMaxSize);
    int n = frameBuild(out.data(), int(out.size()), order, argument, data.data(), int(data.size()));
    out.resize(n < 0 ? 0 : size_t(n));
    return out;
}

} // namespace

TEST(Crc8, TableMatchesBitwisePolynomial) {
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(Crc8Table[i], crcStepBitwise(0, uint8_t(i))) << "entry " << i;
    EXPECT_EQ(Crc8Table[1], 0x5E);
    EXPECT_EQ(Crc8Table[255], 0x35);
}

TEST(Crc8, CheckValueOf123456789) {
    const uint8_t text[] = "xx123456789";
    EXPECT_EQ(crc8Update(text, 2, 9, Crc8Table), 0x6D); // start index honoured
    uint8_t crc = 0;
    for (int i = 2; i < 11; ++i)
        crc = Crc8Table[crc ^ text[i]];
    EXPECT_EQ(crc, 0xA1); // the published check value with initial value 0
    EXPECT_EQ(crc8Update(text, 0, 0, Crc8Table), Crc8Init);
}

TEST(FrameBytes, GoldenRequests) {
    struct Case {
        uint8_t order;
        uint16_t argument;
        std::vector<uint8_t> data;
        std::vector<uint8_t> expected;
    };
    const Case cases[] = {
        {OrderGetPara, 0, {}, {0x55, 0x02, 0x00, 0x00, 0x00, 0x00, 0xAA, 0xB9}},
        {OrderFirmware, 0, {}, {0x55, 0x07, 0x00, 0x00, 0x00, 0x00, 0xAA, 0x52}},
        {OrderLiveData, 0, {}, {0x55, 0x08, 0x00, 0x00, 0x00, 0x00, 0xAA, 0x76}},
        {OrderSensorId, 0, {}, {0x55, 0x0F, 0x00, 0x00, 0x00, 0x00, 0xAA, 0xF3}},
        {OrderChangeBaudrate, 4, {}, {0x55, 0xBE, 0x04, 0x00, 0x00, 0x00, 0xAA, 0xDC}},
        {OrderSendPara,
         0,
         {0x32, 0x00, 0x19, 0x00, 0x00, 0x00, 0x00, 0x00},
         {0x55, 0x01, 0x00, 0x00, 0x08, 0x00, 0x21, 0x69, 0x32, 0x00, 0x19, 0x00, 0x00, 0x00, 0x00,
          0x00}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(build(c.order, c.argument, c.data), c.expected) << "order " << int(c.order);
        FrameHeader h;
        ASSERT_TRUE(frameCheckHeader(c.expected.data(), &h));
        EXPECT_EQ(h.order, c.order);
        EXPECT_EQ(h.argument, c.argument);
        EXPECT_EQ(h.length, c.data.size());
        EXPECT_EQ(h.dataCrc, c.expected[6]);
    }
}

TEST(FrameBytes, HeaderCheckRejectsEveryBitErrorAndWrongStart) {
    const std::vector<uint8_t> good = build(OrderHardwareInfo, HardwareInfoKey);
    FrameHeader h{7, 7, 7, 7};
    for (int bit = 0; bit < 64; ++bit) {
        std::vector<uint8_t> bad = good;
        bad[bit / 8] ^= uint8_t(1 << (bit % 8));
        EXPECT_FALSE(frameCheckHeader(bad.data(), &h)) << "bit " << bit;
    }
    EXPECT_EQ(h.order, 7); // a rejected header leaves the fields alone

    // A header whose CRC is right but whose start byte is not 0x55.
    uint8_t other[8] = {0x56, OrderGetPara, 0, 0, 0, 0, 0xAA, 0};
    other[7] = crc8Update(other, 0, 7, Crc8Table);
    EXPECT_EQ(crc8Update(other, 0, 8, Crc8Table), 0);
    EXPECT_FALSE(frameCheckHeader(other, nullptr));
}

TEST(FrameBytes, BuildLimitsAndInPlaceData) {
    std::vector<uint8_t> buf(FrameMaxSize + 1, 0);
    EXPECT_EQ(frameBuild(buf.data(), int(buf.size()), 8, 0, buf.data() + 8, FrameMaxData + 1), -1);
    EXPECT_EQ(frameBuild(buf.data(), 15, OrderSendPara, 0, buf.data() + 8, 8), -1);
    EXPECT_EQ(frameBuild(buf.data(), int(buf.size()), 8, 0, buf.data() + 8, FrameMaxData),
              FrameMaxSize);

    // Data already placed behind the header stay there and get their CRC.
    uint8_t frame[16] = {};
    const uint8_t para[8] = {0x2C, 0x01, 0x19, 0x00, 0x01, 0x00, 0x00, 0x00};
    std::memcpy(frame + 8, para, 8);
    ASSERT_EQ(frameBuild(frame, 16, OrderSendPara, 0, frame + 8, 8), 16);
    EXPECT_EQ(std::memcmp(frame + 8, para, 8), 0);
    EXPECT_EQ(frame[6], crc8Update(para, 0, 8, Crc8Table));
    EXPECT_EQ(crc8Update(frame, 0, 8, Crc8Table), 0);
}

TEST(FrameBytes, LittleEndianHelpers) {
    const uint8_t bytes[4] = {0x01, 0x02, 0x03, 0x84};
    EXPECT_EQ(getU16(bytes), 0x0201);
    EXPECT_EQ(getU32(bytes), 0x84030201u);
    uint8_t out[4] = {};
    putU32(out, 0x84030201u);
    EXPECT_EQ(std::memcmp(out, bytes, 4), 0);
    putU16(out, 300);
    EXPECT_EQ(out[0], 0x2C);
    EXPECT_EQ(out[1], 0x01);
}
