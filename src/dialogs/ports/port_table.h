#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/ports/communication_dialog.h"
#include "transport/kel_communication.h"

namespace kelcmd::dialogs {

// One row of the port table: "Opened"/"Closed", the name, "%ibaud", the bus control name (empty
// for an unknown code), "%ims", the receive trials.
struct PortRow {
    std::string status;
    std::string port;
    std::string baudrate;
    std::string busControl;
    std::string timeout;
    std::string receiveTrials;
};

PortRow DescribePort(const PortState& state);

// "Com1" to "Com20" without those that `taken` carries (letter case ignored), in order.
std::vector<std::string> FreePortNames(const std::vector<std::string>& taken);

// What the buttons of "Communication Port Info & Test" do to the manager's port table. A row is
// named by the text of its "Port" column; messages go through the prompt.
class PortTableActions {
  public:
    // Shows the "Communication" dialog for a state; true when the user confirmed.
    using EditSettings = std::function<bool(CommunicationState&)>;

    PortTableActions(CKelCommunication& manager, EditSettings editSettings);

    std::vector<PortState> Ports() const { return manager_.GetPortStates(); }

    // A new port with one of the free names Com1 to Com20 and the confirmed settings, appended
    // whether or not it opens ("Error opening port" when not). The new port's name, or nothing
    // when cancelled, when every name is taken, or when the name has been taken meanwhile.
    std::optional<std::string> AddPort();
    // The port's settings edited with its name alone in the list: a closed port takes them, an
    // open one is closed, takes them and is opened again. True when the user confirmed.
    bool ConfigurePort(const std::string& row);
    bool DeletePort(const std::string& row);
    void DeleteAllPorts();
    void OpenPort(const std::string& row);
    void ClosePort(const std::string& row);
    // The loopback test with its question, whatever the port's open state.
    void TestPort(const std::string& row);

  private:
    // The table's name of the row's port; "No port selected!" or "Port not found!" otherwise.
    std::optional<std::string> Resolve(const std::string& row) const;
    std::optional<PortState> StateOf(const std::string& name) const;
    bool Reopen(const std::string& name);

    CKelCommunication& manager_;
    EditSettings editSettings_;
};

}  // namespace kelcmd::dialogs
