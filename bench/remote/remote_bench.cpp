// What a broker between host and bus costs: ReadPosition on a simulated unit through a local port,
// and the same through a remote port whose bridge (this process's exchange service, on its own
// broker connection) serves the unit through a local mosquitto. The difference per iteration is
// the latency a remote exchange adds; items per second are exchanges per second.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include "exchange_service.h"
#include "kelcmd/kelcmd.h"
#include "mosquitto_broker.h"
#include "mqtt_client.h"
#include "sim/sim_device.h"

namespace {

using namespace std::chrono_literals;

constexpr const char* kLocal = "Com91";
constexpr const char* kRemote = "Com92";

// The broker, the bridge's connection and service, and both ports, made once for every run.
struct Setup {
    Setup() {
        kelcmd::sim::RegisterSimulatedDevices();
        KEB_MapPort(kLocal, "sim:1,bus=bench-remote");
        if (KEB_InitKelBus(115200, kLocal, KEB_AUTO_CONTROL, 100, 4) != 0) return;
        if (!broker.Start()) return;
        kelcmd::mqtt::ClientOptions options;
        options.host = broker.Host();
        options.port = broker.Port();
        client = std::make_unique<kelcmd::mqtt::Client>(options);
        service =
            std::make_unique<kelcmd::bridge::ExchangeService>(*client, "kelcmd/bench", kLocal);
        if (!client->Start() || !client->WaitConnected(5s)) return;
        const std::string device = broker.Url() + "/kelcmd/bench";
        KEB_MapPort(kRemote, device.c_str());
        ready = KEB_InitKelBus(115200, kRemote, KEB_AUTO_CONTROL, 100, 4) == 0;
    }
    kelcmd::testing::MosquittoBroker broker;
    std::unique_ptr<kelcmd::mqtt::Client> client;
    std::unique_ptr<kelcmd::bridge::ExchangeService> service;
    bool ready = false;
};

Setup& TheSetup() {
    static Setup setup;  // its end stops the broker
    return setup;
}

void ReadPositions(benchmark::State& state, const char* port) {
    if (!TheSetup().ready) {
        state.SkipWithError("no broker, bridge or remote port (is mosquitto installed?)");
        return;
    }
    int32_t position = 0;
    for (auto _ : state) {
        if (MP_ReadPosition(port, 1, &position) != 1) {
            state.SkipWithError("ReadPosition failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}

void LocalPort(benchmark::State& state) {
    ReadPositions(state, kLocal);
}
void RemotePort(benchmark::State& state) {
    ReadPositions(state, kRemote);
}

BENCHMARK(LocalPort)->UseRealTime()->MinTime(2.0);
BENCHMARK(RemotePort)->UseRealTime()->MinTime(2.0);

}  // namespace
