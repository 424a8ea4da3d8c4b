#pragma once

#include <memory>
#include <string>
#include <vector>

#include "command/kel_customer_command.h"

namespace kelcmd {

class CKelCommunication;
class CCustomerCommandSets;

// The customer commands of one client. Copies are deep.
class CCustomerCommandSet {
  public:
    CCustomerCommandSet() = default;
    explicit CCustomerCommandSet(std::string clientName) : clientName_(std::move(clientName)) {}
    CCustomerCommandSet(const CCustomerCommandSet& other);
    CCustomerCommandSet& operator=(const CCustomerCommandSet& other);

    const std::string& GetClientName() const { return clientName_; }
    void SetClientName(std::string name) { clientName_ = std::move(name); }

    // The holder and port table handed to every command of the set (not owned).
    void SetLinks(CCustomerCommandSets* holder, CKelCommunication* ports);
    // Takes the command and links it; null is refused.
    bool AddCommand(std::unique_ptr<CKelCustomerCommand> command);
    const std::vector<std::unique_ptr<CKelCustomerCommand>>& GetCommands() const {
        return commands_;
    }
    std::vector<std::unique_ptr<CKelCustomerCommand>>& Commands() { return commands_; }

  private:
    std::string clientName_;
    std::vector<std::unique_ptr<CKelCustomerCommand>> commands_;
    CCustomerCommandSets* holder_ = nullptr;
    CKelCommunication* ports_ = nullptr;
};

// The customer command sets loaded in the library (one per client, names unique, letter case
// respected as the set editor compares them).
class CCustomerCommandSets {
  public:
    explicit CCustomerCommandSets(CKelCommunication* ports = nullptr) : ports_(ports) {}

    void SetPortList(CKelCommunication* ports);
    CKelCommunication* GetPortList() const { return ports_; }

    // Takes the set: false (the set stays with the caller) when null or its client is present.
    bool Add(std::unique_ptr<CCustomerCommandSet>& set);
    CCustomerCommandSet* Find(const std::string& clientName) const;
    void RemoveAll() { sets_.clear(); }
    // Replaces the whole list by copies of `sets` (what an editor hands back on OK).
    void Replace(const std::vector<std::unique_ptr<CCustomerCommandSet>>& sets);
    std::vector<std::unique_ptr<CCustomerCommandSet>> Copy() const;

    const std::vector<std::unique_ptr<CCustomerCommandSet>>& GetSets() const { return sets_; }
    size_t Count() const { return sets_.size(); }

  private:
    CKelCommunication* ports_;
    std::vector<std::unique_ptr<CCustomerCommandSet>> sets_;
};

}  // namespace kelcmd
