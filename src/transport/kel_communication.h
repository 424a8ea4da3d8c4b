#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "kelcmd/kelcmd.h"
#include "transport/kel_port.h"
#include "transport/port_settings.h"

namespace kelcmd {

class CBusMonitor;
class CKelCommunication;
class CObject;
class CParameterLinks;

// What the manager owns beside its port table: the command families (and the holders of customer
// and batch commands). They are built above the transport layer and handed to the manager when it
// is constructed, so that the transport never depends on the command library's families.
class CCommandOwners {
  public:
    virtual ~CCommandOwners() = default;
    // Gives a command created from a file or the clipboard to its owner: 1, or 0 when none takes
    // it.
    virtual int AttachCommand(CObject& command) = 0;
    // Every family declares its parameter links, in the manager's declaration order.
    virtual void DeclareLinks(CParameterLinks& links) = 0;
};

// Builds the owners of a manager; they may keep the manager as their port table.
using CommandOwnersFactory =
    std::function<std::unique_ptr<CCommandOwners>(CKelCommunication& manager)>;

// One port of the table as the port editor shows it.
struct PortState {
    CPortSettings settings;
    bool open = false;
};

// The single communication manager: the port table and everything the exports reach.
class CKelCommunication {
  public:
    // Without a factory the manager has a port table only: nothing adopts commands, no links.
    explicit CKelCommunication(const CommandOwnersFactory& makeOwners = nullptr);
    virtual ~CKelCommunication();
    CKelCommunication(const CKelCommunication&) = delete;
    CKelCommunication& operator=(const CKelCommunication&) = delete;

    // Port names are compared without regard to letter case everywhere: "com1" and "Com1" are
    // one port. The manager shows nothing: opening with a message box, and the port dialogs,
    // belong to the layers above.
    virtual int GetPortSettings(const std::string& name, CPortSettings* settings);
    virtual int SetPortSettings(const std::string& name, const CPortSettings& settings);
    virtual int RemovePort(const std::string& name);
    virtual int RemoveAllPorts();
    // Each port is reserved for the calling thread unless another thread holds it; only the
    // calling thread's own reservations are released.
    virtual void ReserveAllPorts();
    virtual void ReleaseAllPorts();
    virtual void RegisterObserver(CBusMonitor* observer);
    virtual void ResumeObserver(int allThreads, int everyObserver, CBusMonitor* observer);
    virtual void SuspendObserver(int allThreads, int everyObserver, CBusMonitor* observer);

    // Opens a new port, or reopens a known one in one step under its lock (see CKelPort::Reopen):
    // a known port whose reopen fails stays in the table, closed, with the new settings.
    uint8_t InitPort(const CPortSettings& settings);
    uint8_t OpenPort(const std::string& name);
    uint8_t ClosePort(const std::string& name);
    // The port stays alive while the caller holds it, also when another thread removes it from
    // the table meanwhile.
    std::shared_ptr<CKelPort> FindPort(const std::string& name) const;
    int SetErrorCallback(const std::string& name, KelErrorCallback callback);
    void GetVersion(float& number, std::string& text) const;
    const std::string& GetVersionText() const { return versionText_; }
    std::vector<std::string> GetPortNames() const;
    // Every port in table order with its settings and whether its line is open.
    std::vector<PortState> GetPortStates() const;
    // Appends a port whose line is not open (the port editor keeps ports that failed to open): 1,
    // or 0 when a port of that name (letter case ignored) is in the table already.
    int AddClosedPort(const CPortSettings& settings);

    // The families and holders; null for a manager built without them.
    CCommandOwners* GetCommandOwners() const { return owners_.get(); }
    // 1 when a family (or holder) took the command as its own; 0 for none, or no command.
    int AttachCommand(CObject* command);
    // Nothing happens without a link table.
    void DeclareLinks(CParameterLinks* links);

  private:
    std::shared_ptr<CKelPort> Detach(const std::string& name);
    std::vector<std::shared_ptr<CKelPort>> Snapshot() const;

    std::string versionText_;
    float versionNumber_ = 1.6f;
    int32_t revision_ = 0;
    // Lookups of other threads may run while a port is opened or closed; the lock keeps the table
    // itself consistent, and shared ownership keeps a port alive under a running command.
    mutable std::mutex tableLock_;
    std::vector<std::shared_ptr<CKelPort>> ports_;
    // Declared after the port table: destroyed first, after the destructor has closed every port.
    std::unique_ptr<CCommandOwners> owners_;
};

}  // namespace kelcmd
