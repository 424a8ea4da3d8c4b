// A remote port and a real kelcmd-bridge process on a broker that speaks TLS only, with
// certificates made for the test; and what an untrusted or missing certificate authority says.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bridge/bridge_harness.h"
#include "kelcmd/kelcmd.h"
#include "mosquitto_broker.h"

namespace kelcmd::testing {
namespace {

// A kelcmd-bridge run; `seconds` ends one that keeps running.
ProgramRun RunBridge(const std::string& arguments, int seconds) {
    return RunProgram("timeout -s TERM " + std::to_string(seconds) + " " + KELCMD_BRIDGE_PROGRAM +
                      " " + arguments);
}

std::string LastSystemErrorText() {
    char text[256] = {};
    KEB_GetLastSystemError(nullptr, text, sizeof text);
    return text;
}

class TlsBus : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("KELCMD_PORTS", "", 1);
        ASSERT_TRUE(broker.UseTls()) << "openssl could not make the certificates";
    }
    void TearDown() override {
        KEB_CloseKelBusPort(kHost);
        KEB_MapPort(kHost, "");
        unsetenv("KELCMD_MQTT_PASSWORD");
    }
    uint8_t OpenHost(const std::string& device) {
        KEB_MapPort(kHost, device.c_str());
        return KEB_InitKelBus(19200, kHost, KEB_RTS_CONTROL, 50, 4);
    }
    std::string Device(const std::string& user, const std::string& caFile) const {
        return "mqtts://" + user + "127.0.0.1:" + std::to_string(broker.Port()) +
               "/kelcmd/secure?ca=" + caFile;
    }

    static constexpr const char* kHost = "Com73";
    MosquittoBroker broker;
};

// The bridge takes its password from a file, the remote port from the environment.
TEST_F(TlsBus, ABridgeAndARemotePortExchangeThroughTheBroker) {
    ASSERT_TRUE(broker.RequirePassword("plant", "s3cret"));
    ASSERT_TRUE(broker.Start()) << broker.Log();
    const std::string passwordFile = broker.Directory() + "/bridge-password";
    std::ofstream(passwordFile) << "s3cret\n";
    BrokerWatcher watcher(broker.Host(), broker.Port(), "kelcmd/secure/status", "plant", "s3cret",
                          broker.CaFile());
    BridgeProcess bridge({"--broker", broker.Url(), "--ca-file", broker.CaFile(), "--username",
                          "plant", "--password-file", passwordFile, "--device", "sim:1-2", "--bus",
                          "secure", "--scan", "1-2", "--poll", "0"});
    ASSERT_TRUE(watcher.WaitFor("kelcmd/secure/status", [](const std::string& status) {
        return status == "online";
    })) << broker.Log();

    setenv("KELCMD_MQTT_PASSWORD", "s3cret", 1);
    ASSERT_EQ(OpenHost(Device("plant@", broker.CaFile())), 0) << LastSystemErrorText();
    ASSERT_EQ(MP_SetProfile(kHost, 2, 1, 1.375f, 2.75f), 1);
    uint8_t type = 0;
    float accel = 0, decel = 0, ceiling = 0;
    ASSERT_EQ(MP_ReadProfile(kHost, 2, &type, &accel, &decel, &ceiling), 1);
    EXPECT_EQ(accel, 1.375f);
    EXPECT_EQ(decel, 2.75f);
    int32_t position = -1;
    EXPECT_EQ(MP_ReadPosition(kHost, 1, &position), 1);
    EXPECT_EQ(position, 0);
}

TEST_F(TlsBus, AnUntrustedCertificateFailsTheOpenAndSaysSo) {
    ASSERT_TRUE(broker.Start()) << broker.Log();
    EXPECT_EQ(OpenHost(Device("", broker.UntrustedCaFile())), KEB_WIN_ERR_OPENCOMM);
    const std::string reason = LastSystemErrorText();
    EXPECT_NE(reason.find("certificate is not trusted"), std::string::npos) << reason;
    EXPECT_NE(reason.find("mqtts://127.0.0.1"), std::string::npos) << reason;

    // The bridge keeps running, but says why it is not connected.
    const ProgramRun bridge = RunBridge("--broker " + broker.Url() + " --ca-file " +
                                            broker.UntrustedCaFile() + " --poll 0 --scan 1",
                                        1);
    EXPECT_NE(bridge.output.find("refused the connection: the broker's certificate is not trusted"),
              std::string::npos)
        << bridge.output;
}

TEST_F(TlsBus, AMissingCaFileIsNamedByThePortAndTheBridge) {
    ASSERT_TRUE(broker.Start()) << broker.Log();
    const std::string missing = broker.Directory() + "/no-such-ca.pem";
    EXPECT_EQ(OpenHost(Device("", missing)), KEB_WIN_ERR_OPENCOMM);
    const std::string reason = LastSystemErrorText();
    EXPECT_NE(reason.find(missing + " cannot be read: No such file or directory"),
              std::string::npos)
        << reason;

    const ProgramRun bridge =
        RunBridge("--broker " + broker.Url() + " --ca-file " + missing + " --poll 0 --scan 1", 10);
    EXPECT_EQ(bridge.status, 1) << bridge.output;
    EXPECT_NE(bridge.output.find(missing + " cannot be read"), std::string::npos) << bridge.output;
}

}  // namespace
}  // namespace kelcmd::testing
