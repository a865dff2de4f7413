#include "comm/ZephDatagram.h"

namespace {
void Put16(std::vector<uint8_t>& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v >> 8));
    b.push_back(static_cast<uint8_t>(v));
}
uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
}  // namespace

std::vector<uint8_t> EncodeDatagram(const ZephDatagram& d) {
    std::vector<uint8_t> b;
    b.reserve(ZephDatagram::kReplyHeader + d.data.size());
    b.push_back('L');
    b.push_back('Z');
    b.push_back(1);
    b.push_back(d.kind);
    for (int shift = 24; shift >= 0; shift -= 8) b.push_back(static_cast<uint8_t>(d.requestId >> shift));
    b.push_back(d.destination.network);
    b.push_back(d.destination.node);
    Put16(b, d.destination.unit);
    b.push_back(d.source.network);
    b.push_back(d.source.node);
    Put16(b, d.source.unit);
    Put16(b, d.command);
    if (d.kind == ZephDatagram::kReply) Put16(b, d.endCode);
    size_t n = d.data.size() < ZephDatagram::kMaxData ? d.data.size() : ZephDatagram::kMaxData;
    Put16(b, static_cast<uint16_t>(n));
    b.insert(b.end(), d.data.begin(), d.data.begin() + static_cast<std::ptrdiff_t>(n));
    return b;
}

DatagramCheck DecodeDatagram(const uint8_t* p, size_t length, ZephDatagram* out) {
    if (length < 4) return DatagramCheck::TooShort;
    if (p[0] != 'L' || p[1] != 'Z' || p[2] != 1) return DatagramCheck::BadMagic;
    uint8_t kind = p[3];
    if (kind != ZephDatagram::kRequest && kind != ZephDatagram::kReply) return DatagramCheck::BadMagic;
    size_t header = kind == ZephDatagram::kReply ? ZephDatagram::kReplyHeader : ZephDatagram::kRequestHeader;
    if (length < header) return DatagramCheck::TooShort;
    ZephDatagram d;
    d.kind = kind;
    d.requestId = (uint32_t(p[4]) << 24) | (uint32_t(p[5]) << 16) | (uint32_t(p[6]) << 8) | p[7];
    d.destination = {p[8], p[9], Get16(p + 10)};
    d.source = {p[12], p[13], Get16(p + 14)};
    d.command = Get16(p + 16);
    size_t pos = 18;
    if (kind == ZephDatagram::kReply) {
        d.endCode = Get16(p + pos);
        pos += 2;
    }
    size_t n = Get16(p + pos);
    pos += 2;
    if (n > ZephDatagram::kMaxData || length != pos + n) {
        *out = d;
        return DatagramCheck::BadLength;
    }
    d.data.assign(p + pos, p + pos + n);
    *out = std::move(d);
    return DatagramCheck::Ok;
}
