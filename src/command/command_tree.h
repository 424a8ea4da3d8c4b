#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/object.h"
#include "command/command.h"

namespace kelcmd {

// One node of a command tree: a folder (CCommandTree) or a command (CCommandTreeLeaf). Names are
// compared without regard to letter case throughout the tree.
class CCommandTreeItem : public CObject {
  public:
    CCommandTreeItem();
    ~CCommandTreeItem() override;

    const CRuntimeClass* GetRuntimeClass() const override;
    static const CRuntimeClass* StaticClass();
    // The base item stores nothing.
    void Serialize(CArchive&) override {}

    // Inserts `item` into the folder named `parentName`, before its child `beforeName` (at the end
    // when empty). True when inserted (the tree owns it then); false, the item staying with the
    // caller, when no such place exists.
    virtual bool Insert(std::unique_ptr<CCommandTreeItem>& item, const std::string& parentName,
                        const std::string& beforeName);
    // Destroys the first item named `name`; the name of its folder and of the child before it
    // (empty when it was the first) are reported where asked for.
    virtual bool Remove(const std::string& name, std::string* parentName,
                        std::string* precedingName);
    // Appends the commands of the subtree in order (not owned by the list); leaves without a
    // command add nothing.
    virtual void CollectCommands(std::vector<CCommand*>* commands);
    virtual void SetDestination(int32_t address);
    virtual void SetPortName(const std::string& portName);
    // The first command of the subtree with that name, or null.
    virtual CCommand* FindCommand(const std::string& name);

    void SetName(const std::string& name) { name_ = name; }
    std::string GetName() const { return name_; }
    // The row of the tree view the item was last inserted into; 0 before.
    uintptr_t GetTreeHandle() const { return treeHandle_; }
    void SetTreeHandle(uintptr_t handle) { treeHandle_ = handle; }

    static bool SameName(const std::string& a, const std::string& b);

  protected:
    std::string name_;

  private:
    uintptr_t treeHandle_ = 0;
};

// A folder: an ordered list of owned items.
class CCommandTree : public CCommandTreeItem {
  public:
    CCommandTree();
    explicit CCommandTree(const std::string& name);
    ~CCommandTree() override;
    CCommandTree(CCommandTree&&) noexcept = default;
    CCommandTree& operator=(CCommandTree&&) noexcept = default;

    const CRuntimeClass* GetRuntimeClass() const override;
    static const CRuntimeClass* StaticClass();
    // Name, child count (4 bytes), each child as an object reference. A malformed archive leaves
    // the folder unchanged.
    void Serialize(CArchive& archive) override;

    bool Insert(std::unique_ptr<CCommandTreeItem>& item, const std::string& parentName,
                const std::string& beforeName) override;
    bool Remove(const std::string& name, std::string* parentName,
                std::string* precedingName) override;
    void CollectCommands(std::vector<CCommand*>* commands) override;
    void SetDestination(int32_t address) override;
    void SetPortName(const std::string& portName) override;
    CCommand* FindCommand(const std::string& name) override;

    // Appends an item (null is ignored).
    void AddTail(std::unique_ptr<CCommandTreeItem> item);
    const std::vector<std::unique_ptr<CCommandTreeItem>>& GetChildren() const { return children_; }
    void RemoveAll() { children_.clear(); }

  private:
    std::vector<std::unique_ptr<CCommandTreeItem>> children_;
};

// One command, owned.
class CCommandTreeLeaf : public CCommandTreeItem {
  public:
    CCommandTreeLeaf();
    ~CCommandTreeLeaf() override;

    const CRuntimeClass* GetRuntimeClass() const override;
    static const CRuntimeClass* StaticClass();
    // Name, then the command as an object reference. A malformed archive leaves the leaf
    // unchanged.
    void Serialize(CArchive& archive) override;

    void CollectCommands(std::vector<CCommand*>* commands) override;
    void SetDestination(int32_t address) override;
    void SetPortName(const std::string& portName) override;
    CCommand* FindCommand(const std::string& name) override;

    // Replaces the command; a command gives the leaf its name.
    void SetCommand(std::unique_ptr<CCommand> command);
    CCommand* GetCommand() const { return command_.get(); }

  private:
    std::unique_ptr<CCommand> command_;
};

}  // namespace kelcmd
