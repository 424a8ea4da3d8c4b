#pragma once

#include <memory>
#include <string>
#include <vector>

#include "command/kel_batch_command.h"

namespace kelcmd {

class CKelCommunication;

// The library's defined batch commands, owned; names are unique (letter case ignored). Every batch
// taken in executes on the store's port table.
class CBatchCommandStore {
  public:
    explicit CBatchCommandStore(CKelCommunication* ports = nullptr) : ports_(ports) {}

    void SetPortList(CKelCommunication* ports);
    CKelCommunication* GetPortList() const { return ports_; }

    // Takes the batch: false (and the batch stays with the caller) when null or its name is
    // already in the store.
    bool Add(std::unique_ptr<CKelBatchCommand>& batch);
    // The batch of that name (letter case ignored), or null.
    CKelBatchCommand* Find(const std::string& name) const;
    bool Remove(const std::string& name);
    void RemoveAll() { batches_.clear(); }
    // Replaces the whole list by copies of `batches` (what an editor hands back on OK).
    void Replace(const std::vector<std::unique_ptr<CKelBatchCommand>>& batches);
    // Copies of every batch, for an editor to work on.
    std::vector<std::unique_ptr<CKelBatchCommand>> Copy() const;

    const std::vector<std::unique_ptr<CKelBatchCommand>>& GetBatches() const { return batches_; }
    size_t Count() const { return batches_.size(); }

  private:
    CKelCommunication* ports_;
    std::vector<std::unique_ptr<CKelBatchCommand>> batches_;
};

}  // namespace kelcmd
