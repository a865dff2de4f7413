#include <gtest/gtest.h>

#include <memory>

#include "comm/StatusReplies.h"

namespace {
std::vector<uint8_t> Words(const std::vector<uint16_t>& w, uint8_t area = 0x82) {
    std::vector<uint8_t> d;
    for (uint16_t v : w) {
        d.push_back(area);
        d.push_back(static_cast<uint8_t>(v >> 8));
        d.push_back(static_cast<uint8_t>(v));
    }
    return d;
}
std::unique_ptr<StatusArea> Fresh() { return std::make_unique<StatusArea>(StatusArea{}); }
}  // namespace

TEST(StatusReplies, Unit15Addresses) {
    auto link = CStatusReplies::DataLinkRequest(15);
    ASSERT_EQ(link.size(), 64u);
    EXPECT_EQ(link[0], 0xB0);
    EXPECT_EQ((link[1] << 8) | link[2], 1884);
    EXPECT_EQ((link[61] << 8) | link[62], 1899);
    auto net = CStatusReplies::NetworkRequest(15);
    ASSERT_EQ(net.size(), 256u);
    EXPECT_EQ(net[0], 0x82);
    EXPECT_EQ((net[1] << 8) | net[2], 31500);
    EXPECT_EQ((net[253] << 8) | net[254], 31563);
    auto err = CStatusReplies::ErrorStatusRequest(15);
    EXPECT_EQ(err, (std::vector<uint8_t>{0xB0, 0x07, 0x59, 0}));  // 1881
}

TEST(StatusReplies, NetworkNibbles) {
    auto s = Fresh();
    s->nodeStatus[7].participating = 1;
    std::vector<uint16_t> w(64, 0);
    w[0] = 0x0010;
    ASSERT_TRUE(CStatusReplies::DecodeNetwork(Words(w).data(), 192, *s));
    EXPECT_EQ(s->nodeStatus[0].areaAllocError, 1u);
    EXPECT_EQ(s->nodeStatus[0].participating, 0u);
    EXPECT_EQ(s->nodeStatus[7].participating, 0u) << "cleared by a good reply";
    w[0] = 0x000F;  // the lowest nibble belongs to no node
    w[63] = 0xA000;
    ASSERT_TRUE(CStatusReplies::DecodeNetwork(Words(w).data(), 192, *s));
    EXPECT_EQ(s->nodeStatus[0].areaAllocError, 0u);
    EXPECT_EQ(s->nodeStatus[254].participating, 1u);
    EXPECT_EQ(s->nodeStatus[254].upperLayerRunning, 1u);
    EXPECT_EQ(s->nodeStatus[254].areaAllocError, 0u);
    s->nodeStatus[3].participating = 1;
    EXPECT_FALSE(CStatusReplies::DecodeNetwork(Words(w).data(), 191, *s));
    EXPECT_EQ(s->nodeStatus[3].participating, 1u) << "a short reply leaves the record";
}

TEST(StatusReplies, DataLinkErrorWordNodeInfoCycle) {
    auto s = Fresh();
    std::vector<uint16_t> w(16, 0);
    w[0] = 0x0001;
    w[15] = 0x8000;
    ASSERT_TRUE(CStatusReplies::DecodeDataLink(Words(w, 0xB0).data(), 48, *s));
    EXPECT_EQ(s->participation[0], 1u);
    EXPECT_EQ(s->participation[255], 1u);
    EXPECT_EQ(s->participation[1], 0u);
    EXPECT_FALSE(CStatusReplies::DecodeDataLink(Words(w, 0xB0).data(), 47, *s));
    ASSERT_TRUE(CStatusReplies::DecodeErrorStatus(Words({0x1234}, 0xB0).data(), 3, *s));
    EXPECT_EQ(s->errorStatusWord, 0x1234);
    EXPECT_FALSE(CStatusReplies::DecodeErrorStatus(Words({1}).data(), 2, *s));

    std::vector<uint8_t> info = {9, 1, 2, 3, 4, 5, 0x01, 0x02, 0xEE, 6, 0, 7, 0, 8, 0, 9, 0x10, 0x0A};
    ASSERT_TRUE(CStatusReplies::DecodeNodeInfo(1, info.data(), info.size(), *s));
    EXPECT_EQ(s->nodeInfo.completion, 1);
    EXPECT_EQ(s->nodeInfo.frameInterval, 5);
    EXPECT_EQ(s->nodeInfo.refreshAllowed, 0x0102);
    EXPECT_EQ(s->nodeInfo.localState, 6);
    EXPECT_EQ(s->nodeInfo.area2Size, 0x100A);
    EXPECT_FALSE(CStatusReplies::DecodeNodeInfo(0, info.data(), 17, *s));

    std::vector<uint8_t> cycle = {3, 4, 0, 1, 0, 2, 0, 3, 1, 0};
    ASSERT_TRUE(CStatusReplies::DecodeCycleTime(cycle.data(), 10, *s));
    EXPECT_EQ(s->cycleTime.refreshMinimum, 256);
    EXPECT_FALSE(CStatusReplies::DecodeCycleTime(cycle.data(), 9, *s));
}

