#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "command/kel_command.h"
#include "command/parameter_list.h"

namespace kelcmd {

class CCommandFamily;
class CReportRenderer;

// A command of the library's fixed catalogue. The wire list holds the values that travel in the
// message and the answer; the extra list holds values that belong to the command on the PC side
// only. The owner is the family that built the command (not owned); the family executes it and
// shows its dialogs.
class CKelStandardCommand : public CKelCommand {
  public:
    CKelStandardCommand();
    ~CKelStandardCommand() override;
    // Deep copies, as CopyFrom.
    CKelStandardCommand(const CKelStandardCommand& other);
    CKelStandardCommand& operator=(const CKelStandardCommand& other);

    const CRuntimeClass* GetRuntimeClass() const override;
    static const CRuntimeClass* StaticClass();

    // CKelCommand's data, then the wire list, then the extra list. A failed load leaves this
    // command unchanged.
    void Serialize(CArchive& archive) override;
    CParameterList* GetSendParameters() override { return &wire_; }
    CParameterList* GetExtraParameters() override { return &extra_; }
    std::unique_ptr<CCommand> Clone() const override;
    int CopyToClipboard() const override;
    void Reset() override;
    // Forwarded to the owner; 0 without one.
    int ShowResults() override;
    int EditParameters() override;
    int Execute() override;
    void ClearResults() override;

    // The report renderers are built with the dialogs; none yet.
    virtual CReportRenderer* GetReportRenderer() const { return nullptr; }
    virtual CReportRenderer* GetReportRenderer2() const { return nullptr; }

    // Copies the bus data, both lists (bindings included) and the owner. Copying itself does
    // nothing.
    virtual void CopyFrom(const CKelStandardCommand& other);

    CParameterList& Wire() { return wire_; }
    const CParameterList& Wire() const { return wire_; }
    CParameterList& Extra() { return extra_; }
    const CParameterList& Extra() const { return extra_; }

    CCommandFamily* GetOwner() const { return owner_; }
    void SetOwner(CCommandFamily* family) { owner_ = family; }

    // Forwarding to the wire list.
    int AddSendParameter(const std::string& name, uint8_t type, uint32_t size) {
        return wire_.AddSendParameter(name, type, size);
    }
    int AddReturnParameter(const std::string& name, uint8_t type, uint32_t size) {
        return wire_.AddReturnParameter(name, type, size);
    }
    void SetSendValue(size_t index, const void* bytes, uint32_t size) {
        wire_.SetSendValue(index, bytes, size);
    }
    void SetReturnValue(size_t index, const void* bytes, uint32_t size) {
        wire_.SetReturnValue(index, bytes, size);
    }
    void BindReturnValue(size_t index, void* address) { wire_.BindReturnValue(index, address); }

    // Forwarding to the extra list.
    int AddExtraSendParameter(const std::string& name, uint8_t type, uint32_t size) {
        return extra_.AddSendParameter(name, type, size);
    }
    int AddExtraReturnParameter(const std::string& name, uint8_t type, uint32_t size) {
        return extra_.AddReturnParameter(name, type, size);
    }
    void SetExtraSendValue(size_t index, const void* bytes, uint32_t size) {
        extra_.SetSendValue(index, bytes, size);
    }
    void SetExtraReturnValue(size_t index, const void* bytes, uint32_t size) {
        extra_.SetReturnValue(index, bytes, size);
    }
    void BindExtraReturnValue(size_t index, void* address) {
        extra_.BindReturnValue(index, address);
    }

  private:
    CParameterList wire_;
    CParameterList extra_;
    CCommandFamily* owner_ = nullptr;
};

}  // namespace kelcmd
