#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "model/AreaType.h"
#include "model/FileIo.h"
#include "model/Messages.h"
#include "model/Prompter.h"
#include "model/SettingsFile.h"
#include "model/TextCodec.h"

namespace {

const char kDefaultFile[] =
    "Type,VR4K-LUX22,\r\nVersion,1,\r\nCommunication settings,,\r\n,RelayPLC,\r\n,TargetPLC,0,\r\n"
    ",Unit Number,0\r\nCPU Bus Unit system setting,,\r\n,FA Link mapping table method,0\r\n"
    ",FA Link startup method,0\r\n,Confirm message protocol,0\r\n,Broadcast type,0\r\n"
    ",IP address set method,0x3\r\n,Sub-net Mask,255.255.255.0\r\n,IP address,0.0.0.0\r\n"
    ",No. of nodes in FA link,0\r\nUnit area setting,,\r\n,Start address of send area 1,0x0,\r\n"
    ",Size of setting send area 1,0x0,\r\n,Start address of send area 2,0x0,\r\n"
    ",Size of setting send area 2,0x0,\r\n,Token watchdog timer,50,\r\n,Allowed min. frame interval,1,\r\n"
    ",Node name,,\r\n,Allowed min. frame interval wait time,0,\r\nFA Link mapping area table,,,\r\n"
    ",Start address of area 1 in mapping area,CIO,0\r\n,Start address of area 2 in mapping area,DM,0\r\n"
    ",Node number,,\r\n,Offset size of setting area 1,,\r\n,Size of setting area 1,,\r\n"
    ",Offset size of setting area 2,,\r\n,Size of setting area 2,,\r\nLocal node setup area,,,\r\n"
    ",Memory area of area 1,CIO,0\r\n,Size of setting area 1,0,\r\n,COM start address of area 1,0,\r\n"
    ",Memory area of area 2,DM,0\r\n,Size of setting area 2,0,\r\n,COM start address of area 2,0,\r\n"
    "Extension Setting,,,\r\n,Send Data Order,0,\r\n,Ether Baud Rate,0,\r\n,Receive Data Order,,\r\n"
    ",Extension Setting Check,FALSE,\r\n";

struct RecordingSink : IConnectionSink {
    std::string gateway, direct;
    int type = -1;
    int unit = -1;
    void SetGatewayDeviceString(const std::string& s) override { gateway = s; }
    void SetDirectDeviceString(const std::string& s) override { direct = s; }
    void SetConnectionType(int t) override { type = t; }
    void SetUnitNumber(unsigned u) override { unit = static_cast<int>(u); }
};

struct ScriptedDialogs : ISettingsFileDialogs {
    bool commentOk = true;
    std::string newComment;
    std::string savePath;  // empty = cancel
    std::string openPath;  // empty = cancel
    std::string startDirectorySeen;
    bool ChooseFileToOpen(bool, const std::string& start, std::string& path) override {
        startDirectorySeen = start;
        path = openPath;
        return !path.empty();
    }
    bool ChooseFileToSave(const std::string& start, std::string& path) override {
        startDirectorySeen = start;
        path = savePath;
        return !path.empty();
    }
    bool EditComment(std::string& comment) override {
        if (commentOk) comment = newComment;
        return commentOk;
    }
};

// The default file with one line replaced (matched by its start) and an optional line added after it.
std::string DefaultWith(const std::string& lineStart, const std::string& replacement) {
    std::string text = kDefaultFile;
    size_t at = text.find("\r\n" + lineStart);
    EXPECT_NE(at, std::string::npos) << lineStart;
    size_t end = text.find("\r\n", at + 2);
    return text.substr(0, at + 2) + replacement + text.substr(end);
}

class SettingsFileTest : public ::testing::Test {
protected:
    CUnitSettings record;
    RecordingPrompter prompter;
    RecordingSink sink;
    CSettingsFile file{record, prompter, &sink};

    bool Warned() const {
        for (const auto& e : prompter.shown)
            if (e.id == Msg::kFileReadWarning) return true;
        return false;
    }
    int Prompts() const { return static_cast<int>(prompter.shown.size()); }