TEST(StatusReplies, MessageSequenceSlices) {
    auto s = Fresh();
    std::vector<uint8_t> send(8 + 62 * 4, 0);
    send[3] = 1;                 // version, skipped for parameter 4
    send[8 + 3] = 0x42;          // node index 192
    send[send.size() - 1] = 0x43;  // node index 253
    ASSERT_TRUE(CStatusReplies::DecodeMessageSequence(4, 3, send.data(), send.size(), *s));
    EXPECT_EQ(s->sendSequence[192], 0x42u);
    EXPECT_EQ(s->sendSequence[253], 0x43u);
    EXPECT_EQ(s->sequenceVersion, 0u);
    EXPECT_FALSE(CStatusReplies::DecodeMessageSequence(4, 3, send.data(), send.size() - 1, *s));

    std::vector<uint8_t> first(8 + 64 * 4, 0);
    first[3] = 7;
    first[7] = 8;
    ASSERT_TRUE(CStatusReplies::DecodeMessageSequence(1, 0, first.data(), first.size(), *s));
    EXPECT_EQ(s->sequenceVersion, 7u);
    EXPECT_EQ(s->sequenceSend1toN, 8u);

    std::vector<uint8_t> recv(62 * 12, 0);
    recv[recv.size() - 1] = 9;
    ASSERT_TRUE(CStatusReplies::DecodeMessageSequence(0x14, 7, recv.data(), recv.size(), *s));
    EXPECT_EQ(s->receiveSequence[253].oneToOne, 9u);
    EXPECT_FALSE(CStatusReplies::DecodeMessageSequence(0x14, 7, recv.data(), recv.size() - 1, *s));
    EXPECT_FALSE(CStatusReplies::DecodeMessageSequence(0x11, 2, recv.data(), recv.size(), *s)) << "index out of step";
}

TEST(StatusReplies, HistoryBoundsAndHeader) {
    auto s = Fresh();
    std::vector<uint8_t> r = {0, 64, 0, 21, 0, 2, 0x01, 0x02, 0, 3, 1, 2, 3, 4, 5, 6, 0x09, 0, 0, 0, 0, 0, 0, 0, 0, 7};
    ASSERT_TRUE(CStatusReplies::DecodeHistory(0, r.data(), r.size(), *s));
    EXPECT_EQ(s->historyMaxRecords, 64);
    EXPECT_EQ(s->historyStored, 21);
    EXPECT_EQ(s->historyInReply, 2);
    EXPECT_EQ(s->historyRecords[0].errorCode, 0x0102);
    EXPECT_EQ(s->historyRecords[0].time[5], 6);
    EXPECT_EQ(s->historyRecords[1].time[5], 7);
    ASSERT_TRUE(CStatusReplies::DecodeHistory(20, r.data(), r.size(), *s));
    EXPECT_EQ(s->historyRecords[20].errorCode, 0x0102);
    EXPECT_EQ(s->historyStored, 21) << "only the first read sets the header";
    EXPECT_FALSE(CStatusReplies::DecodeHistory(0, r.data(), r.size() - 1, *s));
    EXPECT_FALSE(CStatusReplies::DecodeHistory(63, r.data(), r.size(), *s)) << "would land past record 64";
    EXPECT_FALSE(CStatusReplies::DecodeHistory(0, r.data(), 5, *s));
}
