#include "archive/archive.h"

#include <bit>
#include <cstring>

#include "archive/reference_state.h"

namespace kelcmd {

namespace {

// String length prefixes: one byte below this, else an escape and 16 bits below the next one.
constexpr uint8_t kShortLengthEscape = 0xFF;
constexpr uint16_t kMediumLengthEscape = 0xFFFF;
constexpr size_t kMediumLengthLimit = 0xFFFE;

}  // namespace

CArchive::CArchive() : storing_(true) {}

CArchive::CArchive(std::span<const uint8_t> bytes) : storing_(false), in_(bytes) {}

size_t CArchive::Remaining() const {
    return storing_ ? 0 : in_.size() - position_;
}

CArchive::ReferenceState& CArchive::References() {
    if (!references_) references_ = std::make_shared<ReferenceState>();
    return *references_;
}

bool CArchive::Take(size_t count, const uint8_t*& where) {
    if (failed_ || storing_ || count > Remaining()) {
        failed_ = true;
        return false;
    }
    where = in_.data() + position_;
    position_ += count;
    return true;
}

void CArchive::WriteU8(uint8_t value) {
    out_.push_back(value);
}

void CArchive::WriteU16(uint16_t value) {
    out_.push_back(static_cast<uint8_t>(value));
    out_.push_back(static_cast<uint8_t>(value >> 8));
}

void CArchive::WriteU32(uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out_.push_back(static_cast<uint8_t>(value >> shift));
}

void CArchive::WriteFloat(float value) {
    WriteU32(std::bit_cast<uint32_t>(value));
}

void CArchive::WriteString(const std::string& value) {
    const size_t length = value.size();
    if (length < kShortLengthEscape) {
        WriteU8(static_cast<uint8_t>(length));
    } else if (length < kMediumLengthLimit) {
        WriteU8(kShortLengthEscape);
        WriteU16(static_cast<uint16_t>(length));
    } else if (length <= UINT32_MAX) {
        WriteU8(kShortLengthEscape);
        WriteU16(kMediumLengthEscape);
        WriteU32(static_cast<uint32_t>(length));
    } else {
        failed_ = true;  // cannot be represented; nothing is written
        return;
    }
    out_.insert(out_.end(), value.begin(), value.end());
}

void CArchive::WriteBytes(std::span<const uint8_t> bytes) {
    out_.insert(out_.end(), bytes.begin(), bytes.end());
}

uint8_t CArchive::ReadU8() {
    const uint8_t* p = nullptr;
    return Take(1, p) ? p[0] : 0;
}

uint16_t CArchive::ReadU16() {
    const uint8_t* p = nullptr;
    if (!Take(2, p)) return 0;
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t CArchive::ReadU32() {
    const uint8_t* p = nullptr;
    if (!Take(4, p)) return 0;
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

float CArchive::ReadFloat() {
    return std::bit_cast<float>(ReadU32());
}

std::string CArchive::ReadString() {
    uint32_t length = ReadU8();
    if (length == kShortLengthEscape) {
        length = ReadU16();
        if (length == kMediumLengthEscape) length = ReadU32();
    }
    const uint8_t* p = nullptr;
    // The length is checked against what remains before anything is allocated.
    if (failed_ || !Take(length, p)) return {};
    return std::string(reinterpret_cast<const char*>(p), length);
}

bool CArchive::ReadBytes(std::vector<uint8_t>& out, size_t count) {
    const uint8_t* p = nullptr;
    if (!Take(count, p)) return false;
    out.assign(p, p + count);
    return true;
}

bool CArchive::ReadBytes(uint8_t* out, size_t count) {
    const uint8_t* p = nullptr;
    if (!Take(count, p)) return false;
    if (count > 0) std::memcpy(out, p, count);
    return true;
}

}  // namespace kelcmd
