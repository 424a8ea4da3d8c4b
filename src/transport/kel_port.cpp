#include "transport/kel_port.h"

#include <optional>

#include "platform/thread_id.h"
#include "transport/bus_tap.h"
#include "transport/port_resolver.h"
#include "transport/remote_line.h"
#include "transport/result_codes.h"

namespace kelcmd {

CKelPort::~CKelPort() {
    CloseLine();
}

int CKelPort::SetSettings(const CPortSettings& settings) {
    line_.Interrupt();  // an exchange of another thread ends now instead of at its timeout
    std::lock_guard<std::mutex> guard(lock_);
    CloseLines();
    std::lock_guard<std::mutex> settingsGuard(settingsLock_);
    settings_ = settings;
    return 1;
}

int CKelPort::GetSettings(CPortSettings* settings) const {
    if (settings == nullptr) return 0;
    *settings = Settings();
    return 1;
}

CPortSettings CKelPort::Settings() const {
    std::lock_guard<std::mutex> guard(settingsLock_);
    return settings_;
}

std::string CKelPort::GetName() const {
    std::lock_guard<std::mutex> guard(settingsLock_);
    return settings_.GetName();
}

uint8_t CKelPort::OpenLine() {
    std::lock_guard<std::mutex> guard(lock_);
    const CPortSettings settings = Settings();
    return OpenLineFor(settings);
}

uint8_t CKelPort::Reopen(const CPortSettings& settings) {
    line_.Interrupt();
    std::lock_guard<std::mutex> guard(lock_);
    ReleaseIfOwner();  // as closing does
    CloseLines();
    {
        std::lock_guard<std::mutex> settingsGuard(settingsLock_);
        settings_ = settings;
    }
    return OpenLineFor(settings);
}

uint8_t CKelPort::CloseLine() {
    line_.Interrupt();
    std::lock_guard<std::mutex> guard(lock_);
    ReleaseIfOwner();
    return CloseLines();
}

bool CKelPort::IsLineOpen() const {
    std::lock_guard<std::mutex> guard(lock_);
    return remote_ != nullptr || line_.IsOpen();
}

uint8_t CKelPort::OpenLineFor(const CPortSettings& settings) {
    remote_.reset();
    // A remote bus keeps only the answer timeout; baud, bus control, character timeout and
    // receive trials are those of the bridge's own port.
    const std::optional<std::string> device = ResolvePortDevice(settings.GetName());
    if (device && IsRemoteDevice(*device)) {
        if (line_.IsOpen()) line_.Close();
        remote_ = RemoteLine::Open(*device, line_.CancelDescriptor());  // the same interrupt
        return remote_ ? 0 : WIN_ERR_OPENCOMM;
    }
    return line_.OpenPort(settings.GetBaudrate(), settings.GetName(), settings.GetBusControl(),
                          settings.GetTimeout(), settings.GetReceiveTrials());
}

uint8_t CKelPort::CloseLines() {
    line_.ClearInterrupt();  // the interrupted exchange has ended: the lock is ours
    if (remote_ != nullptr) {
        remote_.reset();
        return 0;
    }
    return line_.Close();
}

bool CKelPort::Reserve() {
    std::lock_guard<std::mutex> guard(lock_);
    if (IsReservedByOther()) return false;
    ownerThread_ = CurrentThreadId();
    return true;
}

void CKelPort::Release() {
    std::lock_guard<std::mutex> guard(lock_);
    ReleaseIfOwner();
}

void CKelPort::ReleaseIfOwner() {
    uint32_t caller = CurrentThreadId();
    ownerThread_.compare_exchange_strong(caller, 0);
}

bool CKelPort::IsReservedByOther() const {
    const uint32_t owner = ownerThread_.load();
    return owner != 0 && owner != CurrentThreadId();
}

int CKelPort::SetErrorCallback(KelErrorCallback callback) {
    errorCallback_ = callback;
    return 1;
}

void CKelPort::ReportFailure(uint8_t messageType, uint8_t error, int16_t warning,
                             bool batch) const {
    if (KelErrorCallback callback = errorCallback_.load()) {
        callback(messageType, error, warning, batch ? 1u : 0u);
    }
}

void CKelPort::RegisterObserver(CBusMonitor* observer) {
    observers_.Register(observer);
}

void CKelPort::ResumeObserver(int allThreads, int everyObserver, CBusMonitor* observer) {
    observers_.Resume(allThreads != 0, everyObserver != 0, observer);
}

void CKelPort::SuspendObserver(int allThreads, int everyObserver, CBusMonitor* observer) {
    observers_.Suspend(allThreads != 0, everyObserver != 0, observer);
}

void CKelPort::NotifyObservers(const CKelCommand& command) const {
    observers_.Notify(command);
}

ReceptionListener CKelPort::ListenerFor(const CFrameExchange& exchange,
                                        std::vector<CFrameExchange>* receptions) const {
    if (receptions == nullptr) return nullptr;
    return [this, &exchange, receptions] {
        if (!observers_.Empty()) receptions->push_back(exchange);
    };
}

BusEventLog CKelPort::StartEventLog() const {
    return BusTap().HasSubscribers() ? BusEventLog(GetName()) : BusEventLog();
}

namespace {

// Closes a packet operation's log with its result and hands it to the tap.
uint8_t Published(BusEventLog& events, uint8_t result) {
    BusEvent verdict;
    verdict.result = result;
    events.Finish(verdict);
    BusTap().Publish(events.TakeEvents());
    return result;
}

}  // namespace

uint8_t CKelPort::Transfer(CFrameExchange& exchange, std::vector<CFrameExchange>* receptions,
                           BusEventLog* events) {
    std::lock_guard<std::mutex> guard(lock_);
    // Checked again under the lock: another thread may have reserved the port meanwhile.
    if (IsReservedByOther()) return WIN_ERR_WRITECOMM;
    return Line().Exchange(exchange, sendTrials_, {ListenerFor(exchange, receptions), events});
}

uint8_t CKelPort::SendPacket(CFrameExchange& exchange, bool retry) {
    BusEventLog events = StartEventLog();
    uint8_t result = WIN_ERR_WRITECOMM;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (IsReservedByOther() || !Line().IsOpen()) return WIN_ERR_WRITECOMM;
        result = Line().SendFrame(exchange, retry, {nullptr, &events});
    }
    return Published(events, result);
}

uint8_t CKelPort::ReceivePacket(CFrameExchange& exchange, bool resend,
                                std::vector<CFrameExchange>* receptions) {
    BusEventLog events = StartEventLog();
    uint8_t result = WIN_ERR_READCOMM;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (IsReservedByOther() || !Line().IsOpen()) return WIN_ERR_READCOMM;
        result =
            Line().ReceiveFrame(exchange, resend, {ListenerFor(exchange, receptions), &events});
    }
    return Published(events, result);
}

}  // namespace kelcmd
