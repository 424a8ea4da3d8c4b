#include "command/batch_command_store.h"

#include <algorithm>

#include "command/command_tree.h"

namespace kelcmd {

void CBatchCommandStore::SetPortList(CKelCommunication* ports) {
    ports_ = ports;
    for (const auto& batch : batches_) batch->SetPortList(ports);
}

bool CBatchCommandStore::Add(std::unique_ptr<CKelBatchCommand>& batch) {
    if (!batch || Find(batch->GetName()) != nullptr) return false;
    batch->SetPortList(ports_);
    batches_.push_back(std::move(batch));
    return true;
}

CKelBatchCommand* CBatchCommandStore::Find(const std::string& name) const {
    auto found = std::find_if(batches_.begin(), batches_.end(), [&](const auto& batch) {
        return CCommandTreeItem::SameName(batch->GetName(), name);
    });
    return found == batches_.end() ? nullptr : found->get();
}

bool CBatchCommandStore::Remove(const std::string& name) {
    auto found = std::find_if(batches_.begin(), batches_.end(), [&](const auto& batch) {
        return CCommandTreeItem::SameName(batch->GetName(), name);
    });
    if (found == batches_.end()) return false;
    batches_.erase(found);
    return true;
}

void CBatchCommandStore::Replace(const std::vector<std::unique_ptr<CKelBatchCommand>>& batches) {
    std::vector<std::unique_ptr<CKelBatchCommand>> copies;
    for (const auto& batch : batches) {
        if (!batch) continue;
        auto copy = std::make_unique<CKelBatchCommand>(*batch);
        copy->SetPortList(ports_);
        copies.push_back(std::move(copy));
    }
    batches_ = std::move(copies);
}

std::vector<std::unique_ptr<CKelBatchCommand>> CBatchCommandStore::Copy() const {
    std::vector<std::unique_ptr<CKelBatchCommand>> copies;
    for (const auto& batch : batches_) copies.push_back(std::make_unique<CKelBatchCommand>(*batch));
    return copies;
}

}  // namespace kelcmd
