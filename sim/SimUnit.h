#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One simulated unit with its PLC memory, as the simulator server hosts it.
class ISimUnit {
public:
    virtual ~ISimUnit() = default;
    virtual void Execute(uint16_t command, uint16_t selector, const std::vector<uint8_t>& data, uint16_t* endCode,
                         std::vector<uint8_t>* reply) = 0;
    virtual bool LoadState(const std::string& path, std::string* error) = 0;
    virtual bool SaveState(const std::string& path, std::string* error) const = 0;
};
