#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// The communication middleware as the communication object sees it: one operation per call it
// makes. Every status is 16 bits; bit 15 set means failure and the whole value is the code shown.
namespace Mw {
constexpr uint16_t kFailed = 0x8000;
inline bool Failed(uint16_t status) { return (status & kFailed) != 0; }
inline uint8_t LowByte(uint16_t status) { return static_cast<uint8_t>(status & 0xFF); }

// Our implementation's failure codes (documented in docs/middleware.md).
constexpr uint16_t kNotInitialised = 0x8001;
constexpr uint16_t kBadHandle = 0x8002;
constexpr uint16_t kUnknownEntry = 0x8003;
constexpr uint16_t kBadDeviceString = 0x8004;
constexpr uint16_t kEntryExists = 0x8005;
constexpr uint16_t kNoTransport = 0x8006;
constexpr uint16_t kBlockTooLarge = 0x8007;
constexpr uint16_t kPlcBusy = 0x8008;
constexpr uint16_t kSendFailed = 0x8009;
constexpr uint16_t kBadReply = 0x800A;
constexpr uint16_t kFileError = 0x800B;
constexpr uint16_t kNoEditor = 0x800C;

// Successful results that carry a meaning in the low byte.
constexpr uint16_t kOk = 0;
constexpr uint16_t kNothingMore = 1;  // open project: nothing more to set up
constexpr uint16_t kCancelled = 1;    // user edits entry: the user cancelled

// The one completion kind that carries a command result.
constexpr uint16_t kCompletionKind = 420;
// Response time-out end code.
constexpr uint16_t kEndTimeout = 0x8A1B;

// Arguments whose values are fixed by the caller's protocol with the middleware.
constexpr int kOpenMode = 5;
constexpr int kBlockInitial = 509;
constexpr int kBlockFlags = 9;
constexpr int kSendMode = 4;
// Most command data one block carries.
constexpr size_t kMaxCommandData = 2000;
}  // namespace Mw

// Command block layout (host byte order in the header).
namespace CommandBlock {
constexpr size_t kCommand = 0;
constexpr size_t kSelector = 2;
constexpr size_t kReserved = 4;
constexpr size_t kDataLength = 6;
constexpr size_t kData = 8;
}  // namespace CommandBlock

// Command result layout handed to a completion callback (host byte order in the header).
namespace CommandResult {
constexpr size_t kCommand = 8;
constexpr size_t kEndCode = 12;
constexpr size_t kDataLength = 14;
constexpr size_t kData = 16;
}  // namespace CommandResult

// (unused value, kind, command result, completion status, context) -> 1 accepted, 0 otherwise.
using CompletionCallback = int (*)(uint16_t value, uint16_t kind, const uint8_t* result, uint16_t status,
                                   void* context);
// Called once per offered device type name; returns 1 to go on.
using EnumDeviceCallback = int (*)(const char* name, void* context);

// Handed to the project when it opens; the middleware may keep a snapshot of the project in it.
struct MemoryStorage {
    std::string bytes;
};

class IMiddleware {
public:
    virtual ~IMiddleware() = default;
    virtual uint16_t Initialize() = 0;
    virtual void Shutdown() = 0;
    virtual uint16_t OpenProject(void* window, MemoryStorage* storage, const std::string& identity, int mode,
                                 uint16_t* project) = 0;
    virtual uint16_t GetProjectFilePath(uint16_t project, std::string* path) = 0;
    virtual void CloseProject(uint16_t project) = 0;
    virtual uint16_t EnumDeviceTypes(EnumDeviceCallback callback, void* context) = 0;
    virtual uint16_t SetOfferedDeviceTypes(const std::string& commaSeparatedNames) = 0;
    virtual uint16_t AddPlcEntry(uint16_t project, const std::string& name, const std::string& deviceString,
                                 const std::string& comment, std::string* slot) = 0;
    virtual uint16_t RemovePlcEntry(uint16_t project, const std::string& name) = 0;
    virtual uint16_t EditPlcEntry(uint16_t project, const std::string& slot, const std::string& name,
                                  std::string* deviceString, std::string* comment) = 0;
    virtual uint16_t OpenPlc(uint16_t project, const std::string& name, int mode, uint16_t* plc) = 0;
    virtual void ClosePlc(uint16_t plc) = 0;
    // Empty text when the device string is malformed or has no such key.
    virtual std::string ReadDeviceValue(const std::string& deviceString, const std::string& section,
                                        const std::string& key) = 0;
    virtual uint16_t WriteDeviceValue(std::string* deviceString, const std::string& section, const std::string& key,
                                      const std::string& value) = 0;
    virtual uint16_t AllocateBlock(int initialSize, int flags, uint32_t* block, uint8_t** address) = 0;
    virtual uint16_t SizeBlock(int reserved, size_t dataLength, int flags, uint32_t block, uint8_t** address) = 0;
    // Returns at once; low byte 0 means accepted and the callback follows (from another thread).
    virtual uint16_t SendCommand(uint16_t plc, uint16_t kind, uint32_t block, int mode, CompletionCallback callback,
                                 void* context) = 0;
    virtual void FreeBlock(uint32_t block) = 0;
};
