#include "dialogs/sheet/parameter_sheet_model.h"

#include <cstdio>
#include <cstring>

#include "command/parameter_types.h"
#include "dialogs/toolkit/typed_value.h"

namespace kelcmd::dialogs {
namespace {

constexpr const char* kCurrentIndex = "Current index";
constexpr const char* kCurrentIndexAndEncoder = "Current index & index of the encoder";

// The Home Position is edited as one LInt.
uint8_t ValueType(const SheetField& field) {
    return field.split ? static_cast<uint8_t>(TYPE_LINT) : field.type;
}

const uint8_t* At(const T_SysParamEx& set, size_t offset) {
    return reinterpret_cast<const uint8_t*>(&set) + offset;
}
uint8_t* At(T_SysParamEx& set, size_t offset) {
    return reinterpret_cast<uint8_t*>(&set) + offset;
}

// The field's value as an unsigned word of its width (the Home Position joined from its halves).
uint32_t RawValue(const SheetField& field, const T_SysParamEx& set) {
    if (field.split) {
        uint16_t high = 0;
        uint16_t low = 0;
        std::memcpy(&high, At(set, field.offset), 2);
        std::memcpy(&low, At(set, field.offset + 2), 2);
        return (static_cast<uint32_t>(high) << 16) | low;
    }
    return ReadUnsigned({At(set, field.offset), ParameterTypeSize(field.type)});
}

void WriteRaw(const SheetField& field, T_SysParamEx& set, uint32_t value) {
    if (field.split) {
        const auto high = static_cast<uint16_t>(value >> 16);
        const auto low = static_cast<uint16_t>(value & 0xFFFF);
        std::memcpy(At(set, field.offset), &high, 2);
        std::memcpy(At(set, field.offset + 2), &low, 2);
        return;
    }
    const std::vector<uint8_t> bytes = BytesOfType(field.type, value);
    std::memcpy(At(set, field.offset), bytes.data(), bytes.size());
}

// A stored integer with the sign of its type.
int64_t Signed(const SheetField& field, uint32_t raw) {
    switch (ValueType(field)) {
        case TYPE_INT:
            return static_cast<int16_t>(raw);
        case TYPE_LINT:
            return static_cast<int32_t>(raw);
        default:
            return raw;
    }
}

int ChoiceOf(const SheetField& field, const std::string& text) {
    for (size_t i = 0; i < field.choices.size(); ++i) {
        if (field.choices[i] == text) return static_cast<int>(i);
    }
    return -1;
}

std::optional<int64_t> Integer(const std::string& text) {
    try {
        size_t used = 0;
        const long long value = std::stoll(text, &used);
        if (text.find_first_not_of(" \t", used) != std::string::npos) return std::nullopt;
        return value;
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace

ParameterSheetModel::ParameterSheetModel(bool extended, const std::optional<T_SysParamEx>& data)
    : extended_(extended), dataValid_(data.has_value()), fields_(SheetFields(extended)) {
    if (data) original_ = *data;
    for (const SheetField& field : fields_) loaded_.push_back(TextOf(field, original_));
    texts_ = loaded_;
    accepted_ = loaded_;
    if (!dataValid_) {
        for (int page = 0; page < kSheetPageCount; ++page) SetPageDefaults(page);
        accepted_ = texts_;
    }
}

std::string ParameterSheetModel::TextOf(const SheetField& field, const T_SysParamEx& set) const {
    const uint32_t raw = RawValue(field, set);
    switch (field.kind) {
        case SheetFieldKind::kCheck: {
            const bool on = field.bit >= 0 ? ((raw >> field.bit) & 1U) != 0 : raw != 0;
            return on ? "1" : "0";
        }
        case SheetFieldKind::kList:
            for (size_t i = 0; i < field.codes.size(); ++i) {
                if (field.codes[i] == Signed(field, raw)) return field.choices[i];
            }
            return std::to_string(Signed(field, raw));  // a value the list does not know
        case SheetFieldKind::kReadOnly:
            if (field.hex) {
                char text[16];
                std::snprintf(text, sizeof text, "%X", raw);
                return text;
            }
            return std::to_string(Signed(field, raw));
        case SheetFieldKind::kNumber:
            if (field.split) return std::to_string(Signed(field, raw));
            return FormatNumber(field.type, {At(set, field.offset), ParameterTypeSize(field.type)});
    }
    return {};
}

int ParameterSheetModel::Find(int page, const std::string& label, const std::string& group) const {
    for (size_t i = 0; i < fields_.size(); ++i) {
        const SheetField& field = fields_[i];
        if (field.page == page && field.label == label && (group.empty() || field.group == group)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::optional<std::string> ParameterSheetModel::Leave(size_t index) {
    const SheetField& field = fields_.at(index);
    std::string& text = texts_[index];
    if (field.clamp) {
        const std::optional<int64_t> value = Integer(text);
        if (!value) return std::nullopt;  // the number check on "&OK" refuses it
        const auto [low, high] = *field.clamp;
        if (*value < low || *value > high) text = std::to_string(*value < low ? low : high);
        return std::nullopt;
    }
    if (field.kind == SheetFieldKind::kList && ChoiceOf(field, text) < 0) {
        if (text == loaded_[index]) return std::nullopt;  // the unit's own value stays
        text = field.defaultText;
        return field.listWarning;
    }
    return std::nullopt;
}

bool ParameterSheetModel::PulseLengthNeedsQuestion(size_t index) const {
    if (fields_.at(index).label != "Max. Pulse Length Speed") return false;
    if (texts_[index] == accepted_[index]) return false;
    const std::optional<int64_t> value = Integer(texts_[index]);
    return value && *value != kPulseLengthDefault;
}

void ParameterSheetModel::KeepPulseLength(size_t index, bool keep) {
    if (!keep) texts_[index] = std::to_string(kPulseLengthDefault);
    accepted_[index] = texts_[index];
}

void ParameterSheetModel::SetPageDefaults(int page) {
    for (size_t i = 0; i < fields_.size(); ++i) {
        if (fields_[i].page == page && !fields_[i].defaultText.empty()) {
            texts_[i] = fields_[i].defaultText;
            accepted_[i] = texts_[i];
        }
    }
}

bool ParameterSheetModel::CurrentThresholdEnabled() const {
    const int home = Find(kSpecialPage, "Type of home procedure");
    if (home < 0) return true;
    const std::string& text = texts_[static_cast<size_t>(home)];
    return text == kCurrentIndex || text == kCurrentIndexAndEncoder;
}

bool ParameterSheetModel::ExtendTagValid() const {
    const int tag = Find(kExtendedPage, "ExtendTag");
    return tag >= 0 && Integer(texts_[static_cast<size_t>(tag)]) == kValidExtendTag;
}

std::optional<std::pair<size_t, std::string>> ParameterSheetModel::Check() {
    for (size_t i = 0; i < fields_.size(); ++i) {
        if (texts_[i] == loaded_[i]) continue;
        const SheetField& field = fields_[i];
        if (field.kind == SheetFieldKind::kList || field.clamp) {
            if (auto warning = Leave(i)) return std::pair{i, *warning};
        }
        if (field.kind != SheetFieldKind::kNumber) continue;
        const NumberCheck check = ParseNumber(ValueType(field), texts_[i]);
        if (!check.ok) {
            if (check.corrected) texts_[i] = *check.corrected;
            return std::pair{i, check.message};
        }
    }
    return std::nullopt;
}

T_SysParamEx ParameterSheetModel::Result() const {
    T_SysParamEx set = original_;
    for (size_t i = 0; i < fields_.size(); ++i) {
        if (texts_[i] == loaded_[i]) continue;
        const SheetField& field = fields_[i];
        switch (field.kind) {
            case SheetFieldKind::kReadOnly:
                break;
            case SheetFieldKind::kCheck: {
                const bool on = texts_[i] == "1";
                uint32_t value = RawValue(field, set);
                if (field.bit < 0) {
                    value = on ? 1 : 0;
                } else {
                    const uint32_t mask = 1U << field.bit;
                    value = on ? (value | mask) : (value & ~mask);
                }
                WriteRaw(field, set, value);
                break;
            }
            case SheetFieldKind::kList: {
                const int choice = ChoiceOf(field, texts_[i]);
                if (choice >= 0) {
                    WriteRaw(field, set, static_cast<uint32_t>(field.codes[choice]));
                }
                break;
            }
            case SheetFieldKind::kNumber: {
                const NumberCheck check = ParseNumber(ValueType(field), texts_[i]);
                if (!check.ok) break;
                if (field.split) {
                    WriteRaw(field, set, ReadUnsigned(check.bytes));
                } else {
                    std::memcpy(At(set, field.offset), check.bytes.data(), check.bytes.size());
                }
                break;
            }
        }
    }
    return set;
}

}  // namespace kelcmd::dialogs
