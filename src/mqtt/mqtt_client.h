#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "mqtt_message.h"

struct mosquitto;

namespace kelcmd::mqtt {

struct ClientOptions {
    std::string host = "localhost";
    int port = 1883;
    bool tls = false;
    std::string caFile;  // with tls: empty means the system's certificate authorities
    std::string username;
    std::string password;
    std::string clientId;  // empty: the library makes one up
    int keepaliveSeconds = 30;
    std::optional<Message> will;  // published by the broker when the connection dies unannounced
    // After a lost connection the client tries again after min seconds, doubling up to max.
    unsigned reconnectDelayMinSeconds = 1;
    unsigned reconnectDelayMaxSeconds = 8;
};

// An MQTT 5 client that keeps itself connected: it runs its own network thread, reconnects after
// the broker goes away and subscribes again to every filter it was given. Publish, Subscribe and
// the waits may be called from any thread; the handlers run on the network thread and should
// return quickly (queue the work, do not run bus exchanges there).
class Client {
  public:
    using MessageHandler = std::function<void(const Message&)>;
    using ConnectionHandler = std::function<void(bool connected)>;
    using RefusalHandler = std::function<void(const std::string& reason)>;

    explicit Client(ClientOptions options);
    ~Client();  // disconnects cleanly (the broker drops the will) and joins the network thread
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    // Handlers are set before Start. OnMessage hears every message; a handler given with
    // Subscribe hears those that match its filter.
    void OnMessage(MessageHandler handler) { onMessage_ = std::move(handler); }
    void OnConnection(ConnectionHandler handler) { onConnection_ = std::move(handler); }
    // Hears each attempt the broker refused for good (see WaitConnected); after a failed TLS
    // handshake libmosquitto makes no further attempt.
    void OnRefused(RefusalHandler handler) { onRefused_ = std::move(handler); }

    // Starts connecting in the background. False (with the reason in LastError) only when the
    // options cannot work at all; a broker that is not there yet is tried again and again.
    bool Start();
    // Ends the session cleanly: the broker discards the will. Waits for the network thread.
    void Stop();

    bool IsConnected() const;
    // Waits until connected, or until the broker refused the connection in a way that trying
    // again would not mend (an untrusted certificate, a wrong password): false then, with the
    // reason in LastError.
    bool WaitConnected(std::chrono::milliseconds timeout) const;
    std::string LastError() const;
    // Whether the last connection attempt was refused for good (see WaitConnected).
    bool Refused() const;

    // Remembered and renewed after every reconnect. A handler given here hears the messages that
    // match this filter (in addition to OnMessage's); one service can so share the connection.
    bool Subscribe(const std::string& filter, int qos = 1, MessageHandler handler = {});
    bool Unsubscribe(const std::string& filter);

    // False when the message was not accepted (not connected for QoS 0, bad topic, too big).
    bool Publish(const Message& message);
    // Waits until the broker has acknowledged every QoS 1/2 message published so far.
    bool WaitDelivered(std::chrono::milliseconds timeout) const;

  private:
    friend struct ClientCallbacks;
    void Connected(int rc);
    void Disconnected();
    void Delivered(int mid);
    void Received(const Message& message);
    void Logged(int level, const char* text);
    void Refuse(const std::string& reason);
    void SetError(std::string error);

    ClientOptions options_;
    MessageHandler onMessage_;
    ConnectionHandler onConnection_;
    RefusalHandler onRefused_;
    struct Handle;
    std::unique_ptr<Handle> handle_;
    bool started_ = false;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool connected_ = false;
    bool refused_ = false;  // the last attempt failed for good (TLS, credentials)
    std::string lastError_;
    struct Subscription {
        int qos = 1;
        MessageHandler handler;
    };
    std::map<std::string, Subscription> subscriptions_;
    std::set<int> unacknowledged_;
};

}  // namespace kelcmd::mqtt
