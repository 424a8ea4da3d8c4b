#include "dialogs/parameter_set/parameter_set_model.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "command/kel_customer_command.h"
#include "command/parameter_list.h"
#include "command/parameter_types.h"
#include "dialogs/structures/structure_editing.h"
#include "dialogs/toolkit/text_format.h"

namespace kelcmd::dialogs {
namespace {

constexpr std::array<const char*, kParameterTypeCount> kTypeTexts = {
    "Byte",     "Word",         "Int",    "LWord", "LInt",   "Float",  "Struct",
    "StructEx", "RecordedData", "Struct", "Bits8", "Bits16", "Bits32", "Bool"};

// The first bytes of the value as the type's width reads them (missing bytes are 0): what the
// message carries of a value stored wider than its type.
uint32_t RawOfType(uint8_t type, std::span<const uint8_t> value) {
    const size_t width = std::min<size_t>(ParameterTypeSize(type), 4);
    uint32_t raw = 0;
    for (size_t i = 0; i < std::min(value.size(), width); ++i) {
        raw |= static_cast<uint32_t>(value[i]) << (8 * i);
    }
    return raw;
}

const CStructureDefinition* AttachedTo(std::span<const StructureAttachment> attachments,
                                       size_t index) {
    for (const StructureAttachment& attachment : attachments) {
        if (attachment.parameterIndex == index) return &attachment.structure;
    }
    return nullptr;
}

}  // namespace

std::string ParameterSetTypeText(uint8_t type) {
    return type < kTypeTexts.size() ? kTypeTexts[type] : "";
}

std::string ParameterSetValueText(uint8_t type, std::span<const uint8_t> value, bool hasStructure) {
    const uint32_t raw = RawOfType(type, value);
    switch (type) {
        case TYPE_BYTE:
        case TYPE_WORD:
            return Printed("%i", static_cast<int>(raw));
        case TYPE_INT:
            return Printed("%i", static_cast<int>(static_cast<int16_t>(raw)));
        case TYPE_LWORD:
        case TYPE_LINT:
            return Printed("%i", static_cast<int>(static_cast<int32_t>(raw)));
        case TYPE_FLOAT: {
            float number = 0;
            std::memcpy(&number, &raw, sizeof number);
            return Printed("%.6f", static_cast<double>(number));
        }
        case TYPE_SYSPARAM:
        case TYPE_SYSPARAM_EX:
        case TYPE_INT_ARRAY:
            return "not impl";
        case TYPE_BYTE_ARRAY:
            return hasStructure ? "doubleclick to see values" : "not impl";
        case TYPE_BITS8:
            return ItemValueText(ELEMENT_BITS8, raw);
        case TYPE_BITS16:
            return ItemValueText(ELEMENT_BITS16, raw);
        case TYPE_BITS32:
            return ItemValueText(ELEMENT_BITS32, raw);
        case TYPE_BOOL:
            return raw != 0 ? "TRUE" : "FALSE";
        default:
            return "";
    }
}

ParameterSetModel::ParameterSetModel(const CParameterList& list, ParameterSide side,
                                     std::span<const StructureAttachment> attachments)
    : side_(side) {
    const bool send = side == ParameterSide::kSend;
    const size_t count = send ? list.GetSendCount() : list.GetReturnCount();
    for (size_t i = 0; i < count; ++i) {
        ParameterRow row;
        row.name = send ? list.GetSendName(i) : list.GetReturnName(i);
        row.type = send ? list.GetSendType(i) : list.GetReturnType(i);
        const std::span<const uint8_t> value = send ? list.GetSendValue(i) : list.GetReturnValue(i);
        row.value.assign(value.begin(), value.end());
        const CStructureDefinition* structure = AttachedTo(attachments, i);
        if (row.type == TYPE_BYTE_ARRAY && structure != nullptr &&
            structure->GetElementCount() != 0) {
            row.structure = *structure;
            row.valid = !send;
        }
        rows_.push_back(std::move(row));
    }
}

const ParameterRow* ParameterSetModel::Row(size_t row) const {
    return row < rows_.size() ? &rows_[row] : nullptr;
}

std::string ParameterSetModel::ValueText(size_t row) const {
    if (row >= rows_.size()) return "";
    const ParameterRow& shown = rows_[row];
    return ParameterSetValueText(shown.type, shown.value, shown.structure.has_value());
}

bool ParameterSetModel::AllValid() const {
    for (const ParameterRow& row : rows_) {
        if (!row.valid) return false;
    }
    return true;
}

std::optional<CStructureData> ParameterSetModel::StructureOf(size_t row) const {
    if (row >= rows_.size() || !rows_[row].structure) return std::nullopt;
    CStructureData data(*rows_[row].structure, true);
    data.LoadImage(rows_[row].value, true);
    return data;
}

std::vector<uint8_t> ParameterSetModel::EditorValue(size_t row) const {
    if (row >= rows_.size()) return {};
    const ParameterRow& edited = rows_[row];
    const uint32_t width = ParameterTypeSize(edited.type);
    if (width == 0 || width > 4) return edited.value;
    std::vector<uint8_t> value(width, 0);
    std::memcpy(value.data(), edited.value.data(), std::min<size_t>(width, edited.value.size()));
    return value;
}

bool ParameterSetModel::SetValue(size_t row, std::vector<uint8_t> value) {
    if (row >= rows_.size()) return false;
    rows_[row].value = std::move(value);
    rows_[row].valid = true;
    rows_[row].edited = true;
    return true;
}

void ParameterSetModel::Store(CParameterList& list) const {
    if (side_ != ParameterSide::kSend) return;
    for (size_t i = 0; i < rows_.size() && i < list.GetSendCount(); ++i) {
        if (!rows_[i].edited) continue;
        list.SetSendValue(i, rows_[i].value.data(), static_cast<uint32_t>(rows_[i].value.size()));
    }
}

}  // namespace kelcmd::dialogs
