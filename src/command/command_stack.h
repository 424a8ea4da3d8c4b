#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "command/kel_batch_command.h"

namespace kelcmd {

class CKelCommunication;
class CommandStackLists;

// One collection of commands: the batch that receives them (its port name and destination are
// those of the caller that started it) and the thread that started it.
class CCommandStackEntry {
  public:
    CCommandStackEntry(CKelCommunication* ports, const std::string& port, uint8_t slave);

    // The calling thread is the entry's thread, the port name equals (letter case ignored) and
    // the destination equals the slave.
    bool Matches(const std::string& port, uint8_t slave) const;

    CKelBatchCommand& Batch() { return batch_; }
    uint32_t Thread() const { return thread_; }

  private:
    CKelBatchCommand batch_;
    uint32_t thread_;
};

// Collects the commands of each thread per port and slave into batches instead of sending them,
// and sends such a batch on request. Entries of one thread are never seen by another. The
// entry lists are shared by all threads, so they are guarded; a batch is executed outside the
// guard (only its own thread ever touches an entry). When a thread ends, its entries are deleted:
// no other thread could ever send or stop them.
class CCommandStack {
  public:
    CCommandStack();
    explicit CCommandStack(CKelCommunication* ports);
    virtual ~CCommandStack();
    CCommandStack(const CCommandStack&) = delete;
    CCommandStack& operator=(const CCommandStack&) = delete;

    // The port table in which batches find their port (not owned).
    void SetPortList(CKelCommunication* ports) { ports_ = ports; }
    CKelCommunication* GetPortList() const { return ports_; }

    // Starts collecting for (port, slave) in the calling thread; a stopped entry of the same
    // port, slave and thread is deleted first. Starting twice leaves two active entries; the
    // first receives the commands.
    void Start(const std::string& port, uint8_t slave);
    // Ends collecting and keeps the batch: 1, or 0 when no entry collects for (port, slave).
    int Stop(const std::string& port, uint8_t slave);
    // Sends the collecting entry (which stops it) or else the stopped one as a batch of `type`;
    // the exchange's result, 0 when there is no entry. The entry stays, so it can be sent again
    // (a quiet send, later its quiet read).
    int ExecuteBatch(const std::string& port, uint8_t slave, uint32_t type);

    // True when the calling thread collects commands for (port, slave).
    virtual bool IsStacking(const std::string& port, uint8_t slave) const;
    // Takes the command into the calling thread's first collecting entry of the command's port
    // and destination: 1, or 0 when none matches (the command is discarded).
    virtual int Append(std::unique_ptr<CKelCommand> command);

    // The status of each member of the calling thread's batch for (port, slave), the one an
    // execute would send (the collecting entry, else the stopped one): after an execute, which
    // members succeeded, which failed and which were not executed. Empty when there is none.
    std::vector<uint32_t> MemberStatuses(const std::string& port, uint8_t slave) const;

    size_t ActiveCount() const;
    size_t StoppedCount() const;

  private:
    // Shared with the threads that have entries here, so that a thread ending after the stack
    // was destroyed finds nothing to clean.
    std::shared_ptr<CommandStackLists> lists_;
    CKelCommunication* ports_ = nullptr;
};

}  // namespace kelcmd
