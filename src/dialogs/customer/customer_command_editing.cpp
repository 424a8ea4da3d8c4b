#include "dialogs/customer/customer_command_editing.h"

#include <algorithm>
#include <cstdio>

#include "command/parameter_list.h"
#include "command/parameter_types.h"

namespace kelcmd::dialogs {
namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

const OfferedParameterType* FindOffered(uint8_t type) {
    for (const OfferedParameterType& offered : OfferedParameterTypes()) {
        if (offered.type == type) return &offered;
    }
    return nullptr;
}

// Loads one side of a parameter list into rows, with the structures attached to it.
void AppendSide(const CParameterList& list, bool incoming,
                const std::vector<StructureAttachment>& attachments,
                std::vector<CustomerParameterRow>& rows) {
    const size_t count = incoming ? list.GetReturnCount() : list.GetSendCount();
    for (size_t i = 0; i < count; ++i) {
        CustomerParameterRow row;
        row.incoming = incoming;
        row.name = incoming ? list.GetReturnName(i) : list.GetSendName(i);
        row.type = incoming ? list.GetReturnType(i) : list.GetSendType(i);
        const auto value = incoming ? list.GetReturnValue(i) : list.GetSendValue(i);
        row.value.assign(value.begin(), value.end());
        if (row.type == TYPE_BYTE_ARRAY) {
            // Only a structure attached to a structure parameter means anything; others are
            // dropped when the command is rebuilt.
            for (const StructureAttachment& attachment : attachments) {
                if (attachment.parameterIndex == i) {
                    row.structure = attachment.structure;
                    break;
                }
            }
        }
        rows.push_back(std::move(row));
    }
}

}  // namespace

const std::vector<OfferedParameterType>& OfferedParameterTypes() {
    static const std::vector<OfferedParameterType> types = {
        {TYPE_BYTE, "Byte (unsigned 8-Bit)", "Byte"},
        {TYPE_BOOL, "Bool (8-Bit)", "Bool"},
        {TYPE_WORD, "Word (unsigned 16-Bit)", "Word"},
        {TYPE_INT, "Int (signed 16-Bit)", "Int"},
        {TYPE_LWORD, "LWord (unsigned 32-Bit)", "LWord"},
        {TYPE_LINT, "LInt (signed 32-Bit)", "LInt"},
        {TYPE_FLOAT, "Float (32-Bit floating point value) ", "Float"},
        {TYPE_BITS8, "Bits8 (8-Bit Flags)", "Bits8"},
        {TYPE_BITS16, "Bits16 (16-Bit Flags)", "Bits16"},
        {TYPE_BITS32, "Bits32 (32-Bit Flags)", "Bits32"},
        {TYPE_BYTE_ARRAY, "User Defined Structure", "Struct"},
    };
    return types;
}

std::string CustomerTypeName(uint8_t type) {
    if (const OfferedParameterType* offered = FindOffered(type)) return offered->shortName;
    return std::string(ParameterTypeName(type));
}

std::optional<uint8_t> ParseTypeNumber(const std::string& text) {
    if (text.empty() || text.size() > 2 || !std::all_of(text.begin(), text.end(), IsHexDigit)) {
        return std::nullopt;
    }
    return static_cast<uint8_t>(std::stoul(text, nullptr, 16));
}

std::string TypeNumberText(uint8_t code) {
    char text[8];
    std::snprintf(text, sizeof text, "%.2X", code);
    return text;
}

std::string TypeNumberColumn(uint8_t code) {
    return "0x" + TypeNumberText(code);
}

CustomerCommandEditor::CustomerCommandEditor(const CKelCustomerCommand& command, bool newCommand)
    : original_(command), name_(command.GetName()) {
    if (!newCommand) typeNumber_ = TypeNumberText(command.GetCode());
    const CParameterList& list = command.Parameters();
    AppendSide(list, false, command.SendAttachments(), rows_);
    AppendSide(list, true, command.ReturnAttachments(), rows_);
}

bool CustomerCommandEditor::NameTaken(const std::string& name) const {
    return std::any_of(rows_.begin(), rows_.end(),
                       [&](const auto& row) { return row.name == name; });
}

size_t CustomerCommandEditor::DirectionCount(bool incoming) const {
    return static_cast<size_t>(std::count_if(
        rows_.begin(), rows_.end(), [&](const auto& row) { return row.incoming == incoming; }));
}

