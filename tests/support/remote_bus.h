#pragma once

#include <memory>
#include <string>

#include "api/communication.h"
#include "kelcmd/kelcmd.h"
#include "support/loopback_broker.h"
#include "transport/exchange_responder.h"
#include "transport/kel_communication.h"

namespace kelcmd::testing {

// A host port that reaches another port of this process (the bridge's, usually a SimPort) as a
// remote bus, through an in-process broker: the host's exchanges go through the remote line and
// the bridge's responder exactly as between two processes, only without the network.
class RemoteBus {
  public:
    RemoteBus(const std::string& hostPort, const std::string& bridgePort,
              const std::string& options = "", uint32_t timeout = 50)
        : host_(hostPort), bridgePort_(bridgePort) {
        InstallPipeOpener(std::make_shared<PipeOpener>(broker_.Opener()));
        const std::string bus = "bus-" + bridgePort;
        broker_.Serve("kelcmd/" + bus + "/exchange", [this](const PipeMessage& message) {
            std::shared_ptr<CKelPort> port = Communication().FindPort(bridgePort_);
            if (port == nullptr) return;
            auto reply = responder_.Answer(*port, message.payload, message.correlation);
            if (reply) {
                broker_.Publish({message.responseTopic, *reply, message.correlation, ""});
            }
        });
        broker_.PublishRetained("kelcmd/" + bus + "/status", "online");
        KEB_MapPort(host_.c_str(), ("mqtt://loop/kelcmd/" + bus + options).c_str());
        openResult = KEB_InitKelBus(19200, host_.c_str(), KEB_RTS_CONTROL, timeout, 4);
    }
    ~RemoteBus() {
        KEB_CloseKelBusPort(host_.c_str());
        KEB_MapPort(host_.c_str(), "");
        InstallPipeOpener(nullptr);
    }
    RemoteBus(const RemoteBus&) = delete;
    RemoteBus& operator=(const RemoteBus&) = delete;

    LoopbackBroker& Broker() { return broker_; }
    ExchangeResponder& Responder() { return responder_; }
    std::string StatusTopic() const { return "kelcmd/bus-" + bridgePort_ + "/status"; }

    uint8_t openResult = 255;

  private:
    std::string host_;
    std::string bridgePort_;
    ExchangeResponder responder_;
    LoopbackBroker broker_;  // last: its delivery thread stops before the rest goes
};

}  // namespace kelcmd::testing
