#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "kelcmd/kelcmd.h"
#include "transport/bus_monitor.h"
#include "transport/port_settings.h"
#include "transport/serial_line.h"

namespace kelcmd {

class CKelCommand;

// One open port of the port table: its settings, its serial line, the lock held for every exchange,
// an optional error callback, an optional owner thread, and its observers.
class CKelPort {
  public:
    CKelPort() = default;
    virtual ~CKelPort();
    CKelPort(const CKelPort&) = delete;
    CKelPort& operator=(const CKelPort&) = delete;

    // Runs one exchange of an already built command and judges the answer: 1 succeeded, 0 failed.
    virtual int Execute(CKelCommand* command);
    virtual void RegisterObserver(CBusMonitor* observer);
    virtual void ResumeObserver(int allThreads, int everyObserver, CBusMonitor* observer);
    virtual void SuspendObserver(int allThreads, int everyObserver, CBusMonitor* observer);

    int SetSettings(const CPortSettings& settings);  // closes the line first
    int GetSettings(CPortSettings* settings) const;
    const CPortSettings& Settings() const { return settings_; }
    const std::string& GetName() const { return settings_.GetName(); }

    uint8_t OpenLine();  // result code of the line's open
    int OpenLineOk() { return OpenLine() == 0 ? 1 : 0; }
    uint8_t CloseLine();

    void Reserve();
    void Release();
    bool IsReservedByOther() const;
    uint32_t GetOwnerThread() const { return ownerThread_.load(); }

    CSerialLine& GetLine() { return line_; }
    int SetErrorCallback(KelErrorCallback callback);
    KelErrorCallback GetErrorCallback() const { return errorCallback_.load(); }
    uint32_t GetSendTrials() const { return sendTrials_; }

    void NotifyObservers(const CKelCommand& command);

    // The exchange under the port's lock.
    uint8_t Transfer(CKelCommand* command);

  private:
    void ReportFailure(uint8_t messageType, uint8_t error, int16_t warning, bool batch);

    const uint32_t sendTrials_ = 4;
    std::atomic<KelErrorCallback> errorCallback_{nullptr};
    std::mutex lock_;
    CSerialLine line_;
    std::atomic<uint32_t> ownerThread_{0};
    CPortSettings settings_;
    CObserverList observers_;
};

}  // namespace kelcmd
