// Arbitrary bytes as the reply of a remote port's bridge (or as a request reaching a bridge): the
// decoders refuse what is malformed, and what they accept loads into an exchange and encodes back
// to the same bytes, never reading or writing outside the frame buffers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "transport/exchange_message.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kelcmd;
    const std::span<const uint8_t> bytes(data, size);
    if (auto reply = DecodeExchangeReply(bytes)) {
        CFrameExchange exchange;
        LoadReply(*reply, exchange);
        const auto again = EncodeExchangeReply(*reply);
        if (!std::equal(again.begin(), again.end(), bytes.begin(), bytes.end())) std::abort();
    }
    if (auto request = DecodeExchangeRequest(bytes)) {
        CFrameExchange exchange;
        LoadRequest(*request, exchange);
        if (EncodeExchangeRequest(*request).size() != size) std::abort();
    }
    return 0;
}
