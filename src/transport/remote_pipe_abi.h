#pragma once

// The plain C interface between the library and its broker client plugin (libkelcmd-remote.so.1).
// It is C so that the plugin needs nothing of the library: a program that carries the library's
// code itself, linked statically, loads the same plugin as one that uses libkelcmd.so.

#include <stddef.h>
#include <stdint.h>

extern "C" {

typedef struct KelPipeHandle KelPipeHandle;

// Called on the plugin's thread, never after `close` has returned.
typedef void (*KelPipeMessageFn)(void* context, const char* topic, const uint8_t* payload,
                                 size_t payloadSize, const uint8_t* correlation,
                                 size_t correlationSize);
typedef void (*KelPipeConnectionFn)(void* context, int connected);

struct KelPipeOpenArgs {
    const char* broker;  // mqtt://[user@]host[:port] or mqtts://...
    const char* caFile;  // "" for the system's certificate authorities
    const char* clientId;
    const char* const* subscriptions;
    size_t subscriptionCount;
    void* context;
    KelPipeMessageFn onMessage;
    KelPipeConnectionFn onConnection;
    // While readable, an open that still waits for the broker gives up at once (ECANCELED): the
    // port is being closed from another thread. -1: none.
    int cancelDescriptor;
};

struct KelPipeApi {
    uint32_t version;  // kKelPipeApiVersion
    // Connects and subscribes before it returns; null with an errno and the reason when it
    // cannot (empty: the errno says it).
    KelPipeHandle* (*open)(const KelPipeOpenArgs* args, int* errorNumber, char* reason,
                           size_t reasonSize);
    // 1 when the broker took the message (QoS 1), 0 otherwise.
    int (*publish)(KelPipeHandle* pipe, const char* topic, const uint8_t* payload, size_t size,
                   const char* responseTopic, const uint8_t* correlation, size_t correlationSize);
    int (*connected)(KelPipeHandle* pipe);
    void (*close)(KelPipeHandle* pipe);
};

// The one symbol the plugin exports.
const KelPipeApi* KelcmdRemotePipeApi(void);
}

#define KELCMD_REMOTE_PIPE_SYMBOL "KelcmdRemotePipeApi"
#define KELCMD_REMOTE_PLUGIN_FILE "libkelcmd-remote.so.1"
inline constexpr uint32_t kKelPipeApiVersion = 2;
