#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/system_error.h"
#include "transport/bus_event.h"
#include "transport/frame_exchange.h"

namespace kelcmd {

// What a remote port asks the bridge that owns the bus to run on its line.
enum class ExchangeOperation : uint8_t {
    kExchange = 0,          // a whole exchange with the port's send trials
    kSend = 1,              // one transmission
    kSendWithRetry = 2,     // transmissions until acknowledged
    kReceive = 3,           // one reception
    kReceiveWithResend = 4  // receptions while the answer comes damaged
};

// A request as it travels to the bridge: the request frame and its answer timeout, tagged with
// an id that the reply repeats, so that a reply can never be taken for another exchange's.
struct ExchangeRequest {
    uint64_t id = 0;
    ExchangeOperation operation = ExchangeOperation::kExchange;
    uint32_t answerTimeout = 0;
    std::vector<uint8_t> message;  // header and data of the request frame, without its CRC
};

// What the bridge's line did: the result code, the answer, and the wire events with their times
// from the start of the exchange (so that a remote port's bus tap still shows them).
struct ExchangeReply {
    uint64_t id = 0;
    uint8_t result = 0;
    bool answerReceived = false;
    bool mayHaveExecuted = false;
    uint32_t trials = 0;
    std::vector<uint8_t> answer;  // header and data of the answer frame, without its CRC
    uint16_t answerCrc = 0;
    SystemError systemError;       // the bridge's reason of a failure of its own port
    std::vector<BusEvent> events;  // kind, direction, elapsedNs, bytes and result only
};

// Compact binary forms, led by a version byte. The decoders check every length and refuse
// (nullopt) anything malformed, truncated, too long, or of another version.
std::vector<uint8_t> EncodeExchangeRequest(const ExchangeRequest& request);
std::optional<ExchangeRequest> DecodeExchangeRequest(std::span<const uint8_t> bytes);
std::vector<uint8_t> EncodeExchangeReply(const ExchangeReply& reply);
std::optional<ExchangeReply> DecodeExchangeReply(std::span<const uint8_t> bytes);

// The request of `exchange` as it stands, and the exchange as the reply leaves it.
ExchangeRequest RequestOf(const CFrameExchange& exchange, ExchangeOperation operation, uint64_t id);
void LoadRequest(const ExchangeRequest& request, CFrameExchange& exchange);
ExchangeReply ReplyOf(const CFrameExchange& exchange, uint64_t id, uint8_t result);
void LoadReply(const ExchangeReply& reply, CFrameExchange& exchange);

}  // namespace kelcmd
