#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "command/structure_definition.h"

namespace kelcmd {
class CParameterList;
struct StructureAttachment;
}  // namespace kelcmd

namespace kelcmd::dialogs {

enum class ParameterSide { kSend, kReturn };

// The type column: "Byte", "Word", "Int", "LWord", "LInt", "Float", "Struct", "StructEx",
// "RecordedData", "Struct", "Bits8", "Bits16", "Bits32", "Bool" by type code; "" for other codes.
std::string ParameterSetTypeText(uint8_t type);

// The value column: whole numbers with "%i", Float with "%.6f", Bool "TRUE" / "FALSE", bit sets
// as their digits in groups of four, a structure parameter "doubleclick to see values" when a
// structure describes its bytes, and "not impl" for the byte blocks nothing here can edit.
std::string ParameterSetValueText(uint8_t type, std::span<const uint8_t> value, bool hasStructure);

struct ParameterRow {
    std::string name;
    uint8_t type = 0;
    std::vector<uint8_t> value;
    // The structure that describes a "Struct" parameter's bytes, when one with elements is
    // attached.
    std::optional<CStructureDefinition> structure;
    // An outgoing structure has no valid value until it was edited.
    bool valid = true;
    bool edited = false;
};

// The rows of the "Parameter Set" list over one side of a parameter list, edited on a copy: the
// list itself changes only through Store.
class ParameterSetModel {
  public:
    ParameterSetModel(const CParameterList& list, ParameterSide side,
                      std::span<const StructureAttachment> attachments = {});

    ParameterSide Side() const { return side_; }
    size_t Count() const { return rows_.size(); }
    // Null for a row beyond the list.
    const ParameterRow* Row(size_t row) const;
    std::string ValueText(size_t row) const;
    bool AllValid() const;

    // The row's structure with its bytes, laid out as a unit holds them (aligned); nothing for a
    // row without a structure.
    std::optional<CStructureData> StructureOf(size_t row) const;
    // The value the value editors start from: exactly the width of the row's type.
    std::vector<uint8_t> EditorValue(size_t row) const;
    // A confirmed new value; the row becomes valid. False for a row beyond the list.
    bool SetValue(size_t row, std::vector<uint8_t> value);

    // Writes the edited outgoing values into `list`.
    void Store(CParameterList& list) const;

  private:
    ParameterSide side_;
    std::vector<ParameterRow> rows_;
};

}  // namespace kelcmd::dialogs
