#include "transport/port_settings.h"

#include <strings.h>

#include "archive/archive.h"

namespace kelcmd {

bool PortNamesEqual(const std::string& a, const std::string& b) {
    return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

void CPortSettings::Set(const std::string& name, uint32_t baud, uint8_t busControl,
                        uint32_t timeout, uint32_t receiveTrials) {
    name_ = name;
    baud_ = baud;
    busControl_ = busControl;
    timeout_ = timeout;
    receiveTrials_ = receiveTrials;
}

void CPortSettings::Get(std::string& name, uint32_t& baud, uint8_t& busControl, uint32_t& timeout,
                        uint32_t& receiveTrials) const {
    name = name_;
    baud = baud_;
    busControl = busControl_;
    timeout = timeout_;
    receiveTrials = receiveTrials_;
}

bool CPortSettings::NameEquals(const std::string& name) const {
    return PortNamesEqual(name_, name);
}

void CPortSettings::Serialize(CArchive& archive) {
    if (archive.IsStoring()) {
        archive.WriteU32(baud_);
        archive.WriteU8(busControl_);
        archive.WriteString(name_);
        archive.WriteU16(reserved_);
        archive.WriteU32(timeout_);
        archive.WriteU32(timeout_);
        archive.WriteU32(receiveTrials_);
        return;
    }
    CPortSettings loaded;
    loaded.baud_ = archive.ReadU32();
    loaded.busControl_ = archive.ReadU8();
    loaded.name_ = archive.ReadString();
    loaded.reserved_ = archive.ReadU16();
    loaded.timeout_ = archive.ReadU32();
    loaded.timeout_ = archive.ReadU32();
    loaded.receiveTrials_ = archive.ReadU32();
    if (!archive.Failed()) *this = loaded;
}

}  // namespace kelcmd
