#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/object.h"

namespace kelcmd {

class CParameterList;

enum CommandStatus : uint32_t {
    STATUS_IDLE = 0,
    STATUS_PROCESSING = 1,
    STATUS_SUCCEEDED = 2,
    STATUS_FAILED = 3,
};

// The root of every command: name, answer timeout, status, times, trials, warning and error.
// The status is not stored in archives; a loaded command is "Idle".
class CCommand : public CObject {
  public:
    CCommand();
    ~CCommand() override;

    const CRuntimeClass* GetRuntimeClass() const override;
    static const CRuntimeClass* StaticClass();

    void Serialize(CArchive& archive) override;
    virtual std::string GetWarningText() const;  // "Warning %i"
    virtual std::string GetErrorText() const;    // "Error %i"
    virtual CParameterList* GetSendParameters() { return nullptr; }
    virtual CParameterList* GetExtraParameters() { return nullptr; }
    virtual void CopyCommandData(const CCommand& other);
    virtual std::unique_ptr<CCommand> Clone() const;
    // Puts the command on the clipboard under its class's format: 1, or 0 when the class does not
    // travel on the clipboard, there is no clipboard, or writing fails.
    virtual int CopyToClipboard() const { return 0; }
    virtual void Reset();
    virtual int ShowResults() { return 0; }
    virtual int EditParameters() { return 0; }
    virtual int Execute() { return 0; }
    virtual bool GetDestinationRange(int32_t& min, int32_t& max) const;
    virtual int SetDestination(int32_t) { return 0; }
    virtual int EditDestination() { return 0; }
    virtual int GetPortNames(std::vector<std::string>&) const { return 0; }
    virtual int SetPortName(const std::string&) { return 0; }
    virtual int EditPortName() { return 0; }
    virtual int EditPortAndDestination() { return 0; }

    const std::string& GetName() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    uint32_t GetAnswerTimeout() const { return answerTimeout_; }
    void SetAnswerTimeout(uint32_t ms) { answerTimeout_ = ms; }
    uint32_t GetStatus() const { return status_; }
    void SetStatus(uint32_t status) { status_ = status; }
    std::string GetStatusText() const;  // "Idle", "Processing", "Succeeded", "Failed", else ""
    uint32_t GetStartTime() const { return startTime_; }
    void SetStartTime(uint32_t tick) { startTime_ = tick; }
    uint32_t GetEndTime() const { return endTime_; }
    void SetEndTime(uint32_t tick) { endTime_ = tick; }
    uint32_t GetExecutionTime() const { return endTime_ - startTime_; }
    uint32_t GetTrials() const { return trials_; }
    void SetTrials(uint32_t trials) { trials_ = trials; }
    int32_t GetWarning() const { return warning_; }
    void SetWarning(int32_t warning) { warning_ = warning; }
    uint32_t GetError() const { return error_; }
    void SetError(uint32_t error) { error_ = error; }

  protected:
    // Writes or reads the fields of this class alone, in archive order. Reading assigns straight
    // into this object: loaders read into a fresh temporary and copy it over only when the whole
    // archive part was read, so a failed load leaves the real object untouched.
    void SerializeCommandFields(CArchive& archive);

  private:
    std::string name_;
    uint32_t answerTimeout_ = 100;
    uint32_t status_ = STATUS_IDLE;
    uint32_t startTime_ = 0;
    uint32_t endTime_ = 0;
    uint32_t trials_ = 1;
    int32_t warning_ = 0;
    uint32_t error_ = 0;
};

}  // namespace kelcmd
