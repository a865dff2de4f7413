#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/UnitSettings.h"

// One item that differs between the PC-side and the PLC-side settings.
struct VerifyRow {
    std::string item;
    int itemId = 0;
    int64_t plcValue = 0;
    std::string plcText;
    int64_t pcValue = 0;
    std::string pcText;
};

// The item-by-item comparison of the two settings images, in the fixed order of the items.
class CVerifyResult {
public:
    static constexpr size_t kMaxRows = 999;

    void Clear() { m_rows.clear(); }
    // Replaces the rows with the differences of pc against plc.
    void Build(const SettingsImage& pc, const SettingsImage& plc);
    // The same between two settings files, offline: b is taken as the unit would report it
    // (the reverse receive order as the unit holds it).
    void BuildFromFiles(const SettingsImage& pc, SettingsImage b);
    size_t Count() const { return m_rows.size(); }
    const std::vector<VerifyRow>& Rows() const { return m_rows; }

private:
    void Add(int id, const std::string& item, int64_t plc, const std::string& plcText, int64_t pc,
             const std::string& pcText);
    void Number(int id, int64_t plc, int64_t pc, const std::string& item = std::string());
    void Choice(int id, int64_t plc, int64_t pc, int zeroId, int otherId);
    void AreaType(int id, uint8_t plc, uint8_t pc);

    std::vector<VerifyRow> m_rows;
};
