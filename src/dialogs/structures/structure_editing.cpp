#include "dialogs/structures/structure_editing.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "command/command_files.h"
#include "command/parameter_types.h"
#include "dialogs/toolkit/text_format.h"

namespace kelcmd::dialogs {

const std::vector<OfferedType>& OfferedElementTypes() {
    static const std::vector<OfferedType> types = {
        {ELEMENT_BYTE, "Byte (unsigned 8-Bit)"},
        {ELEMENT_BOOL, "Bool (8-Bit)"},
        {ELEMENT_WORD, "Word (unsigned 16-Bit)"},
        {ELEMENT_INT, "Int (signed 16-Bit)"},
        {ELEMENT_LWORD, "LWord (unsigned 32-Bit)"},
        {ELEMENT_LINT, "LInt (signed 32-Bit)"},
        {ELEMENT_FLOAT, "Float (32-Bit floating point value)"},
        {ELEMENT_BITS8, "Bits8 ( 8-Bit Flags)"},
        {ELEMENT_BITS16, "Bits16 ( 16-Bit Flags)"},
        {ELEMENT_BITS32, "Bits32 ( 32-Bit Flags) "}};
    return types;
}

StructureEditor::StructureEditor(CStructureDefinition definition, uint32_t maxSize, bool aligned)
    : definition_(std::move(definition)), maxSize_(maxSize), aligned_(aligned) {}

std::string StructureEditor::TooLong(const char* format) const {
    char text[96];
    std::snprintf(text, sizeof text, format, static_cast<int>(maxSize_));
    return text;
}

std::string StructureEditor::OpeningMessage() const {
    return Size() > maxSize_ ? TooLong("Loaded structure is too long! (Max. %i bytes)") : "";
}

std::string StructureEditor::Add(const StructureElement& element) {
    if (element.name.empty()) return "Enter a name!";
    const auto& elements = definition_.GetElements();
    if (std::any_of(elements.begin(), elements.end(),
                    [&](const StructureElement& e) { return e.name == element.name; })) {
        return "Name already exists!";
    }
    definition_.Elements().push_back(element);
    if (Size() > maxSize_) {
        definition_.Elements().pop_back();
        return TooLong("Structure is too long! (Max. %i bytes)");
    }
    return "";
}

void StructureEditor::Delete(size_t index) {
    auto& elements = definition_.Elements();
    if (index < elements.size())
        elements.erase(elements.begin() + static_cast<std::ptrdiff_t>(index));
}

void StructureEditor::DeleteAll() {
    definition_.Elements().clear();
}

std::string StructureEditor::Exchange(size_t first, size_t second) {
    auto& elements = definition_.Elements();
    if (first >= elements.size() || second >= elements.size()) return "";
    const uint64_t before = Size();
    std::swap(elements[first], elements[second]);
    // Padding may grow with the order; a definition within the maximum stays within it.
    if (Size() > maxSize_ && Size() > before) {
        std::swap(elements[first], elements[second]);
        return TooLong("Structure is too long! (Max. %i bytes)");
    }
    return "";
}

std::string StructureEditor::MoveUp(size_t index) {
    return index == 0 ? "" : Exchange(index, index - 1);
}

std::string StructureEditor::MoveDown(size_t index) {
    return Exchange(index, index + 1);
}

std::string StructureEditor::Load(std::span<const uint8_t> bytes) {
    CStructureDefinition loaded;
    const FileStatus status = LoadStructureBytes(bytes, loaded);
    if (status == FileStatus::kBadVersion) return "File Version is too old!";
    if (status != FileStatus::kOk) return "Bad Type of File!";
    if (loaded.Size(aligned_) > maxSize_) return TooLong("Structure is too long! (Max. %i bytes)");
    definition_ = std::move(loaded);
    return "";
}

std::vector<uint8_t> StructureEditor::Store() const {
    return StoreStructureBytes(definition_);
}

uint8_t ValueTypeOfElement(uint32_t elementType) {
    switch (elementType) {
        case ELEMENT_BYTE:
            return TYPE_BYTE;
        case ELEMENT_WORD:
            return TYPE_WORD;
        case ELEMENT_INT:
            return TYPE_INT;
        case ELEMENT_LWORD:
            return TYPE_LWORD;
        case ELEMENT_LINT:
            return TYPE_LINT;
        case ELEMENT_FLOAT:
            return TYPE_FLOAT;
        case ELEMENT_BITS8:
            return TYPE_BITS8;
        case ELEMENT_BITS16:
            return TYPE_BITS16;
        case ELEMENT_BITS32:
            return TYPE_BITS32;
        case ELEMENT_BOOL:
            return TYPE_BOOL;
        default:
            return TYPE_BYTE;
    }
}

std::string ItemValueText(uint32_t elementType, uint32_t raw) {
    char text[64];
    switch (elementType) {
        case ELEMENT_INT:
            std::snprintf(text, sizeof text, "%i", static_cast<int>(static_cast<int16_t>(raw)));
            return text;
        case ELEMENT_LINT:
        case ELEMENT_LWORD:
            // LWord is shown with "%i" like every other whole number.
            std::snprintf(text, sizeof text, "%i", static_cast<int>(static_cast<int32_t>(raw)));
            return text;
        case ELEMENT_FLOAT: {
            float value = 0;
            std::memcpy(&value, &raw, sizeof value);
            std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
            return text;
        }
        case ELEMENT_BOOL:
            return raw == 1 ? "TRUE" : raw == 0 ? "FALSE" : "not valid";
        case ELEMENT_BITS8:
        case ELEMENT_BITS16:
        case ELEMENT_BITS32:
            return BitPatternText(raw, static_cast<int>(ElementItemWidth(elementType)) * 8);
        default:
            std::snprintf(text, sizeof text, "%i", static_cast<int>(raw));
            return text;
    }
}

std::vector<uint8_t> RawToBytes(uint32_t elementType, uint32_t raw) {
    const uint32_t width = std::clamp<uint32_t>(ElementItemWidth(elementType), 1, 4);
    std::vector<uint8_t> bytes(width);
    for (uint32_t i = 0; i < width; ++i) bytes[i] = static_cast<uint8_t>(raw >> (8 * i));
    return bytes;
}

uint32_t BytesToRaw(std::span<const uint8_t> bytes) {
    uint32_t raw = 0;
    const size_t width = std::min<size_t>(bytes.size(), 4);
    for (size_t i = 0; i < width; ++i) raw |= static_cast<uint32_t>(bytes[i]) << (8 * i);
    return raw;
}

}  // namespace kelcmd::dialogs
