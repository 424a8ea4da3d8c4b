#include "transport/exchange_message.h"

#include <algorithm>
#include <utility>

#include "transport/frame.h"

namespace kelcmd {
namespace {

constexpr uint8_t kVersion = 1;
constexpr size_t kMaxFrameBytes = kHeaderSize + kMaxDataLength;
constexpr size_t kMaxEvents = 4096;  // far more than the trials of one exchange can make
constexpr size_t kMaxText = 255;

class Writer {
  public:
    void U8(uint8_t value) { bytes_.push_back(value); }
    void U16(uint16_t value) { Unsigned(value, 2); }
    void U32(uint32_t value) { Unsigned(value, 4); }
    void U64(uint64_t value) { Unsigned(value, 8); }
    void Bytes(std::span<const uint8_t> data) {
        U16(static_cast<uint16_t>(data.size()));
        bytes_.insert(bytes_.end(), data.begin(), data.end());
    }
    void Text(const std::string& text) {
        const size_t length = std::min(text.size(), kMaxText);
        U8(static_cast<uint8_t>(length));
        bytes_.insert(bytes_.end(), text.begin(), text.begin() + static_cast<ptrdiff_t>(length));
    }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

  private:
    void Unsigned(uint64_t value, int size) {
        for (int i = 0; i < size; ++i) bytes_.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
    std::vector<uint8_t> bytes_;
};

// Reads little-endian fields; once anything is missing every further read fails too.
class Reader {
  public:
    explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    bool U8(uint8_t& value) { return Unsigned(value, 1); }
    bool U16(uint16_t& value) { return Unsigned(value, 2); }
    bool U32(uint32_t& value) { return Unsigned(value, 4); }
    bool U64(uint64_t& value) { return Unsigned(value, 8); }
    bool Bytes(std::vector<uint8_t>& data, size_t maxSize) {
        uint16_t size = 0;
        if (!U16(size) || size > maxSize || size > Left()) return Fail();
        data.assign(bytes_.begin() + static_cast<ptrdiff_t>(at_),
                    bytes_.begin() + static_cast<ptrdiff_t>(at_ + size));
        at_ += size;
        return true;
    }
    bool Text(std::string& text) {
        uint8_t size = 0;
        if (!U8(size) || size > Left()) return Fail();
        text.assign(reinterpret_cast<const char*>(bytes_.data()) + at_, size);
        at_ += size;
        return true;
    }
    bool AtEnd() const { return ok_ && at_ == bytes_.size(); }

