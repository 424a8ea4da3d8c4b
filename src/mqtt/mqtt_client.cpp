#include "mqtt_client.h"

#include <mosquitto.h>
#include <mqtt_protocol.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace kelcmd::mqtt {

namespace {

// libmosquitto's process-wide set-up; never undone, other clients may still live.
void InitLibraryOnce() {
    static const int once = mosquitto_lib_init();
    (void)once;
}

// Properties the library allocates are freed with free().
std::string TakeString(char* text) {
    std::string value = text ? text : "";
    std::free(text);
    return value;
}

struct Properties {
    mosquitto_property* list = nullptr;
    ~Properties() { mosquitto_property_free_all(&list); }
};

bool AddProperties(const Message& message, Properties& properties) {
    if (!message.responseTopic.empty() &&
        mosquitto_property_add_string(&properties.list, MQTT_PROP_RESPONSE_TOPIC,
                                      message.responseTopic.c_str()) != MOSQ_ERR_SUCCESS)
        return false;
    if (!message.correlationData.empty() &&
        (message.correlationData.size() > 0xFFFF ||
         mosquitto_property_add_binary(
             &properties.list, MQTT_PROP_CORRELATION_DATA, message.correlationData.data(),
             static_cast<uint16_t>(message.correlationData.size())) != MOSQ_ERR_SUCCESS))
        return false;
    for (const auto& [name, value] : message.userProperties)
        if (mosquitto_property_add_string_pair(&properties.list, MQTT_PROP_USER_PROPERTY,
                                               name.c_str(), value.c_str()) != MOSQ_ERR_SUCCESS)
            return false;
    return true;
}

Message ToMessage(const mosquitto_message& raw, const mosquitto_property* props) {
    Message message;
    message.topic = raw.topic ? raw.topic : "";
    if (raw.payload && raw.payloadlen > 0)
        message.payload.assign(static_cast<const char*>(raw.payload), raw.payloadlen);
    message.qos = raw.qos;
    message.retain = raw.retain;
    char* text = nullptr;
    if (mosquitto_property_read_string(props, MQTT_PROP_RESPONSE_TOPIC, &text, false))
        message.responseTopic = TakeString(text);
    void* data = nullptr;
    uint16_t length = 0;
    if (mosquitto_property_read_binary(props, MQTT_PROP_CORRELATION_DATA, &data, &length, false)) {
        message.correlationData.assign(static_cast<const char*>(data), length);
        std::free(data);
    }
    char* name = nullptr;
    char* value = nullptr;
    for (auto* p = mosquitto_property_read_string_pair(props, MQTT_PROP_USER_PROPERTY, &name,
                                                       &value, false);
         p;
         p = mosquitto_property_read_string_pair(p, MQTT_PROP_USER_PROPERTY, &name, &value, true)) {
        std::string n = TakeString(name);
        message.userProperties.emplace_back(std::move(n), TakeString(value));
        name = value = nullptr;
    }
    return message;
}

std::string ErrorText(int rc) {
    return rc == MOSQ_ERR_ERRNO ? std::strerror(errno) : mosquitto_strerror(rc);
}

}  // namespace

struct Client::Handle {
    mosquitto* mosq = nullptr;
    ~Handle() {
        if (mosq) mosquitto_destroy(mosq);
    }
};

// The C callbacks of libmosquitto, bound to the client through its user data pointer.
struct ClientCallbacks {
    static Client& Of(void* self) { return *static_cast<Client*>(self); }
    static void Connect(mosquitto*, void* self, int rc, int, const mosquitto_property*) {
        Of(self).Connected(rc);
    }
    static void Disconnect(mosquitto*, void* self, int, const mosquitto_property*) {
        Of(self).Disconnected();
    }
    static void Publish(mosquitto*, void* self, int mid, int, const mosquitto_property*) {
        Of(self).Delivered(mid);
    }
    static void Receive(mosquitto*, void* self, const mosquitto_message* raw,
                        const mosquitto_property* props) {
        if (raw) Of(self).Received(ToMessage(*raw, props));
    }
    static void Log(mosquitto*, void* self, int level, const char* text) {
        if (text) Of(self).Logged(level, text);
    }
};

