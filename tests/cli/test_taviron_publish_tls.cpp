// taviron publish on a plant network: TLS against a broker whose certificate comes from the
// test's own CA (made with openssl in the test's folder), a log-in whose password comes from a
// file and shows nowhere (not in ps, not in the environment, not in a message), and a broker
// that cannot be trusted or refuses the log-in ending the program with a reason and exit 3,
// never a connection in plain text instead.
#include "mqtt_broker.h"
#include "taviron_fixture.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace {

const char *const kPassword = "Stanz3n-geheim-0815";

// The output of a shell command.
std::string Output(const std::string &command) {
    std::string out;
    if (std::FILE *pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

class PublishTlsTest : public TavironTest {
  protected:
    void SetUp() override {
        TavironTest::SetUp();
        const std::string dir = folder.dir().string();
        const std::string key = "-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
        std::ofstream(folder.dir() / "san.ext") << "subjectAltName=IP:127.0.0.1\n";
        const std::string make =
            "cd '" + dir + "' && openssl req -x509 " + key +
            " -keyout ca.key -out ca.crt -days 2 -subj /CN=PlantCA && openssl req -x509 " + key +
            " -keyout wrong.key -out wrong.crt -days 2 -subj /CN=OtherCA && openssl req " + key +
            " -keyout server.key -out server.csr -subj /CN=127.0.0.1 && openssl x509 -req -in "
            "server.csr -CA ca.crt -CAkey ca.key -CAcreateserial -out server.crt -days 2 "
            "-extfile san.ext && mosquitto_passwd -c -b passwords plant " +
            kPassword + " && printf '%s\\n' '" + kPassword +
            "' > password && printf 'nope\\n' > bad";
        ASSERT_EQ(std::system(("(" + make + ") >/dev/null 2>&1").c_str()), 0);
        tlsPort = FreePort();
        broker.Start(folder.dir(), "listener " + std::to_string(tlsPort) + " 127.0.0.1\n" +
                                       "cafile " + dir + "/ca.crt\ncertfile " + dir +
                                       "/server.crt\nkeyfile " + dir + "/server.key\n" +
                                       "allow_anonymous false\npassword_file " + dir +
                                       "/passwords\n");
        watcher.Start(broker.port(), "#");
    }
    void TearDown() override {
        publisher.Signal(SIGKILL);
        publisher.Wait(10);
        TavironTest::TearDown();
    }
    void StartPublisher(const std::vector<std::string> &args) {
        std::vector<std::string> all = Connect(Transport::Tcp);
        all.insert(all.end(), {"publish", "--mqtt", "127.0.0.1:" + std::to_string(tlsPort)});
        all.insert(all.end(), args.begin(), args.end());
        publisher.Start(folder.program(), all, folder.dir());
    }
    std::string In(const char *name) const { return (folder.dir() / name).string(); }

    int tlsPort = 0;
    MqttBroker broker;
    MqttWatcher watcher;
    TavironProcess publisher;
};

TEST_F(PublishTlsTest, RightCaConnectsAndThePasswordShowsNowhere) {
    StartPublisher(
        {"--cafile", In("ca.crt"), "--user", "plant", "--password-file", In("password")});
    ASSERT_TRUE(watcher.WaitFor(On("taviron/4711/state", "online"), 10));
    ASSERT_TRUE(watcher.WaitFor(On("taviron/4711/live", "cntPeriod"), 10));
    const std::string pid = std::to_string(publisher.pid());
    const std::string ps = Output("ps -ww -o args= -p " + pid);
    EXPECT_NE(ps.find("--password-file"), std::string::npos) << ps; // ps shows the process
    EXPECT_EQ(ps.find(kPassword), std::string::npos) << ps;
    EXPECT_EQ(Output("tr '\\0' '\\n' < /proc/" + pid + "/environ").find(kPassword),
              std::string::npos);
    publisher.Signal(SIGTERM);
    EXPECT_EQ(publisher.Wait(10), 0);
    EXPECT_EQ(publisher.err.find(kPassword), std::string::npos) << publisher.err;
    EXPECT_TRUE(watcher.WaitFor(On("taviron/4711/state", "offline"), 5));
}

// A broker the CA does not vouch for, a password the broker does not take, a broker that
// speaks TLS to a client that does not: each ends with exit 3 and its reason, and nothing of
// the sensor reaches the broker.
TEST_F(PublishTlsTest, WrongCaOrPasswordEndsWithTheReason) {
    const std::string broker = "127.0.0.1:" + std::to_string(tlsPort);
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"--cafile", In("wrong.crt"), "--user", "plant", "--password-file", In("password")},
         "taviron: TLS connection to MQTT broker " + broker +
             " refused: certificate verify "
             "failed\n"},
        {{"--cafile", In("ca.crt"), "--user", "plant", "--password-file", In("bad")},
         "taviron: MQTT broker " + broker +
             " refuses the log-in: Connection Refused: not "
             "authorised.\n"},
    };
    for (const auto &c : cases) {
        StartPublisher(c.args);
        EXPECT_EQ(publisher.Wait(20), 3);
        EXPECT_NE(publisher.err.find(c.message), std::string::npos) << publisher.err;
        EXPECT_EQ(publisher.err.find(kPassword), std::string::npos) << publisher.err;
    }
    EXPECT_EQ(watcher.Count(), 0u);
}

