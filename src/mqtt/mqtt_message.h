#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kelcmd::mqtt {

// One MQTT 5 application message, as published or as received. The properties are those a
// request/response conversation needs: where the reply goes, what ties it to its request, and any
// name/value pairs the sender adds.
struct Message {
    std::string topic;
    std::string payload;
    int qos = 0;
    bool retain = false;
    std::string responseTopic;
    std::string correlationData;
    std::vector<std::pair<std::string, std::string>> userProperties;
};

}  // namespace kelcmd::mqtt
