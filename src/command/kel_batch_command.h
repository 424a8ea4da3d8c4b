#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "command/kel_command.h"
#include "transport/protocol_constants.h"

namespace kelcmd {

class CKelCommunication;
class CReportRenderer;

// The three kinds of batch. The two quiet kinds share the command code 4.
enum BatchType : uint32_t {
    BATCH_NORMAL = 0,      // "Batch": sent, executed, results in the answer
    BATCH_QUIET_SEND = 1,  // "QuietBatch_Send": sent and executed, no results in the answer
    BATCH_QUIET_READ = 2,  // "QuietBatch_Read": only the request; results of the last quiet batch
};

// The code a batch of that type is sent with.
uint8_t BatchTypeCode(uint32_t type);

// A command whose message data is the packed sequence of its member commands (standard or
// customer commands, owned). The unit executes the members in order and answers once.
class CKelBatchCommand : public CKelCommand {
  public:
    CKelBatchCommand();
    ~CKelBatchCommand() override;
    // Deep copies, as CopyFrom.
    CKelBatchCommand(const CKelBatchCommand& other);
    CKelBatchCommand& operator=(const CKelBatchCommand& other);

    const CRuntimeClass* GetRuntimeClass() const override;
    static const CRuntimeClass* StaticClass();

    // CKelCommand's data, the batch type (4), the member count (4), then each member as a
    // class-tagged object reference. Loading accepts only command classes derived from
    // CKelCommand; a malformed archive leaves this batch unchanged.
    void Serialize(CArchive& archive) override;
    std::unique_ptr<CCommand> Clone() const override;
    int CopyToClipboard() const override;
    // Base reset, type "Batch", no fixed timeout, every member reset (the members stay).
    void Reset() override;
    // The members' dialogs in order (not for "QuietBatch_Read"); 0 at the first that fails.
    int EditParameters() override;
    // The members' result dialogs in order (not for "QuietBatch_Send"); 0 at the first that fails.
    int ShowResults() override;
    // Builds the message for the batch type, runs the exchange on the batch's port and decodes
    // the answer into the members. The result is the exchange's: 1 succeeded, 0 failed (also for
    // no port or a message that cannot be built; nothing is sent then).
    int Execute() override;
    // The answer flag, then every member's results.
    void ClearResults() override;

    virtual CReportRenderer* GetReportRenderer() const { return nullptr; }
    virtual CReportRenderer* GetReportRenderer2() const { return nullptr; }

    // Base copy, type, port list, and clones of the source's members. Copying itself does nothing.
    virtual void CopyFrom(const CKelBatchCommand& other);

    // Sets the type and the command code that goes with it; false (nothing changed) for a type
    // that is none of the three.
    bool SetBatchType(uint32_t type);
    uint32_t GetBatchType() const { return batchType_; }
    // The port table in which Execute finds the port (not owned); the process's manager when none.
    void SetPortList(CKelCommunication* ports) { ports_ = ports; }
    CKelCommunication* GetPortList() const { return ports_; }

    // Member list. Append and insert take ownership and refuse null (0). Insert puts the command
    // before the member at `index`, or at the end when the index is beyond the last.
    int AppendCommand(std::unique_ptr<CKelCommand> command);
    int InsertCommand(std::unique_ptr<CKelCommand> command, size_t index);
    // Deletes the member; false for an index beyond the last.
    bool RemoveCommand(size_t index);
    // Removes the member and hands it over; null for an index beyond the last.
    std::unique_ptr<CKelCommand> DetachCommand(size_t index);
    void RemoveAll();
    const std::vector<std::unique_ptr<CKelCommand>>& GetCommands() const { return members_; }
    size_t GetCommandCount() const { return members_.size(); }
    CKelCommand* GetCommand(size_t index) const;
    // Sums over the members.
    uint32_t GetSendParameterCount() const;
    uint32_t GetReturnParameterCount() const;
    // The first member whose status is "Failed", or null.
    CKelCommand* FindFailedCommand() const;

    // The answer timeout the batch waits with: for "Batch" the sum of the members' timeouts, but
    // 0 (no limit) as soon as one member waits without limit; 100 ms for the quiet types.
    uint32_t ComputeAnswerTimeout() const;
    // A total timeout the user fixed for this batch (0 = no limit), waited with in place of the
    // computed one until it is cleared. Copied with the batch; files do not carry it.
    void SetFixedTimeout(std::optional<uint32_t> ms) { fixedTimeout_ = ms; }
    std::optional<uint32_t> GetFixedTimeout() const { return fixedTimeout_; }
    // The timeout the next execution waits with: the fixed one, else the computed one.
    uint32_t EffectiveAnswerTimeout() const {
        return fixedTimeout_.value_or(ComputeAnswerTimeout());
    }
    // Puts the message of the batch type into the message buffer. A "Batch" or "QuietBatch_Send"
    // whose data would pass 1023 bytes shows "Message is too long!\nMore than 1023bytes" and gives
    // false; so does a member without a parameter list (without the message).
    bool BuildMessage();
    // Reads the answer into the members: results, statuses and the failure record. 1, or 0 when no
    // answer was received or the answer does not fit the members.
    int DecodeAnswer();

  private:
    uint32_t batchType_ = BATCH_NORMAL;
    CKelCommunication* ports_ = nullptr;
    std::optional<uint32_t> fixedTimeout_;
    std::vector<std::unique_ptr<CKelCommand>> members_;
};

// A copy of a bus command of any class (standard, customer or batch), or null.
std::unique_ptr<CKelCommand> CloneKelCommand(const CKelCommand& command);

}  // namespace kelcmd
