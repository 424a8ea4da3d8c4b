#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kelcmd {

class CKelPort;

// The bridge's side of remote ports: runs each exchange request on a local port's line, under the
// port's lock, so that requests from the network, the bridge's polling and its commands never
// interleave on the bus, and makes the reply. A request that comes again with the same
// correlation data (a redelivered message) never runs twice: it gets the reply made the first
// time, or nothing while that first run is still going. Thread-safe.
class ExchangeResponder {
  public:
    explicit ExchangeResponder(size_t remembered = 256) : remembered_(remembered) {}

    // The encoded reply, or nullopt when nothing is to be sent back: a request that cannot be
    // read (it has no id to reply to), no correlation data, or a duplicate still running.
    std::optional<std::vector<uint8_t>> Answer(CKelPort& port, std::span<const uint8_t> request,
                                               const std::string& correlation);

    uint64_t Duplicates() const;
    uint64_t Malformed() const;

  private:
    // Takes the correlation for a new run (true), or finds it known already.
    bool Claim(const std::string& correlation, std::optional<std::vector<uint8_t>>& known);
    void Remember(const std::string& correlation, const std::vector<uint8_t>& reply);

    const size_t remembered_;
    mutable std::mutex lock_;
    std::map<std::string, std::vector<uint8_t>> replies_;  // empty while running
    std::deque<std::string> order_;                        // oldest first
    uint64_t duplicates_ = 0;
    uint64_t malformed_ = 0;
};

}  // namespace kelcmd
