#include "command/customer_command_sets.h"

#include <algorithm>

namespace kelcmd {

CCustomerCommandSet::CCustomerCommandSet(const CCustomerCommandSet& other) {
    *this = other;
}

CCustomerCommandSet& CCustomerCommandSet::operator=(const CCustomerCommandSet& other) {
    if (&other == this) return *this;
    clientName_ = other.clientName_;
    holder_ = other.holder_;
    ports_ = other.ports_;
    commands_.clear();
    for (const auto& command : other.commands_) {
        commands_.push_back(std::make_unique<CKelCustomerCommand>(*command));
    }
    return *this;
}

void CCustomerCommandSet::SetLinks(CCustomerCommandSets* holder, CKelCommunication* ports) {
    holder_ = holder;
    ports_ = ports;
    for (const auto& command : commands_) {
        command->SetManager(holder);
        command->SetPortList(ports);
    }
}

bool CCustomerCommandSet::AddCommand(std::unique_ptr<CKelCustomerCommand> command) {
    if (!command) return false;
    command->SetManager(holder_);
    command->SetPortList(ports_);
    commands_.push_back(std::move(command));
    return true;
}

void CCustomerCommandSets::SetPortList(CKelCommunication* ports) {
    ports_ = ports;
    for (const auto& set : sets_) set->SetLinks(this, ports);
}

bool CCustomerCommandSets::Add(std::unique_ptr<CCustomerCommandSet>& set) {
    if (!set || Find(set->GetClientName()) != nullptr) return false;
    set->SetLinks(this, ports_);
    sets_.push_back(std::move(set));
    return true;
}

CCustomerCommandSet* CCustomerCommandSets::Find(const std::string& clientName) const {
    auto found = std::find_if(sets_.begin(), sets_.end(),
                              [&](const auto& set) { return set->GetClientName() == clientName; });
    return found == sets_.end() ? nullptr : found->get();
}

void CCustomerCommandSets::Replace(const std::vector<std::unique_ptr<CCustomerCommandSet>>& sets) {
    std::vector<std::unique_ptr<CCustomerCommandSet>> copies;
    for (const auto& set : sets) {
        if (!set) continue;
        auto copy = std::make_unique<CCustomerCommandSet>(*set);
        copy->SetLinks(this, ports_);
        copies.push_back(std::move(copy));
    }
    sets_ = std::move(copies);
}

std::vector<std::unique_ptr<CCustomerCommandSet>> CCustomerCommandSets::Copy() const {
    std::vector<std::unique_ptr<CCustomerCommandSet>> copies;
    for (const auto& set : sets_) copies.push_back(std::make_unique<CCustomerCommandSet>(*set));
    return copies;
}

}  // namespace kelcmd
