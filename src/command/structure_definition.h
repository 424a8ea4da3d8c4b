#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "archive/archive.h"

namespace kelcmd {

// Element types of a user-defined structure.
enum ElementType : uint32_t {
    ELEMENT_BYTE = 0,
    ELEMENT_WORD = 1,
    ELEMENT_INT = 2,
    ELEMENT_LWORD = 3,
    ELEMENT_LINT = 4,
    ELEMENT_FLOAT = 5,
    ELEMENT_BITS8 = 6,
    ELEMENT_BITS16 = 7,
    ELEMENT_BITS32 = 8,
    ELEMENT_BOOL = 9,
};
constexpr uint32_t kElementTypeCount = 10;

// "Byte", "Word", "Int", "LWord", "LInt", "Float", "Bits8", "Bits16", "Bits32", "Bool"; "" else.
const char* ElementTypeName(uint32_t type);
// 1, 2 or 4 bytes per item; 0 for an unknown type.
uint32_t ElementItemWidth(uint32_t type);

struct StructureElement {
    std::string name;
    uint32_t type = ELEMENT_BYTE;
    uint32_t count = 1;  // items; 1 for a single value

    friend bool operator==(const StructureElement&, const StructureElement&) = default;
};

// Where an element lies in a byte image. Offsets and sizes are 64-bit so that no count, however
// large, wraps around.
struct ElementPlacement {
    uint64_t offset;
    uint64_t size;
};

// A named, ordered list of typed elements describing the bytes of a user parameter set.
class CStructureDefinition {
  public:
    CStructureDefinition() = default;
    explicit CStructureDefinition(std::string name, std::vector<StructureElement> elements = {})
        : name_(std::move(name)), elements_(std::move(elements)) {}

    const std::string& GetName() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    const std::vector<StructureElement>& GetElements() const { return elements_; }
    std::vector<StructureElement>& Elements() { return elements_; }
    size_t GetElementCount() const { return elements_.size(); }

    // Item width × count.
    static uint64_t ElementSize(const StructureElement& element);
    // Elements follow each other in list order. Aligned: an element of 2- or 4-byte items starts
    // at an even offset (a zero pad byte precedes it when needed), and the total is padded to an
    // even length. Unaligned: no padding.
    std::vector<ElementPlacement> Layout(bool aligned) const;
    uint64_t Size(bool aligned) const;
    // The name an item is shown under: the element name, followed by " [i]" for arrays.
    static std::string ItemName(const StructureElement& element, uint32_t item);

    // The structure description stream: name (archive string), element count (4 bytes), then each
    // element's name, type (4) and count (4). Reading checks every count against the bytes that
    // remain and refuses unknown types; on failure the archive is marked failed and this
    // definition is unchanged.
    void WriteStream(CArchive& archive) const;
    bool ReadStream(CArchive& archive);
    std::vector<uint8_t> ToStream() const;
    bool FromStream(std::span<const uint8_t> bytes);

    friend bool operator==(const CStructureDefinition&, const CStructureDefinition&) = default;

  private:
    std::string name_;
    std::vector<StructureElement> elements_;
};

// A structure definition together with a byte image of a user parameter set (at most 1023 bytes)
// laid out by it. Item values are read from and written into the image, multi-byte items most
// significant byte first.
class CStructureData {
  public:
    static constexpr size_t kMaxImageSize = 1023;

    CStructureData() = default;
    CStructureData(CStructureDefinition definition, bool aligned);

    const CStructureDefinition& GetDefinition() const { return definition_; }
    bool IsAligned() const { return aligned_; }

    // Takes a byte image as the unit holds it: elements that fit completely take their bytes,
    // elements that do not are cleared; surplus bytes are ignored.
    void LoadImage(std::span<const uint8_t> bytes, bool aligned);
    // The image built from the values: the layout's length, at most 1023 bytes.
    const std::vector<uint8_t>& GetImage() const { return image_; }
    // All values to zero.
    void Reset();

    // An item's value as its raw bits (zero-extended), as a number by its type (Int and LInt
    // signed, Float as a float), and writing one. Items that lie beyond the image read 0 and
    // cannot be written (false).
    uint32_t GetRaw(size_t element, uint32_t item) const;
    double GetNumber(size_t element, uint32_t item) const;
    bool SetRaw(size_t element, uint32_t item, uint32_t bits);
    bool SetNumber(size_t element, uint32_t item, double value);

  private:
    // The image offset of an item with its width, or false when it lies beyond the image.
    bool Locate(size_t element, uint32_t item, size_t& offset, uint32_t& width) const;
    void Relayout();

    CStructureDefinition definition_;
    bool aligned_ = false;
    std::vector<ElementPlacement> layout_;
    std::vector<uint8_t> image_;
};

}  // namespace kelcmd
