// The datagram format of our UDP transport, and the simulator server that answers requests:
// a datagram that decodes encodes back to the same bytes, and every request gets a reply
// that decodes and names the request.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "comm/ZephDatagram.h"
#include "sim/SimServer.h"
#include "sim/UnitSimulatorAdapter.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ZephDatagram d;
    d.data.assign(3, 0xAA);
    DatagramCheck check = DecodeDatagram(data, size, &d);
    if (check == DatagramCheck::Ok) {
        FUZZ_CHECK(d.data.size() <= ZephDatagram::kMaxData);
        FUZZ_CHECK(EncodeDatagram(d) == std::vector<uint8_t>(data, data + size));
    } else if (check == DatagramCheck::BadLength) {
        // The header is kept so the receiver can tell whose reply was cut short; no data.
        FUZZ_CHECK(d.data.empty());
        FUZZ_CHECK(d.kind == data[3]);
        FUZZ_CHECK(d.command == ((data[16] << 8) | data[17]));
    }

    CSimServer server;
    server.AddPlc(1, 1, std::make_unique<CUnitSimulatorAdapter>());
    std::vector<IDatagramPeer::Scheduled> replies;
    server.Deliver(std::vector<uint8_t>(data, data + size), &replies);
    const bool request = check == DatagramCheck::Ok && d.kind == ZephDatagram::kRequest;
    FUZZ_CHECK(replies.size() == (request ? 1u : 0u));
    for (const auto& r : replies) {
        ZephDatagram reply;
        FUZZ_CHECK(DecodeDatagram(r.bytes.data(), r.bytes.size(), &reply) == DatagramCheck::Ok);
        FUZZ_CHECK(reply.kind == ZephDatagram::kReply);
        FUZZ_CHECK(reply.requestId == d.requestId);
        FUZZ_CHECK(reply.command == d.command);
    }
    return 0;
}
