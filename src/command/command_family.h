#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "archive/archive.h"
#include "command/catalogue_table.h"
#include "command/kel_standard_command.h"
#include "command/parameter_links.h"

namespace kelcmd {

class CCommandStack;
class CCommandTree;
class CKelCommunication;

// The owner of one family's catalogue commands (its prototypes, one per table row, in table
// order). It fills in defaults, executes commands of the family (or diverts them into the calling
// thread's collecting batch) and, in the derived dialog classes, edits and shows them.
class CCommandFamily {
  public:
    CCommandFamily(const CCommandFamily&) = delete;
    CCommandFamily& operator=(const CCommandFamily&) = delete;
    virtual ~CCommandFamily();

    // The port table in which commands find their port by name (letter case ignored), and the
    // command stack (may be null). Neither is owned.
    void SetLinks(CKelCommunication* ports, CCommandStack* stack);
    CKelCommunication* GetPorts() const { return ports_; }
    CCommandStack* GetStack() const { return stack_; }

    const std::string& GetDisplayName() const { return displayName_; }

    // Which return parameter of one command feeds which send parameter of another. None here.
    virtual void DeclareLinks(CParameterLinks& links) const;

    // Names the folder after the family and appends one leaf per prototype, in table order, each
    // holding a fresh copy of the prototype.
    virtual void BuildTree(CCommandTree& folder) const;

    // Writes the family's default send values (and answer timeout) into a command of this family,
    // chosen by its code and, where commands share a code, by its name. 1, or 0 for a command the
    // family does not know.
    virtual int SetDefaults(CKelStandardCommand& command) const;
    // The dialogs; the dialog classes derived from a family show them.
    virtual int ShowResults(CKelStandardCommand& command);
    virtual int EditParameters(CKelStandardCommand& command);
    // Stacks the command when the calling thread collects for its port and destination (result of
    // the append); otherwise finds its port, builds the message, runs the exchange and decodes the
    // answer into the return parameters and bound variables. 1 after a successful exchange,
    // whatever the decode found; 0 for no command, no port, a message that does not fit, or a
    // failed exchange.
    virtual int Execute(CKelStandardCommand* command);

    // The family's command codes.
    virtual std::span<const CodeRange> GetCodeRanges() const = 0;
    bool HasCode(uint8_t code) const;
    // Makes this family the owner of a command whose code is one of its codes: 1, else 0.
    int Adopt(CKelStandardCommand& command);

    // Stores or loads the prototypes in table order, each as a standard command, and nothing else.
    // A failed load leaves the prototypes unchanged.
    void Serialize(CArchive& archive);

    // The prototype of that name (exact), or null.
    CKelStandardCommand* GetPrototype(std::string_view name);
    const CKelStandardCommand* GetPrototype(std::string_view name) const;
    size_t GetPrototypeCount() const { return prototypes_.size(); }
    CKelStandardCommand& GetPrototypeAt(size_t index) { return *prototypes_.at(index); }
    const std::vector<CatalogueCommand>& GetCatalogue() const { return catalogue_; }

    // Exports copy prototypes on any thread while a dialog edits and executes them: whoever reads
    // or writes a prototype's contents holds this lock for that moment.
    std::mutex& PrototypeLock() const { return prototypeLock_; }

  protected:
    // Builds one prototype per row: reset, owner, name and code, send then return parameters (and
    // the extra ones), then the row's defaults.
    CCommandFamily(std::string displayName, std::vector<CatalogueCommand> catalogue);

    // The catalogue row a command belongs to: the only row with its code, or, where rows share the
    // code, the row of its name. Null when none fits.
    const CatalogueCommand* FindRow(const CKelStandardCommand& command) const;
    static void ApplyDefaults(const CatalogueCommand& row, CKelStandardCommand& command);

  private:
    std::string displayName_;
    std::vector<CatalogueCommand> catalogue_;
    // Each prototype is kept at a fixed address: dialogs and exports hold on to them.
    std::vector<std::unique_ptr<CKelStandardCommand>> prototypes_;
    CKelCommunication* ports_ = nullptr;
    CCommandStack* stack_ = nullptr;
    mutable std::mutex prototypeLock_;
};

}  // namespace kelcmd
