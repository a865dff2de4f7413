#include "cli/RecordJson.h"

#include <ostream>

#include "model/AreaType.h"
#include "model/TextCodec.h"
#include "model/VerifyResult.h"

namespace {

std::string Octets(const uint8_t o[4]) {
    return std::to_string(o[0]) + "." + std::to_string(o[1]) + "." + std::to_string(o[2]) + "." +
           std::to_string(o[3]);
}

std::string Area(uint8_t code) {
    std::string name = AreaType::NameFromCode(code);
    return name.empty() ? "0x" + std::to_string(code) : name;
}

}  // namespace

nlohmann::ordered_json RecordToJson(const CUnitSettings& record) {
    const SettingsImage& pc = record.pc;
    nlohmann::ordered_json j = nlohmann::ordered_json::object();
    j["modelName"] = Cp932ToUtf8(TextOf(pc.modelName, sizeof pc.modelName));
    j["protocolVersion"] = Cp932ToUtf8(TextOf(pc.protocolVersion, sizeof pc.protocolVersion));
    j["relayPlc"] = Cp932ToUtf8(record.relayPlc);
    j["targetPlcNumber"] = static_cast<int32_t>(record.targetPlcNumber);
    j["targetPlc"] = Cp932ToUtf8(record.targetPlc);
    j["unitNumber"] = record.unitNumber;
    j["mappingTableMethod"] = pc.mappingTableMethod;
    j["startupMethod"] = pc.startupMethod;
    j["confirmMessage"] = pc.confirmMessage;
    j["broadcastType"] = pc.broadcastType;
    j["ipAddressMethod"] = pc.ipAddressMethod;
    j["subnetMask"] = Octets(pc.subnetMask);
    j["ipAddress"] = Octets(pc.ipAddress);
    j["faLinkNodeCount"] = pc.faLinkNodeCount;
    j["tokenWatchdog"] = pc.tokenWatchdog;
    j["minFrameInterval"] = pc.minFrameInterval;
    j["nodeName"] = Cp932ToUtf8(TextOf(pc.nodeName, sizeof pc.nodeName));
    j["minFrameWait"] = pc.minFrameWait;
    j["mapArea1Type"] = Area(pc.mapArea1Type);
    j["mapArea1Start"] = pc.mapArea1Start;
    j["mapArea2Type"] = Area(pc.mapArea2Type);
    j["mapArea2Start"] = pc.mapArea2Start;
    j["entryCount"] = pc.entryCount;
    nlohmann::ordered_json entries = nlohmann::ordered_json::array();
    for (uint32_t i = 0; i < pc.entryCount && i < kMaxMappingEntries; ++i) {
        const MappingEntry& e = pc.entries[i];
        entries.push_back({{"nodeNumber", e.nodeNumber},
                           {"area1Offset", e.area1Offset},
                           {"area1Size", e.area1Size},
                           {"area2Offset", e.area2Offset},
                           {"area2Size", e.area2Size},
                           {"receiveDataOrder", e.receiveDataOrder}});
    }
    j["entries"] = entries;
    j["localArea1Type"] = Area(pc.localArea1Type);
    j["localArea1Start"] = pc.localArea1Start;
    j["localArea1Size"] = pc.localArea1Size;
    j["localArea1ComStart"] = pc.localArea1ComStart;
    j["localArea2Type"] = Area(pc.localArea2Type);
    j["localArea2Start"] = pc.localArea2Start;
    j["localArea2Size"] = pc.localArea2Size;
    j["localArea2ComStart"] = pc.localArea2ComStart;
    j["sendDataOrder"] = pc.sendDataOrder;
    j["etherBaudRate"] = pc.etherBaudRate;
    j["extensionCheck"] = record.extensionCheck;
    j["comment"] = Cp932ToUtf8(record.comment);
    return j;
}

void PrintRecord(const CUnitSettings& record, std::ostream& out) {
    const nlohmann::ordered_json j = RecordToJson(record);
    for (const auto& item : j.items()) {
        if (item.key() == "entries") {
            int row = 1;
            for (const auto& entry : item.value()) {
                out << "entry " << row++ << ":";
                for (const auto& field : entry.items()) out << " " << field.key() << "=" << field.value().dump();
                out << "\n";
            }
        } else if (item.value().is_string()) {
            out << item.key() << ": " << item.value().get<std::string>() << "\n";
        } else {
            out << item.key() << ": " << item.value().dump() << "\n";
        }
    }
}

void PrintVerifyResult(const CVerifyResult& result, bool json, CliContext& ctx) {
    if (json) {
        nlohmann::json rows = nlohmann::json::array();
        for (const auto& r : result.Rows())
            rows.push_back({{"id", r.itemId}, {"item", r.item}, {"plc", r.plcText}, {"pc", r.pcText}});
        ctx.out << nlohmann::json{{"differences", result.Count()}, {"rows", rows}}.dump(2) << "\n";
    } else {
        size_t n = 0;
        for (const auto& r : result.Rows())
            ctx.out << ++n << "\t" << r.item << "\t" << r.plcText << "\t" << r.pcText << "\n";
        ctx.out << result.Count() << " difference(s)\n";
    }
    ctx.exitCode = result.Count() ? kExitWarning : kExitClean;
}
