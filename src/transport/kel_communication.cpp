#include "transport/kel_communication.h"

#include <cstdio>

#include "transport/result_codes.h"

namespace kelcmd {

CKelCommunication::CKelCommunication(const CommandOwnersFactory& makeOwners) {
    char text[64];
    std::snprintf(text, sizeof text, "KelCommunication Version %.2f Rev %i",
                  static_cast<double>(versionNumber_), revision_);
    versionText_ = text;
    if (makeOwners) owners_ = makeOwners(*this);
}

CKelCommunication::~CKelCommunication() {
    RemoveAllPorts();
}

std::shared_ptr<CKelPort> CKelCommunication::FindPort(const std::string& name) const {
    std::lock_guard<std::mutex> guard(tableLock_);
    for (const auto& port : ports_) {
        if (PortNamesEqual(port->GetName(), name)) return port;
    }
    return nullptr;
}

std::vector<std::shared_ptr<CKelPort>> CKelCommunication::Snapshot() const {
    std::lock_guard<std::mutex> guard(tableLock_);
    return ports_;
}

std::vector<std::string> CKelCommunication::GetPortNames() const {
    std::lock_guard<std::mutex> guard(tableLock_);
    std::vector<std::string> names;
    for (const auto& port : ports_) names.push_back(port->GetName());
    return names;
}

std::vector<PortState> CKelCommunication::GetPortStates() const {
    std::lock_guard<std::mutex> guard(tableLock_);
    std::vector<PortState> states;
    for (const auto& port : ports_) {
        states.push_back({port->Settings(), port->IsLineOpen()});
    }
    return states;
}

int CKelCommunication::AddClosedPort(const CPortSettings& settings) {
    std::lock_guard<std::mutex> guard(tableLock_);
    for (const auto& port : ports_) {
        if (PortNamesEqual(port->GetName(), settings.GetName())) return 0;
    }
    auto port = std::make_shared<CKelPort>();
    port->SetSettings(settings);
    ports_.push_back(std::move(port));
    return 1;
}

std::shared_ptr<CKelPort> CKelCommunication::Detach(const std::string& name) {
    std::lock_guard<std::mutex> guard(tableLock_);
    for (auto it = ports_.begin(); it != ports_.end(); ++it) {
        if (PortNamesEqual((*it)->GetName(), name)) {
            std::shared_ptr<CKelPort> port = std::move(*it);
            ports_.erase(it);
            return port;
        }
    }
    return nullptr;
}

uint8_t CKelCommunication::InitPort(const CPortSettings& settings) {
    if (std::shared_ptr<CKelPort> known = FindPort(settings.GetName())) {
        return known->Reopen(settings);
    }
    auto port = std::make_shared<CKelPort>();
    port->SetSettings(settings);
    const uint8_t result = port->OpenLine();
    if (result != RESULT_OK) return result;
    std::lock_guard<std::mutex> guard(tableLock_);
    // Another thread may have opened the same name meanwhile: the table never holds it twice.
    for (const auto& other : ports_) {
        if (PortNamesEqual(other->GetName(), settings.GetName())) return WIN_ERR_OPENCOMM;
    }
    ports_.push_back(std::move(port));
    return RESULT_OK;
}

uint8_t CKelCommunication::OpenPort(const std::string& name) {
    CPortSettings settings;
    if (std::shared_ptr<CKelPort> known = FindPort(name)) {
        settings = known->Settings();
    } else {
        settings.SetName(name);
    }
    return InitPort(settings);
}

uint8_t CKelCommunication::ClosePort(const std::string& name) {
    std::shared_ptr<CKelPort> port = Detach(name);
    if (!port) return WIN_ERR_CLOSECOMM;
    return port->CloseLine();
}

int CKelCommunication::SetErrorCallback(const std::string& name, KelErrorCallback callback) {
    std::shared_ptr<CKelPort> port = FindPort(name);
    return port ? port->SetErrorCallback(callback) : 0;
}

void CKelCommunication::GetVersion(float& number, std::string& text) const {
    number = versionNumber_;
    text = versionText_;
}

int CKelCommunication::GetPortSettings(const std::string& name, CPortSettings* settings) {
    std::shared_ptr<CKelPort> port = FindPort(name);
    return port ? port->GetSettings(settings) : 0;
}

int CKelCommunication::SetPortSettings(const std::string& name, const CPortSettings& settings) {
    std::shared_ptr<CKelPort> port = FindPort(name);
    return port ? port->SetSettings(settings) : 0;
}

int CKelCommunication::RemovePort(const std::string& name) {
    std::shared_ptr<CKelPort> port = Detach(name);
    if (!port) return 0;
    port->CloseLine();
    return 1;
}

int CKelCommunication::RemoveAllPorts() {
    std::vector<std::shared_ptr<CKelPort>> ports;
    {
        std::lock_guard<std::mutex> guard(tableLock_);
        ports.swap(ports_);
    }
    for (auto& port : ports) port->CloseLine();
    return 1;
}

// Outside the table's lock: a reservation waits for the exchange running on its port.
void CKelCommunication::ReserveAllPorts() {
    for (auto& port : Snapshot()) port->Reserve();
}

void CKelCommunication::ReleaseAllPorts() {
    for (auto& port : Snapshot()) port->Release();
}

void CKelCommunication::RegisterObserver(CBusMonitor* observer) {
    std::lock_guard<std::mutex> guard(tableLock_);
    for (auto& port : ports_) port->RegisterObserver(observer);
}

void CKelCommunication::ResumeObserver(int allThreads, int everyObserver, CBusMonitor* observer) {
    std::lock_guard<std::mutex> guard(tableLock_);
    for (auto& port : ports_) port->ResumeObserver(allThreads, everyObserver, observer);
}

void CKelCommunication::SuspendObserver(int allThreads, int everyObserver, CBusMonitor* observer) {
    std::lock_guard<std::mutex> guard(tableLock_);
    for (auto& port : ports_) port->SuspendObserver(allThreads, everyObserver, observer);
}

int CKelCommunication::AttachCommand(CObject* command) {
    if (command == nullptr || owners_ == nullptr) return 0;
    return owners_->AttachCommand(*command);
}

void CKelCommunication::DeclareLinks(CParameterLinks* links) {
    if (links == nullptr || owners_ == nullptr) return;
    owners_->DeclareLinks(*links);
}

}  // namespace kelcmd
