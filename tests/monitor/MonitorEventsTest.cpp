// The monitor core where the programs cannot reach: a full history that moves on, the log's
// filter and CSV, a paused unit, and the scrape cache's interval.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

#include "monitor/MonitorEvents.h"
#include "monitor/MonitorLog.h"
#include "monitor/MonitorTargets.h"
#include "monitor/ScrapeCache.h"
#include "monitor/UnitPool.h"
#include "sim/SimServer.h"
#include "sim/UnitSimulatorAdapter.h"

namespace {
HistoryRecord Record(uint16_t code, uint8_t minute) { return HistoryRecord{code, 1, {minute, 0, 1, 2, 0x26, 0x12}}; }

MonitorReading WithHistory(std::vector<HistoryRecord> records) {
    MonitorReading r;
    r.ok = true;
    r.historyRead = true;
    r.historyStored = static_cast<uint16_t>(records.size());
    r.history = std::move(records);
    return r;
}

std::vector<std::string> Values(const std::vector<MonitorEvent>& events) {
    std::vector<std::string> v;
    for (const auto& e : events) v.push_back(std::string(CMonitorEvents::KindToken(e.kind)) + " " + e.newValue);
    return v;
}
}  // namespace

TEST(MonitorEvents, NewHistoryRecordsAreFoundWhetherAppendedOrPushingTheOldestOut) {
    const MonitorTarget t = CMonitorTargets::Single("", "", 0, 0);
    std::vector<HistoryRecord> full;
    for (int i = 0; i < kMaxHistoryRecords; ++i) full.push_back(Record(static_cast<uint16_t>(0x100 + i), 0));
    // A full history that moved on by two: the two at its end are new, nothing else.
    std::vector<HistoryRecord> moved(full.begin() + 2, full.end());
    moved.push_back(Record(0x0AAA, 0x05));
    moved.push_back(Record(0x0BBB, 0x06));
    EXPECT_EQ(Values(CMonitorEvents::Detect(t, WithHistory(full), WithHistory(moved))),
              (std::vector<std::string>{"history 26/12/01 02:05:00 0aaa 0001", "history 26/12/01 02:06:00 0bbb 0001"}));
    // Appended to a history that is not full; an unchanged one says nothing.
    std::vector<HistoryRecord> three(full.begin(), full.begin() + 3);
    std::vector<HistoryRecord> four = three;
    four.push_back(Record(0x0CCC, 0x59));
    EXPECT_EQ(Values(CMonitorEvents::Detect(t, WithHistory(three), WithHistory(four))),
              (std::vector<std::string>{"history 26/12/01 02:59:00 0ccc 0001"}));
    EXPECT_TRUE(CMonitorEvents::Detect(t, WithHistory(four), WithHistory(four)).empty());
    // Cleared, and then one new record: every record is new.
    EXPECT_EQ(Values(CMonitorEvents::Detect(t, WithHistory(four), WithHistory({}))),
              (std::vector<std::string>{"history cleared"}));
    EXPECT_EQ(CMonitorEvents::Detect(t, WithHistory({}), WithHistory({Record(1, 0)})).size(), 1u);
    // A paused reading compares with nothing.
    MonitorReading paused;
    paused.paused = true;
    EXPECT_TRUE(CMonitorEvents::Detect(t, WithHistory(four), paused).empty());
}

TEST(MonitorLog, FilterAndCsvAsASpreadsheetOpensThem) {
    MonitorTarget t = CMonitorTargets::Single("", "", 0, 0);
    t.label = "3";
    CMonitorLog log({t});
    MonitorReading a;
    a.ok = true;
    a.dataLink[4] = true;
    a.dataLink[5] = true;
    a.errorStatusWord = 0;
    MonitorReading b = a;
    b.dataLink[4] = false;
    b.errorStatusWord = 0x8000;
    MonitorReading c = b;
    c.ok = false;
    c.failure = "timed out, \"no answer\"";
    EXPECT_EQ(log.Take({a}), 0u) << "the first good reading is the window's state, not an event";
    EXPECT_EQ(log.Take({b}), 2u);
    EXPECT_EQ(log.Take({c}), 1u);
    EXPECT_TRUE(log.Stale(0));
    ASSERT_TRUE(log.LastGood(0));
    EXPECT_FALSE(log.LastGood(0)->dataLink[4]);

    EXPECT_EQ(log.Filtered({"datalink", -1}).size(), 1u);
    EXPECT_EQ(log.Filtered({"", 4}).size(), 1u);
    EXPECT_EQ(log.Filtered({"", 5}).size(), 0u);
    EXPECT_EQ(log.Filtered({"read", -1}).size(), 1u);

    const std::string csv = log.ToCsv({});
    ASSERT_EQ(csv.rfind("\xEF\xBB\xBFtime,target,kind,node,bit,label,old,new\r\n", 0), 0u) << csv;
    EXPECT_NE(csv.find(",3,datalink,4,,,in,out\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find(",3,error-bit,,15,EEP-ROM異常,off,on\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find(",3,read,,,,ok,\"failed: timed out, \"\"no answer\"\"\"\r\n"), std::string::npos) << csv;
    const std::string onlyNode4 = log.ToCsv({"", 4});
    EXPECT_EQ(std::count(onlyNode4.begin(), onlyNode4.end(), '\n'), 2) << onlyNode4;
}

TEST(UnitPool, PauseWaitsForTheReadUnderWayAndThenNothingIsSent) {
    SimFaults slow;
    slow.delay = std::chrono::milliseconds(40);
    slow.delayFraction = 1;
    CSimServer sim(slow);
    sim.AddPlc(0, 0, std::make_unique<CUnitSimulatorAdapter>());
    CUnitPool pool({CMonitorTargets::Single("", "", 0, 2000)}, &sim, true);
    auto round = std::async(std::launch::async, [&pool] { return pool.ReadAll(); });
    // Wait until the round's read has sent its first request, then pause.
    while (sim.Count().requests == 0) std::this_thread::yield();
    pool.Pause(0);
    const unsigned sent = sim.Count().requests;
    EXPECT_GE(sent, 5u) << "Pause returned before the read under way had ended";
    EXPECT_TRUE(round.get()[0].ok);
    const auto paused = pool.ReadAll();
    EXPECT_TRUE(paused[0].paused);
    EXPECT_EQ(sim.Count().requests, sent);
    pool.Resume(0);
    EXPECT_TRUE(pool.ReadAll()[0].ok);
    EXPECT_GT(sim.Count().requests, sent);
}

TEST(ScrapeCache, ReadsAtMostOncePerMinimumInterval) {
    CSimServer sim;
    sim.AddPlc(0, 0, std::make_unique<CUnitSimulatorAdapter>());
    CUnitPool pool({CMonitorTargets::Single("", "", 0, 2000)}, &sim, false);
    CScrapeCache cache(pool, std::chrono::milliseconds(200));
    const std::string first = cache.Scrape();
    EXPECT_EQ(cache.Scrape(), first);
    EXPECT_EQ(cache.Reads(), 1u);
    const unsigned requests = sim.Count().requests;
    EXPECT_EQ(requests, 5u) << "data link, network, error status, cycle time, history count";
    std::this_thread::sleep_for(std::chrono::milliseconds(220));
    cache.Scrape();
    EXPECT_EQ(cache.Reads(), 2u);
}
