#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "command/structure_definition.h"

namespace kelcmd::dialogs {

// The element types in the order the add dialog offers them, with their texts.
struct OfferedType {
    uint32_t type;
    const char* text;
};
const std::vector<OfferedType>& OfferedElementTypes();

// The edits of the "Define Data Structure" dialog without its widgets. Every change that grows
// the padded size (adding, moving, loading) is checked against the maximum, so a definition never
// exceeds what its memory area and a write can carry; a refused change leaves it as it was. Each
// returns "" or the message to show.
class StructureEditor {
  public:
    StructureEditor(CStructureDefinition definition, uint32_t maxSize, bool aligned);

    const CStructureDefinition& Definition() const { return definition_; }
    uint32_t MaxSize() const { return maxSize_; }
    uint64_t Size() const { return definition_.Size(aligned_); }
    void SetName(std::string name) { definition_.SetName(std::move(name)); }

    // "Loaded structure is too long! (Max. %i bytes)" when the definition it was opened with
    // already exceeds the maximum (it is kept).
    std::string OpeningMessage() const;
    std::string Add(const StructureElement& element);
    void Delete(size_t index);
    void DeleteAll();
    std::string MoveUp(size_t index);
    std::string MoveDown(size_t index);
    // A ".usp" file image: wrong version "File Version is too old!", not a structure file "Bad
    // Type of File!", too long for the maximum "Structure is too long! (Max. %i bytes)".
    std::string Load(std::span<const uint8_t> bytes);
    std::vector<uint8_t> Store() const;

  private:
    std::string TooLong(const char* format) const;
    std::string Exchange(size_t first, size_t second);

    CStructureDefinition definition_;
    uint32_t maxSize_;
    bool aligned_;
};

// The parameter type the value editors use for an element type.
uint8_t ValueTypeOfElement(uint32_t elementType);
// An item's value as the data dialogs show it: numbers with "%i", Float with "%f", Bool "TRUE",
// "FALSE" or "not valid", bit sets as " | 1010 | 0101 | ".
std::string ItemValueText(uint32_t elementType, uint32_t raw);
// The raw bits as the value editors take them (host order, the item's width), and back.
std::vector<uint8_t> RawToBytes(uint32_t elementType, uint32_t raw);
uint32_t BytesToRaw(std::span<const uint8_t> bytes);

}  // namespace kelcmd::dialogs
