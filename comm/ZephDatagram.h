#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// One ZEPH exchange as it travels in a UDP datagram (docs/datagram-format.md).
//
//  0      2    3    4            8    9    10      12   13   14      16       18        20/22
//  +------+----+----+------------+----+----+-------+----+----+-------+--------+---------+------
//  | "LZ" | v1 |kind| request id |dNet|dNod|dUnit  |sNet|sNod|sUnit  |command | (reply) | data
//  |      |    |    |   BE32     | u8 | u8 | BE16  | u8 | u8 | BE16  |  BE16  | end BE16|
//  +------+----+----+------------+----+----+-------+----+----+-------+--------+---------+------
//  followed by BE16 data length and the data; a request header is 20 bytes, a reply header 22.
struct ZephAddress {
    uint8_t network = 0;
    uint8_t node = 0;
    uint16_t unit = 0;
};

struct ZephDatagram {
    static constexpr uint8_t kRequest = 0x01;
    static constexpr uint8_t kReply = 0x02;
    static constexpr size_t kRequestHeader = 20;
    static constexpr size_t kReplyHeader = 22;
    static constexpr size_t kMaxData = 4096;

    uint8_t kind = kRequest;
    uint32_t requestId = 0;
    ZephAddress destination;
    ZephAddress source;
    uint16_t command = 0;
    uint16_t endCode = 0;  // replies only
    std::vector<uint8_t> data;
};

enum class DatagramCheck {
    Ok,
    TooShort,      // shorter than its header: nothing in it can be trusted
    BadMagic,      // not ours
    BadLength,     // the header is intact but the data length it claims does not fit
};

std::vector<uint8_t> EncodeDatagram(const ZephDatagram& d);
// Decodes as much as the checks allow: with BadLength the header fields are filled (so the
// receiver can tell whose reply was cut short), the data is left empty.
DatagramCheck DecodeDatagram(const uint8_t* bytes, size_t length, ZephDatagram* out);