TEST_F(PublishTlsTest, FilesNamedAreCheckedBeforeTheSensorIsAsked) {
    ClearOrders();
    const struct {
        std::vector<std::string> args;
        int code;
        std::string message;
    } cases[] = {
        {{"--user", "plant", "--password-file", In("none")}, 2, "File not found: " + In("none")},
        {{"--cafile", folder.dir().string()}, 2, "This is a folder, not a file: "},
        {{"--password-file", In("password")}, 2, "--password-file goes only with --user"},
        {{"--cafile", In("ca.crt"), "--cert", In("ca.crt")}, 2, "--cert goes only with --key"},
    };
    for (const auto &c : cases) {
        std::vector<std::string> args = {"publish", "--mqtt", "127.0.0.1"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const TavironRun run = Run(Transport::Tcp, args);
        EXPECT_EQ(run.code, c.code) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    EXPECT_TRUE(Orders().empty());
}

// A broker that asks every client for a certificate from the plant's CA: the press's own
// certificate (--cert, --key) is taken, and the press is online under it; without one, or with
// one the plant's CA did not sign, the broker turns the press away, which ends with exit 3 and
// the reason.
TEST_F(PublishTlsTest, ABrokerThatAsksForAClientCertificateTakesThePresssOwn) {
    const std::string dir = folder.dir().string();
    const std::string key = "-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
    const std::string make =
        "cd '" + dir + "' && openssl req " + key +
        " -keyout press4.key -out press4.csr -subj /CN=press4 && openssl x509 -req -in "
        "press4.csr -CA ca.crt -CAkey ca.key -CAcreateserial -out press4.crt -days 2 && "
        "openssl req " +
        key +
        " -keyout other.key -out other.csr -subj /CN=press4 && openssl "
        "x509 -req -in other.csr -CA wrong.crt -CAkey wrong.key -CAcreateserial -out other.crt "
        "-days 2";
    ASSERT_EQ(std::system(("(" + make + ") >/dev/null 2>&1").c_str()), 0);
    broker.Stop();
    broker.Start(folder.dir(), "listener " + std::to_string(tlsPort) + " 127.0.0.1\ncafile " + dir +
                                   "/ca.crt\ncertfile " + dir + "/server.crt\nkeyfile " + dir +
                                   "/server.key\nrequire_certificate true\n" +
                                   "use_identity_as_username true\n");
    MqttWatcher plant;
    plant.Start(broker.port(), "#");

    StartPublisher(
        {"--cafile", In("ca.crt"), "--cert", In("press4.crt"), "--key", In("press4.key")});
    ASSERT_TRUE(plant.WaitFor(On("taviron/4711/state", "online"), 10)) << publisher.err;
    publisher.Signal(SIGTERM);
    EXPECT_EQ(publisher.Wait(10), 0) << publisher.err;
    // Its goodbye reaches the plant after the process has ended; counted from then on.
    ASSERT_TRUE(plant.WaitFor(On("taviron/4711/state", "offline"), 10));
    const std::size_t seen = plant.Count();

    const struct {
        std::vector<std::string> args;
        std::string reason;
    } cases[] = {
        {{"--cafile", In("ca.crt")}, "tlsv13 alert certificate required"},
        {{"--cafile", In("ca.crt"), "--cert", In("other.crt"), "--key", In("other.key")},
         "tlsv1 alert unknown ca"},
    };
    for (const auto &c : cases) {
        TavironProcess refused;
        std::vector<std::string> all = Connect(Transport::Tcp);
        all.insert(all.end(), {"publish", "--mqtt", "127.0.0.1:" + std::to_string(tlsPort)});
        all.insert(all.end(), c.args.begin(), c.args.end());
        refused.Start(folder.program(), all, folder.dir());
        EXPECT_EQ(refused.Wait(30), 3) << c.reason << refused.err;
        // The broker's alert is the reason; with TLS 1.3 a newer OpenSSL may see the broker's
        // hang-up after the alert first and say so instead (Debian 13).
        const std::string said =
            "taviron: TLS connection to MQTT broker 127.0.0.1:" + std::to_string(tlsPort) +
            " refused: ";
        EXPECT_TRUE(refused.err.find(said + c.reason + "\n") != std::string::npos ||
                    (refused.err.find(said) != std::string::npos &&
                     refused.err.find("Connection reset by peer\n") != std::string::npos))
            << refused.err;
        EXPECT_EQ(refused.err.find("Connected"), std::string::npos) << refused.err;
    }
    EXPECT_EQ(plant.Count(), seen);
}

} // namespace
