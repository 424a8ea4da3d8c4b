#include "dialogs/ports/port_table.h"

#include "platform/prompt.h"
#include "transport/result_codes.h"

namespace kelcmd::dialogs {
namespace {

constexpr const char* kPortNotOpen = "Port is not open!";

std::string LoopbackQuestion(const std::string& device) {
    return "ATTENTION: A test will be started. Disconnect all wirings\n"
           "and connect PIN2 (RxD) with PIN3 (TxD) of your PC " +
           device + " Port.\n\nDo you really want to start?";
}

void Tell(const std::string& text) {
    CurrentPrompt().ShowMessage(text);
}

}  // namespace

PortRow DescribePort(const PortState& state) {
    const CPortSettings& settings = state.settings;
    const std::vector<std::string>& buses = CommunicationState::BusControlNames();
    const uint8_t bus = settings.GetBusControl();
    return PortRow{state.open ? "Opened" : "Closed",
                   settings.GetName(),
                   std::to_string(settings.GetBaudrate()) + "baud",
                   bus < buses.size() ? buses[bus] : std::string(),
                   std::to_string(settings.GetTimeout()) + "ms",
                   std::to_string(settings.GetReceiveTrials())};
}

std::vector<std::string> FreePortNames(const std::vector<std::string>& taken) {
    std::vector<std::string> free;
    for (const std::string& name : CommunicationState::DefaultPortNames()) {
        bool used = false;
        for (const std::string& other : taken) used = used || PortNamesEqual(name, other);
        if (!used) free.push_back(name);
    }
    return free;
}

PortTableActions::PortTableActions(CKelCommunication& manager, EditSettings editSettings)
    : manager_(manager), editSettings_(std::move(editSettings)) {}

std::optional<std::string> PortTableActions::Resolve(const std::string& row) const {
    if (row.empty()) {
        Tell("No port selected!");
        return std::nullopt;
    }
    for (const std::string& name : manager_.GetPortNames()) {
        if (PortNamesEqual(name, row)) return name;
    }
    Tell("Port not found!");
    return std::nullopt;
}

std::optional<PortState> PortTableActions::StateOf(const std::string& name) const {
    for (const PortState& state : manager_.GetPortStates()) {
        if (state.settings.GetName() == name) return state;
    }
    return std::nullopt;
}

bool PortTableActions::Reopen(const std::string& name) {
    auto port = manager_.FindPort(name);
    if (!port) {
        Tell("Port not found!");
        return false;
    }
    if (port->Reopen(port->Settings()) != RESULT_OK) {
        Tell("Error opening port");
        return false;
    }
    return true;
}

std::optional<std::string> PortTableActions::AddPort() {
    const std::vector<std::string> free = FreePortNames(manager_.GetPortNames());
    if (free.empty()) {
        Tell("All port names from Com1 to Com20 are in use!\nDelete a port first.");
        return std::nullopt;
    }
    CommunicationState state;
    state.SetPortNames(free);
    state.SetSettings(CPortSettings());
    if (!editSettings_ || !editSettings_(state)) return std::nullopt;
    const CPortSettings settings = state.GetSettings();
    // The table may have changed while the dialog was open: a name is never there twice.
    for (const std::string& name : manager_.GetPortNames()) {
        if (PortNamesEqual(name, settings.GetName())) {
            Tell("Port '" + settings.GetName() + "' is already in the table!");
            return std::nullopt;
        }
    }
    if (manager_.InitPort(settings) != RESULT_OK) {
        manager_.AddClosedPort(settings);
        Tell("Error opening port");
    }
    return settings.GetName();
}

bool PortTableActions::ConfigurePort(const std::string& row) {
    const std::optional<std::string> name = Resolve(row);
    if (!name) return false;
    const std::optional<PortState> current = StateOf(*name);
    if (!current) {
        Tell("Port not found!");
        return false;
    }
    CommunicationState state;
    state.SetPortNames({*name});
    state.SetSettings(current->settings);
    if (!editSettings_ || !editSettings_(state)) return false;
    // A closed port takes the settings; an open one is reopened with them in one step, so that
    // another thread's command finds the old line or the new one.
    const CPortSettings chosen = state.GetSettings(current->settings);
    const std::shared_ptr<CKelPort> port = manager_.FindPort(*name);
    if (!port) return true;
    if (!current->open) {
        port->SetSettings(chosen);
    } else if (port->Reopen(chosen) != RESULT_OK) {
        Tell("Error opening port");
    }
    return true;
}

bool PortTableActions::DeletePort(const std::string& row) {
    const std::optional<std::string> name = Resolve(row);
    return name && manager_.RemovePort(*name) != 0;
}

void PortTableActions::DeleteAllPorts() {
    manager_.RemoveAllPorts();
}

void PortTableActions::OpenPort(const std::string& row) {
    const std::optional<std::string> name = Resolve(row);
    if (!name) return;
    const std::optional<PortState> state = StateOf(*name);
    if (state && state->open) {
        Tell("Port is already open!");
        return;
    }
    Reopen(*name);
}

void PortTableActions::ClosePort(const std::string& row) {
    const std::optional<std::string> name = Resolve(row);
    if (!name) return;
    const std::optional<PortState> state = StateOf(*name);
    if (!state || !state->open) {
        Tell("Port is already closed!");
        return;
    }
    if (auto port = manager_.FindPort(*name)) port->CloseLine();
}

void PortTableActions::TestPort(const std::string& row) {
    const std::optional<std::string> name = Resolve(row);
    if (!name) return;
    const std::shared_ptr<CKelPort> port = manager_.FindPort(*name);
    if (!port) return;
    const std::optional<std::string> device = port->UseLine([](CSerialLine& line) {
        return line.IsOpen() ? std::optional(line.GetDevicePath()) : std::nullopt;
    });
    if (!device) {
        Tell(kPortNotOpen);
        return;
    }
    // The question waits for a person: it is asked before the line is taken, so that the
    // exchanges of other threads go on meanwhile. The test itself holds the line, so that no
    // other thread's exchange can cut into it.
    if (!CurrentPrompt().AskYesNo(LoopbackQuestion(*device))) return;
    switch (port->UseLine([](CSerialLine& line) { return line.RunLoopback(); })) {
        case LoopbackResult::kNotOpen:
            Tell(kPortNotOpen);
            break;
        case LoopbackResult::kNotSent:
            break;
        case LoopbackResult::kPassed:
            Tell("The PC " + *device + " port is okay!");
            break;
        case LoopbackResult::kFailed:
            Tell("The PC " + *device + " port is not working correctly!");
            break;
    }
}

}  // namespace kelcmd::dialogs
