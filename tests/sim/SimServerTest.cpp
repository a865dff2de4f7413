#include <gtest/gtest.h>

#include "comm/ZephDatagram.h"
#include "sim/SimServer.h"
#include "tests/comm/ScriptedUnit.h"

namespace {
std::vector<uint8_t> Request(uint32_t id, uint8_t network, uint8_t node, uint16_t command,
                             std::vector<uint8_t> data = {}) {
    ZephDatagram d;
    d.requestId = id;
    d.destination = {network, node, 0};
    d.command = command;
    d.data = std::move(data);
    return EncodeDatagram(d);
}

// Which of 200 requests get through, as a pattern of bits.
std::vector<bool> DropPattern(uint32_t seed) {
    SimFaults f;
    f.seed = seed;
    f.dropFraction = 0.3;
    f.duplicateFraction = 0.5;
    CSimServer s(f);
    s.AddPlc(0, 0, std::make_unique<CScriptedUnit>());
    std::vector<bool> got;
    for (uint32_t i = 0; i < 200; ++i) {
        std::vector<IDatagramPeer::Scheduled> out;
        s.Deliver(Request(i, 0, 0, 0x7E00), &out);
        got.push_back(!out.empty());
    }
    return got;
}
}  // namespace

TEST(SimServer, FaultsAreDeterministicForASeed) {
    std::vector<bool> a = DropPattern(42);
    EXPECT_EQ(a, DropPattern(42));
    EXPECT_NE(a, DropPattern(43));
    size_t through = static_cast<size_t>(std::count(a.begin(), a.end(), true));
    EXPECT_GT(through, 110u);
    EXPECT_LT(through, 170u);
}

TEST(SimServer, RepliesCarryTheRequestIdAndSwappedAddresses) {
    CSimServer s;
    s.AddPlc(1, 1, std::make_unique<CScriptedUnit>());
    auto* second = new CScriptedUnit("SECOND");
    s.AddPlc(2, 5, std::unique_ptr<ISimUnit>(second));
    std::vector<IDatagramPeer::Scheduled> out;
    s.Deliver(Request(99, 2, 5, 0x0501), &out);
    ASSERT_EQ(out.size(), 1u);
    ZephDatagram r;
    ASSERT_EQ(DecodeDatagram(out[0].bytes.data(), out[0].bytes.size(), &r), DatagramCheck::Ok);
    EXPECT_EQ(r.kind, ZephDatagram::kReply);
    EXPECT_EQ(r.requestId, 99u);
    EXPECT_EQ(r.source.network, 2);
    EXPECT_EQ(r.source.node, 5);
    EXPECT_EQ(std::string(r.data.begin(), r.data.begin() + 6), "SECOND");
    EXPECT_EQ(second->Count(), 1u);

    out.clear();
    s.Deliver(Request(100, 0, 0, 0x0501), &out);
    ASSERT_EQ(out.size(), 1u);
    ASSERT_EQ(DecodeDatagram(out[0].bytes.data(), out[0].bytes.size(), &r), DatagramCheck::Ok);
    EXPECT_EQ(std::string(r.data.begin(), r.data.begin() + 4), "VR4K") << "0:0 is the first PLC";

    out.clear();
    s.Deliver(Request(101, 3, 3, 0x0501), &out);
    ASSERT_EQ(out.size(), 1u);
    ASSERT_EQ(DecodeDatagram(out[0].bytes.data(), out[0].bytes.size(), &r), DatagramCheck::Ok);
    EXPECT_EQ(r.endCode, CSimServer::kEndNoRoute);
}

