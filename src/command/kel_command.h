#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "command/command.h"
#include "kelcmd/kebpacket.h"

namespace kelcmd {

// Frame layout inside the 1032-byte message and answer buffers: header at 0..4, data area at
// 5..1029, the CRC always at 1030..1031.
constexpr size_t kBufferSize = 1032;
constexpr size_t kHeaderSize = 5;
constexpr size_t kDataOffset = 5;
constexpr size_t kDataAreaSize = 1025;
constexpr size_t kCrcOffset = 1030;
constexpr uint16_t kMaxDataLength = 1023;

using FrameBuffer = std::array<uint8_t, kBufferSize>;

// A command on the bus: command code (sent as mtype), destination, port name, and the outgoing and
// incoming frames with their lengths, CRCs and flags.
class CKelCommand : public CCommand {
  public:
    CKelCommand();
    ~CKelCommand() override;

    const CRuntimeClass* GetRuntimeClass() const override;
    static const CRuntimeClass* StaticClass();

    void Serialize(CArchive& archive) override;
    std::string GetWarningText() const override;
    std::string GetErrorText() const override;
    std::unique_ptr<CCommand> Clone() const override;
    void Reset() override;
    bool GetDestinationRange(int32_t& min, int32_t& max) const override;
    int SetDestination(int32_t address) override;
    int GetPortNames(std::vector<std::string>& names) const override;
    int SetPortName(const std::string& name) override;
    // The entry dialogs, when the dialogs library is loaded; 0 otherwise.
    int EditDestination() override;
    int EditPortName() override;
    int EditPortAndDestination() override;

    void CopyKelCommand(const CKelCommand& other);
    virtual void ClearResults();

    void SetCommand(const std::string& name, uint8_t code, uint32_t auxiliaryWord,
                    uint8_t auxiliaryByte);
    uint8_t GetCode() const { return code_; }
    void SetCode(uint8_t code) { code_ = code; }
    uint8_t GetDestination() const { return destination_; }
    const std::string& GetPortName() const { return portName_; }
    uint32_t GetAuxiliaryWord() const { return auxiliaryWord_; }
    uint8_t GetAuxiliaryByte() const { return auxiliaryByte_; }

    FrameBuffer& GetMessageBuffer() { return message_; }
    const FrameBuffer& GetMessageBuffer() const { return message_; }
    FrameBuffer& GetAnswerBuffer() { return answer_; }
    const FrameBuffer& GetAnswerBuffer() const { return answer_; }

    uint16_t GetMessageLength() const { return messageLength_; }
    uint16_t GetMessageCrc() const { return messageCrc_; }
    bool IsMessageBuilt() const { return messageBuilt_; }
    uint16_t GetAnswerLength() const { return answerLength_; }
    void SetAnswerLength(uint16_t length) { answerLength_ = length; }
    uint16_t GetAnswerCrc() const { return answerCrc_; }
    void SetAnswerCrc(uint16_t crc) { answerCrc_ = crc; }
    bool IsAnswerReceived() const { return answerReceived_; }
    void SetAnswerReceived(bool received) { answerReceived_ = received; }

    // The message builders put dest, mtype and `dataLength` data bytes into the message buffer and
    // then call this: send byte 0, length word with its check, CRC; message built, answer cleared.
    // A data length above 1023 does not fit a frame: false, nothing changed.
    bool BuildFrame(uint16_t dataLength);

    // Builds the message from a raw packet. Returns false, touching nothing, for a data length
    // above 1023.
    bool SetRawMessage(const KebPacket& packet);
    void GetRawAnswer(KebPacket& packet) const;

  protected:
    // Writes or reads the fields this class adds, in archive order, straight into this object
    // (see CCommand::SerializeCommandFields). A stored data length above 1023 fails the archive.
    void SerializeKelFields(CArchive& archive);

  private:
    uint8_t code_ = 0;
    uint32_t auxiliaryWord_ = 0;
    uint8_t auxiliaryByte_ = 0;
    uint8_t destination_ = 0;
    std::string portName_;
    FrameBuffer message_{};
    bool messageBuilt_ = false;
    uint16_t messageLength_ = 0;
    uint16_t messageCrc_ = 0;
    FrameBuffer answer_{};
    bool answerReceived_ = false;
    uint16_t answerLength_ = 0;
    uint16_t answerCrc_ = 0;
};

}  // namespace kelcmd
