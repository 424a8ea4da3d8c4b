#include "dialogs/customer/customer_set_editing.h"

#include <algorithm>

#include "dialogs/customer/customer_command_editing.h"

namespace kelcmd::dialogs {

std::string ClientLoadedText(const std::string& clientName) {
    return "Client '" + clientName + "' is already loaded!";
}

CustomerSetEditor::CustomerSetEditor(const CCustomerCommandSet& set,
                                     std::vector<std::string> takenNames)
    : set_(set), takenNames_(std::move(takenNames)) {}

bool CustomerSetEditor::NameTaken(const std::string& name, size_t except) const {
    const auto& commands = set_.GetCommands();
    for (size_t i = 0; i < commands.size(); ++i) {
        if (i != except && commands[i]->GetName() == name) return true;
    }
    return false;
}

std::string CustomerSetEditor::AddCommand(std::unique_ptr<CKelCustomerCommand> command) {
    if (!command) return "";
    if (NameTaken(command->GetName(), set_.GetCommands().size())) return kNameExists;
    set_.AddCommand(std::move(command));
    return "";
}

std::string CustomerSetEditor::ReplaceCommand(size_t index,
                                              std::unique_ptr<CKelCustomerCommand> command) {
    auto& commands = set_.Commands();
    if (!command || index >= commands.size()) return "";
    if (NameTaken(command->GetName(), index)) return kNameExists;
    command->SetManager(commands[index]->GetManager());
    command->SetPortList(commands[index]->GetPortList());
    commands[index] = std::move(command);
    return "";
}

void CustomerSetEditor::DeleteCommand(size_t index) {
    auto& commands = set_.Commands();
    if (index < commands.size())
        commands.erase(commands.begin() + static_cast<std::ptrdiff_t>(index));
}

std::string CustomerSetEditor::Check() const {
    const std::string& name = set_.GetClientName();
    if (name.empty()) return kEnterName;
    if (std::find(takenNames_.begin(), takenNames_.end(), name) != takenNames_.end()) {
        return ClientLoadedText(name);
    }
    return "";
}

}  // namespace kelcmd::dialogs