TEST(SimServer, MalformedRequestsAndRepliesAreNotAnswered) {
    CSimServer s;
    auto* unit = new CScriptedUnit;
    s.AddPlc(0, 0, std::unique_ptr<ISimUnit>(unit));
    std::vector<IDatagramPeer::Scheduled> out;
    std::vector<uint8_t> cut = Request(1, 0, 0, 0x7E00, {1, 2, 3});
    cut.pop_back();
    s.Deliver(cut, &out);
    s.Deliver({'L', 'Z'}, &out);
    ZephDatagram reply;
    reply.kind = ZephDatagram::kReply;
    s.Deliver(EncodeDatagram(reply), &out);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(unit->Count(), 0u);
    EXPECT_EQ(s.Count().malformed, 3u);
}

TEST(SimServer, ChosenEndCodeReplacesTheCommand) {
    SimFaults f;
    f.endCodes[0x0501] = 0x2201;
    CSimServer s(f);
    auto* unit = new CScriptedUnit;
    s.AddPlc(0, 0, std::unique_ptr<ISimUnit>(unit));
    std::vector<IDatagramPeer::Scheduled> out;
    s.Deliver(Request(1, 0, 0, 0x0501), &out);
    ZephDatagram r;
    ASSERT_EQ(DecodeDatagram(out[0].bytes.data(), out[0].bytes.size(), &r), DatagramCheck::Ok);
    EXPECT_EQ(r.endCode, 0x2201);
    EXPECT_TRUE(r.data.empty());
    EXPECT_EQ(unit->Count(), 0u);
}

TEST(SimServer, AimedFaultsHitOnlyTheirRequestCountedFromSetFaults) {
    CSimServer s;
    auto* unit = new CScriptedUnit;
    s.AddPlc(0, 0, std::unique_ptr<ISimUnit>(unit));
    std::vector<IDatagramPeer::Scheduled> out;
    s.Deliver(Request(1, 0, 0, 0x7E00), &out);  // before the faults: not counted for them
    SimFaults f;
    f.at[2] = SimFaults::Kind::Drop;
    f.at[3] = SimFaults::Kind::Oversize;
    f.endCodeAt[4] = 0x1234;
    s.SetFaults(f);
    const std::vector<uint8_t> data = {9, 8, 7};
    std::vector<std::vector<IDatagramPeer::Scheduled>> got(5);
    for (uint32_t i = 0; i < 5; ++i) s.Deliver(Request(10 + i, 0, 0, 0x7E00, data), &got[i]);
    ASSERT_EQ(got[0].size(), 1u);
    EXPECT_TRUE(got[1].empty());
    ZephDatagram r;
    ASSERT_EQ(got[2].size(), 1u);
    ASSERT_EQ(DecodeDatagram(got[2][0].bytes.data(), got[2][0].bytes.size(), &r), DatagramCheck::Ok);
    ASSERT_EQ(r.data.size(), data.size() + CSimServer::kOversizeBytes);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), r.data.begin())) << "the real data comes first";
    ASSERT_EQ(got[3].size(), 1u);
    ASSERT_EQ(DecodeDatagram(got[3][0].bytes.data(), got[3][0].bytes.size(), &r), DatagramCheck::Ok);
    EXPECT_EQ(r.endCode, 0x1234);
    EXPECT_TRUE(r.data.empty());
    ASSERT_EQ(DecodeDatagram(got[4][0].bytes.data(), got[4][0].bytes.size(), &r), DatagramCheck::Ok);
    EXPECT_EQ(r.data, data);
    EXPECT_EQ(unit->Count(), 4u) << "the dropped and the end-coded requests were not executed";
    CSimServer::Counters c = s.Count();
    EXPECT_EQ(c.dropped, 1u);
    EXPECT_EQ(c.oversized, 1u);
    EXPECT_EQ(c.endCodes, 1u);

    f = SimFaults();
    f.oversizeFraction = 1;
    f.oversizeUncounted = true;
    s.SetFaults(f);
    out.clear();
    s.Deliver(Request(20, 0, 0, 0x7E00, data), &out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(DecodeDatagram(out[0].bytes.data(), out[0].bytes.size(), &r), DatagramCheck::BadLength)
        << "extra bytes outside the data length";
    EXPECT_EQ(r.requestId, 20u);
}
