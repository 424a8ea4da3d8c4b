#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "kelcmd/kelcmd.h"
#include "transport/bus_event_log.h"
#include "transport/bus_monitor.h"
#include "transport/frame_exchange.h"
#include "transport/packet_protocol.h"
#include "transport/port_settings.h"
#include "transport/serial_line.h"

namespace kelcmd {

class CKelCommand;

// One port of the port table: its settings, its serial line, the lock held for every exchange,
// an optional error callback, an optional owner thread, and its one list of observers.
//
// Everything that touches the line (an exchange, a raw packet, opening, closing, new settings)
// runs under the port's lock, so frames never interleave. A close or new settings on one thread
// first interrupt a serial exchange running on another (it fails at once instead of waiting out
// its timeouts), then take the lock. The manager hands ports out as shared pointers, so a port
// stays alive while a caller still uses it, even when it has left the table.
class CKelPort {
  public:
    CKelPort() = default;
    virtual ~CKelPort();
    CKelPort(const CKelPort&) = delete;
    CKelPort& operator=(const CKelPort&) = delete;

    virtual void RegisterObserver(CBusMonitor* observer);
    virtual void ResumeObserver(int allThreads, int everyObserver, CBusMonitor* observer);
    virtual void SuspendObserver(int allThreads, int everyObserver, CBusMonitor* observer);

    int SetSettings(const CPortSettings& settings);  // closes the line first
    int GetSettings(CPortSettings* settings) const;
    CPortSettings Settings() const;
    std::string GetName() const;

    uint8_t OpenLine();  // result code of the line's open
    int OpenLineOk() { return OpenLine() == 0 ? 1 : 0; }
    uint8_t CloseLine();
    bool IsLineOpen() const;

    // Closes the line, takes the settings and opens the line again, all under the port's lock:
    // an exchange of another thread runs on the old line or on the new one. A failed open leaves
    // the line closed with the new settings. The result code of the open.
    uint8_t Reopen(const CPortSettings& settings);

    // The reservation: while a thread holds it, exchanges of every other thread are refused. It
    // is taken under the port's lock (after the exchange in progress) and only when no other
    // thread holds it (false then); only its owner releases it, closing the line included.
    bool Reserve();
    void Release();
    bool IsReservedByOther() const;
    uint32_t GetOwnerThread() const { return ownerThread_.load(); }

    int SetErrorCallback(KelErrorCallback callback);
    KelErrorCallback GetErrorCallback() const { return errorCallback_.load(); }
    // Calls the error callback, if one is installed.
    void ReportFailure(uint8_t messageType, uint8_t error, int16_t warning, bool batch) const;
    uint32_t GetSendTrials() const { return sendTrials_; }

    // Hands `command` to the observers in whose active list the calling thread stands.
    void NotifyObservers(const CKelCommand& command) const;

    // One full exchange of a built frame under the port's lock. `receptions` (if given) gets a
    // copy of the exchange at every reception of an answer while observers are registered, for
    // the caller to show them once the lock is released; `events` (if given) collects its wire
    // events for the bus tap, which the caller publishes with the judged result. A result code, 0
    // for success.
    uint8_t Transfer(CFrameExchange& exchange, std::vector<CFrameExchange>* receptions = nullptr,
                     BusEventLog* events = nullptr);
    // A log for the wire events of one exchange on this port: inactive when nobody taps the bus.
    BusEventLog StartEventLog() const;

    // The raw packet layer: one transmission (with `retry`, until acknowledged) or one reception
    // (with `resend`, asking for damaged answers again), under the port's lock. A port reserved by
    // another thread, or a closed line, refuses with 129 (send) or 130 (receive). The bus tap
    // hears the wire events and the result after the lock is released.
    uint8_t SendPacket(CFrameExchange& exchange, bool retry);
    uint8_t ReceivePacket(CFrameExchange& exchange, bool resend,
                          std::vector<CFrameExchange>* receptions);

    // Runs `operation` with the line under the port's lock (the loopback test, diagnostics). It
    // must not call anything that waits for a person or another thread.
    template <class Operation>
    auto UseLine(Operation&& operation) {
        std::lock_guard<std::mutex> guard(lock_);
        return operation(line_);
    }

  private:
    // With the port's lock held.
    void ReleaseIfOwner();
    // Opens the line the settings name: a remote bus (mqtt://) or the serial line.
    uint8_t OpenLineFor(const CPortSettings& settings);
    uint8_t CloseLines();
    ReceptionListener ListenerFor(const CFrameExchange& exchange,
                                  std::vector<CFrameExchange>* receptions) const;
    // The line every exchange runs through.
    ExchangeLine& Line() { return remote_ ? *remote_ : static_cast<ExchangeLine&>(line_); }

    const uint32_t sendTrials_ = 4;
    std::atomic<KelErrorCallback> errorCallback_{nullptr};
    // Held for every use of the line; the settings have their own short lock so that lookups by
    // name never wait for an exchange.
    mutable std::mutex lock_;
    CSerialLine line_;
    std::unique_ptr<ExchangeLine> remote_;  // while the port is open on a remote bus
    mutable std::mutex settingsLock_;
    CPortSettings settings_;
    std::atomic<uint32_t> ownerThread_{0};
    CObserverList observers_;
};

}  // namespace kelcmd
