#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "command/command.h"
#include "kelcmd/kebpacket.h"
#include "transport/frame_exchange.h"

namespace kelcmd {

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

    FrameBuffer& GetMessageBuffer() { return exchange_.message; }
    const FrameBuffer& GetMessageBuffer() const { return exchange_.message; }
    FrameBuffer& GetAnswerBuffer() { return exchange_.answer; }
    const FrameBuffer& GetAnswerBuffer() const { return exchange_.answer; }

    uint16_t GetMessageLength() const { return exchange_.messageLength; }
    uint16_t GetMessageCrc() const { return exchange_.messageCrc; }
    bool IsMessageBuilt() const { return exchange_.messageBuilt; }
    uint16_t GetAnswerLength() const { return exchange_.answerLength; }
    void SetAnswerLength(uint16_t length) { exchange_.answerLength = length; }
    uint16_t GetAnswerCrc() const { return exchange_.answerCrc; }
    void SetAnswerCrc(uint16_t crc) { exchange_.answerCrc = crc; }
    bool IsAnswerReceived() const { return exchange_.answerReceived; }
    void SetAnswerReceived(bool received) { exchange_.answerReceived = received; }

    // The frames as the line reads and writes them.
    CFrameExchange& Exchange() { return exchange_; }
    const CFrameExchange& Exchange() const { return exchange_; }

    // The message builders put dest, mtype and `dataLength` data bytes into the message buffer and
    // then call this: send byte 0, length word with its check, CRC; message built, answer cleared.
    // A data length above 1023 does not fit a frame: false, nothing changed.
    bool BuildFrame(uint16_t dataLength) { return exchange_.BuildFrame(dataLength); }

    // Builds the message from a raw packet. Returns false, touching nothing, for a data length
    // above 1023.
    bool SetRawMessage(const KebPacket& packet) { return exchange_.SetRawMessage(packet); }
    void GetRawAnswer(KebPacket& packet) const { exchange_.GetRawAnswer(packet); }

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
    CFrameExchange exchange_;
};

}  // namespace kelcmd
