#include "bridge_harness.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <thread>

namespace kelcmd::testing {

ProgramRun RunProgram(const std::string& command) {
    ProgramRun run;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) run.output += buffer;
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

using namespace std::chrono_literals;

BridgeProcess::BridgeProcess(const std::vector<std::string>& arguments) {
    std::vector<std::string> words = {KELCMD_BRIDGE_PROGRAM};
    words.insert(words.end(), arguments.begin(), arguments.end());
    pid_ = fork();
    if (pid_ == 0) {
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        setenv("KELCMD_PORTS", "", 1);
        execv(argv[0], argv.data());
        _exit(127);
    }
}

BridgeProcess::~BridgeProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

int BridgeProcess::Terminate() {
    if (pid_ <= 0) return -1;
    kill(pid_, SIGTERM);
    int status = 0;
    for (int i = 0; i < 500; ++i) {
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(20ms);
    }
    return -1;
}

BrokerWatcher::BrokerWatcher(const std::string& host, int port, const std::string& filter,
                             const std::string& user, const std::string& password,
                             const std::string& caFile)
    : replyTopic_([] {
          static std::atomic<int> watchers{0};
          return "test/replies/" + std::to_string(getpid()) + "/" + std::to_string(++watchers);
      }()),
      client_([&] {
          mqtt::ClientOptions options;
          options.host = host;
          options.port = port;
          options.username = user;
          options.password = password;
          options.tls = !caFile.empty();
          options.caFile = caFile;
          return options;
      }()) {
    client_.Subscribe(filter, 1, [this](const mqtt::Message& message) {
        std::lock_guard lock(mutex_);
        messages_.emplace_back(message.topic, message.payload);
        arrived_.notify_all();
    });
    client_.Subscribe(replyTopic_, 1, [this](const mqtt::Message& message) {
        std::lock_guard lock(mutex_);
        replies_[message.correlationData].push_back(
            nlohmann::json::parse(message.payload, nullptr, false));
        arrived_.notify_all();
    });
    client_.Start();
    client_.WaitConnected(5s);
}

std::optional<std::string> BrokerWatcher::WaitFor(
    const std::string& topic, const std::function<bool(const std::string&)>& accept,
    std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    std::optional<std::string> found;
    arrived_.wait_for(lock, timeout, [&] {
        for (auto it = messages_.rbegin(); it != messages_.rend(); ++it)
            if (it->first == topic && accept(it->second)) {
                found = it->second;
                return true;
            }
        return false;
    });
    return found;
}

std::vector<std::string> BrokerWatcher::Seen(const std::string& suffix) {
    std::lock_guard lock(mutex_);
    std::vector<std::string> seen;
    for (const auto& [topic, payload] : messages_)
        if (topic.ends_with(suffix)) seen.push_back(payload);
    return seen;
}

void BrokerWatcher::Forget() {
    std::lock_guard lock(mutex_);
    messages_.clear();
}

std::optional<nlohmann::json> BrokerWatcher::Ask(const std::string& topic,
                                                 const std::string& payload,
                                                 std::string correlation) {
    if (correlation.empty()) {
        std::lock_guard lock(mutex_);
        correlation = "request-" + std::to_string(++next_);
    }
    const size_t before = [&] {
        std::lock_guard lock(mutex_);
        return replies_[correlation].size();
    }();
    mqtt::Message request;
    request.topic = topic;
    request.payload = payload;
    request.qos = 1;
    request.responseTopic = replyTopic_;
    request.correlationData = correlation;
    if (!client_.Publish(request)) return std::nullopt;
    std::unique_lock lock(mutex_);
    if (!arrived_.wait_for(lock, 15s, [&] { return replies_[correlation].size() > before; }))
        return std::nullopt;
    return replies_[correlation].back();
}

}  // namespace kelcmd::testing
