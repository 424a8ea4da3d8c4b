#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "command/kel_command.h"
#include "command/parameter_list.h"
#include "command/structure_definition.h"

namespace kelcmd {

class CKelCommunication;
class CCustomerCommandSets;
class CReportRenderer;

// A structure by which the bytes of a "Byte[N]" parameter are shown and edited.
struct StructureAttachment {
    CStructureDefinition structure;
    uint32_t parameterIndex = 0;

    friend bool operator==(const StructureAttachment&, const StructureAttachment&) = default;
};

// A command defined by the user at run time: name, command code ("Type Number") and a parameter
// list, with structure attachments per side. It executes itself and is never stacked.
class CKelCustomerCommand : public CKelCommand {
  public:
    CKelCustomerCommand();
    ~CKelCustomerCommand() override;
    CKelCustomerCommand(const CKelCustomerCommand& other);
    CKelCustomerCommand& operator=(const CKelCustomerCommand& other);

    const CRuntimeClass* GetRuntimeClass() const override;
    static const CRuntimeClass* StaticClass();

    // CKelCommand's data, the definition's parameter list, then the send and the return
    // attachments, each side as: number of structures (4), number of indices (4), then per
    // attachment the structure description stream and the parameter index (4). A side whose two
    // numbers differ is left empty and nothing more of it is read. A failed load leaves this
    // command unchanged.
    void Serialize(CArchive& archive) override;
    CParameterList* GetSendParameters() override { return &parameters_; }
    std::unique_ptr<CCommand> Clone() const override;
    int CopyToClipboard() const override;
    void Reset() override;
    // The result and input dialogs come with the dialogs library: without return (send)
    // parameters they succeed at once; results that are not valid give 0.
    int ShowResults() override;
    int EditParameters() override;
    // Finds the port (letter case ignored), builds the message, runs the exchange and decodes the
    // answer. 1 only when the exchange succeeded and every return parameter was read from an
    // answer; a command without an answer gives 0.
    int Execute() override;
    void ClearResults() override;

    virtual CReportRenderer* GetReportRenderer() const { return nullptr; }
    virtual CReportRenderer* GetReportRenderer2() const { return nullptr; }

    // Copies the bus data, the definition (bindings included), the attachments and the two
    // references. Copying itself does nothing.
    virtual void CopyFrom(const CKelCustomerCommand& other);

    CParameterList& Parameters() { return parameters_; }
    const CParameterList& Parameters() const { return parameters_; }
    std::vector<StructureAttachment>& SendAttachments() { return sendAttachments_; }
    const std::vector<StructureAttachment>& SendAttachments() const { return sendAttachments_; }
    std::vector<StructureAttachment>& ReturnAttachments() { return returnAttachments_; }
    const std::vector<StructureAttachment>& ReturnAttachments() const { return returnAttachments_; }

    // The set holder that keeps the command (copied, not stored).
    CCustomerCommandSets* GetManager() const { return manager_; }
    void SetManager(CCustomerCommandSets* manager) { manager_ = manager; }
    // The port table used by Execute (copied, not stored); the process's manager when none is set.
    CKelCommunication* GetPortList() const { return ports_; }
    void SetPortList(CKelCommunication* ports) { ports_ = ports; }

  private:
    CParameterList parameters_;
    std::vector<StructureAttachment> sendAttachments_;
    std::vector<StructureAttachment> returnAttachments_;
    CCustomerCommandSets* manager_ = nullptr;
    CKelCommunication* ports_ = nullptr;
};

}  // namespace kelcmd
