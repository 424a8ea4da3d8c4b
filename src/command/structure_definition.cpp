#include "command/structure_definition.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace kelcmd {

namespace {

// Archive bytes an element needs at least: name length byte, type, count.
constexpr size_t kMinElementBytes = 1 + 4 + 4;
// Far beyond any image, and far from wrapping a 64-bit offset.
constexpr uint64_t kSizeCeiling = uint64_t{1} << 48;

}  // namespace

const char* ElementTypeName(uint32_t type) {
    static const char* const kNames[kElementTypeCount] = {
        "Byte", "Word", "Int", "LWord", "LInt", "Float", "Bits8", "Bits16", "Bits32", "Bool"};
    return type < kElementTypeCount ? kNames[type] : "";
}

uint32_t ElementItemWidth(uint32_t type) {
    static const uint32_t kWidths[kElementTypeCount] = {1, 2, 2, 4, 4, 4, 1, 2, 4, 1};
    return type < kElementTypeCount ? kWidths[type] : 0;
}

uint64_t CStructureDefinition::ElementSize(const StructureElement& element) {
    return uint64_t{ElementItemWidth(element.type)} * element.count;
}

std::vector<ElementPlacement> CStructureDefinition::Layout(bool aligned) const {
    std::vector<ElementPlacement> placements;
    placements.reserve(elements_.size());
    uint64_t offset = 0;
    for (const StructureElement& element : elements_) {
        const uint32_t width = ElementItemWidth(element.type);
        if (aligned && width >= 2 && offset % 2 != 0) ++offset;  // one zero pad byte
        const uint64_t size = ElementSize(element);
        placements.push_back(ElementPlacement{offset, size});
        offset = std::min(offset + size, kSizeCeiling);
    }
    return placements;
}

uint64_t CStructureDefinition::Size(bool aligned) const {
    const std::vector<ElementPlacement> placements = Layout(aligned);
    uint64_t end = placements.empty() ? 0 : placements.back().offset + placements.back().size;
    if (aligned && end % 2 != 0) ++end;
    return end;
}

std::string CStructureDefinition::ItemName(const StructureElement& element, uint32_t item) {
    if (element.count < 2) return element.name;
    return element.name + " [" + std::to_string(item) + "]";
}

void CStructureDefinition::WriteStream(CArchive& archive) const {
    archive.WriteString(name_);
    archive.WriteU32(static_cast<uint32_t>(elements_.size()));
    for (const StructureElement& element : elements_) {
        archive.WriteString(element.name);
        archive.WriteU32(element.type);
        archive.WriteU32(element.count);
    }
}

bool CStructureDefinition::ReadStream(CArchive& archive) {
    std::string name = archive.ReadString();
    const uint32_t count = archive.ReadU32();
    // The count must be backed by bytes before anything is reserved for it.
    if (archive.Failed() || count > archive.Remaining() / kMinElementBytes) {
        archive.SetFailed();
        return false;
    }
    std::vector<StructureElement> elements;
    elements.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        StructureElement element;
        element.name = archive.ReadString();
        element.type = archive.ReadU32();
        element.count = archive.ReadU32();
        if (archive.Failed() || element.type >= kElementTypeCount) {
            archive.SetFailed();
            return false;
        }
        elements.push_back(std::move(element));
    }
    name_ = std::move(name);
    elements_ = std::move(elements);
    return true;
}

std::vector<uint8_t> CStructureDefinition::ToStream() const {
    CArchive archive;
    WriteStream(archive);
    return archive.TakeData();
}

bool CStructureDefinition::FromStream(std::span<const uint8_t> bytes) {
    CArchive archive(bytes);
    return ReadStream(archive);
}

CStructureData::CStructureData(CStructureDefinition definition, bool aligned)
    : definition_(std::move(definition)), aligned_(aligned) {
    Relayout();
}

void CStructureData::Relayout() {
    layout_ = definition_.Layout(aligned_);
    const uint64_t size = definition_.Size(aligned_);
    image_.assign(static_cast<size_t>(std::min<uint64_t>(size, kMaxImageSize)), 0);
}

void CStructureData::LoadImage(std::span<const uint8_t> bytes, bool aligned) {
    aligned_ = aligned;
    Relayout();
    for (const ElementPlacement& placement : layout_) {
        const uint64_t end = placement.offset + placement.size;
        // Only elements that the given bytes and the image both hold completely take their
        // bytes; the rest stay cleared.
        if (end > bytes.size() || end > image_.size()) continue;
        std::copy_n(bytes.begin() + static_cast<ptrdiff_t>(placement.offset), placement.size,
                    image_.begin() + static_cast<ptrdiff_t>(placement.offset));
    }
}

void CStructureData::Reset() {
    std::fill(image_.begin(), image_.end(), 0);
}

bool CStructureData::Locate(size_t element, uint32_t item, size_t& offset, uint32_t& width) const {
    if (element >= layout_.size()) return false;
    const StructureElement& definition = definition_.GetElements()[element];
    if (item >= definition.count) return false;
    width = ElementItemWidth(definition.type);
    const uint64_t start = layout_[element].offset + uint64_t{width} * item;
    if (width == 0 || start + width > image_.size()) return false;
    offset = static_cast<size_t>(start);
    return true;
}

uint32_t CStructureData::GetRaw(size_t element, uint32_t item) const {
    size_t offset = 0;
    uint32_t width = 0;
    if (!Locate(element, item, offset, width)) return 0;
    uint32_t value = 0;
    for (uint32_t i = 0; i < width; ++i) value = (value << 8) | image_[offset + i];
    return value;
}

bool CStructureData::SetRaw(size_t element, uint32_t item, uint32_t bits) {
    size_t offset = 0;
    uint32_t width = 0;
    if (!Locate(element, item, offset, width)) return false;
    for (uint32_t i = 0; i < width; ++i) {
        image_[offset + i] = static_cast<uint8_t>(bits >> (8 * (width - 1 - i)));
    }
    return true;
}

double CStructureData::GetNumber(size_t element, uint32_t item) const {
    if (element >= layout_.size()) return 0;
    const uint32_t type = definition_.GetElements()[element].type;
    const uint32_t bits = GetRaw(element, item);
    if (type == ELEMENT_FLOAT) return std::bit_cast<float>(bits);
    if (type == ELEMENT_INT) return static_cast<int16_t>(bits);
    if (type == ELEMENT_LINT) return static_cast<int32_t>(bits);
    return bits;
}

bool CStructureData::SetNumber(size_t element, uint32_t item, double value) {
    if (element >= layout_.size()) return false;
    const uint32_t type = definition_.GetElements()[element].type;
    if (type == ELEMENT_FLOAT) {
        return SetRaw(element, item, std::bit_cast<uint32_t>(static_cast<float>(value)));
    }
    if (!std::isfinite(value)) return false;
    // Numbers outside the 64-bit range would make the conversion undefined.
    constexpr double kLimit = 9.0e18;
    const auto whole = static_cast<int64_t>(std::clamp(value, -kLimit, kLimit));
    return SetRaw(element, item, static_cast<uint32_t>(whole));
}

}  // namespace kelcmd