Client::Client(ClientOptions options)
    : options_(std::move(options)), handle_(std::make_unique<Handle>()) {}

Client::~Client() {
    Stop();
}

bool Client::Start() {
    if (started_) return true;
    if (handle_->mosq) return false;  // a client starts once
    // Told now rather than as a failed handshake later: libmosquitto only says "invalid argument".
    if (options_.tls && !options_.caFile.empty() && ::access(options_.caFile.c_str(), R_OK) != 0) {
        SetError("the CA file " + options_.caFile + " cannot be read: " + std::strerror(errno));
        return false;
    }
    InitLibraryOnce();
    mosquitto* mosq =
        mosquitto_new(options_.clientId.empty() ? nullptr : options_.clientId.c_str(), true, this);
    if (!mosq) {
        SetError("cannot create an MQTT client");
        return false;
    }
    handle_->mosq = mosq;
    mosquitto_int_option(mosq, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V5);
    // Exchanges are short request/reply pairs: without this each waits for a delayed TCP ACK.
    mosquitto_int_option(mosq, MOSQ_OPT_TCP_NODELAY, 1);
    mosquitto_connect_v5_callback_set(mosq, &ClientCallbacks::Connect);
    mosquitto_disconnect_v5_callback_set(mosq, &ClientCallbacks::Disconnect);
    mosquitto_publish_v5_callback_set(mosq, &ClientCallbacks::Publish);
    mosquitto_message_v5_callback_set(mosq, &ClientCallbacks::Receive);
    mosquitto_log_callback_set(mosq, &ClientCallbacks::Log);
    mosquitto_reconnect_delay_set(mosq, options_.reconnectDelayMinSeconds,
                                  options_.reconnectDelayMaxSeconds, true);
    int rc = MOSQ_ERR_SUCCESS;
    if (!options_.username.empty())
        rc = mosquitto_username_pw_set(
            mosq, options_.username.c_str(),
            options_.password.empty() ? nullptr : options_.password.c_str());
    if (rc == MOSQ_ERR_SUCCESS && options_.tls) {
        if (options_.caFile.empty())
            rc = mosquitto_int_option(mosq, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
        else
            rc = mosquitto_tls_set(mosq, options_.caFile.c_str(), nullptr, nullptr, nullptr,
                                   nullptr);
    }
    if (rc == MOSQ_ERR_SUCCESS && options_.will) {
        const Message& will = *options_.will;
        Properties properties;
        rc = AddProperties(will, properties)
                 ? mosquitto_will_set_v5(mosq, will.topic.c_str(),
                                         static_cast<int>(will.payload.size()), will.payload.data(),
                                         will.qos, will.retain, properties.list)
                 : MOSQ_ERR_INVAL;
        if (rc == MOSQ_ERR_SUCCESS) properties.list = nullptr;  // the will owns them now
    }
    if (rc != MOSQ_ERR_SUCCESS) {
        SetError(ErrorText(rc));
        return false;
    }
    // A broker that is not reachable yet is no failure: the network thread keeps trying.
    rc = mosquitto_connect_bind_async(mosq, options_.host.c_str(), options_.port,
                                      options_.keepaliveSeconds, nullptr);
    // A handshake that failed within the call has its reason from the log already.
    if (rc != MOSQ_ERR_SUCCESS && !Refused()) SetError(ErrorText(rc));
    if (rc == MOSQ_ERR_INVAL || mosquitto_loop_start(mosq) != MOSQ_ERR_SUCCESS) return false;
    started_ = true;
    return true;
}

void Client::Stop() {
    if (!started_) return;
    started_ = false;
    mosquitto_disconnect_v5(handle_->mosq, 0, nullptr);
    mosquitto_loop_stop(handle_->mosq, false);
    std::lock_guard lock(mutex_);
    connected_ = false;
    changed_.notify_all();
}

bool Client::IsConnected() const {
    std::lock_guard lock(mutex_);
    return connected_;
}

bool Client::WaitConnected(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, timeout, [this] { return connected_ || refused_; });
    return connected_;
}

std::string Client::LastError() const {
    std::lock_guard lock(mutex_);
    return lastError_;
}

bool Client::Refused() const {
    std::lock_guard lock(mutex_);
    return refused_;
}

