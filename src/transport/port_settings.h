#pragma once

#include <cstdint>
#include <string>

namespace kelcmd {

class CArchive;

// The settings of one port: name, baud rate, character timeout, receive trials, bus control.
class CPortSettings {
  public:
    CPortSettings() = default;
    virtual ~CPortSettings() = default;
    CPortSettings(const CPortSettings&) = default;
    CPortSettings& operator=(const CPortSettings&) = default;

    void Set(const std::string& name, uint32_t baud, uint8_t busControl, uint32_t timeout,
             uint32_t receiveTrials);
    void Get(std::string& name, uint32_t& baud, uint8_t& busControl, uint32_t& timeout,
             uint32_t& receiveTrials) const;
    void Reset() { *this = CPortSettings(); }

    const std::string& GetName() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    uint32_t GetBaudrate() const { return baud_; }
    uint32_t GetTimeout() const { return timeout_; }
    uint32_t GetReceiveTrials() const { return receiveTrials_; }
    uint8_t GetBusControl() const { return busControl_; }

    // Names compared without regard to letter case.
    bool NameEquals(const std::string& name) const;

    // Archive form: baud, bus control, name, reserved, timeout twice, receive trials. On loading
    // the second timeout wins; a truncated archive leaves the settings unchanged.
    void Serialize(CArchive& archive);

  private:
    std::string name_ = "Com1";
    uint32_t baud_ = 19200;
    uint32_t timeout_ = 100;
    uint32_t receiveTrials_ = 4;
    uint8_t busControl_ = 0;
    uint16_t reserved_ = 0;
};

// Compares two port names without regard to letter case.
bool PortNamesEqual(const std::string& a, const std::string& b);

}  // namespace kelcmd
