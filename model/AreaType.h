#pragma once
#include <cstdint>
#include <string>

// PLC memory area codes for word access, with their list positions and limits.
namespace AreaType {
constexpr uint8_t CIO = 0xB0;
constexpr uint8_t WR = 0xB1;
constexpr uint8_t HR = 0xB2;
constexpr uint8_t DM = 0x82;
constexpr uint8_t EM0 = 0xA0;
constexpr uint8_t EMC = 0xAC;
constexpr int kListCount = 17;

uint8_t CodeFromIndex(int index);
int IndexFromCode(uint8_t code);
// Empty for a code outside the table.
std::string NameFromCode(uint8_t code);
// False when the name is not in the table (exact, case-sensitive).
bool CodeFromName(const std::string& name, uint8_t& code);
bool IsKnownCode(uint8_t code);
// Highest start address and highest start + size; 0 for an unknown code.
int HighestStart(uint8_t code);
int AreaEnd(uint8_t code);
}  // namespace AreaType
