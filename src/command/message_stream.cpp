#include "command/message_stream.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <mutex>

#include "command/parameter_types.h"

namespace kelcmd {

namespace {

constexpr size_t kMaxIntArrayValues = 511;

struct StructureLayouts {
    std::mutex lock;
    std::array<std::shared_ptr<const StructureLayout>, 2> byType;  // T_SysParam, T_SysParamEx
};

StructureLayouts& Layouts() {
    static StructureLayouts layouts;
    return layouts;
}

bool IsStructureType(uint8_t type) {
    return type == TYPE_SYSPARAM || type == TYPE_SYSPARAM_EX;
}

// A value of `width` bytes in host memory order as a number, and back.
uint32_t LoadHost(const uint8_t* bytes, size_t width) {
    switch (width) {
        case 1:
            return bytes[0];
        case 2: {
            uint16_t value;
            std::memcpy(&value, bytes, 2);
            return value;
        }
        default: {
            uint32_t value;
            std::memcpy(&value, bytes, 4);
            return value;
        }
    }
}

void StoreHost(uint8_t* bytes, uint32_t value, size_t width) {
    switch (width) {
        case 1:
            bytes[0] = static_cast<uint8_t>(value);
            break;
        case 2: {
            const auto narrow = static_cast<uint16_t>(value);
            std::memcpy(bytes, &narrow, 2);
            break;
        }
        default:
            std::memcpy(bytes, &value, 4);
            break;
    }
}

// The fixed width of the plain number types; 0 for the others.
size_t NumberWidth(uint8_t type) {
    switch (type) {
        case TYPE_BYTE:
        case TYPE_BITS8:
        case TYPE_BOOL:
            return 1;
        case TYPE_WORD:
        case TYPE_INT:
        case TYPE_BITS16:
            return 2;
        case TYPE_LWORD:
        case TYPE_LINT:
        case TYPE_FLOAT:
        case TYPE_BITS32:
            return 4;
        default:
            return 0;
    }
}

}  // namespace

bool SetStructureLayout(uint8_t type, StructureLayout layout) {
    if (!IsStructureType(type)) return false;
    for (uint8_t width : layout) {
        if (width != 1 && width != 2 && width != 4) return false;
    }
    StructureLayouts& layouts = Layouts();
    std::lock_guard guard(layouts.lock);
    layouts.byType[type - TYPE_SYSPARAM] =
        std::make_shared<const StructureLayout>(std::move(layout));
    return true;
}

std::shared_ptr<const StructureLayout> GetStructureLayout(uint8_t type) {
    if (!IsStructureType(type)) return nullptr;
    StructureLayouts& layouts = Layouts();
    std::lock_guard guard(layouts.lock);
    return layouts.byType[type - TYPE_SYSPARAM];
}

CMessageStream CMessageStream::ForMessage(FrameBuffer& message) {
    return CMessageStream(message.data() + kDataOffset, nullptr, kMaxDataLength);
}

CMessageStream CMessageStream::ForAnswer(const FrameBuffer& answer, size_t limit) {
    return CMessageStream(nullptr, answer.data() + kDataOffset, std::min(limit, kDataAreaSize));
}

CMessageStream CMessageStream::Writer(std::span<uint8_t> area) {
    return CMessageStream(area.data(), nullptr, area.size());
}

CMessageStream CMessageStream::Reader(std::span<const uint8_t> area) {
    return CMessageStream(nullptr, area.data(), area.size());
}

bool CMessageStream::Fits(size_t count) {
    if (failed_ || count > size_ - position_) {
        failed_ = true;
        return false;
    }
    return true;
}

bool CMessageStream::WriteBigEndian(uint32_t value, size_t width) {
    if (out_ == nullptr || !Fits(width)) return Fail();
    for (size_t i = 0; i < width; ++i) {
        out_[position_ + i] = static_cast<uint8_t>(value >> (8 * (width - 1 - i)));
    }
    position_ += width;
    return true;
}

uint32_t CMessageStream::ReadBigEndian(size_t width) {
    if (in_ == nullptr || !Fits(width)) {
        Fail();
        return 0;
    }
    uint32_t value = 0;
    for (size_t i = 0; i < width; ++i) value = (value << 8) | in_[position_ + i];
    position_ += width;
    return value;
}

bool CMessageStream::WriteByte(uint8_t value) {
    return WriteBigEndian(value, 1);
}
bool CMessageStream::WriteWord(uint16_t value) {
    return WriteBigEndian(value, 2);
}
bool CMessageStream::WriteLWord(uint32_t value) {
    return WriteBigEndian(value, 4);
}
bool CMessageStream::WriteFloat(float value) {
    return WriteBigEndian(std::bit_cast<uint32_t>(value), 4);
}

bool CMessageStream::WriteBytes(std::span<const uint8_t> bytes) {
    if (out_ == nullptr || !Fits(bytes.size())) return Fail();
    if (!bytes.empty()) std::memcpy(out_ + position_, bytes.data(), bytes.size());
    position_ += bytes.size();
    return true;
}

uint8_t CMessageStream::ReadByte() {
    return static_cast<uint8_t>(ReadBigEndian(1));
}
uint16_t CMessageStream::ReadWord() {
    return static_cast<uint16_t>(ReadBigEndian(2));
}
uint32_t CMessageStream::ReadLWord() {
    return ReadBigEndian(4);
}
float CMessageStream::ReadFloat() {
    return std::bit_cast<float>(ReadBigEndian(4));
}

bool CMessageStream::ReadBytes(std::span<uint8_t> out) {
    if (in_ == nullptr || !Fits(out.size())) return Fail();
    if (!out.empty()) std::memcpy(out.data(), in_ + position_, out.size());
    position_ += out.size();
    return true;
}

bool CMessageStream::ReadIntArray(std::span<uint8_t> value) {
    const size_t count = std::min(value.size() / 2, kMaxIntArrayValues);
    if (in_ == nullptr || !Fits(2 * count)) return Fail();
    for (size_t i = 0; i < count; ++i) StoreHost(value.data() + 2 * i, ReadBigEndian(2), 2);
    return true;
}

bool CMessageStream::WriteStructure(uint8_t type, std::span<const uint8_t> value) {
    if (out_ == nullptr || !Fits(value.size())) return Fail();
    const std::shared_ptr<const StructureLayout> layout = GetStructureLayout(type);
    size_t offset = 0;
    if (layout) {
        for (uint8_t width : *layout) {
            if (offset + width > value.size()) break;
            WriteBigEndian(LoadHost(value.data() + offset, width), width);
            offset += width;
        }
    }
    return WriteBytes(value.subspan(offset));  // what no field describes goes unchanged
}

bool CMessageStream::ReadStructure(uint8_t type, std::span<uint8_t> value) {
    if (in_ == nullptr || !Fits(value.size())) return Fail();
    const std::shared_ptr<const StructureLayout> layout = GetStructureLayout(type);
    size_t offset = 0;
    if (layout) {
        for (uint8_t width : *layout) {
            if (offset + width > value.size()) break;
            StoreHost(value.data() + offset, ReadBigEndian(width), width);
            offset += width;
        }
    }
    return ReadBytes(value.subspan(offset));
}

bool CMessageStream::WriteValue(uint8_t type, std::span<const uint8_t> value) {
    if (const size_t width = NumberWidth(type); width != 0) {
        if (value.size() < width) return Fail();
        return WriteBigEndian(LoadHost(value.data(), width), width);
    }
    if (IsStructureType(type)) return WriteStructure(type, value);
    return WriteBytes(value);  // Int[N], Byte[N] and unknown types: the bytes as they are stored
}

bool CMessageStream::ReadValue(uint8_t type, std::span<uint8_t> value) {
    if (const size_t width = NumberWidth(type); width != 0) {
        if (value.size() < width || in_ == nullptr || !Fits(width)) return Fail();
        StoreHost(value.data(), ReadBigEndian(width), width);
        return true;
    }
    if (IsStructureType(type)) return ReadStructure(type, value);
    if (type == TYPE_INT_ARRAY) return ReadIntArray(value);
    if (type == TYPE_BYTE_ARRAY) return ReadBytes(value);
    return Fail();
}

uint16_t CMessageStream::Swap16(uint16_t value) {
    return static_cast<uint16_t>((value >> 8) | (value << 8));
}

uint32_t CMessageStream::Reverse32(uint32_t value) {
    return (value >> 24) | ((value >> 8) & 0x0000FF00u) | ((value << 8) & 0x00FF0000u) |
           (value << 24);
}

}  // namespace kelcmd
