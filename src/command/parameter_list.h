#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "archive/archive.h"

namespace kelcmd {

// The ordered send and return parameters of one command: name, type code, size and value of each,
// and for return parameters the caller's variable that receives the value when an answer is
// decoded (the address is recorded, never owned). Parameter i is the i-th added on its side; the
// order is the order of the values on the wire.
class CParameterList {
  public:
    static constexpr uint32_t kMaxSendParameters = 255;
    static constexpr uint32_t kMaxReturnParameters = 255;
    static constexpr uint32_t kMaxMessageLength = 1023;

    CParameterList();
    virtual ~CParameterList();
    // Copies are deep (fresh buffers) and keep the bindings, the reserved word and the valid flag.
    CParameterList(const CParameterList& other);
    CParameterList& operator=(const CParameterList& other);
    CParameterList(CParameterList&&) noexcept;
    CParameterList& operator=(CParameterList&&) noexcept;

    // Appends a parameter with `size` zero bytes. 1, or 0 (nothing changed) when the side is full.
    int AddSendParameter(const std::string& name, uint8_t type, uint32_t size);
    int AddReturnParameter(const std::string& name, uint8_t type, uint32_t size);

    // Replaces the value by a copy of `size` bytes; the parameter's size becomes `size`. An index
    // at or beyond the count, or null bytes with a non-zero size, does nothing.
    void SetSendValue(size_t index, const void* bytes, uint32_t size);
    void SetReturnValue(size_t index, const void* bytes, uint32_t size);

    // The value's bytes; an empty span for an index at or beyond the count (or a size of 0).
    std::span<const uint8_t> GetSendValue(size_t index) const;
    std::span<const uint8_t> GetReturnValue(size_t index) const;
    // Type, size and name; 0 / 0 / "" for an index at or beyond the count.
    uint8_t GetSendType(size_t index) const;
    uint8_t GetReturnType(size_t index) const;
    uint32_t GetSendSize(size_t index) const;
    uint32_t GetReturnSize(size_t index) const;
    const std::string& GetSendName(size_t index) const;
    const std::string& GetReturnName(size_t index) const;
    // The index of the first parameter of that name, or -1.
    int FindSend(const std::string& name) const;
    int FindReturn(const std::string& name) const;

    // Re-types a parameter: a fresh buffer of `size` zero bytes receives the leading bytes of the
    // old value. 1, or 0 for an index at or beyond the count.
    int ChangeSendType(size_t index, uint8_t type, uint32_t size);
    int ChangeReturnType(size_t index, uint8_t type, uint32_t size);

    // Records the variable that receives return parameter `index` (exactly its size in bytes) when
    // an answer is decoded; null removes the binding. An index at or beyond the count does nothing.
    void BindReturnValue(size_t index, void* address);
    void* GetReturnBinding(size_t index) const;
    void UnbindAll();

    uint8_t GetSendCount() const { return static_cast<uint8_t>(send_.size()); }
    uint8_t GetReturnCount() const { return static_cast<uint8_t>(return_.size()); }
    // The return-values-valid flag: set when a decode has read every return parameter.
    bool IsValid() const { return valid_; }
    void SetValid(bool valid) { valid_ = valid; }
    uint32_t GetReserved() const { return reserved_; }

    // Empties both sides; counts and flags become 0.
    void Clear();

    // Stores or loads the list in the archive form: send count (1 byte), reserved word (4), per
    // send parameter name, type (1), size (4), value bytes; return count (1), per return
    // parameter the same. Loading checks every size against the bytes that remain; on failure the
    // archive is marked failed and this list is unchanged. A loaded list has no bindings and is
    // not valid.
    void Serialize(CArchive& archive);

  private:
    struct Parameter {
        std::string name;
        uint8_t type = 0;
        std::vector<uint8_t> value;  // its size is the parameter's size
        void* binding = nullptr;     // return side only
    };

    static bool LoadSide(CArchive& archive, uint8_t count, std::vector<Parameter>& side);
    static void StoreSide(CArchive& archive, const std::vector<Parameter>& side);
    static int ChangeType(std::vector<Parameter>& side, size_t index, uint8_t type, uint32_t size);
    static void SetValue(std::vector<Parameter>& side, size_t index, const void* bytes,
                         uint32_t size);

    std::vector<Parameter> send_;
    std::vector<Parameter> return_;
    uint32_t reserved_ = 0;
    bool valid_ = false;
};

}  // namespace kelcmd
