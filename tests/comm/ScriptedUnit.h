#pragma once
#include <mutex>
#include <string>
#include <vector>

#include "sim/SimUnit.h"

// A unit that answers from a small script: the controller data read with a fixed model and
// version, 0x7E00 echoes its data, and every request is recorded.
class CScriptedUnit : public ISimUnit {
public:
    struct Seen {
        uint16_t command;
        uint16_t selector;
        std::vector<uint8_t> data;
    };
    explicit CScriptedUnit(std::string model = "VR4K-LUX22") : m_model(std::move(model)) {}

    void Execute(uint16_t command, uint16_t selector, const std::vector<uint8_t>& data, uint16_t* endCode,
                 std::vector<uint8_t>* reply) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        seen.push_back({command, selector, data});
        *endCode = 0;
        reply->clear();
        if (command == 0x0501) {
            reply->assign(44, ' ');
            for (size_t i = 0; i < m_model.size() && i < 20; ++i) (*reply)[i] = static_cast<uint8_t>(m_model[i]);
            const char* version = "V1.05";
            for (size_t i = 0; version[i]; ++i) (*reply)[20 + i] = static_cast<uint8_t>(version[i]);
            (*reply)[40] = 192;
            (*reply)[41] = 168;
            (*reply)[42] = 250;
            (*reply)[43] = 1;
        } else if (command == 0x7E00) {
            *reply = data;
        } else {
            *endCode = 0x0401;  // not supported
        }
    }
    bool LoadState(const std::string&, std::string*) override { return true; }
    bool SaveState(const std::string&, std::string*) const override { return true; }

    size_t Count() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return seen.size();
    }
    std::vector<Seen> seen;

private:
    std::mutex m_mutex;
    std::string m_model;
};
