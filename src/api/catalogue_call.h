#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>

#include "command/kel_standard_command.h"

namespace kelcmd {

class CCommandFamily;

// One outgoing value of an export: the bytes of the caller's argument with its width, or a block
// of bytes the caller owns (it must outlive the call), or "keep the prototype's value".
class SendArgument {
  public:
    template <class T>
    requires std::is_arithmetic_v<T>
    static SendArgument Of(T value) noexcept {
        static_assert(sizeof(T) <= 8);
        SendArgument argument;
        std::memcpy(argument.inline_.data(), &value, sizeof(T));
        argument.size_ = sizeof(T);
        return argument;
    }
    static SendArgument Block(const void* bytes, uint32_t size) noexcept {
        SendArgument argument;
        argument.external_ = static_cast<const uint8_t*>(bytes);
        argument.size_ = bytes != nullptr ? size : 0;
        return argument;
    }
    static SendArgument KeepPrototype() noexcept {
        SendArgument argument;
        argument.keep_ = true;
        return argument;
    }

    bool KeepsPrototype() const { return keep_; }
    const uint8_t* Data() const { return external_ != nullptr ? external_ : inline_.data(); }
    uint32_t Size() const { return size_; }

  private:
    std::array<uint8_t, 8> inline_{};
    const uint8_t* external_ = nullptr;
    uint32_t size_ = 0;
    bool keep_ = false;
};

// Value(position): the argument's bytes with its own width. Bytes(data, n): a block. Keep(): the
// prototype's value stays.
template <class T>
SendArgument Value(T value) noexcept requires std::is_arithmetic_v<T> {
    return SendArgument::Of(value);
}
inline SendArgument Bytes(const void* data, uint32_t size) noexcept {
    return SendArgument::Block(data, size);
}
inline SendArgument Keep() noexcept {
    return SendArgument::KeepPrototype();
}

// One out-argument: the caller's variable that receives a return parameter (null: none). With a
// size, the return parameter is first resized to it (a caller's buffer for "Byte[N]" answers).
struct ReturnArgument {
    void* address = nullptr;
    std::optional<uint32_t> resize = std::nullopt;
};
template <class T>
ReturnArgument Out(T* variable) noexcept {
    return ReturnArgument{variable, std::nullopt};
}
inline ReturnArgument OutBuffer(void* buffer, uint32_t size) noexcept {
    return ReturnArgument{buffer, size};
}

// The answer timeout from a caller's argument, in ms; absent: the prototype's.
struct AnswerTimeout {
    std::optional<uint32_t> ms = std::nullopt;
};
inline AnswerTimeout Timeout(uint32_t ms) noexcept {
    return AnswerTimeout{ms};
}

// The first steps of every catalogue call: a copy of the family's prototype of that name,
// destination (0 or above 255 fails), port name (refused: fails), the send values in index order
// with the width of each argument, the answer timeout, the out-arguments bound in index order.
// Null when any step fails (nothing is sent then).
std::unique_ptr<CKelStandardCommand> PrepareCatalogueCall(
    CCommandFamily* family, const char* port, int64_t slave, std::string_view command,
    std::initializer_list<SendArgument> send = {},
    std::initializer_list<ReturnArgument> returns = {}, AnswerTimeout timeout = {});

// Runs a prepared command through its owner: the owner's result, 0 without one or without a
// command.
int ExecuteCatalogueCall(CKelStandardCommand* command);

// Prepare and execute in one: the export's result (1 success, 0 failure).
//   return CallCatalogue(family, port, slave, "MoveAbsolute", {Value(position)}, {},
//                        Timeout(timeout));
int CallCatalogue(CCommandFamily* family, const char* port, int64_t slave, std::string_view command,
                  std::initializer_list<SendArgument> send = {},
                  std::initializer_list<ReturnArgument> returns = {}, AnswerTimeout timeout = {});

}  // namespace kelcmd
