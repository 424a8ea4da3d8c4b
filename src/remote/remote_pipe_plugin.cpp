// libkelcmd-remote.so.1: the broker client that remote ports load when they are first opened. It
// carries its MQTT client and libmosquitto with it, so that libkelcmd itself needs neither.
#include <errno.h>
#include <poll.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "broker_url.h"
#include "mqtt_client.h"
#include "transport/remote_pipe_abi.h"

namespace {

using kelcmd::mqtt::Client;
using kelcmd::mqtt::ClientOptions;
using kelcmd::mqtt::Message;

// How long an open waits for the broker before it gives up.
constexpr std::chrono::milliseconds kConnectWait{3000};

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

constexpr const char* kClosedMeanwhile = "the port was closed from another thread";

bool Raised(int cancelDescriptor) {
    if (cancelDescriptor < 0) return false;
    pollfd descriptor{cancelDescriptor, POLLIN, 0};
    return ::poll(&descriptor, 1, 0) == 1 && (descriptor.revents & POLLIN) != 0;
}

// 0 once connected; else why not: ECANCELED (the port is being closed), EPROTO (the broker
// refused: TLS, credentials), ECONNREFUSED (no broker in time).
int AwaitConnection(const Client& client, int cancelDescriptor) {
    // Short slices, so that a close from another thread ends the wait at once.
    constexpr std::chrono::milliseconds kSlice{10};
    const auto deadline = std::chrono::steady_clock::now() + kConnectWait;
    while (!client.WaitConnected(kSlice)) {
        if (Raised(cancelDescriptor)) return ECANCELED;
        if (client.Refused()) return EPROTO;
        if (std::chrono::steady_clock::now() >= deadline) return ECONNREFUSED;
    }
    return 0;
}

void Tell(int number, const std::string& text, int* errorNumber, char* reason, size_t size) {
    if (errorNumber != nullptr) *errorNumber = number;
    if (reason != nullptr && size > 0) {
        const size_t length = std::min(text.size(), size - 1);
        std::memcpy(reason, text.data(), length);
        reason[length] = 0;
    }
}

}  // namespace

struct KelPipeHandle {
    std::unique_ptr<Client> client;
};

namespace {

KelPipeHandle* Open(const KelPipeOpenArgs* args, int* errorNumber, char* reason, size_t size) {
    if (args == nullptr || args->broker == nullptr) return nullptr;
    const std::string broker = args->broker;
    const auto url = kelcmd::mqtt::ParseBrokerUrl(broker);
    if (!url) {
        Tell(EINVAL, "no broker address: " + broker, errorNumber, reason, size);
        return nullptr;
    }
    ClientOptions options;
    options.host = url->host;
    options.port = url->port;
    options.tls = url->tls;
    options.caFile = args->caFile != nullptr ? args->caFile : "";
    options.username = url->user.empty() ? Environment("KELCMD_MQTT_USERNAME") : url->user;
    options.password = Environment("KELCMD_MQTT_PASSWORD");
    options.clientId = args->clientId != nullptr ? args->clientId : "";
    options.keepaliveSeconds = 10;

    auto handle = std::make_unique<KelPipeHandle>();
    handle->client = std::make_unique<Client>(options);
    Client& client = *handle->client;
    void* const context = args->context;
    const KelPipeMessageFn onMessage = args->onMessage;
    const KelPipeConnectionFn onConnection = args->onConnection;
    client.OnMessage([context, onMessage](const Message& message) {
        if (onMessage == nullptr) return;
        onMessage(context, message.topic.c_str(),
                  reinterpret_cast<const uint8_t*>(message.payload.data()), message.payload.size(),
                  reinterpret_cast<const uint8_t*>(message.correlationData.data()),
                  message.correlationData.size());
    });
    client.OnConnection([context, onConnection](bool connected) {
        if (onConnection != nullptr) onConnection(context, connected ? 1 : 0);
    });
    // Subscribed at the connection, before anything is published on it: the broker handles a
    // client's packets in order, so no reply can come before its subscription.
    for (size_t i = 0; i < args->subscriptionCount; ++i)
        client.Subscribe(args->subscriptions[i], 1);
    if (!client.Start()) {
        Tell(EINVAL, client.LastError(), errorNumber, reason, size);
        return nullptr;
    }
    if (const int failure = AwaitConnection(client, args->cancelDescriptor); failure != 0) {
        Tell(failure, failure == ECANCELED ? kClosedMeanwhile : client.LastError(), errorNumber,
             reason, size);
        return nullptr;
    }
    return handle.release();
}

int Publish(KelPipeHandle* pipe, const char* topic, const uint8_t* payload, size_t size,
            const char* responseTopic, const uint8_t* correlation, size_t correlationSize) {
    if (pipe == nullptr || !pipe->client->IsConnected()) return 0;
    Message message;
    message.topic = topic;
    message.payload.assign(reinterpret_cast<const char*>(payload), size);
    // At most once: a request held back over a lost connection would run after its exchange had
    // already been given up.
    message.qos = 0;
    message.responseTopic = responseTopic != nullptr ? responseTopic : "";
    message.correlationData.assign(reinterpret_cast<const char*>(correlation), correlationSize);
    return pipe->client->Publish(message) ? 1 : 0;
}

int Connected(KelPipeHandle* pipe) {
    return pipe != nullptr && pipe->client->IsConnected() ? 1 : 0;
}

void Close(KelPipeHandle* pipe) {
    delete pipe;  // the client's destructor joins its network thread: no callback comes after
}

constexpr KelPipeApi kApi{kKelPipeApiVersion, &Open, &Publish, &Connected, &Close};

}  // namespace

extern "C" __attribute__((visibility("default"))) const KelPipeApi* KelcmdRemotePipeApi(void) {
    return &kApi;
}
