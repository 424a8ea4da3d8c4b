#include "transport/packet_protocol.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <vector>

#include "transport/frame.h"
#include "transport/frame_exchange.h"
#include "transport/protocol_constants.h"
#include "transport/result_codes.h"
#include "transport/serial_line.h"
#include "transport/unit_hearing.h"

namespace kelcmd {
namespace {

constexpr uint32_t kCrcByteGapMicroseconds = 1000;
// The longest a line is kept quiet after a failed exchange before the next frame.
constexpr uint32_t kMaxGuardMs = 1000;

bool WriteAll(CSerialLine& line, const uint8_t* bytes, size_t count) {
    size_t written = 0;
    return line.Write(bytes, count, written) && written == count;
}

// Reads exactly `count` bytes: RESULT_OK, WIN_ERR_READCOMM, or `shortCode` when fewer arrive.
uint8_t ReadExactly(CSerialLine& line, uint8_t* buffer, size_t count, uint8_t shortCode) {
    size_t received = 0;
    if (!line.Read(buffer, count, received)) return WIN_ERR_READCOMM;
    return received < count ? shortCode : static_cast<uint8_t>(RESULT_OK);
}

// Everything after the address byte leaves in one write where the bus control allows it: with
// "AUTO_CONTROL" the whole rest, with RTS control the rest up to the first CRC byte. With RTS
// control a gap separates the two CRC bytes, and the transmitter is switched off only once the
// last byte has left it, and the character gap after that.
uint8_t TransmitRest(CSerialLine& line, const FrameBuffer& message, uint16_t dataLength) {
    const bool rtsControl = line.GetBusControl() == RTS_CONTROL;
    const size_t body = kHeaderSize - 1 + dataLength;  // length word, send, mtype, data
    std::array<uint8_t, kBufferSize> out;
    std::copy_n(&message[1], body, out.begin());
    out[body] = message[kCrcOffset];
    out[body + 1] = message[kCrcOffset + 1];
    if (!WriteAll(line, out.data(), rtsControl ? body + 1 : body + 2)) return WIN_ERR_WRITECOMM;
    if (!line.WaitTransmitterEmpty()) return WIN_ERR_WAITEVENT;
    if (!rtsControl) return RESULT_OK;
    CSerialLine::BusyWait(kCrcByteGapMicroseconds);
    if (!WriteAll(line, &message[kCrcOffset + 1], 1)) return WIN_ERR_WRITECOMM;
    if (!line.WaitTransmitterEmpty()) return WIN_ERR_WAITEVENT;
    CSerialLine::BusyWait(CSerialLine::CharacterGap(line.GetBaudrate()));
    line.DropRts();
    return RESULT_OK;
}

void Note(const ExchangeWatch& watch, BusEventKind kind, BusDirection direction,
          std::span<const uint8_t> bytes, uint8_t result) {
    if (watch.events != nullptr) watch.events->Record(kind, direction, bytes, result);
}

// The acknowledge of a request, with the byte that came (if any).
struct Acknowledge {
    uint8_t result = RESULT_OK;
    std::optional<uint8_t> value;
};

Acknowledge ReadAcknowledge(CSerialLine& line, const ExchangeWatch& watch) {
    uint8_t acknowledge = 0;
    size_t received = 0;
    if (!line.Read(&acknowledge, 1, received)) return {WIN_ERR_READCOMM, {}};
    if (received == 0) {
        Note(watch, BusEventKind::kTimeout, BusDirection::kIn, {}, XMT_ERR_TACK);
        return {XMT_ERR_TACK, {}};
    }
    uint8_t result = RESULT_OK;
    if (!IsPositiveAcknowledge(acknowledge)) {
        result = static_cast<uint8_t>(acknowledge == 0xFF ? XMT_ERR_CRC : XMT_ERR_ACK);
    }
    // Only "frame corrupted" says that the unit dropped the request; a garbled acknowledge may
    // hide a good one.
    if (result != XMT_ERR_CRC) NoteUnitMayHaveActed();
    Note(watch, BusEventKind::kAcknowledge, BusDirection::kIn, {&acknowledge, 1}, result);
    return {result, acknowledge};
}

// Every answer starts with 0x00, so an acknowledge of 0x00 is either a damaged acknowledge or,
// when the acknowledge was lost, the answer's first byte. The bytes that follow at once tell them
// apart: after a damaged acknowledge the answer starts with its own 0x00 (or comes only once the
// unit has run the command), while an answer's first byte is followed by its length word, whose
// high byte is 0 only for an empty answer (word 0x0000, then the sender, never 0). Returns the
// bytes the answer starts with, in the order they came.
std::vector<uint8_t> AnswerStartAfterZeroAcknowledge(CSerialLine& line) {
    // The transmit timeouts still apply: a read waits one character timeout.
    std::array<uint8_t, 3> next{};
    size_t count = 0;
    for (; count < next.size(); ++count) {
        size_t received = 0;
        if (!line.Read(&next[count], 1, received) || received == 0) break;
        const bool decided = next[count] != 0;
        if (decided) {
            ++count;
            break;
        }
    }
    const std::span<const uint8_t> came(next.data(), count);
    if (count == 0) return {};  // nothing followed: the answer is still to come
    // 00 | hi ...  with hi != 0: the answer began with the acknowledge's 0x00.
    // 00 | 00 hi   with hi != 0: a damaged acknowledge, then the answer's 0x00.
    // 00 | 00 00 s with s != 0: an empty answer began with the acknowledge's 0x00.
    // 00 | 00 00 0: a damaged acknowledge, then an empty answer's 0x00 and length word.
    const bool answerBeganWithIt = (count == 1 && next[0] != 0) || (count == 3 && next[2] != 0) ||
                                   (count < 3 && next[count - 1] == 0);
    std::vector<uint8_t> start;
    if (answerBeganWithIt) start.push_back(0x00);
    start.insert(start.end(), came.begin(), came.end());
    return start;
}

uint8_t SendMessage(CSerialLine& line, const CFrameExchange& exchange) {
    const FrameBuffer& message = exchange.message;
    const uint8_t destination = message[0];
    const uint16_t dataLength = exchange.messageLength;

    line.SetLastDestination(destination);
    line.Purge();
    if (!line.SetTransmitTimeouts()) return WIN_ERR_SETCOMM;
    if (line.GetBusControl() == RTS_CONTROL) line.RaiseRts();

    // The address byte leaves alone with the ninth bit set, and must have left the transmitter
    // before the parity is switched for the rest of the frame.
    line.SetParity(Parity::Mark);
    if (!WriteAll(line, &message[0], 1)) return WIN_ERR_WRITECOMM;
    if (!line.WaitTransmitterEmpty()) return WIN_ERR_WAITEVENT;
    CSerialLine::BusyWait(CSerialLine::CharacterGap(line.GetBaudrate()));
    line.SetParity(Parity::Space);
    return TransmitRest(line, message, dataLength);
}

Acknowledge TransmitOnce(CSerialLine& line, const CFrameExchange& exchange,
                         const ExchangeWatch& watch) {
    const uint8_t sent = SendMessage(line, exchange);
    if (watch.events != nullptr) {
        const BusEventKind kind = exchange.RequestType() == kResendRequestCode
                                      ? BusEventKind::kResendRequest
                                      : BusEventKind::kRequest;
        Note(watch, kind, BusDirection::kOut,
             FrameWireBytes(exchange.message, exchange.messageLength), sent);
    }
    if (sent != RESULT_OK) return {sent, {}};
    if (!AcknowledgesRequests(exchange.Destination())) return {};
    return ReadAcknowledge(line, watch);
}

CFrameExchange MakeResendRequest(uint8_t destination) {
    CFrameExchange request;
    request.message[0] = destination;
    request.message[4] = kResendRequestCode;
    request.BuildFrame(0);
    return request;
}

void Begin(const ExchangeWatch& watch) {
    if (watch.events != nullptr) watch.events->Begin();
}

void Tell(const ExchangeWatch& watch) {
    if (watch.reception) watch.reception();
}

// Drops what the unit may still be sending after a failed exchange; the tap sees what was dropped.
void Settle(CSerialLine& line, const ExchangeWatch& watch) {
    if (!line.IsOpen()) return;
    std::vector<uint8_t> dropped;
    line.Settle(watch.events != nullptr ? &dropped : nullptr);
    if (!dropped.empty()) Note(watch, BusEventKind::kPurge, BusDirection::kIn, dropped, RESULT_OK);
}

// The failures after which an answer, or the rest of one, may still be on its way.
bool IsAnswerFailure(uint8_t result) {
    return result >= RCV_ERR_CRC && result <= RCV_ERR_T1;
}

// How long the line must stay quiet after a failed exchange before the next frame goes out: as
// long as the wait for the first answer byte lasted (the answer timeout, and the character timeout
// that a one-byte read adds), so that an answer twice as late as that wait is still caught; at
// most a second.
uint32_t GuardTime(const CSerialLine& line, const CFrameExchange& exchange) {
    const uint64_t first = exchange.answerTimeout != 0 ? exchange.answerTimeout : kMaxGuardMs;
    return static_cast<uint32_t>(
        std::min<uint64_t>(first + line.GetCharacterTimeout(), kMaxGuardMs));
}

Acknowledge TransmitChecked(CSerialLine& line, const CFrameExchange& exchange,
                            const ExchangeWatch& watch) {
    if (!line.IsOpen()) return {WIN_ERR_WRITECOMM, {}};
    return TransmitOnce(line, exchange, watch);
}

// Where the answer begins after a transmission: with the acknowledge's byte when that byte may
// have been the answer's first, else with nothing read yet.
std::vector<uint8_t> AnswerStart(CSerialLine& line, const Acknowledge& acknowledge) {
    if (acknowledge.result != XMT_ERR_ACK || acknowledge.value != 0) return {};
    return AnswerStartAfterZeroAcknowledge(line);
}

// How many bytes of an answer arrived: those read into the header (from the first byte on) and
// those read after it (data, then CRC).
struct ArrivedBytes {
    size_t header = 0;
    size_t tail = 0;
};

// The bytes of an answer as they came, in wire order.
std::vector<uint8_t> AnswerWireBytes(const CFrameExchange& exchange, const ArrivedBytes& arrived) {
    const FrameBuffer& answer = exchange.answer;
    std::vector<uint8_t> bytes(answer.begin(), answer.begin() + arrived.header);
    const size_t data = std::min<size_t>(arrived.tail, exchange.answerLength);
    bytes.insert(bytes.end(), &answer[kDataOffset], &answer[kDataOffset] + data);
    bytes.insert(bytes.end(), &answer[kCrcOffset], &answer[kCrcOffset] + (arrived.tail - data));
    return bytes;
}

// One answer (or what came of it) for the tap: nothing at all is a timeout, a part of one a
// timeout with the bytes that came, anything else an answer with what the line made of it.
void NoteAnswer(const ExchangeWatch& watch, const CFrameExchange& exchange,
                const ArrivedBytes& arrived, uint8_t result) {
    if (watch.events == nullptr) return;
    if (arrived.header == 0) {
        if (result == RCV_ERR_T0)
            Note(watch, BusEventKind::kTimeout, BusDirection::kIn, {}, result);
        return;
    }
    const BusEventKind kind = result == RCV_ERR_T1 ? BusEventKind::kTimeout : BusEventKind::kAnswer;
    Note(watch, kind, BusDirection::kIn, AnswerWireBytes(exchange, arrived), result);
}

// Reads an answer; `start` holds the bytes it began with when they were read already.
uint8_t ReadAnswer(CSerialLine& line, CFrameExchange& exchange, const ExchangeWatch& watch,
                   ArrivedBytes& arrived, std::span<const uint8_t> start) {
    if (!line.IsOpen()) return WIN_ERR_READCOMM;
    FrameBuffer& answer = exchange.answer;

    if (!line.SetReceiveTimeouts(exchange.answerTimeout)) return WIN_ERR_SETCOMM;
    if (start.empty()) {
        if (uint8_t r = ReadExactly(line, &answer[0], 1, RCV_ERR_T0); r != RESULT_OK) return r;
        arrived.header = 1;
    } else {
        arrived.header = std::min(start.size(), kHeaderSize - 1);
        std::copy_n(start.begin(), arrived.header, answer.begin());
    }
    NoteUnitMayHaveActed();
    if (answer[0] != 0) return RCV_ERR_ID;

    // After the first byte only the character timeout bounds the reads. The rest of the header
    // (length word, sender, type) is read in one call, then data and CRC in one: fewer wake-ups,
    // and the same judgement, since a bad length word is judged as soon as it is there.
    if (!line.SetReadTotalConstant(0)) return WIN_ERR_SETCOMM;
    size_t received = 0;
    const size_t before = arrived.header;
    if (!line.Read(&answer[before], kHeaderSize - before, received)) return WIN_ERR_READCOMM;
    arrived.header += received;
    if (arrived.header < 3) return RCV_ERR_T1;
    const uint16_t word = static_cast<uint16_t>(answer[1] << 8 | answer[2]);
    if (!LengthWordValid(word)) return RCV_ERR_LENGTH;
    const uint16_t dataLength = LengthOf(word);
    exchange.answerLength = dataLength;
    if (arrived.header < kHeaderSize) return RCV_ERR_T1;

    // The CRC has its own place in the buffer; what arrived of a short answer is kept as well.
    std::array<uint8_t, kMaxDataLength + 2> tail;
    const size_t wanted = dataLength + 2u;
    if (!line.Read(tail.data(), wanted, received)) return WIN_ERR_READCOMM;
    arrived.tail = received;
    std::copy_n(tail.begin(), std::min<size_t>(received, dataLength), &answer[kDataOffset]);
    if (received > dataLength) {
        std::copy_n(tail.begin() + dataLength, received - dataLength, &answer[kCrcOffset]);
    }
    if (received < wanted) return RCV_ERR_T1;
    const uint16_t receivedCrc =
        static_cast<uint16_t>(answer[kCrcOffset] << 8 | answer[kCrcOffset + 1]);
    exchange.answerCrc = receivedCrc;

    Tell(watch);

    const uint16_t crc =
        FrameCrc(std::span<const uint8_t>(answer.data(), kHeaderSize + dataLength));
    exchange.answerReceived = true;
    return crc == receivedCrc ? RESULT_OK : RCV_ERR_CRC;
}

uint8_t ReceiveOnce(CSerialLine& line, CFrameExchange& exchange, const ExchangeWatch& watch,
                    std::span<const uint8_t> start = {}) {
    ArrivedBytes arrived;
    const uint8_t result = ReadAnswer(line, exchange, watch, arrived, start);
    NoteAnswer(watch, exchange, arrived, result);
    return result;
}

// Whether an answer may be on its way after this acknowledge: it was good, or it was a 0x00 that
// may have been the answer's first byte.
bool AnswerMayFollow(const Acknowledge& acknowledge) {
    return acknowledge.result == RESULT_OK ||
           (acknowledge.result == XMT_ERR_ACK && acknowledge.value == 0);
}

// Transmits until acknowledged, at most the line's receive trials times. With `untilAnswer` it
// stops as well where an answer may follow, so that a lost acknowledge does not send the request
// again into the answer.
Acknowledge RetryTransmit(CSerialLine& line, CFrameExchange& exchange, const ExchangeWatch& watch,
                          bool untilAnswer = false) {
    Acknowledge acknowledge{1, {}};
    for (uint32_t attempts = 0;
         acknowledge.result != RESULT_OK && attempts < line.GetReceiveTrials(); ++attempts) {
        acknowledge = TransmitChecked(line, exchange, watch);
        if (untilAnswer && AnswerMayFollow(acknowledge)) break;
    }
    return acknowledge;
}

uint8_t ReceiveAndResend(CSerialLine& line, CFrameExchange& exchange, const ExchangeWatch& watch,
                         std::span<const uint8_t> start = {}) {
    uint8_t result = ReceiveOnce(line, exchange, watch, start);
    uint32_t attempts = 1;
    Tell(watch);

    while (result != RESULT_OK && result != RCV_ERR_T0 && attempts < line.GetReceiveTrials()) {
        CFrameExchange resend = MakeResendRequest(line.GetLastDestination());
        const Acknowledge acknowledge = RetryTransmit(line, resend, watch, true);
        if (!AnswerMayFollow(acknowledge)) break;
        result = ReceiveOnce(line, exchange, watch, AnswerStart(line, acknowledge));
        ++attempts;
        exchange.trials = attempts;
        Tell(watch);
    }
    return result;
}

// The send-trials loop of one exchange; `unitHeard` tells whether any acknowledge or answer
// bytes came back, be they good or not.
uint8_t TransferAttempts(CSerialLine& line, uint32_t sendTrials, CFrameExchange& exchange,
                         const ExchangeWatch& watch, bool& unitHeard) {
    const uint8_t destination = exchange.Destination();
    const bool acknowledgeOnly = exchange.RequestType() == kAcknowledgeOnlyCode;

    uint8_t transmitted = NO_COMMAND;
    for (uint32_t attempt = 1; attempt <= sendTrials; ++attempt) {
        const Acknowledge acknowledge = TransmitChecked(line, exchange, watch);
        transmitted = acknowledge.result;
        if (transmitted != XMT_ERR_TACK) unitHeard = true;
        if (acknowledgeOnly) {
            if (transmitted == RESULT_OK) return RESULT_OK;
            continue;
        }
        if (transmitted == RESULT_OK) {
            return !IsGroupAddress(destination) ? ReceiveAndResend(line, exchange, watch)
                                                : uint8_t{RESULT_OK};
        }
        // The unit may have taken the request although its acknowledge was lost; the answer then
        // decides.
        if ((transmitted == XMT_ERR_TACK || transmitted == XMT_ERR_ACK) && attempt == 1) {
            const uint8_t received =
                ReceiveAndResend(line, exchange, watch, AnswerStart(line, acknowledge));
            if (received != RCV_ERR_T0 && received != RCV_ERR_T1) return received;
            if (received == RCV_ERR_T1) unitHeard = true;
        }
    }
    return transmitted;
}

}  // namespace

bool IsPositiveAcknowledge(uint8_t value) {
    switch (value) {
        case 0x01:
        case 0x80:
        case 0xC0:
        case 0xE0:
        case 0xF0:
        case 0xF8:
        case 0xFC:
        case 0xFE:
            return true;
        default:
            return false;
    }
}

uint8_t Transmit(CSerialLine& line, CFrameExchange& exchange, const ExchangeWatch& watch) {
    if (!line.IsOpen()) return WIN_ERR_WRITECOMM;
    Begin(watch);
    Settle(line, watch);
    ForgetUnitMayHaveActed();
    const uint8_t result = TransmitOnce(line, exchange, watch).result;
    if (result == XMT_ERR_ACK) line.NoteUnsettled(GuardTime(line, exchange));
    return result;
}

uint8_t Receive(CSerialLine& line, CFrameExchange& exchange, const ExchangeWatch& watch) {
    Begin(watch);
    ForgetUnitMayHaveActed();
    const uint8_t result = ReceiveOnce(line, exchange, watch);
    if (IsAnswerFailure(result)) line.NoteUnsettled(GuardTime(line, exchange));
    return result;
}

uint8_t TransmitWithRetry(CSerialLine& line, CFrameExchange& exchange, const ExchangeWatch& watch) {
    Begin(watch);
    Settle(line, watch);
    ForgetUnitMayHaveActed();
    const uint8_t result = RetryTransmit(line, exchange, watch).result;
    if (result == XMT_ERR_ACK) line.NoteUnsettled(GuardTime(line, exchange));
    return result;
}

uint8_t ReceiveWithResend(CSerialLine& line, CFrameExchange& exchange, const ExchangeWatch& watch) {
    Begin(watch);
    ForgetUnitMayHaveActed();
    const uint8_t result = ReceiveAndResend(line, exchange, watch);
    if (IsAnswerFailure(result)) line.NoteUnsettled(GuardTime(line, exchange));
    return result;
}

uint8_t Transfer(CSerialLine& line, uint32_t sendTrials, CFrameExchange& exchange,
                 const ExchangeWatch& watch) {
    Begin(watch);
    Settle(line, watch);
    bool unitHeard = false;  // an acknowledge or answer bytes came, whatever their worth
    ForgetUnitMayHaveActed();
    const uint8_t result = TransferAttempts(line, sendTrials, exchange, watch, unitHeard);
    if (IsAnswerFailure(result) || result == XMT_ERR_ACK || (result == XMT_ERR_TACK && unitHeard)) {
        line.NoteUnsettled(GuardTime(line, exchange));
    }
    return result;
}

}  // namespace kelcmd