    void SetEveryField() {
        SettingsImage& pc = record.pc;
        CopyText(pc.modelName, sizeof pc.modelName, "VR4K-LUX22X");
        CopyText(pc.protocolVersion, sizeof pc.protocolVersion, "2");
        record.relayPlc = "[DEV]DEV:GW;";
        record.targetPlc = "[DEV]DEV:VR4H;CPU:MPU90;[NET]FRAME:1004;";
        record.targetPlcNumber = 3;
        record.unitNumber = 15;
        pc.mappingTableMethod = 1;
        pc.startupMethod = 1;
        pc.confirmMessage = 1;
        pc.broadcastType = 1;
        pc.ipAddressMethod = 2;
        const uint8_t mask[4] = {255, 255, 0, 0}, ip[4] = {192, 168, 250, 7};
        std::memcpy(pc.subnetMask, mask, 4);
        std::memcpy(pc.ipAddress, ip, 4);
        pc.faLinkNodeCount = 128;
        pc.tokenWatchdog = 255;
        pc.minFrameInterval = 50;
        pc.minFrameWait = 15;
        CopyText(pc.nodeName, sizeof pc.nodeName, Utf8ToCp932("ライン1"));
        pc.mapArea1Type = AreaType::HR;
        pc.mapArea1Start = 511;
        pc.mapArea2Type = AreaType::EMC;
        pc.mapArea2Start = 32767;
        pc.entryCount = kMaxMappingEntries;
        for (int i = 0; i < kMaxMappingEntries; ++i) {
            pc.entries[i] = {static_cast<uint16_t>(i + 1), static_cast<uint16_t>(i % 2), 4,
                             static_cast<uint16_t>(i * 4), 64, static_cast<uint16_t>(i * 64)};
        }
        pc.localArea1Type = AreaType::WR;
        pc.localArea1Start = 500;
        pc.localArea1Size = 12;
        pc.localArea1ComStart = 511;
        pc.localArea2Type = AreaType::EM0;
        pc.localArea2Start = 30000;
        pc.localArea2Size = 2768;
        pc.localArea2ComStart = 8191;
        pc.sendDataOrder = 1;
        pc.etherBaudRate = 1;
        record.extensionCheck = 1;
        record.comment = Utf8ToCp932("一行目\r\n\r\nthird, with comma");
        file.sendArea1Start = 0x100;
        file.sendArea2Size = -1;
    }
};

TEST_F(SettingsFileTest, DefaultRecordWritesTheReferenceLinesAndReadsBackSilently) {
    EXPECT_EQ(file.Serialize(), kDefaultFile);
    record.pc.tokenWatchdog = 7;
    EXPECT_TRUE(file.Apply(kDefaultFile, false));
    EXPECT_EQ(record.pc.tokenWatchdog, 50);
    EXPECT_EQ(file.Serialize(), kDefaultFile);
    EXPECT_EQ(Prompts(), 0);
}

TEST_F(SettingsFileTest, ListsAndCommentAsWritten) {
    record.pc.entryCount = 2;
    record.pc.entries[0] = {3, 1, 16, 0, 50, 100};
    record.pc.entries[1] = {7, 0, 8, 16, 0, 150};
    record.comment = "first\r\nsecond";
    const std::string text = file.Serialize();
    EXPECT_NE(text.find(",Node number,3,7,\r\n,Offset size of setting area 1,0,16,\r\n"
                        ",Size of setting area 1,16,8,\r\n,Offset size of setting area 2,100,150,\r\n"
                        ",Size of setting area 2,50,0,\r\n"),
              std::string::npos);
    EXPECT_NE(text.find(",Receive Data Order,16,0,\r\n,Extension Setting Check,FALSE,\r\nCOMMENT,first\r\r\nsecond\r\n"),
              std::string::npos);
    EXPECT_EQ(text.size() - text.rfind("COMMENT"), std::string("COMMENT,first\r\r\nsecond\r\n").size());
}

TEST_F(SettingsFileTest, EveryFieldSurvivesSaveLoadSaveByteForByte) {
    SetEveryField();
    const std::string first = file.Serialize();
    const SettingsImage before = record.pc;
    const std::string comment = record.comment;

    CUnitSettings other;
    RecordingSink otherSink;
    CSettingsFile reader(other, prompter, &otherSink);
    EXPECT_TRUE(reader.Apply(first, false));
    EXPECT_EQ(Prompts(), 0);
    EXPECT_EQ(reader.Serialize(), first);
    EXPECT_EQ(std::memcmp(&other.pc, &before, sizeof before), 0);
    EXPECT_EQ(other.comment, comment);
    EXPECT_EQ(other.relayPlc, record.relayPlc);
    EXPECT_EQ(other.targetPlc, record.targetPlc);
    EXPECT_EQ(other.targetPlcNumber, 3u);
    EXPECT_EQ(other.unitNumber, 15u);
    EXPECT_EQ(other.extensionCheck, 1u);
    EXPECT_EQ(reader.sendArea1Start, 0x100);
    EXPECT_EQ(reader.sendArea2Size, -1);
    EXPECT_EQ(otherSink.gateway, record.relayPlc);
    EXPECT_EQ(otherSink.direct, record.targetPlc);
    EXPECT_EQ(otherSink.type, 1);
    EXPECT_EQ(otherSink.unit, 15);
    // Japanese texts are carried as their Shift_JIS bytes.
    EXPECT_EQ(TextOf(other.pc.nodeName, sizeof other.pc.nodeName), Utf8ToCp932("ライン1"));
}

TEST_F(SettingsFileTest, JapaneseAndOldVersionDialectsReadIntoTheSameRecord) {
    SetEveryField();
    record.relayPlc.clear();
    record.targetPlc.clear();
    record.targetPlcNumber = 0;
    const std::string english = file.Serialize();

    // Replace every English key by the other dialect's, as a file of that dialect would be.
    auto translate = [&](std::vector<std::pair<std::string, std::string>> names, bool utf8) {
        std::string text = english;
        for (auto& [from, to] : names) {
            std::string target = utf8 ? Utf8ToCp932(to) : to;
            for (const std::string& wrap : {std::string(","), std::string("\n")}) {
                std::string needle = wrap + from + ",";
                size_t at = 0;
                while ((at = text.find(needle, at)) != std::string::npos) {
                    text.replace(at + wrap.size(), from.size(), target);
                    at += wrap.size() + target.size();
                }
            }
        }
        if (text.compare(0, 5, "Type,") == 0 && utf8) text.replace(0, 4, Utf8ToCp932("形式"));
        return text;
    };
    const std::string japanese = translate(
        {{"Version", "バージョン"}, {"Communication settings", "通信設定"}, {"Unit Number", "ユニット番号"},
         {"CPU Bus Unit system setting", "CPU高機能システム設定"},
         {"FA Link mapping table method", "ＦＡリンク割付テーブル格納方式"}, {"FA Link startup method", "ＦＡリンク起動方式"},
         {"Confirm message protocol", "メッセージ手順確認"}, {"Broadcast type", "ブロードキャスト形式"},
         {"IP address set method", "IPアドレス設定方式"}, {"Sub-net Mask", "サブネットマスク"}, {"IP address", "IPアドレス"},
         {"No. of nodes in FA link", "ＦＡリンク構成ノード数"}, {"Unit area setting", "ユニットエリア設定"},
         {"Start address of send area 1", "送信領域１先頭アドレス"}, {"Size of setting send area 1", "送信領域１サイズ"},
         {"Start address of send area 2", "送信領域２先頭アドレス"}, {"Size of setting send area 2", "送信領域２サイズ"},
         {"Token watchdog timer", "トークン監視タイムアウト時間"}, {"Allowed min. frame interval wait time", "仮想アドレス空間先頭アドレス"},
         {"Allowed min. frame interval", "最小許容フレーム間隔"}, {"Node name", "ノード名"},
         {"FA Link mapping area table", "ＦＡリンク割付エリアテーブル"},
         {"Start address of area 1 in mapping area", "領域１割付エリア先頭アドレス"},
         {"Start address of area 2 in mapping area", "領域２割付エリア先頭アドレス"}, {"Node number", "ノード番号"},
         {"Offset size of setting area 1", "領域１オフセット"}, {"Size of setting area 1", "領域１サイズ"},
         {"Offset size of setting area 2", "領域２オフセット"}, {"Size of setting area 2", "領域２サイズ"},
         {"Local node setup area", "自ノード設定領域"}, {"Memory area of area 1", "領域１種別"},
         {"COM start address of area 1", "領域１COM先頭アドレス"}, {"Memory area of area 2", "領域２種別"},
         {"COM start address of area 2", "領域２COM先頭アドレス"}, {"Extension Setting Check", "拡張設定チェック"},
         {"Extension Setting", "拡張設定"}, {"Send Data Order", "送信データ並び"}, {"Ether Baud Rate", "通信速度"},
         {"Receive Data Order", "受信データ並び"}},
        true);
    const std::string old = translate({{"Unit Number", "Unit No."},
                                       {"Sub-net Mask", " Sub-net Mask"},
                                       {"Allowed min. frame interval wait time", "Start address of virtual address area"},
                                       {"Offset size of setting area 2", " offset size of setting area 1"}},
                                      false);
    ASSERT_NE(japanese, english);
    ASSERT_NE(old, english);

    for (const auto& [text, oldVersion] : {std::pair{japanese, false}, std::pair{old, true}}) {
        CUnitSettings other;
        CSettingsFile reader(other, prompter);
        EXPECT_TRUE(reader.Apply(text, oldVersion));
        EXPECT_EQ(reader.Serialize(), english);
    }
    EXPECT_EQ(Prompts(), 0);

    // The old spelling means nothing in an English file: those fields keep their defaults.
    CUnitSettings other;
    CSettingsFile reader(other, prompter);
    reader.Apply(old, false);
    EXPECT_EQ(other.unitNumber, 0u);
    EXPECT_EQ(other.pc.minFrameWait, 0);
}

TEST_F(SettingsFileTest, FirstLineChoosesTheDialect) {
    EXPECT_TRUE(file.Apply(DefaultWith(",Token watchdog timer", ",Token watchdog timer,9,").replace(0, 4, "type"),
                           false));
    EXPECT_EQ(record.pc.tokenWatchdog, 9);

    // Anything but "Type" means Japanese keys: English lines then all fall into the "Type" section.
    file.Apply("Model,A,\r\n,RelayPLC,\r\n,Token watchdog timer,9,\r\n", false);
    EXPECT_EQ(TextOf(record.pc.modelName, sizeof record.pc.modelName), "Token watchdog timer");
    EXPECT_EQ(record.pc.tokenWatchdog, 50);
    EXPECT_EQ(Prompts(), 0);
}

TEST_F(SettingsFileTest, OldVersionWaitTimeKey) {
    const std::string line = ",Allowed min. frame interval wait time";
    EXPECT_TRUE(file.Apply(DefaultWith(line, ",Start address of virtual address area,3,"), true));
    EXPECT_EQ(record.pc.minFrameWait, 3);
    EXPECT_FALSE(file.Apply(DefaultWith(line, ",Start address of virtual address area,100,"), true));
    EXPECT_EQ(record.pc.minFrameWait, 0);
    EXPECT_TRUE(Warned());
}

TEST_F(SettingsFileTest, SystemSettingValues) {
    EXPECT_TRUE(file.Apply(DefaultWith(",IP address set method", ",IP address set method,0x2"), false));
    EXPECT_EQ(record.pc.ipAddressMethod, 2);
    EXPECT_TRUE(file.Apply(DefaultWith(",IP address set method", ",IP address set method,1x2"), false));
    EXPECT_EQ(record.pc.ipAddressMethod, 2);
    EXPECT_FALSE(file.Apply(DefaultWith(",IP address set method", ",IP address set method,0x4"), false));
    EXPECT_EQ(record.pc.ipAddressMethod, 3);

    prompter.shown.clear();
    EXPECT_TRUE(file.Apply(DefaultWith(",Sub-net Mask", ",Sub-net Mask,255.255"), false));
    const uint8_t twoParts[4] = {255, 255, 0, 0};
    EXPECT_EQ(std::memcmp(record.pc.subnetMask, twoParts, 4), 0);
    EXPECT_EQ(Prompts(), 0);

    const uint8_t defaultMask[4] = {255, 255, 255, 0};
    EXPECT_FALSE(file.Apply(DefaultWith(",Sub-net Mask", ",Sub-net Mask,255.300.0.0"), false));
    EXPECT_EQ(std::memcmp(record.pc.subnetMask, defaultMask, 4), 0);

    // An earlier bad value also discards a good mask and address read later.
    std::string text = DefaultWith(",Sub-net Mask", ",Sub-net Mask,255.0.0.0");
    text = text.substr(0, text.find(",IP address,")) + ",IP address,10.1.2.3" +
           text.substr(text.find("\r\n", text.find(",IP address,")));
    EXPECT_TRUE(file.Apply(text, false));
    EXPECT_EQ(record.pc.ipAddress[0], 10);
    text.insert(text.find(",Sub-net Mask"), ",Broadcast type,7\r\n");
    EXPECT_FALSE(file.Apply(text, false));
    EXPECT_EQ(std::memcmp(record.pc.subnetMask, defaultMask, 4), 0);
    EXPECT_EQ(record.pc.ipAddress[0], 0);
    EXPECT_EQ(record.pc.broadcastType, 0);
}

TEST_F(SettingsFileTest, UnitNumberAndConnection) {
    EXPECT_TRUE(file.Apply(DefaultWith(",Unit Number", ",Unit Number,0x5"), false));
    EXPECT_EQ(record.unitNumber, 5u);
    EXPECT_EQ(sink.unit, 5);
    EXPECT_FALSE(file.Apply(DefaultWith(",Unit Number", ",Unit Number,20"), false));
    EXPECT_EQ(record.unitNumber, 0u);
    EXPECT_EQ(sink.unit, 0);

    // Without a relay PLC the target is a direct connection, whatever its number says.
    EXPECT_TRUE(file.Apply(DefaultWith(",TargetPLC", ",TargetPLC,1,\"[DEV]DEV:X;\""), false));
    EXPECT_EQ(record.targetPlcNumber, 1u);
    EXPECT_EQ(sink.direct, "[DEV]DEV:X;");
    EXPECT_EQ(sink.type, 0);
    EXPECT_EQ(sink.gateway, "");
}

TEST_F(SettingsFileTest, BadMappingValueThrowsTheTableAway) {
    std::string text = DefaultWith(",Node number", ",Node number,1,2,");
    text = text.substr(0, text.find(",Start address of area 1 in mapping area")) +
           ",Start address of area 1 in mapping area,HR,100" +
           text.substr(text.find("\r\n", text.find(",Start address of area 1 in mapping area")));
    EXPECT_TRUE(file.Apply(text, false));
    EXPECT_EQ(record.pc.entryCount, 2u);
    EXPECT_EQ(record.pc.mapArea1Type, AreaType::HR);

    EXPECT_FALSE(file.Apply(DefaultWith(",Node number", ",Node number,1,300,5,"), false));
    EXPECT_EQ(record.pc.entryCount, 0u);
    EXPECT_EQ(record.pc.entries[0].nodeNumber, 0);
    EXPECT_EQ(record.pc.mapArea1Type, AreaType::CIO);
    EXPECT_EQ(record.pc.mapArea2Type, AreaType::DM);
    EXPECT_TRUE(Warned());

    // Offset 500 leaves room for 12 words of area 1, not 13.
    std::string sizes = DefaultWith(",Node number", ",Node number,1,");
    sizes = DefaultWith(",Offset size of setting area 1", ",Offset size of setting area 1,500,");
    sizes.replace(sizes.find(",Node number,,"), 14, ",Node number,1,");
    std::string ok = sizes, bad = sizes;
    ok.replace(ok.find(",Size of setting area 1,,"), 25, ",Size of setting area 1,12,");
    bad.replace(bad.find(",Size of setting area 1,,"), 25, ",Size of setting area 1,13,");
    prompter.shown.clear();
    EXPECT_TRUE(file.Apply(ok, false));
    EXPECT_EQ(record.pc.entries[0].area1Size, 12);
    EXPECT_FALSE(file.Apply(bad, false));
    EXPECT_EQ(record.pc.entryCount, 0u);
    EXPECT_EQ(Prompts(), 1);
}

TEST_F(SettingsFileTest, NegativeMappingSizeIsABadValueEvenWhenTheOffsetCoversIt) {
    std::string text = DefaultWith(",Node number", ",Node number,1,2,");
    text.replace(text.find(",Offset size of setting area 1,,"), 32, ",Offset size of setting area 1,0,48,");
    text.replace(text.find(",Offset size of setting area 2,,"), 32, ",Offset size of setting area 2,0,100,");
    std::string area1 = text, area2 = text;
    area1.replace(area1.find(",Size of setting area 1,,"), 25, ",Size of setting area 1,16,-16,");
    area2.replace(area2.find(",Size of setting area 2,,"), 25, ",Size of setting area 2,16,-16,");
    for (const std::string& bad : {area1, area2}) {
        prompter.shown.clear();
        EXPECT_FALSE(file.Apply(bad, false));
        // Stored as 65520 before, which a reload of the saved file then refused.
        EXPECT_EQ(record.pc.entryCount, 0u);
        EXPECT_EQ(record.pc.entries[1].area1Size, 0);
        EXPECT_EQ(record.pc.entries[1].area2Size, 0);
        EXPECT_EQ(Prompts(), 1);
    }
}

TEST_F(SettingsFileTest, MappingAreaPastTheCommonAreaIsRefusedWhicheverLineComesFirst) {
    // The size line before the offset line: each was within bounds alone, the sum is not. Such a
    // table was kept and saved, and then the saved file would not load.
    auto sizeFirst = [&](int area, const std::string& offset, const std::string& size) {
        const std::string n = std::to_string(area);
        const std::string offsetKey = ",Offset size of setting area " + n + ",";
        const std::string sizeKey = ",Size of setting area " + n + ",";
        std::string text = DefaultWith(",Node number", ",Node number,1,");
        text.erase(text.find(offsetKey), offsetKey.size() + 3);  // the empty list and its CR LF
        const size_t sizeLine = text.find(sizeKey + ",");
        text.replace(sizeLine, sizeKey.size() + 3, sizeKey + size + ",\r\n" + offsetKey + offset + ",\r\n");
        return text;
    };
    prompter.shown.clear();
    EXPECT_TRUE(file.Apply(sizeFirst(1, "496", "16"), false));
    EXPECT_EQ(record.pc.entries[0].area1Offset, 496);
    EXPECT_TRUE(file.Apply(sizeFirst(2, "8092", "100"), false));
    EXPECT_EQ(record.pc.entries[0].area2Offset, 8092);
    EXPECT_EQ(Prompts(), 0);
    for (const std::string& bad : {sizeFirst(1, "500", "16"), sizeFirst(2, "8100", "100")}) {
        prompter.shown.clear();
        EXPECT_FALSE(file.Apply(bad, false));
        EXPECT_EQ(record.pc.entryCount, 0u);
        EXPECT_EQ(Prompts(), 1);
    }
}

TEST_F(SettingsFileTest, LocalAreaSizeIsCheckedAgainstTheAreaNamedAfterIt) {
    // DM holds 10111 words from 0, CIO does not: the size line came first and was checked
    // against the default area, then the area line named CIO. The size was kept and saved, and
    // the saved file then would not load.
    std::string text = DefaultWith(",Memory area of area 2", ",Memory area of area 2,CIO,0");
    const std::string sizeLine = ",Size of setting area 2,10111,\r\n";
    text.erase(text.find(",Size of setting area 2,0,\r\n"), sizeLine.size() - 4);
    text.insert(text.find(",Memory area of area 2,"), sizeLine);
    prompter.shown.clear();
    EXPECT_FALSE(file.Apply(text, false));
    EXPECT_EQ(Prompts(), 1);
    EXPECT_EQ(record.pc.localArea2Type, AreaType::CIO);
    EXPECT_EQ(record.pc.localArea2Size, 0);
    const std::string saved = file.Serialize();
    prompter.shown.clear();
    EXPECT_TRUE(file.Apply(saved, false));
    EXPECT_EQ(Prompts(), 0);
}

TEST_F(SettingsFileTest, LocalNodeAreaValues) {
    auto withArea = [](const std::string& area, const std::string& size) {
        std::string text = DefaultWith(",Memory area of area 1", ",Memory area of area 1," + area);
        size_t at = text.find(",Size of setting area 1,0,");
        return text.replace(at, 26, ",Size of setting area 1," + size + ",");
    };
    EXPECT_FALSE(file.Apply(withArea("XM,10", "0"), false));
    EXPECT_EQ(record.pc.localArea1Type, AreaType::CIO);
    EXPECT_EQ(record.pc.localArea1Start, 10);
    EXPECT_FALSE(file.Apply(withArea("DM,40000", "0"), false));
    EXPECT_EQ(record.pc.localArea1Type, AreaType::DM);
    EXPECT_EQ(record.pc.localArea1Start, 0);
    EXPECT_FALSE(file.Apply(withArea("CIO,6100", "100"), false));
    EXPECT_EQ(record.pc.localArea1Start, 6100);
    EXPECT_EQ(record.pc.localArea1Size, 0);
    prompter.shown.clear();
    EXPECT_TRUE(file.Apply(withArea("CIO,6100", "44"), false));
    EXPECT_EQ(record.pc.localArea1Size, 44);
    EXPECT_EQ(Prompts(), 0);
}

TEST_F(SettingsFileTest, ReceiveDataOrderListGoesOnPastABadValue) {
    record.pc.entries[1].receiveDataOrder = 0;
    EXPECT_FALSE(file.Apply(DefaultWith(",Receive Data Order", ",Receive Data Order,16,1,0,"), false));
    EXPECT_EQ(record.pc.entries[0].receiveDataOrder, 1);
    EXPECT_EQ(record.pc.entries[1].receiveDataOrder, 0);
    EXPECT_EQ(record.pc.entries[2].receiveDataOrder, 0);
    EXPECT_EQ(Prompts(), 1);
}

TEST_F(SettingsFileTest, MoreThan128EntriesKeepTheFirst128AndWarn) {
    std::string nodes = ",Node number,", orders = ",Receive Data Order,";
    for (int i = 0; i < 300; ++i) {
        nodes += std::to_string(1 + i % 254) + ",";
        orders += "16,";
    }
    std::string text = DefaultWith(",Node number", nodes);
    text = text.substr(0, text.find(",Receive Data Order")) + orders +
           text.substr(text.find("\r\n", text.find(",Receive Data Order")));
    EXPECT_FALSE(file.Apply(text, false));
    EXPECT_EQ(record.pc.entryCount, 128u);
    EXPECT_EQ(record.pc.entries[127].nodeNumber, 128);
    EXPECT_EQ(record.pc.entries[127].receiveDataOrder, 1);
    EXPECT_EQ(Prompts(), 1);
}

TEST_F(SettingsFileTest, TextsAreCutToTheirFieldsAndStopAtAComma) {
    EXPECT_TRUE(file.Apply(DefaultWith(",Node name", ",Node name,ab,cd,"), false));
    EXPECT_EQ(TextOf(record.pc.nodeName, sizeof record.pc.nodeName), "ab");
    file.Apply(std::string("Type,") + std::string(100, 'M') + ",\r\n", false);
    EXPECT_EQ(TextOf(record.pc.modelName, sizeof record.pc.modelName), std::string(23, 'M'));
}

TEST_F(SettingsFileTest, TextStartingWithANulByteCountsAsEmptyAndSurvivesSaveAndReload) {
    const char bytes[] = "Type,\0X,\r\nVersion,\0" "7,\r\n";
    const std::string text(bytes, sizeof bytes - 1);
    EXPECT_TRUE(file.Apply(text, false));
    EXPECT_EQ(TextOf(record.pc.modelName, sizeof record.pc.modelName), "VR4K-LUX22");
    EXPECT_EQ(TextOf(record.pc.protocolVersion, sizeof record.pc.protocolVersion), "1");
    const char cut[] = "Type,AB\0CD,\r\n";
    EXPECT_TRUE(file.Apply(std::string(cut, sizeof cut - 1), false));
    EXPECT_EQ(TextOf(record.pc.modelName, sizeof record.pc.modelName), "AB");

    const std::string saved = file.Serialize();
    CUnitSettings other;
    CSettingsFile reader(other, prompter);
    EXPECT_TRUE(reader.Apply(saved, false));
    EXPECT_EQ(std::memcmp(other.pc.modelName, record.pc.modelName, sizeof other.pc.modelName), 0);
    EXPECT_EQ(reader.Serialize(), saved);
    EXPECT_EQ(Prompts(), 0);
}

TEST_F(SettingsFileTest, JunkNeverCrashesAndKeepsDefaults) {
    std::string junk;
    for (int i = 0; i < 5000; ++i) junk += static_cast<char>((i * 7919) % 256);
    for (const std::string& text :
         {junk, std::string("Type,") + std::string(1 << 20, 'x'), std::string("\r\n\r\n\r\r\r"),
          std::string(",,,,,,,,"), std::string("Type\r\nFA Link mapping area table\r\n,Node number"),
          std::string("Type,\r\nFA Link mapping area table,,,\r\n,Start address of area 1 in mapping area,DM")}) {
        file.Apply(text, false);
        EXPECT_LE(record.pc.entryCount, 128u);
    }
    file.Apply("Type,\r\nFA Link mapping area table,,,\r\n,Start address of area 1 in mapping area,DM\r\n", false);
    EXPECT_EQ(record.pc.mapArea1Type, AreaType::DM);
    EXPECT_EQ(record.pc.mapArea1Start, 0);
}

TEST_F(SettingsFileTest, EmptyFileLeavesTheRecordAlone) {
    record.pc.tokenWatchdog = 77;
    EXPECT_TRUE(file.Apply("", false));
    EXPECT_EQ(record.pc.tokenWatchdog, 77);
    EXPECT_EQ(Prompts(), 0);
}

class SettingsFileOnDiskTest : public SettingsFileTest {
protected:
    std::filesystem::path dir;
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("linksmith-sf-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::permissions(dir, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(dir, ec);
    }
    std::string Read(const std::filesystem::path& p) {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(p.string(), bytes));
        return bytes;
    }
};

