#pragma once

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace kelcmd::testing {

// A real mosquitto broker for one test: it listens on a free loopback port with a configuration of
// its own in a fresh directory, and can be stopped and started again on the same port to play a
// broker that goes away. The program is $KELCMD_MOSQUITTO, /usr/sbin/mosquitto or mosquitto on
// the PATH.
class MosquittoBroker {
  public:
    MosquittoBroker();
    ~MosquittoBroker();
    MosquittoBroker(const MosquittoBroker&) = delete;
    MosquittoBroker& operator=(const MosquittoBroker&) = delete;

    // From the next start on, only this user with this password may connect (before Start).
    bool RequirePassword(const std::string& user, const std::string& password);
    const std::string& Directory() const { return directory_; }

    // From the next start on, the listener speaks TLS only, with a certificate for localhost and
    // 127.0.0.1 signed by an authority made for this broker alone (CaFile). UntrustedCaFile is a
    // second authority that signed nothing here. Made by the openssl program, in Directory().
    bool UseTls();
    std::string CaFile() const { return directory_ + "/ca.pem"; }
    std::string UntrustedCaFile() const { return directory_ + "/other-ca.pem"; }

    // Starts the broker and waits until it accepts connections.
    bool Start();
    // Ends it (SIGTERM) and waits until it is gone.
    void Stop();
    bool Restart() {
        Stop();
        return Start();
    }

    // On a thread of its own: once `count` reaches `at`, stops the broker and starts it again
    // `away` later (a broker that goes away in the middle of a run).
    std::jthread RestartAt(const std::atomic<int>& count, int at, std::chrono::milliseconds away);

    bool Running() const { return pid_ > 0; }
    int Port() const { return port_; }
    std::string Host() const { return "127.0.0.1"; }
    std::string Url() const {
        return (tls_ ? "mqtts://127.0.0.1:" : "mqtt://127.0.0.1:") + std::to_string(port_);
    }
    // What the broker wrote to its log, for a failing test's message.
    std::string Log() const;

  private:
    std::string directory_;
    int port_ = 0;
    bool tls_ = false;
    pid_t pid_ = -1;
};

}  // namespace kelcmd::testing
