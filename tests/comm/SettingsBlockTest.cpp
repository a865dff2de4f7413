#include <gtest/gtest.h>

#include <cstring>

#include "comm/SettingsBlock.h"

namespace {
std::vector<uint8_t> Raw20(const char* text) {
    std::vector<uint8_t> r(20, ' ');
    for (size_t i = 0; text[i] && i < 20; ++i) r[i] = static_cast<uint8_t>(text[i]);
    return r;
}
std::string Packed(const char* text) {
    char out[24];
    CSettingsBlock::PackSoftwareVersion(Raw20(text).data(), out, sizeof out);
    return out;
}
}  // namespace

TEST(SettingsBlock, ReadChunksAtFrame1004) {
    auto none = CSettingsBlock::ReadChunks(0, 1004);
    ASSERT_EQ(none.size(), 1u) << "the area header is always read";
    EXPECT_EQ(none[0].offset, 12);
    EXPECT_EQ(none[0].count, 20);

    auto c97 = CSettingsBlock::ReadChunks(97, 1004);
    ASSERT_EQ(c97.size(), 1u);
    EXPECT_EQ(c97[0].count, 990);

    auto c120 = CSettingsBlock::ReadChunks(120, 1004);
    ASSERT_EQ(c120.size(), 2u);
    EXPECT_EQ(c120[0].records, 97);
    EXPECT_EQ(c120[0].offset, 12);
    EXPECT_EQ(c120[0].count, 990);
    EXPECT_EQ(c120[1].records, 23);
    EXPECT_EQ(c120[1].offset, 1002);
    EXPECT_EQ(c120[1].count, 230);

    auto c128 = CSettingsBlock::ReadChunks(128, 1004);
    ASSERT_EQ(c128.size(), 2u);
    EXPECT_EQ(c128[1].records, 31);
    // Frames of 30 to 39 bytes: the area header alone, then two records a chunk. A frame with no
    // room for the header is refused.
    EXPECT_TRUE(CSettingsBlock::ReadChunks(5, 29).empty());
    for (int frame : {30, 39}) {
        auto small = CSettingsBlock::ReadChunks(5, frame);
        ASSERT_EQ(small.size(), 4u) << frame;
        EXPECT_EQ(small[0].records, 0);
        EXPECT_EQ(small[0].count, 20);
        EXPECT_EQ(small[1].offset, 32);
        EXPECT_EQ(small[1].records, 2);
        EXPECT_EQ(small[3].records, 1);
        EXPECT_EQ(small[3].offset, 72);
    }
    EXPECT_EQ(CSettingsBlock::ReadChunks(5, 40).size(), 3u);  // 1, then 3, then 1
}

TEST(SettingsBlock, WriteChunksMarkTheLastOffset) {
    auto w = CSettingsBlock::WriteChunks(32 + 1280, 1004);
    ASSERT_EQ(w.size(), 2u);
    EXPECT_EQ(w[0].offset, 0);
    EXPECT_EQ(w[0].count, 994);
    EXPECT_EQ(w[1].offset, 0x83E2);
    EXPECT_EQ(w[1].count, 318);
    auto one = CSettingsBlock::WriteChunks(32, 1004);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].offset, 0x8000);
    std::vector<uint8_t> block(1312, 7);
    auto data = CSettingsBlock::ExtensionWriteData(block, w[1]);
    ASSERT_EQ(data.size(), 4u + 318);
    EXPECT_EQ(data[0], 0x83);
    EXPECT_EQ(data[1], 0xE2);
    EXPECT_TRUE(CSettingsBlock::ExtensionWriteData(block, {0x8000 | 1300, 20, 0}).empty()) << "past the block";
    EXPECT_TRUE(CSettingsBlock::WriteChunks(32, 19).empty()) << "no room for a record";
    EXPECT_EQ(CSettingsBlock::WriteChunks(32, 30).size(), 2u);
}

TEST(SettingsBlock, SoftwareVersionPacking) {
    EXPECT_EQ(Packed("V1.05"), "V1.0");
    EXPECT_EQ(Packed(" V 1 2 "), "V12");
    EXPECT_EQ(Packed("V1.2.345"), "V1.2");
    EXPECT_EQ(Packed("12345678901234567890"), "12345678901234567890");
}

