#include "transport/kel_port.h"

#include <optional>

#include "command/kel_command.h"
#include "platform/clock.h"
#include "platform/thread_id.h"
#include "transport/packet_protocol.h"
#include "transport/port_resolver.h"
#include "transport/result_codes.h"

namespace kelcmd {
namespace {

constexpr uint8_t kBatchCode = 5;
constexpr uint8_t kAcknowledgeOnlyCode = 8;

}  // namespace

CKelPort::~CKelPort() {
    CloseLine();
}

int CKelPort::SetSettings(const CPortSettings& settings) {
    line_.Close();
    settings_ = settings;
    return 1;
}

int CKelPort::GetSettings(CPortSettings* settings) const {
    if (settings == nullptr) return 0;
    *settings = settings_;
    return 1;
}

uint8_t CKelPort::OpenLine() {
    return line_.OpenPort(settings_.GetBaudrate(), settings_.GetName(), settings_.GetBusControl(),
                          settings_.GetTimeout(), settings_.GetReceiveTrials());
}

uint8_t CKelPort::CloseLine() {
    ownerThread_ = 0;
    return line_.Close();
}

void CKelPort::Reserve() {
    ownerThread_ = CurrentThreadId();
}

void CKelPort::Release() {
    ownerThread_ = 0;
}

bool CKelPort::IsReservedByOther() const {
    const uint32_t owner = ownerThread_.load();
    return owner != 0 && owner != CurrentThreadId();
}

int CKelPort::SetErrorCallback(KelErrorCallback callback) {
    errorCallback_ = callback;
    return 1;
}

void CKelPort::RegisterObserver(CBusMonitor* observer) {
    observers_.Register(observer);
    line_.PacketObservers().Register(observer);
}

void CKelPort::ResumeObserver(int allThreads, int everyObserver, CBusMonitor* observer) {
    observers_.Resume(allThreads != 0, everyObserver != 0, observer);
    line_.PacketObservers().Resume(allThreads != 0, everyObserver != 0, observer);
}

void CKelPort::SuspendObserver(int allThreads, int everyObserver, CBusMonitor* observer) {
    observers_.Suspend(allThreads != 0, everyObserver != 0, observer);
    line_.PacketObservers().Suspend(allThreads != 0, everyObserver != 0, observer);
}

void CKelPort::NotifyObservers(const CKelCommand& command) {
    observers_.Notify(command);
}

uint8_t CKelPort::Transfer(CKelCommand* command) {
    std::lock_guard<std::mutex> guard(lock_);
    return kelcmd::Transfer(line_, sendTrials_, command);
}

void CKelPort::ReportFailure(uint8_t messageType, uint8_t error, int16_t warning, bool batch) {
    if (KelErrorCallback callback = errorCallback_.load()) {
        callback(messageType, error, warning, batch ? 1u : 0u);
    }
}

int CKelPort::Execute(CKelCommand* command) {
    if (command == nullptr || IsReservedByOther()) {
        if (command != nullptr) command->SetStatus(STATUS_FAILED);
        return 0;
    }
    command->SetStatus(STATUS_PROCESSING);
    command->SetStartTime(TickCount());
    const uint8_t result = Transfer(command);
    command->SetEndTime(TickCount());
    command->SetError(result);
    NotifyObservers(*command);

    const FrameBuffer& message = command->GetMessageBuffer();
    const uint8_t requestType = message[4];
    const bool batch = requestType == kBatchCode;
    if (result != RESULT_OK) {
        ReportFailure(requestType, result, 0, batch);
        command->SetStatus(STATUS_FAILED);
        return 0;
    }
    const FrameBuffer& answer = command->GetAnswerBuffer();
    if (message[0] >= 128 || requestType == kAcknowledgeOnlyCode || answer[4] == requestType) {
        command->SetStatus(STATUS_SUCCEEDED);
        return 1;
    }

    // Refused: the answer's mtype is the reason and its last two data bytes carry the warning.
    const uint8_t reason = answer[4];
    const uint16_t length = command->GetAnswerLength();
    const uint8_t* data = &answer[kDataOffset];
    int16_t warning = 0;
    if (length >= 2) warning = static_cast<int16_t>(data[length - 2] << 8 | data[length - 1]);
    command->SetError(reason);
    command->SetWarning(warning);
    NotifyObservers(*command);

    // A failed batch names the member that failed in the byte before the warning.
    uint8_t reportedType = requestType;
    if (reason == BATCH_FAIL && length >= 3) reportedType = data[length - 3];
    ReportFailure(reportedType, reason, warning, batch);
    command->SetStatus(STATUS_FAILED);
    return 0;
}

}  // namespace kelcmd
