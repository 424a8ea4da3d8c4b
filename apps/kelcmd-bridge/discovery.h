#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mqtt_message.h"

namespace kelcmd::bridge {

// Where a unit's state lives, for the Home Assistant discovery configurations that point at it.
struct DiscoveredUnit {
    std::string discoveryPrefix;  // homeassistant
    std::string busName;
    std::string statusTopic;  // the bus's online/offline
    std::string stateTopic;   // the unit's retained state JSON
    uint8_t unit = 0;
};

// The retained configurations that make the unit's position, velocity, current, error, warning
// and axis status bits appear as sensors; `remove` gives the same topics with empty payloads,
// which take them away again.
std::vector<mqtt::Message> DiscoveryMessages(const DiscoveredUnit& unit, bool remove = false);

}  // namespace kelcmd::bridge
