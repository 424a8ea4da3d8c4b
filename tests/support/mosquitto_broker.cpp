#include "mosquitto_broker.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace kelcmd::testing {

namespace {

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// The kernel hands out a port nobody uses; the broker takes it a moment later.
int FreeLoopbackPort() {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(fd);
    return port;
}

bool Accepts(int port) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(port);
    bool accepted = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return accepted;
}

std::string BrokerProgram() {
    if (const char* chosen = std::getenv("KELCMD_MOSQUITTO"); chosen && *chosen) return chosen;
    if (access("/usr/sbin/mosquitto", X_OK) == 0) return "/usr/sbin/mosquitto";
    return "mosquitto";
}

}  // namespace

MosquittoBroker::MosquittoBroker() : port_(FreeLoopbackPort()) {
    char pattern[] = "/tmp/kelcmd-broker-XXXXXX";
    if (mkdtemp(pattern)) directory_ = pattern;
    std::ofstream config(directory_ + "/mosquitto.conf");
    // Started as root, mosquitto would switch to its own user and could not write here.
    config << "listener " << port_ << " 127.0.0.1\n"
           << "allow_anonymous true\n"
           << "set_tcp_nodelay true\n"
           << "persistence false\n"
           << (geteuid() == 0 ? "user root\n" : "") << "log_dest file " << directory_
           << "/mosquitto.log\n"
           << "log_type all\n";
}

MosquittoBroker::~MosquittoBroker() {
    Stop();
    if (!directory_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }
}

bool MosquittoBroker::RequirePassword(const std::string& user, const std::string& password) {
    const std::string file = directory_ + "/passwords";
    const std::string command =
        "mosquitto_passwd -c -b '" + file + "' '" + user + "' '" + password + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return false;
    std::ofstream config(directory_ + "/mosquitto.conf", std::ios::app);
    config << "allow_anonymous false\npassword_file " << file << "\n";
    return true;
}

bool MosquittoBroker::UseTls() {
    // Elliptic-curve keys: made in milliseconds. Valid for two days, longer than any test.
    const std::string key = " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2";
    const std::string command =
        "cd '" + directory_ + "' && { printf 'subjectAltName=DNS:localhost,IP:127.0.0.1\\n' >san" +
        " && openssl req -x509" + key + " -keyout ca.key -out ca.pem -subj '/CN=test CA'" +
        " && openssl req -x509" + key + " -keyout other-ca.key -out other-ca.pem" +
        " -subj '/CN=unrelated CA'" +
        " && openssl req -new -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes" +
        " -keyout server.key -out server.csr -subj '/CN=localhost'" +
        " && openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial" +
        " -days 2 -extfile san -out server.pem; } >openssl.log 2>&1";
    if (std::system(command.c_str()) != 0) return false;
    std::ofstream config(directory_ + "/mosquitto.conf", std::ios::app);
    config << "certfile " << directory_ << "/server.pem\nkeyfile " << directory_ << "/server.key\n";
    tls_ = true;
    return true;
}

bool MosquittoBroker::Start() {
    if (Running()) return true;
    if (directory_.empty() || port_ == 0) return false;
    std::string program = BrokerProgram();
    std::string config = directory_ + "/mosquitto.conf";
    pid_ = fork();
    if (pid_ == 0) {
        // Its words before the log opens (the warning about running as root) go to a file too.
        std::string console = directory_ + "/console.log";
        int fd = open(console.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (fd >= 0) {
            dup2(fd, STDOUT_FILENO);
            dup2(fd, STDERR_FILENO);
        }
        execlp(program.c_str(), program.c_str(), "-c", config.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (pid_ < 0) return false;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        if (Accepts(port_)) return true;
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {  // it gave up (port taken, bad config)
            pid_ = -1;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    Stop();
    return false;
}

std::jthread MosquittoBroker::RestartAt(const std::atomic<int>& count, int at,
                                        std::chrono::milliseconds away) {
    return std::jthread([this, &count, at, away](std::stop_token stop) {
        while (count < at) {
            if (stop.stop_requested()) return;  // the run ended early
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        Stop();
        std::this_thread::sleep_for(away);
        Start();
    });
}

void MosquittoBroker::Stop() {
    if (!Running()) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
}

std::string MosquittoBroker::Log() const {
    std::ifstream log(directory_ + "/mosquitto.log");
    std::ostringstream text;
    text << log.rdbuf();
    return text.str();
}

}  // namespace kelcmd::testing
