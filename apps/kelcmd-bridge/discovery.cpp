#include "discovery.h"

#include <cctype>
#include <nlohmann/json.hpp>

#include "axis_status_bits.h"

namespace kelcmd::bridge {
namespace {

using Json = nlohmann::ordered_json;

// Home Assistant takes only letters, digits, '_' and '-' in a node id.
std::string NodeId(const std::string& text) {
    std::string id;
    for (char c : text) id += std::isalnum(static_cast<unsigned char>(c)) || c == '-' ? c : '_';
    return id;
}

struct Sensor {
    std::string component;  // sensor, binary_sensor
    std::string object;
    std::string name;
    std::string valueTemplate;
    std::string unitOfMeasurement;
};

std::vector<Sensor> SensorsOfUnit() {
    std::vector<Sensor> sensors = {
        {"sensor", "position", "Position", "{{ value_json.position }}", "qc"},
        {"sensor", "velocity", "Velocity", "{{ value_json.velocity }}", "qc/ms"},
        {"sensor", "current", "Current", "{{ value_json.current }}", "mA"},
        {"sensor", "error", "Error", "{{ value_json.error.text }}", ""},
        {"sensor", "warning", "Warning", "{{ value_json.warning.text }}", ""},
    };
    for (const char* bit : app::kAxisStatusBits)
        sensors.push_back({"binary_sensor", std::string("status_") + bit, bit,
                           std::string("{{ 'ON' if value_json.status.") + bit + " else 'OFF' }}",
                           ""});
    return sensors;
}

}  // namespace

std::vector<mqtt::Message> DiscoveryMessages(const DiscoveredUnit& unit, bool remove) {
    const std::string node = NodeId("kelcmd_" + unit.busName + "_" + std::to_string(unit.unit));
    const Json device = {
        {"identifiers", Json::array({node})},
        {"name", "KelCmd unit " + std::to_string(unit.unit) + " on " + unit.busName},
        {"manufacturer", "KelCmd"}};
    std::vector<mqtt::Message> messages;
    for (const Sensor& sensor : SensorsOfUnit()) {
        mqtt::Message message;
        message.topic = unit.discoveryPrefix + "/" + sensor.component + "/" + node + "/" +
                        sensor.object + "/config";
        message.qos = 1;
        message.retain = true;
        if (!remove) {
            Json config = {{"name", sensor.name},
                           {"unique_id", node + "_" + sensor.object},
                           {"state_topic", unit.stateTopic},
                           {"value_template", sensor.valueTemplate},
                           {"availability_topic", unit.statusTopic},
                           {"payload_available", "online"},
                           {"payload_not_available", "offline"},
                           {"device", device}};
            if (!sensor.unitOfMeasurement.empty())
                config["unit_of_measurement"] = sensor.unitOfMeasurement;
            message.payload = config.dump(-1, ' ', false, Json::error_handler_t::replace);
        }
        messages.push_back(std::move(message));
    }
    return messages;
}

}  // namespace kelcmd::bridge