bool Client::Subscribe(const std::string& filter, int qos, MessageHandler handler) {
    if (mosquitto_sub_topic_check2(filter.c_str(), filter.size()) != MOSQ_ERR_SUCCESS) return false;
    std::lock_guard lock(mutex_);
    subscriptions_[filter] = Subscription{qos, std::move(handler)};
    if (!connected_) return true;  // the next connection subscribes
    return mosquitto_subscribe_v5(handle_->mosq, nullptr, filter.c_str(), qos, 0, nullptr) ==
           MOSQ_ERR_SUCCESS;
}

bool Client::Unsubscribe(const std::string& filter) {
    std::lock_guard lock(mutex_);
    subscriptions_.erase(filter);
    if (!connected_) return true;
    return mosquitto_unsubscribe_v5(handle_->mosq, nullptr, filter.c_str(), nullptr) ==
           MOSQ_ERR_SUCCESS;
}

bool Client::Publish(const Message& message) {
    if (!handle_->mosq) return false;
    Properties properties;
    if (!AddProperties(message, properties)) return false;
    if (message.payload.size() > static_cast<size_t>(MQTT_MAX_PAYLOAD)) return false;
    // Held across the call so that an acknowledgement cannot overtake the bookkeeping.
    std::lock_guard lock(mutex_);
    int mid = 0;
    int rc = mosquitto_publish_v5(handle_->mosq, &mid, message.topic.c_str(),
                                  static_cast<int>(message.payload.size()), message.payload.data(),
                                  message.qos, message.retain, properties.list);
    if (rc != MOSQ_ERR_SUCCESS) return false;
    if (message.qos > 0) unacknowledged_.insert(mid);
    return true;
}

bool Client::WaitDelivered(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return unacknowledged_.empty(); });
}

void Client::Connected(int rc) {
    {
        std::lock_guard lock(mutex_);
        if (rc == 0) {
            connected_ = true;
            refused_ = false;
            for (const auto& [filter, subscription] : subscriptions_)
                mosquitto_subscribe_v5(handle_->mosq, nullptr, filter.c_str(), subscription.qos, 0,
                                       nullptr);
            changed_.notify_all();
        }
    }
    if (rc != 0) {
        Refuse(mosquitto_reason_string(rc));
    } else if (onConnection_) {
        onConnection_(true);
    }
}

void Client::Disconnected() {
    {
        std::lock_guard lock(mutex_);
        connected_ = false;
        changed_.notify_all();
    }
    if (onConnection_) onConnection_(false);
}

void Client::Delivered(int mid) {
    std::lock_guard lock(mutex_);
    if (unacknowledged_.erase(mid)) changed_.notify_all();
}

void Client::Received(const Message& message) {
    if (onMessage_) onMessage_(message);
    std::vector<MessageHandler> handlers;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [filter, subscription] : subscriptions_) {
            bool matches = false;
            if (subscription.handler &&
                mosquitto_topic_matches_sub(filter.c_str(), message.topic.c_str(), &matches) ==
                    MOSQ_ERR_SUCCESS &&
                matches)
                handlers.push_back(subscription.handler);
        }
    }
    // Called without the lock: a handler may publish or subscribe.
    for (const MessageHandler& handler : handlers) handler(message);
}

// libmosquitto tells a failed TLS handshake only in its log.
void Client::Logged(int level, const char* text) {
    if (level != MOSQ_LOG_ERR || std::strstr(text, "OpenSSL Error") == nullptr) return;
    const std::string authorities =
        options_.caFile.empty() ? "the system's certificate authorities" : options_.caFile;
    Refuse(std::strstr(text, "certificate verify failed") != nullptr
               ? "the broker's certificate is not trusted by " + authorities +
                     " (certificate verify failed)"
               : std::string("TLS handshake failed: ") + text);
}

void Client::Refuse(const std::string& reason) {
    {
        std::lock_guard lock(mutex_);
        lastError_ = reason;
        refused_ = true;
        changed_.notify_all();
    }
    if (onRefused_) onRefused_(reason);
}

void Client::SetError(std::string error) {
    std::lock_guard lock(mutex_);
    lastError_ = std::move(error);
}

}  // namespace kelcmd::mqtt
