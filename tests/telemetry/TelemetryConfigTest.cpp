#include "telemetry/TelemetryConfig.h"

#include "settings/ProfileFile.h"
#include "settings/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace morvik {
namespace {

using test::TempFolder;
using test::WriteBytes;

class TelemetryConfigFile : public ::testing::Test {
protected:
    TelemetryConfig Load(const std::string& ini, const char* variable = nullptr,
                         std::string_view title = "mill.mch") {
        WriteBytes(path_, ini);
        const CProfileFile settings(path_);
        return LoadTelemetryConfig(settings, folder_.Path().string(), title, variable);
    }

    TempFolder folder_;
    std::string path_ = folder_.File("morvik.ini");
};

TEST_F(TelemetryConfigFile, IsOffUnlessABrokerIsNamed) {
    for (const char* ini :
         {"", "[Main Window]\nXPos=3\n", "[Telemetry]\nPort=1884\n", "[Telemetry]\nHost=\n"}) {
        const TelemetryConfig config = Load(ini);
        EXPECT_FALSE(config.enabled) << ini;
        EXPECT_EQ(config.problem, "") << ini;
    }
    EXPECT_FALSE(Load("", "").enabled);
}

TEST_F(TelemetryConfigFile, DefaultsComeFromTheMachineTitle) {
    const TelemetryConfig config = Load("[Telemetry]\nHost=broker.shop\n");
    EXPECT_TRUE(config.enabled);
    EXPECT_EQ(config.host, "broker.shop");
    EXPECT_EQ(config.port, 1883);
    EXPECT_EQ(config.clientId, "mill.mch");
    EXPECT_EQ(config.topicPrefix, "morvik/mill.mch");
    EXPECT_EQ(config.StateTopic(), "morvik/mill.mch/state");
    EXPECT_EQ(config.EventTopic(), "morvik/mill.mch/event");
    EXPECT_EQ(config.StatusTopic(), "morvik/mill.mch/status");
    EXPECT_EQ(config.userName, "");
    EXPECT_EQ(config.password, "");
    EXPECT_EQ(config.caFile, "");
}

TEST_F(TelemetryConfigFile, ReadsEveryKeyWithoutRegardToCaseOrBlanks) {
    WriteBytes(folder_.File("mqtt.pw"), "s3cret pass\r\nsecond line\n");
    const TelemetryConfig config = Load("[telemetry]\r\n host = 10.0.0.5 \r\nPORT=8884\r\n"
                                        "ClientId=mill-3\r\nTopicPrefix=shop/hall2/mill-3/\r\n"
                                        "UserName=station\r\nPasswordFile=mqtt.pw\r\n"
                                        "CAFile=/etc/ssl/shop-ca.pem\r\n");
    EXPECT_EQ(config.problem, "");
    EXPECT_EQ(config.host, "10.0.0.5");
    EXPECT_EQ(config.port, 8884);
    EXPECT_EQ(config.clientId, "mill-3");
    EXPECT_EQ(config.topicPrefix, "shop/hall2/mill-3");
    EXPECT_EQ(config.userName, "station");
    EXPECT_EQ(config.password, "s3cret pass");
    EXPECT_EQ(config.caFile, "/etc/ssl/shop-ca.pem");
}

TEST_F(TelemetryConfigFile, TlsDefaultsToItsOwnPort) {
    EXPECT_EQ(Load("[Telemetry]\nHost=b\nCAFile=ca.pem\n").port, 8883);
    EXPECT_EQ(Load("[Telemetry]\nHost=b\nCAFile=ca.pem\n").caFile, folder_.File("ca.pem"));
    EXPECT_EQ(Load("[Telemetry]\nHost=b\nCAFile=ca.pem\nPort=1883\n").port, 1883);
}

TEST_F(TelemetryConfigFile, TheEnvironmentNamesOrOverridesTheBroker) {
    const struct {
        const char* ini;
        const char* variable;
        std::string host;
        int port;
    } cases[] = {
        {"", "localhost:1884", "localhost", 1884},
        {"", "broker.shop", "broker.shop", 1883},
        {"", "[::1]:1885", "::1", 1885},
        {"", "[::1]", "::1", 1883},
        {"", "fe80::1", "fe80::1", 1883},
        {"[Telemetry]\nHost=file.host\nPort=2000\n", "env.host:3000", "env.host", 3000},
        {"[Telemetry]\nHost=file.host\nPort=2000\n", "env.host", "env.host", 2000},
    };
    for (const auto& c : cases) {
        const TelemetryConfig config = Load(c.ini, c.variable);
        EXPECT_TRUE(config.enabled) << c.variable;
        EXPECT_EQ(config.host, c.host) << c.variable;
        EXPECT_EQ(config.port, c.port) << c.variable;
        EXPECT_EQ(config.problem, "") << c.variable;
    }
}

TEST_F(TelemetryConfigFile, NamesWhatKeepsItFromStarting) {
    const struct {
        const char* ini;
        const char* variable;
        const char* problem;
    } cases[] = {
        {"[Telemetry]\nHost=b\nPort=18x3\n", nullptr,
         "bad broker port \"18x3\" in the settings file"},
        {"[Telemetry]\nHost=b\nPort=0\n", nullptr, "bad broker port \"0\" in the settings file"},
        {"[Telemetry]\nHost=b\nPort=65536\n", nullptr,
         "bad broker port \"65536\" in the settings file"},
        {"", "host:", nullptr}, // an empty port is the default port
        {"", "host:99999", "bad broker port \"99999\" in MORVIK_MQTT_BROKER"},
        {"[Telemetry]\nHost=b\nTopicPrefix=shop/+/x\n", nullptr,
         "the topic prefix \"shop/+/x\" is not a topic to publish"},
        {"[Telemetry]\nHost=b\nTopicPrefix=shop/#\n", nullptr,
         "the topic prefix \"shop/#\" is not a topic to publish"},
        {"[Telemetry]\nHost=b\nTopicPrefix=shop/Fr\xE4ser\n", nullptr,
         "the topic prefix \"shop/Fr\xE4ser\" is not a topic to publish"},
    };
    for (const auto& c : cases) {
        const TelemetryConfig config = Load(c.ini, c.variable);
        EXPECT_EQ(config.problem, c.problem ? c.problem : "") << c.ini << c.variable;
    }
    const TelemetryConfig noPassword = Load("[Telemetry]\nHost=b\nPasswordFile=missing.pw\n");
    EXPECT_EQ(noPassword.problem, "cannot read the password file " + folder_.File("missing.pw"));
}

TEST(TelemetryName, IsOneTopicLevelOfValidUtf8) {
    const struct {
        std::string title;
        std::string name;
    } cases[] = {
        {"Machine1", "Machine1"},
        {"mill.mch", "mill.mch"},
        {"/home/op/cnc.old/mill.mch", "mill.mch"},
        {"C:\\cnc.old\\mill.mch", "mill.mch"},
        {"mill #3+4", "mill _3_4"},
        {"a\tb\x7f", "a_b_"},
        {"Fr\xC3\xA4se", "Fr\xC3\xA4se"},
        {"Fr\xE4se", "Fr_se"},
        {"", "Machine"},
        {"/home/op/", "Machine"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TelemetryName(c.title), c.name) << c.title;
    }
}

TEST(TelemetryConfig, LoadsFromTheSettingsFileAndTheEnvironment) {
    TempFolder folder;
    const std::string path = folder.File("morvik.ini");
    WriteBytes(path, "[Telemetry]\nPort=1999\n");
    ::unsetenv(kTelemetryBrokerVariable);
    EXPECT_FALSE(LoadTelemetryConfig(path, "Machine1").enabled);
    ::setenv(kTelemetryBrokerVariable, "127.0.0.1", 1);
    const TelemetryConfig config = LoadTelemetryConfig(path, "Machine1");
    ::unsetenv(kTelemetryBrokerVariable);
    EXPECT_TRUE(config.enabled);
    EXPECT_EQ(config.host, "127.0.0.1");
    EXPECT_EQ(config.port, 1999);
    EXPECT_EQ(config.topicPrefix, "morvik/Machine1");
}

} // namespace
} // namespace morvik
