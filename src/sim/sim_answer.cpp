#include "sim/sim_answer.h"

#include <algorithm>

#include "transport/frame.h"

namespace kelcmd::sim {

SimAnswer PositiveAnswer(uint8_t code, std::vector<uint8_t> data) {
    SimAnswer answer;
    answer.mtype = code;
    answer.data = std::move(data);
    return answer;
}

SimAnswer RefusalAnswer(uint8_t reason, int16_t warning) {
    const auto word = static_cast<uint16_t>(warning);
    return PositiveAnswer(reason,
                          {static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word & 0xFF)});
}

SimAnswer NoAnswerFrame() {
    SimAnswer answer;
    answer.sendsFrame = false;
    return answer;
}

std::vector<uint8_t> EncodeAnswerFrame(uint8_t sender, uint8_t mtype,
                                       std::span<const uint8_t> data) {
    data = data.first(std::min(data.size(), kMaxFrameData));
    const uint16_t word = LengthWord(static_cast<uint16_t>(data.size()));
    std::vector<uint8_t> frame{0, static_cast<uint8_t>(word >> 8),
                               static_cast<uint8_t>(word & 0xFF), sender, mtype};
    frame.insert(frame.end(), data.begin(), data.end());
    const uint16_t crc = FrameCrc(frame);
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));
    return frame;
}

}  // namespace kelcmd::sim