  private:
    size_t Left() const { return bytes_.size() - at_; }
    bool Fail() { return ok_ = false; }
    template <class Value>
    bool Unsigned(Value& value, size_t size) {
        if (!ok_ || size > Left()) return Fail();
        uint64_t read = 0;
        for (size_t i = 0; i < size; ++i) read |= uint64_t{bytes_[at_ + i]} << (8 * i);
        value = static_cast<Value>(read);
        at_ += size;
        return true;
    }
    std::span<const uint8_t> bytes_;
    size_t at_ = 0;
    bool ok_ = true;
};

// A frame's header and data as the buffer holds them, `dataLength` cut to what fits.
std::vector<uint8_t> FrameBytes(const FrameBuffer& buffer, uint16_t dataLength) {
    const size_t size = kHeaderSize + std::min<size_t>(dataLength, kMaxDataLength);
    return {buffer.begin(), buffer.begin() + static_cast<ptrdiff_t>(size)};
}

bool ReadEvent(Reader& reader, BusEvent& event) {
    uint8_t kind = 0;
    uint8_t direction = 0;
    if (!reader.U8(kind) || !reader.U8(direction) || !reader.U64(event.elapsedNs) ||
        !reader.U8(event.result) || !reader.Bytes(event.bytes, kBufferSize)) {
        return false;
    }
    // A result closes the exchange on this side, with this side's judgement.
    if (kind >= static_cast<uint8_t>(BusEventKind::kResult)) return false;
    if (direction > static_cast<uint8_t>(BusDirection::kNone)) return false;
    event.kind = static_cast<BusEventKind>(kind);
    event.direction = static_cast<BusDirection>(direction);
    return true;
}

// Both forms begin with the version and the exchange's id.
Writer Begin(uint64_t id) {
    Writer writer;
    writer.U8(kVersion);
    writer.U64(id);
    return writer;
}

bool ReadBeginning(Reader& reader, uint64_t& id) {
    uint8_t version = 0;
    return reader.U8(version) && version == kVersion && reader.U64(id);
}

// The reply's fields before its events.
bool ReadReplyHead(Reader& reader, ExchangeReply& reply, uint8_t& flags) {
    uint32_t errorNumber = 0;
    const bool read = ReadBeginning(reader, reply.id) && reader.U8(reply.result) &&
                      reader.U8(flags) && reader.U32(reply.trials) &&
                      reader.Bytes(reply.answer, kMaxFrameBytes) && reader.U16(reply.answerCrc) &&
                      reader.U32(errorNumber) && reader.Text(reply.systemError.operation) &&
                      reader.Text(reply.systemError.device);
    reply.systemError.number = static_cast<int>(errorNumber);
    return read;
}

}  // namespace

std::vector<uint8_t> EncodeExchangeRequest(const ExchangeRequest& request) {
    Writer writer = Begin(request.id);
    writer.U8(static_cast<uint8_t>(request.operation));
    writer.U32(request.answerTimeout);
    writer.Bytes(request.message);
    return writer.Take();
}

std::optional<ExchangeRequest> DecodeExchangeRequest(std::span<const uint8_t> bytes) {
    Reader reader(bytes);
    ExchangeRequest request;
    uint8_t operation = 0;
    if (!ReadBeginning(reader, request.id) || !reader.U8(operation) ||
        operation > static_cast<uint8_t>(ExchangeOperation::kReceiveWithResend) ||
        !reader.U32(request.answerTimeout) || !reader.Bytes(request.message, kMaxFrameBytes) ||
        !reader.AtEnd()) {
        return std::nullopt;
    }
    if (request.message.size() < kHeaderSize) return std::nullopt;
    request.operation = static_cast<ExchangeOperation>(operation);
    return request;
}

std::optional<ExchangeReply> DecodeExchangeReply(std::span<const uint8_t> bytes) {
    Reader reader(bytes);
    ExchangeReply reply;
    uint8_t flags = 0;
    uint16_t count = 0;
    if (!ReadReplyHead(reader, reply, flags) || !reader.U16(count) || count > kMaxEvents) {
        return std::nullopt;
    }
    if (flags > 3 || (!reply.answer.empty() && reply.answer.size() < kHeaderSize)) {
        return std::nullopt;
    }
    reply.answerReceived = (flags & 1) != 0;
    reply.mayHaveExecuted = (flags & 2) != 0;
    reply.events.resize(count);
    for (BusEvent& event : reply.events) {
        if (!ReadEvent(reader, event)) return std::nullopt;
    }
    if (!reader.AtEnd()) return std::nullopt;
    return reply;
}

std::vector<uint8_t> EncodeExchangeReply(const ExchangeReply& reply) {
    Writer writer = Begin(reply.id);
    writer.U8(reply.result);
    writer.U8(
        static_cast<uint8_t>((reply.answerReceived ? 1 : 0) | (reply.mayHaveExecuted ? 2 : 0)));
    writer.U32(reply.trials);
    writer.Bytes(reply.answer);
    writer.U16(reply.answerCrc);
    writer.U32(static_cast<uint32_t>(reply.systemError.number));
    writer.Text(reply.systemError.operation);
    writer.Text(reply.systemError.device);
    const size_t count = std::min(reply.events.size(), kMaxEvents);
    writer.U16(static_cast<uint16_t>(count));
    for (size_t i = 0; i < count; ++i) {
        const BusEvent& event = reply.events[i];
        writer.U8(static_cast<uint8_t>(event.kind));
        writer.U8(static_cast<uint8_t>(event.direction));
        writer.U64(event.elapsedNs);
        writer.U8(event.result);
        writer.Bytes(event.bytes);
    }
    return writer.Take();
}

ExchangeRequest RequestOf(const CFrameExchange& exchange, ExchangeOperation operation,
                          uint64_t id) {
    ExchangeRequest request;
    request.id = id;
    request.operation = operation;
    request.answerTimeout = exchange.answerTimeout;
    request.message = FrameBytes(exchange.message, exchange.messageLength);
    return request;
}

void LoadRequest(const ExchangeRequest& request, CFrameExchange& exchange) {
    exchange.Clear();
    std::copy(request.message.begin(), request.message.end(), exchange.message.begin());
    exchange.answerTimeout = request.answerTimeout;
    exchange.BuildFrame(static_cast<uint16_t>(request.message.size() - kHeaderSize));
}

ExchangeReply ReplyOf(const CFrameExchange& exchange, uint64_t id, uint8_t result) {
    ExchangeReply reply;
    reply.id = id;
    reply.result = result;
    reply.answerReceived = exchange.answerReceived;
    reply.trials = exchange.trials;
    // Whatever arrived of the answer, also a damaged one: the port above judges it again.
    if (exchange.answerReceived || exchange.answerLength != 0) {
        reply.answer = FrameBytes(exchange.answer, exchange.answerLength);
    }
    reply.answerCrc = exchange.answerCrc;
    return reply;
}

void LoadReply(const ExchangeReply& reply, CFrameExchange& exchange) {
    exchange.answer.fill(0);
    std::copy(reply.answer.begin(), reply.answer.end(), exchange.answer.begin());
    exchange.answerLength =
        reply.answer.empty() ? 0 : static_cast<uint16_t>(reply.answer.size() - kHeaderSize);
    exchange.answerCrc = reply.answerCrc;
    exchange.answer[kCrcOffset] = static_cast<uint8_t>(reply.answerCrc >> 8);
    exchange.answer[kCrcOffset + 1] = static_cast<uint8_t>(reply.answerCrc);
    exchange.answerReceived = reply.answerReceived;
    exchange.trials = reply.trials;
}

}  // namespace kelcmd