TEST_F(SettingsFileOnDiskTest, LoadTakesOverDirectoryAndNameOrSaysNotFound) {
    const auto path = dir / "unit.lsm";
    std::ofstream(path, std::ios::binary) << DefaultWith(",Token watchdog timer", ",Token watchdog timer,8,");
    EXPECT_TRUE(file.Load(path.string(), false));
    EXPECT_EQ(record.pc.tokenWatchdog, 8);
    EXPECT_EQ(file.currentDirectory, (dir / "").string()) << "ends in the system's separator";
    EXPECT_EQ(file.currentFileName, "unit.lsm");

    EXPECT_FALSE(file.Load((dir / "missing.lsm").string(), false));
    ASSERT_EQ(Prompts(), 1);
    EXPECT_EQ(prompter.shown[0].id, Msg::kFileNotFound);
    EXPECT_EQ(prompter.shown[0].icon, PromptIcon::Warning);
    EXPECT_EQ(record.pc.tokenWatchdog, 8);
    EXPECT_EQ(file.currentFileName, "unit.lsm");
}

TEST_F(SettingsFileOnDiskTest, SaveAsksForTheCommentThenThePath) {
    ScriptedDialogs dialogs;
    CSettingsFile withDialogs(record, prompter, nullptr, &dialogs);
    withDialogs.currentDirectory = dir.string() + "/";
    dialogs.commentOk = false;
    EXPECT_FALSE(withDialogs.Save(""));
    EXPECT_EQ(record.comment, "");

    // A confirmed comment stays in the record even when the file choice is cancelled.
    dialogs.commentOk = true;
    dialogs.newComment = "new\r\ncomment";
    EXPECT_FALSE(withDialogs.Save(""));
    EXPECT_EQ(record.comment, "new\r\ncomment");
    EXPECT_EQ(dialogs.startDirectorySeen, dir.string() + "/");
    EXPECT_TRUE(std::filesystem::is_empty(dir));

    dialogs.savePath = (dir / "chosen.lsm").string();
    EXPECT_TRUE(withDialogs.Save(""));
    EXPECT_EQ(withDialogs.commentText, "new\r\ncomment");
    EXPECT_EQ(withDialogs.saveState, 2);
    EXPECT_EQ(withDialogs.currentFileName, "chosen.lsm");
    EXPECT_NE(Read(dir / "chosen.lsm").find("COMMENT,new\r\r\ncomment\r\n"), std::string::npos);

    dialogs.openPath.clear();
    EXPECT_FALSE(withDialogs.Load("", true));
}

}  // namespace
