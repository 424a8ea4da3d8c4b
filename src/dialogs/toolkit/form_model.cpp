#include "dialogs/toolkit/form_model.h"

#include <algorithm>

#include "command/command.h"
#include "command/parameter_list.h"
#include "command/parameter_types.h"
#include "dialogs/toolkit/typed_value.h"

namespace kelcmd::dialogs {

int ChoiceOfCode(const FieldLayout& field, uint32_t raw) {
    if (!field.codes.empty()) {
        for (size_t i = 0; i < field.codes.size(); ++i) {
            if (field.codes[i] == static_cast<int64_t>(raw)) return static_cast<int>(i);
        }
        return -1;
    }
    const int64_t index = static_cast<int64_t>(raw) - field.firstCode;
    const bool known = index >= 0 && index < static_cast<int64_t>(field.choices.size());
    return known ? static_cast<int>(index) : -1;
}

int64_t CodeOfChoice(const FieldLayout& field, int choice) {
    if (!field.codes.empty()) return field.codes.at(static_cast<size_t>(choice));
    return field.firstCode + choice;
}

FormModel::FormModel(FormLayout form, FormSide side)
    : form_(std::move(form)),
      side_(side),
      values_(form_.fields.size()),
      types_(form_.fields.size(), TYPE_LWORD) {}

int FormModel::IndexOf(const CParameterList& wire, size_t field) const {
    const std::string& name = form_.fields[field].parameter;
    return side_ == FormSide::kSend ? wire.FindSend(name) : wire.FindReturn(name);
}

void FormModel::Load(const CParameterList& wire) {
    for (size_t i = 0; i < form_.fields.size(); ++i) {
        const int index = IndexOf(wire, i);
        if (index < 0) continue;
        const bool send = side_ == FormSide::kSend;
        const uint8_t type = send ? wire.GetSendType(index) : wire.GetReturnType(index);
        const std::span<const uint8_t> bytes =
            send ? wire.GetSendValue(index) : wire.GetReturnValue(index);
        const FieldLayout& field = form_.fields[i];
        FieldValue& value = values_[i];
        types_[i] = type;
        const uint32_t raw = ReadUnsigned(bytes.first(std::min<size_t>(
            bytes.size(), ParameterTypeSize(type) != 0 ? ParameterTypeSize(type) : 4)));
        switch (field.kind) {
            case FieldKind::kNumber:
                value.text = FormatNumber(type, bytes);
                break;
            case FieldKind::kChoice:
            case FieldKind::kList: {
                value.choice = ChoiceOfCode(field, raw);
                break;
            }
            case FieldKind::kBits:
                value.bits = raw;
                break;
            case FieldKind::kCheck:
                value.checked = raw != 0;
                break;
            case FieldKind::kText: {
                // Up to the first zero byte: a string of the unit.
                const auto end = std::find(bytes.begin(), bytes.end(), uint8_t{0});
                value.text.assign(bytes.begin(), end);
                break;
            }
        }
    }
}

std::optional<FieldProblem> FormModel::Check() const {
    if (side_ != FormSide::kSend) return std::nullopt;
    if (form_.textCheck) {
        std::vector<std::string> texts;
        for (const FieldValue& value : values_) texts.push_back(value.text);
        if (auto refused = form_.textCheck(texts)) {
            return FieldProblem{refused->first, refused->second, std::nullopt};
        }
    }
    for (size_t i = 0; i < form_.fields.size(); ++i) {
        const FieldLayout& field = form_.fields[i];
        if (field.kind != FieldKind::kNumber) continue;
        const NumberCheck check = ParseNumber(types_[i], values_[i].text);
        if (!check.ok) return FieldProblem{i, check.message, check.corrected};
        if (field.range && types_[i] != TYPE_FLOAT) {
            const std::optional<long long> number = ParseInteger(values_[i].text);
            const auto [low, high] = *field.range;
            if (!number || *number < low || *number > high) {
                return FieldProblem{i,
                                    "Please enter an integer between " + std::to_string(low) +
                                        " and " + std::to_string(high) + ".",
                                    std::nullopt};
            }
        }
    }
    return std::nullopt;
}

void FormModel::Store(CParameterList& wire, CCommand* command) const {
    if (side_ != FormSide::kSend) return;
    for (size_t i = 0; i < form_.fields.size(); ++i) {
        const int index = IndexOf(wire, i);
        if (index < 0) continue;
        const FieldLayout& field = form_.fields[i];
        const FieldValue& value = values_[i];
        const uint8_t type = wire.GetSendType(index);
        std::vector<uint8_t> bytes;
        switch (field.kind) {
            case FieldKind::kNumber: {
                NumberCheck check = ParseNumber(type, value.text);
                if (!check.ok) continue;
                bytes = std::move(check.bytes);
                if (field.timeout && command != nullptr) {
                    command->SetAnswerTimeout(ReadUnsigned(bytes));
                }
                break;
            }
            case FieldKind::kChoice:
            case FieldKind::kList:
                if (value.choice < 0) continue;
                bytes = BytesOfType(type, static_cast<uint32_t>(CodeOfChoice(field, value.choice)));
                break;
            case FieldKind::kBits:
                bytes = BytesOfType(type, value.bits);
                break;
            case FieldKind::kCheck:
                bytes = BytesOfType(type, value.checked ? 1 : 0);
                break;
            case FieldKind::kText:
                bytes.assign(value.text.begin(), value.text.end());
                break;
        }
        wire.SetSendValue(index, bytes.data(), static_cast<uint32_t>(bytes.size()));
    }
}

}  // namespace kelcmd::dialogs
