#include "command/command_family.h"

#include <algorithm>

#include "command/command_dialogs.h"
#include "command/command_execution.h"
#include "command/command_stack.h"
#include "command/command_tree.h"
#include "command/parameter_codec.h"
#include "command/parameter_types.h"

namespace kelcmd {

namespace {

uint32_t ParameterSize(const CatalogueParameter& parameter) {
    return parameter.size != 0 ? parameter.size : ParameterTypeSize(parameter.type);
}

template <class T>
void Put(CParameterList& list, size_t index, T value) {
    list.SetSendValue(index, &value, sizeof(T));
}

// Writes a table value into send parameter `index` with the width of the parameter's type.
void WriteDefault(CParameterList& list, size_t index, const CatalogueValue& value) {
    const long long integer =
        value.IsReal() ? static_cast<long long>(value.Real()) : value.Integer();
    switch (list.GetSendType(index)) {
        case TYPE_BYTE:
        case TYPE_BITS8:
        case TYPE_BOOL:
            Put(list, index, static_cast<uint8_t>(integer));
            break;
        case TYPE_WORD:
        case TYPE_BITS16:
            Put(list, index, static_cast<uint16_t>(integer));
            break;
        case TYPE_INT:
            Put(list, index, static_cast<int16_t>(integer));
            break;
        case TYPE_LWORD:
        case TYPE_BITS32:
            Put(list, index, static_cast<uint32_t>(integer));
            break;
        case TYPE_LINT:
            Put(list, index, static_cast<int32_t>(integer));
            break;
        case TYPE_FLOAT:
            Put(list, index, static_cast<float>(value.Real()));
            break;
        default:
            break;  // structures and arrays have no table defaults
    }
}

void WriteDefaults(CParameterList& list, const std::vector<CatalogueValue>& values) {
    for (size_t i = 0; i < values.size() && i < list.GetSendCount(); ++i) {
        WriteDefault(list, i, values[i]);
    }
}

}  // namespace

CCommandFamily::CCommandFamily(std::string displayName, std::vector<CatalogueCommand> catalogue)
    : displayName_(std::move(displayName)), catalogue_(std::move(catalogue)) {
    prototypes_.reserve(catalogue_.size());
    for (const CatalogueCommand& row : catalogue_) {
        auto prototype = std::make_unique<CKelStandardCommand>();
        prototype->Reset();
        prototype->SetOwner(this);
        prototype->SetCommand(row.name, row.code, 0, 0);
        for (const CatalogueParameter& parameter : row.send) {
            prototype->AddSendParameter(parameter.name, parameter.type, ParameterSize(parameter));
        }
        for (const CatalogueParameter& parameter : row.returns) {
            prototype->AddReturnParameter(parameter.name, parameter.type, ParameterSize(parameter));
        }
        for (const CatalogueParameter& parameter : row.extraSend) {
            prototype->AddExtraSendParameter(parameter.name, parameter.type,
                                             ParameterSize(parameter));
        }
        for (const CatalogueParameter& parameter : row.extraReturns) {
            prototype->AddExtraReturnParameter(parameter.name, parameter.type,
                                               ParameterSize(parameter));
        }
        ApplyDefaults(row, *prototype);
        prototypes_.push_back(std::move(prototype));
    }
}

CCommandFamily::~CCommandFamily() = default;

void CCommandFamily::SetLinks(CKelCommunication* ports, CCommandStack* stack) {
    ports_ = ports;
    stack_ = stack;
}

void CCommandFamily::DeclareLinks(CParameterLinks&) const {}

void CCommandFamily::BuildTree(CCommandTree& folder) const {
    folder.SetName(displayName_);
    for (const auto& prototype : prototypes_) {
        auto command = std::make_unique<CKelStandardCommand>();
        {
            std::lock_guard<std::mutex> guard(prototypeLock_);
            command->CopyFrom(*prototype);
        }
        auto leaf = std::make_unique<CCommandTreeLeaf>();
        leaf->SetCommand(std::move(command));
        folder.AddTail(std::move(leaf));
    }
}

const CatalogueCommand* CCommandFamily::FindRow(const CKelStandardCommand& command) const {
    const CatalogueCommand* only = nullptr;
    size_t sharing = 0;
    for (const CatalogueCommand& row : catalogue_) {
        if (row.code != command.GetCode()) continue;
        if (row.name == command.GetName()) return &row;
        only = &row;
        ++sharing;
    }
    // Commands that share a code are told apart by name alone; a lone code needs no name.
    return sharing == 1 ? only : nullptr;
}

void CCommandFamily::ApplyDefaults(const CatalogueCommand& row, CKelStandardCommand& command) {
    WriteDefaults(command.Wire(), row.defaults);
    WriteDefaults(command.Extra(), row.extraDefaults);
    if (row.answerTimeout) command.SetAnswerTimeout(*row.answerTimeout);
    if (row.customDefaults) row.customDefaults(command);
}

int CCommandFamily::SetDefaults(CKelStandardCommand& command) const {
    const CatalogueCommand* row = FindRow(command);
    if (row == nullptr) return 0;
    ApplyDefaults(*row, command);
    return 1;
}

int CCommandFamily::ShowResults(CKelStandardCommand& command) {
    const std::shared_ptr<CommandDialogs> dialogs = InstalledCommandDialogs();
    return dialogs != nullptr ? dialogs->ShowResults(*this, command) : 0;
}

int CCommandFamily::EditParameters(CKelStandardCommand& command) {
    const std::shared_ptr<CommandDialogs> dialogs = InstalledCommandDialogs();
    return dialogs != nullptr ? dialogs->EditParameters(*this, command) : 0;
}

int CCommandFamily::Execute(CKelStandardCommand* command) {
    if (command == nullptr) return 0;
    if (stack_ != nullptr &&
        stack_->IsStacking(command->GetPortName(), command->GetDestination())) {
        // The copy keeps the send values of now and the caller's bindings: the bound variables are
        // written when the batch's answer is decoded.
        auto copy = std::make_unique<CKelStandardCommand>();
        copy->CopyFrom(*command);
        return stack_->Append(std::move(copy));
    }
    ExecutionSteps steps;
    steps.build = [command] { return BuildCatalogueMessage(*command, &command->Wire()); };
    steps.decode = [command] { return DecodeParameterAnswer(*command, command->Wire()); };
    return ExecuteCommand(ports_, *command, steps);
}

bool CCommandFamily::HasCode(uint8_t code) const {
    const std::span<const CodeRange> ranges = GetCodeRanges();
    return std::any_of(ranges.begin(), ranges.end(), [code](const CodeRange& range) {
        return code >= range.first && code <= range.last;
    });
}

int CCommandFamily::Adopt(CKelStandardCommand& command) {
    if (!HasCode(command.GetCode())) return 0;
    command.SetOwner(this);
    return 1;
}

void CCommandFamily::Serialize(CArchive& archive) {
    if (archive.IsStoring()) {
        for (const auto& prototype : prototypes_) prototype->Serialize(archive);
        return;
    }
    // All prototypes are read before any is replaced, so a malformed archive changes none.
    std::vector<CKelStandardCommand> loaded(prototypes_.size());
    for (CKelStandardCommand& command : loaded) {
        command.Serialize(archive);
        if (archive.Failed()) return;
    }
    std::lock_guard<std::mutex> guard(prototypeLock_);
    for (size_t i = 0; i < loaded.size(); ++i) {
        CCommandFamily* owner = prototypes_[i]->GetOwner();
        prototypes_[i]->CopyFrom(loaded[i]);
        prototypes_[i]->SetOwner(owner);
    }
}

CKelStandardCommand* CCommandFamily::GetPrototype(std::string_view name) {
    // By the catalogue's names, which never change: a prototype's own fields may be rewritten by
    // a dialog on another thread meanwhile.
    for (size_t i = 0; i < catalogue_.size(); ++i) {
        if (catalogue_[i].name == name) return prototypes_[i].get();
    }
    return nullptr;
}

const CKelStandardCommand* CCommandFamily::GetPrototype(std::string_view name) const {
    return const_cast<CCommandFamily*>(this)->GetPrototype(name);
}

}  // namespace kelcmd
