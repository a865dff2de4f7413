#include <gtest/gtest.h>

#include "comm/ZephDatagram.h"

TEST(Datagram, ReplyRoundTripsWithAddressesAndEndCode) {
    ZephDatagram d;
    d.kind = ZephDatagram::kReply;
    d.requestId = 0x01020304;
    d.destination = {2, 5, 0x10};
    d.source = {1, 9, 3};
    d.command = 0x0501;
    d.endCode = 0x8A1B;
    d.data = {1, 2, 3};
    std::vector<uint8_t> b = EncodeDatagram(d);
    ASSERT_EQ(b.size(), ZephDatagram::kReplyHeader + 3);
    EXPECT_EQ(b[4], 0x01);
    EXPECT_EQ(b[7], 0x04);
    EXPECT_EQ(b[16], 0x05);
    EXPECT_EQ(b[17], 0x01);
    ZephDatagram back;
    ASSERT_EQ(DecodeDatagram(b.data(), b.size(), &back), DatagramCheck::Ok);
    EXPECT_EQ(back.requestId, d.requestId);
    EXPECT_EQ(back.destination.node, 5);
    EXPECT_EQ(back.destination.unit, 0x10);
    EXPECT_EQ(back.source.network, 1);
    EXPECT_EQ(back.endCode, 0x8A1B);
    EXPECT_EQ(back.data, d.data);
}

TEST(Datagram, RequestHasNoEndCode) {
    ZephDatagram d;
    d.command = 0x0104;
    d.data.assign(8, 0xAA);
    std::vector<uint8_t> b = EncodeDatagram(d);
    EXPECT_EQ(b.size(), ZephDatagram::kRequestHeader + 8);
    ZephDatagram back;
    ASSERT_EQ(DecodeDatagram(b.data(), b.size(), &back), DatagramCheck::Ok);
    EXPECT_EQ(back.kind, ZephDatagram::kRequest);
    EXPECT_EQ(back.data.size(), 8u);
}

TEST(Datagram, ShortOrForeignOrCutDatagramsAreNamed) {
    ZephDatagram d;
    d.kind = ZephDatagram::kReply;
    d.requestId = 77;
    d.data.assign(10, 1);
    std::vector<uint8_t> b = EncodeDatagram(d);
    ZephDatagram out;
    EXPECT_EQ(DecodeDatagram(b.data(), 3, &out), DatagramCheck::TooShort);
    EXPECT_EQ(DecodeDatagram(b.data(), ZephDatagram::kReplyHeader - 1, &out), DatagramCheck::TooShort);
    // Cut inside the data: the header survives, so the receiver knows whose reply it was.
    ASSERT_EQ(DecodeDatagram(b.data(), b.size() - 1, &out), DatagramCheck::BadLength);
    EXPECT_EQ(out.requestId, 77u);
    EXPECT_TRUE(out.data.empty());
    std::vector<uint8_t> longer = b;
    longer.push_back(0);
    EXPECT_EQ(DecodeDatagram(longer.data(), longer.size(), &out), DatagramCheck::BadLength);
    b[0] = 'X';
    EXPECT_EQ(DecodeDatagram(b.data(), b.size(), &out), DatagramCheck::BadMagic);
}
