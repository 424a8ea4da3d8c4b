#pragma once

#include <cstdint>

namespace kelcmd {

// The addresses and message types that the bus protocol itself gives a meaning, for the host, the
// command layer, the tools and the simulated units alike.

// Destinations from 128 on are groups: every unit listening acts, none acknowledges or answers...
constexpr uint8_t kFirstGroupAddress = 128;
// ...except this broadcast, which every unit acts on and acknowledges, but does not answer.
constexpr uint8_t kAcknowledgedBroadcast = 254;

// Message types.
constexpr uint8_t kQuietBatchCode = 4;       // a quiet batch, sent or read back
constexpr uint8_t kBatchCode = 5;            // a batch of member commands, one answer
constexpr uint8_t kBatchFailType = 6;        // answer type of a batch that stopped at a member
constexpr uint8_t kAcknowledgeOnlyCode = 8;  // acknowledged, never answered
constexpr uint8_t kResendRequestCode = 255;  // without data: "send your last answer again"

// Whether a destination answers at all (a unit of its own, not a group).
constexpr bool IsGroupAddress(uint8_t destination) {
    return destination >= kFirstGroupAddress;
}

// Whether the units at `destination` acknowledge a request.
constexpr bool AcknowledgesRequests(uint8_t destination) {
    return !IsGroupAddress(destination) || destination == kAcknowledgedBroadcast;
}

}  // namespace kelcmd
