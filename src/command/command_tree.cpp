#include "command/command_tree.h"

#include <algorithm>

#include "archive/object_io.h"

namespace kelcmd {

namespace {

// Trees loaded from files are shallow; a limit keeps a hostile file from exhausting the stack.
constexpr int kMaxLoadDepth = 64;
thread_local int loadDepth = 0;

struct DepthGuard {
    DepthGuard() { ++loadDepth; }
    ~DepthGuard() { --loadDepth; }
    bool TooDeep() const { return loadDepth > kMaxLoadDepth; }
};

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

}  // namespace

// ---- CCommandTreeItem

const CRuntimeClass* CCommandTreeItem::StaticClass() {
    static const CRuntimeClass runtimeClass{"CCommandTreeItem", 2, CObject::StaticClass(),
                                            &CreateInstance<CCommandTreeItem>};
    return &runtimeClass;
}
const CRuntimeClass* CCommandTreeItem::GetRuntimeClass() const {
    return StaticClass();
}
CCommandTreeItem::CCommandTreeItem() = default;
CCommandTreeItem::~CCommandTreeItem() = default;

bool CCommandTreeItem::SameName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return Lower(x) == Lower(y); });
}

bool CCommandTreeItem::Insert(std::unique_ptr<CCommandTreeItem>&, const std::string&,
                              const std::string&) {
    return false;
}
bool CCommandTreeItem::Remove(const std::string&, std::string*, std::string*) {
    return false;
}
void CCommandTreeItem::CollectCommands(std::vector<CCommand*>*) {}
void CCommandTreeItem::SetDestination(int32_t) {}
void CCommandTreeItem::SetPortName(const std::string&) {}
CCommand* CCommandTreeItem::FindCommand(const std::string&) {
    return nullptr;
}

// ---- CCommandTree

const CRuntimeClass* CCommandTree::StaticClass() {
    static const CRuntimeClass runtimeClass{"CCommandTree", 2, CCommandTreeItem::StaticClass(),
                                            &CreateInstance<CCommandTree>};
    return &runtimeClass;
}
const CRuntimeClass* CCommandTree::GetRuntimeClass() const {
    return StaticClass();
}
CCommandTree::CCommandTree() = default;
CCommandTree::CCommandTree(const std::string& name) {
    SetName(name);
}
CCommandTree::~CCommandTree() = default;

void CCommandTree::Serialize(CArchive& archive) {
    if (archive.IsStoring()) {
        archive.WriteString(name_);
        archive.WriteU32(static_cast<uint32_t>(children_.size()));
        for (const auto& child : children_) WriteObject(archive, child.get());
        return;
    }
    DepthGuard depth;
    const std::string name = archive.ReadString();
    const uint32_t count = archive.ReadU32();
    if (depth.TooDeep() || count > archive.Remaining() / 2) archive.SetFailed();
    if (archive.Failed()) return;
    std::vector<std::unique_ptr<CCommandTreeItem>> children;
    for (uint32_t i = 0; i < count; ++i) {
        std::unique_ptr<CCommandTreeItem> child = ReadObjectAs<CCommandTreeItem>(archive);
        if (archive.Failed()) return;
        if (child) children.push_back(std::move(child));
    }
    name_ = name;
    children_ = std::move(children);
}

bool CCommandTree::Insert(std::unique_ptr<CCommandTreeItem>& item, const std::string& parentName,
                          const std::string& beforeName) {
    if (!item) return false;
    if (SameName(name_, parentName)) {
        if (beforeName.empty()) {
            children_.push_back(std::move(item));
            return true;
        }
        auto before = std::find_if(children_.begin(), children_.end(), [&](const auto& child) {
            return SameName(child->GetName(), beforeName);
        });
        if (before == children_.end()) return false;
        children_.insert(before, std::move(item));
        return true;
    }
    for (const auto& child : children_) {
        if (child->Insert(item, parentName, beforeName)) return true;
    }
    return false;
}

bool CCommandTree::Remove(const std::string& name, std::string* parentName,
                          std::string* precedingName) {
    if (precedingName != nullptr) precedingName->clear();
    for (auto it = children_.begin(); it != children_.end(); ++it) {
        if (SameName((*it)->GetName(), name)) {
            children_.erase(it);
            if (parentName != nullptr) *parentName = name_;
            return true;
        }
        std::string nestedPreceding;
        if ((*it)->Remove(name, parentName, &nestedPreceding)) {
            if (precedingName != nullptr) *precedingName = nestedPreceding;
            return true;
        }
        if (precedingName != nullptr) *precedingName = (*it)->GetName();
    }
    return false;
}

void CCommandTree::CollectCommands(std::vector<CCommand*>* commands) {
    for (const auto& child : children_) child->CollectCommands(commands);
}

void CCommandTree::SetDestination(int32_t address) {
    for (const auto& child : children_) child->SetDestination(address);
}

void CCommandTree::SetPortName(const std::string& portName) {
    for (const auto& child : children_) child->SetPortName(portName);
}

CCommand* CCommandTree::FindCommand(const std::string& name) {
    for (const auto& child : children_) {
        if (CCommand* found = child->FindCommand(name)) return found;
    }
    return nullptr;
}

void CCommandTree::AddTail(std::unique_ptr<CCommandTreeItem> item) {
    if (item) children_.push_back(std::move(item));
}

// ---- CCommandTreeLeaf

const CRuntimeClass* CCommandTreeLeaf::StaticClass() {
    static const CRuntimeClass runtimeClass{"CCommandTreeLeaf", 2, CCommandTreeItem::StaticClass(),
                                            &CreateInstance<CCommandTreeLeaf>};
    return &runtimeClass;
}
const CRuntimeClass* CCommandTreeLeaf::GetRuntimeClass() const {
    return StaticClass();
}
CCommandTreeLeaf::CCommandTreeLeaf() = default;
CCommandTreeLeaf::~CCommandTreeLeaf() = default;

void CCommandTreeLeaf::Serialize(CArchive& archive) {
    if (archive.IsStoring()) {
        archive.WriteString(name_);
        WriteObject(archive, command_.get());
        return;
    }
    const std::string name = archive.ReadString();
    std::unique_ptr<CCommand> command = ReadObjectAs<CCommand>(archive);
    if (archive.Failed()) return;
    name_ = name;
    command_ = std::move(command);
}

void CCommandTreeLeaf::CollectCommands(std::vector<CCommand*>* commands) {
    if (commands != nullptr && command_) commands->push_back(command_.get());
}

void CCommandTreeLeaf::SetDestination(int32_t address) {
    if (command_) command_->SetDestination(address);
}

void CCommandTreeLeaf::SetPortName(const std::string& portName) {
    if (command_) command_->SetPortName(portName);
}

CCommand* CCommandTreeLeaf::FindCommand(const std::string& name) {
    return command_ && SameName(command_->GetName(), name) ? command_.get() : nullptr;
}

void CCommandTreeLeaf::SetCommand(std::unique_ptr<CCommand> command) {
    command_ = std::move(command);
    if (command_) name_ = command_->GetName();
}

}  // namespace kelcmd