uint32_t CustomerCommandEditor::DirectionBytes(bool incoming, std::optional<size_t> except) const {
    uint32_t bytes = 0;
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].incoming == incoming && i != except) bytes += Length(i);
    }
    return bytes;
}

std::string CustomerCommandEditor::AddParameter(const std::string& name, uint8_t type,
                                                bool incoming) {
    if (name.empty()) return kEnterName;
    if (NameTaken(name)) return kNameExists;
    if (FindOffered(type) == nullptr) return "Unknown type!";
    if (DirectionCount(incoming) >= CParameterList::kMaxSendParameters) return kTooManyParameters;
    const uint32_t size = ParameterTypeSize(type);  // 0 for a structure still empty
    if (DirectionBytes(incoming, std::nullopt) + size > CParameterList::kMaxMessageLength) {
        return kMessageTooLong;
    }
    CustomerParameterRow row{name, type, incoming, std::vector<uint8_t>(size), std::nullopt};
    if (type == TYPE_BYTE_ARRAY) row.structure = CStructureDefinition(name);
    rows_.push_back(std::move(row));
    return "";
}

void CustomerCommandEditor::Delete(size_t row) {
    if (row < rows_.size()) rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
}

bool CustomerCommandEditor::MoveUp(size_t row) {
    if (row == 0 || row >= rows_.size()) return false;
    std::swap(rows_[row - 1], rows_[row]);
    return true;
}

bool CustomerCommandEditor::MoveDown(size_t row) {
    return MoveUp(row + 1);
}

size_t CustomerCommandEditor::DirectionIndex(size_t row) const {
    if (row >= rows_.size()) return 0;
    return static_cast<size_t>(
        std::count_if(rows_.begin(), rows_.begin() + static_cast<std::ptrdiff_t>(row),
                      [&](const auto& other) { return other.incoming == rows_[row].incoming; }));
}

uint32_t CustomerCommandEditor::Length(size_t row) const {
    if (row >= rows_.size()) return 0;
    const CustomerParameterRow& shown = rows_[row];
    if (shown.structure) return static_cast<uint32_t>(shown.structure->Size(kStructureAligned));
    const uint32_t size = ParameterTypeSize(shown.type);
    return size != 0 ? size : static_cast<uint32_t>(shown.value.size());
}

uint32_t CustomerCommandEditor::StructureLimit(size_t row) const {
    if (row >= rows_.size()) return 0;
    const uint32_t others = DirectionBytes(rows_[row].incoming, row);
    return others >= CParameterList::kMaxMessageLength ? 0
                                                       : CParameterList::kMaxMessageLength - others;
}

bool CustomerCommandEditor::SetStructure(size_t row, const CStructureDefinition& structure) {
    if (row >= rows_.size() || rows_[row].type != TYPE_BYTE_ARRAY) return false;
    const uint64_t size = structure.Size(kStructureAligned);
    if (size > StructureLimit(row)) return false;
    rows_[row].structure = structure;
    rows_[row].value.resize(static_cast<size_t>(size));
    return true;
}

std::string CustomerCommandEditor::Check() const {
    if (!ParseTypeNumber(typeNumber_)) return kTypeNumberNotCorrect;
    if (name_.empty()) return kEnterName;
    return "";
}

std::unique_ptr<CKelCustomerCommand> CustomerCommandEditor::Result() const {
    auto command = std::make_unique<CKelCustomerCommand>(original_);
    command->SetName(name_);
    command->SetCode(ParseTypeNumber(typeNumber_).value_or(command->GetCode()));
    // Clear keeps the list's reserved word, which is stored with it.
    CParameterList& list = command->Parameters();
    list.Clear();
    command->SendAttachments().clear();
    command->ReturnAttachments().clear();
    for (size_t i = 0; i < rows_.size(); ++i) {
        const CustomerParameterRow& row = rows_[i];
        const auto index = static_cast<uint32_t>(DirectionIndex(i));
        const auto size = static_cast<uint32_t>(row.value.size());
        if (row.incoming) {
            list.AddReturnParameter(row.name, row.type, size);
            list.SetReturnValue(index, row.value.data(), size);
        } else {
            list.AddSendParameter(row.name, row.type, size);
            list.SetSendValue(index, row.value.data(), size);
        }
        if (row.structure) {
            auto& attachments =
                row.incoming ? command->ReturnAttachments() : command->SendAttachments();
            attachments.push_back({*row.structure, index});
        }
    }
    return command;
}

}  // namespace kelcmd::dialogs
