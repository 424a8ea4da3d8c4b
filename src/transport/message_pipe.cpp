#include "transport/message_pipe.h"

#include <dlfcn.h>
#include <errno.h>

#include <cstdlib>
#include <mutex>
#include <utility>

#include "platform/hook.h"
#include "transport/remote_pipe_abi.h"

namespace kelcmd {
namespace {

Hook<PipeOpener>& TheOpenerHook() {
    static Hook<PipeOpener>* const hook = new Hook<PipeOpener>();  // outlives unloading at exit
    return *hook;
}

// A pipe of the plugin: forwards the plugin's callbacks to the listener.
class PluginPipe : public MessagePipe {
  public:
    PluginPipe(const KelPipeApi& api, PipeListener listener)
        : api_(api), listener_(std::move(listener)) {}
    ~PluginPipe() override {
        if (handle_ != nullptr) api_.close(handle_);
    }
    PluginPipe(const PluginPipe&) = delete;
    PluginPipe& operator=(const PluginPipe&) = delete;

    bool Open(const PipeConfig& config, SystemError& reason) {
        std::vector<const char*> topics;
        for (const std::string& topic : config.subscriptions) topics.push_back(topic.c_str());
        const KelPipeOpenArgs args{config.broker.c_str(),   config.caFile.c_str(),
                                   config.clientId.c_str(), topics.data(),
                                   topics.size(),           this,
                                   &PluginPipe::OnMessage,  &PluginPipe::OnConnection,
                                   config.cancelDescriptor};
        int number = 0;
        char text[256] = {};
        handle_ = api_.open(&args, &number, text, sizeof text);
        if (handle_ == nullptr) {
            reason = {number != 0 ? number : ECONNREFUSED, "connect to", config.broker, text};
        }
        return handle_ != nullptr;
    }

    bool Publish(const std::string& topic, std::span<const uint8_t> payload,
                 const std::string& responseTopic, const std::string& correlation) override {
        return api_.publish(
                   handle_, topic.c_str(), payload.data(), payload.size(), responseTopic.c_str(),
                   reinterpret_cast<const uint8_t*>(correlation.data()), correlation.size()) != 0;
    }
    bool IsConnected() const override { return api_.connected(handle_) != 0; }

  private:
    static void OnMessage(void* context, const char* topic, const uint8_t* payload, size_t size,
                          const uint8_t* correlation, size_t correlationSize) {
        auto& self = *static_cast<PluginPipe*>(context);
        if (!self.listener_.message) return;
        self.listener_.message(
            {topic,
             std::vector<uint8_t>(payload, payload + size),
             std::string(reinterpret_cast<const char*>(correlation), correlationSize),
             {}});
    }
    static void OnConnection(void* context, int connected) {
        auto& self = *static_cast<PluginPipe*>(context);
        if (self.listener_.connection) self.listener_.connection(connected != 0);
    }

    const KelPipeApi& api_;
    PipeListener listener_;
    KelPipeHandle* handle_ = nullptr;
};

// Where the plugin is looked for: KELCMD_REMOTE_PLUGIN (a path), beside the object that holds
// this code (libkelcmd.so, or a program), then the linker's search path. It stays loaded.
const KelPipeApi* LoadPlugin(std::string& tried) {
    std::vector<std::string> candidates;
    if (const char* path = std::getenv("KELCMD_REMOTE_PLUGIN"); path != nullptr && *path != 0) {
        candidates.emplace_back(path);
    }
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&LoadPlugin), &info) != 0 && info.dli_fname != nullptr) {
        const std::string self = info.dli_fname;
        const size_t slash = self.rfind('/');
        if (slash != std::string::npos) {
            candidates.push_back(self.substr(0, slash + 1) + KELCMD_REMOTE_PLUGIN_FILE);
        }
    }
    candidates.emplace_back(KELCMD_REMOTE_PLUGIN_FILE);
    for (const std::string& candidate : candidates) {
        void* library = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) continue;
        using Entry = const KelPipeApi* (*)();
        auto entry = reinterpret_cast<Entry>(::dlsym(library, KELCMD_REMOTE_PIPE_SYMBOL));
        const KelPipeApi* api = entry != nullptr ? entry() : nullptr;
        if (api != nullptr && api->version == kKelPipeApiVersion) return api;
        tried = candidate + " is not a matching broker client";
        ::dlclose(library);
        return nullptr;
    }
    tried = std::string(KELCMD_REMOTE_PLUGIN_FILE) + " not found";
    return nullptr;
}

std::shared_ptr<PipeOpener> PluginOpener(SystemError& reason) {
    static std::mutex lock;
    static const KelPipeApi* api = nullptr;
    static std::string problem;
    std::lock_guard guard(lock);
    if (api == nullptr) api = LoadPlugin(problem);
    if (api == nullptr) {
        reason = {ENOENT, "remote ports need the kelcmd-bridge package:", problem};
        return nullptr;
    }
    const KelPipeApi* const loaded = api;
    return std::make_shared<PipeOpener>([loaded](const PipeConfig& config, PipeListener listener,
                                                 SystemError& why) -> std::unique_ptr<MessagePipe> {
        auto pipe = std::make_unique<PluginPipe>(*loaded, std::move(listener));
        if (!pipe->Open(config, why)) return nullptr;
        return pipe;
    });
}

}  // namespace

void InstallPipeOpener(std::shared_ptr<PipeOpener> opener) {
    TheOpenerHook().Install(std::move(opener));
}

std::unique_ptr<MessagePipe> OpenPipe(const PipeConfig& config, PipeListener listener,
                                      SystemError& reason) {
    std::shared_ptr<PipeOpener> opener = TheOpenerHook().Current();
    if (opener == nullptr) opener = PluginOpener(reason);
    if (opener == nullptr) return nullptr;
    return (*opener)(config, std::move(listener), reason);
}

}  // namespace kelcmd
