#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "kelcmd/kelcmd.h"
#include "transport/kel_port.h"
#include "transport/port_settings.h"

namespace kelcmd {

class CBusMonitor;

// The dialogs the manager can show: the port settings dialog and the multi-port configuration. The
// dialogs library installs the real ones; without it every dialog counts as cancelled.
class PortDialogs {
public:
    virtual ~PortDialogs() = default;
    // Shows the port settings dialog filled with `settings`; true and the confirmed settings in
    // `settings` when the user confirms.
    virtual bool EditPortSettings(CPortSettings& settings) = 0;
    virtual void MultiPortConfiguration(void* parent) = 0;
};

// The single communication manager: the port table and everything the exports reach.
class CKelCommunication {
public:
    CKelCommunication();
    virtual ~CKelCommunication();
    CKelCommunication(const CKelCommunication&) = delete;
    CKelCommunication& operator=(const CKelCommunication&) = delete;

    // Opening with a message on failure; 1 or 0.
    virtual int OpenPortNamed(const std::string& name);
    virtual int OpenPortWithSettings(const CPortSettings& settings);
    virtual int OpenPortDialog(const CPortSettings& settings);
    virtual int GetPortSettings(const std::string& name, CPortSettings* settings);
    virtual int SetPortSettings(const std::string& name, const CPortSettings& settings);
    virtual int InitPortDialog(const std::string& name, std::string* chosenName);
    virtual int MultiPortConfigurationDialog(void* parent);
    virtual int RemovePort(const std::string& name);
    virtual int RemoveAllPorts();
    virtual void ReserveAllPorts();
    virtual void ReleaseAllPorts();
    virtual void RegisterObserver(CBusMonitor* observer);
    virtual void ResumeObserver(int allThreads, int everyObserver, CBusMonitor* observer);
    virtual void SuspendObserver(int allThreads, int everyObserver, CBusMonitor* observer);

    uint8_t InitPort(const CPortSettings& settings);
    uint8_t OpenPort(const std::string& name);
    uint8_t ClosePort(const std::string& name);
    // Exact, case-sensitive lookup (the raw packet exports use it).
    CKelPort* FindPort(const std::string& name) const;
    // Lookup without regard to letter case (command execution uses it).
    CKelPort* FindPortNoCase(const std::string& name) const;
    int SetErrorCallback(const std::string& name, KelErrorCallback callback);
    void GetVersion(float& number, std::string& text) const;
    const std::string& GetVersionText() const { return versionText_; }
    std::vector<std::string> GetPortNames() const;

    void SetPortDialogs(PortDialogs* dialogs) { dialogs_ = dialogs; }

private:
    // Opens a new port or reopens a known one; a known port whose reopen fails is removed.
    uint8_t OpenOrReopen(const CPortSettings& settings);
    int OpenWithMessage(const CPortSettings& settings, const std::string& failureText);
    std::unique_ptr<CKelPort> Detach(const std::string& name);

    std::string versionText_;
    float versionNumber_ = 1.6f;
    int32_t revision_ = 0;
    // Lookups of other threads may run while a port is opened; the lock keeps the table itself
    // consistent. A port must still not be closed while another thread executes on it.
    mutable std::mutex tableLock_;
    std::vector<std::unique_ptr<CKelPort>> ports_;
    PortDialogs* dialogs_ = nullptr;
};

// The manager of the process, constructed before any export runs.
CKelCommunication& Communication();

}  // namespace kelcmd