TEST(SettingsBlock, FlagWordAndHead) {
    SettingsImage im{};
    const uint8_t head[12] = {0x00, 0xC1, 255, 255, 255, 0, 192, 168, 250, 9, 0, 3};
    ASSERT_TRUE(CSettingsBlock::DecodeHead(head, sizeof head, im));
    EXPECT_EQ(im.mappingTableMethod, 1);
    EXPECT_EQ(im.ipAddressMethod, 3);
    EXPECT_EQ(im.startupMethod, 0);
    EXPECT_EQ(im.ipAddress[3], 9);
    EXPECT_FALSE(CSettingsBlock::DecodeHead(head, 9, im));
}

TEST(SettingsBlock, EncodeThenDecodeKeepsEveryField) {
    SettingsImage im{};
    im.mappingTableMethod = 0;
    im.broadcastType = 1;
    im.ipAddressMethod = 2;
    im.systemFlags = CUnitSettings::ComposeSystemFlags(0, im);
    im.localArea1Type = 0xB0;
    im.localArea2Type = 0x82;
    im.localArea1Start = 100;
    im.localArea2ComStart = 0x1234;
    im.mapArea2Start = 0xFEDC;
    im.entries[0] = {5, 1, 10, 0, 20, 30};
    im.entries[1] = {255, 0, 1, 2, 3, 4};
    auto b = CSettingsBlock::Encode(im, 2);
    ASSERT_EQ(b.size(), 52u);
    EXPECT_EQ(b[10 + 1], 2);
    EXPECT_EQ(b[33], 0x10) << "order shifted into the high four bits";
    SettingsImage back{};
    ASSERT_TRUE(CSettingsBlock::DecodeHead(b.data(), b.size(), back));
    ASSERT_TRUE(CSettingsBlock::DecodeAreaHeader(&b[12], 20, back));
    ASSERT_TRUE(CSettingsBlock::DecodeRecords(&b[32], 20, 0, 2, false, back));
    EXPECT_EQ(back.broadcastType, 1);
    EXPECT_EQ(back.localArea2ComStart, 0x1234);
    EXPECT_EQ(back.mapArea2Start, 0xFEDC);
    EXPECT_EQ(std::memcmp(back.entries, im.entries, 2 * sizeof(MappingEntry)), 0);
    // Verify mode keeps the byte as the unit sent it.
    ASSERT_TRUE(CSettingsBlock::DecodeRecords(&b[32], 20, 0, 2, true, back));
    EXPECT_EQ(back.entries[0].receiveDataOrder, 16);
    // Short data and records past the table are refused.
    EXPECT_FALSE(CSettingsBlock::DecodeRecords(&b[32], 19, 0, 2, false, back));
    EXPECT_FALSE(CSettingsBlock::DecodeRecords(&b[32], 20, 127, 2, false, back));
    EXPECT_FALSE(CSettingsBlock::DecodeAreaHeader(&b[12], 19, back));
}

TEST(SettingsBlock, RequestBlocksAndReplies) {
    EXPECT_EQ(CSettingsBlock::AreaReadBlock(15, 6, 25), (std::vector<uint8_t>{0, 0x1F, 'F', 'L', 0, 6, 0, 25}));
    const uint8_t bytes[2] = {1, 2};
    EXPECT_EQ(CSettingsBlock::AreaWriteBlock(0, 0, 1, bytes, 2),
              (std::vector<uint8_t>{0, 0, 0, 0x10, 'F', 'L', 0, 0, 0, 1, 1, 2}));
    SettingsImage im{};
    std::vector<uint8_t> reply(44, ' ');
    std::memcpy(reply.data(), "VR4K-LUX22", 10);
    std::memcpy(&reply[20], "V2.10", 5);
    reply[40] = 10;
    std::string model;
    ASSERT_TRUE(CSettingsBlock::DecodeControllerData(reply.data(), 44, im, &model));
    EXPECT_EQ(model, "VR4K-LUX22");
    EXPECT_STREQ(im.softwareVersion, "V2.1");
    EXPECT_EQ(im.unitIpAddress[0], 10);
    EXPECT_FALSE(CSettingsBlock::DecodeControllerData(reply.data(), 43, im, &model));
    std::vector<uint8_t> unit(46, 0);
    unit[45] = 3;
    ASSERT_TRUE(CSettingsBlock::DecodeUnitData(unit.data(), 46, im));
    EXPECT_STREQ(im.protocolVersion, "3");
    EXPECT_FALSE(CSettingsBlock::DecodeUnitData(unit.data(), 45, im));
    EXPECT_FALSE(CSettingsBlock::DecodeUnitSetting(unit.data(), 14, im));
}
