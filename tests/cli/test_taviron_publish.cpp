// taviron publish as a plant runs it: a real mosquitto broker on a free loopback port, a
// subscriber in the test, the simulated sensor over TCP or a pseudo-terminal. What the broker
// keeps (state, parameters), in which order things go out, the last will, the pace of the live
// messages, a stop, a broker restart, and a sensor that goes away or is swapped.
#include "mqtt_broker.h"
#include "taviron_fixture.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <map>
#include <thread>

namespace {

using namespace std::chrono_literals;

// A JSON number member of a payload ("cntPeriod"), or -1.
long Member(const std::string &payload, const std::string &name) {
    const std::size_t at = payload.find("\"" + name + "\":");
    return at == std::string::npos ? -1 : std::stol(payload.substr(at + name.size() + 3));
}

// Strict CSV as a spreadsheet reads it: fields split at `separator`, a field in double quotes
// with its quotes doubled, every row ending with a line end. False for anything else.
bool ReadCsv(const std::string &text, char separator, std::vector<std::vector<std::string>> *rows) {
    rows->clear();
    std::vector<std::string> row(1);
    bool quoted = false, fieldStart = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c != '"')
                row.back() += c;
            else if (i + 1 < text.size() && text[i + 1] == '"')
                row.back() += text[++i];
            else
                quoted = false;
            continue;
        }
        if (c == '"' && fieldStart) {
            quoted = true;
        } else if (c == separator) {
            row.emplace_back();
        } else if (c == '\n') {
            rows->push_back(row);
            row.assign(1, "");
        } else if (c == '"') {
            return false;
        } else {
            row.back() += c;
        }
        fieldStart = c == separator || c == '\n';
    }
    return !quoted && (text.empty() || text.back() == '\n');
}

// An ISO 8601 time stamp of a row ("2026-12-11T08:00:00.123+01:00") as milliseconds since 1970.
std::int64_t StampMillis(const std::string &stamp) {
    std::tm t{};
    int millis = 0, offsetHours = 0, offsetMinutes = 0;
    char sign = '+';
    if (std::sscanf(stamp.c_str(), "%d-%d-%dT%d:%d:%d.%d%c%d:%d", &t.tm_year, &t.tm_mon, &t.tm_mday,
                    &t.tm_hour, &t.tm_min, &t.tm_sec, &millis, &sign, &offsetHours,
                    &offsetMinutes) != 10)
        return -1;
    t.tm_year -= 1900;
    t.tm_mon -= 1;
    const std::int64_t offset = (offsetHours * 60 + offsetMinutes) * 60 * (sign == '-' ? -1 : 1);
    return (std::int64_t(timegm(&t)) - offset) * 1000 + millis;
}

// A JSON text member of a payload ("time"), or "".
std::string TextMember(const std::string &payload, const std::string &name) {
    const std::size_t at = payload.find("\"" + name + "\":\"");
    if (at == std::string::npos) return "";
    const std::size_t start = at + name.size() + 4;
    return payload.substr(start, payload.find('"', start) - start);
}

class PublishTest : public TavironTest {
  protected:
    void SetUp() override {
        TavironTest::SetUp();
        broker.Start(folder.dir());
        watcher.Start(broker.port(), "#");
    }
    void TearDown() override {
        publisher.Signal(SIGKILL);
        publisher.Wait(10);
        TavironTest::TearDown();
    }

    void StartPublisher(Transport transport, const std::vector<std::string> &args) {
        std::vector<std::string> all = Connect(transport);
        all.insert(all.end(), {"publish", "--mqtt", "127.0.0.1:" + std::to_string(broker.port())});
        all.insert(all.end(), args.begin(), args.end());
        publisher.Start(folder.program(), all, folder.dir());
    }
    // A sensor of its own on TCP port `port` in place of the one before (stopped first).
    void ReplaceSensor(int port, uint32_t serialNumber) {
        sim->stop();
        sim.reset();
        tavsim::SimConfig config;
        config.tcpPort = port;
        config.sensor.steppedClock = true;
        config.sensor.serialNumber = uint16_t(serialNumber);
        sim = std::make_unique<tavsim::SimSensor>(config);
        std::string error;
        ASSERT_TRUE(sim->start(&error)) << error;
    }

    MqttBroker broker;
    MqttWatcher watcher;
    TavironProcess publisher;
};

class PublishOverEach : public PublishTest, public ::testing::WithParamInterface<Transport> {};

// On start: state, parameters, then live values, in that order; a subscriber that comes later
// finds state and parameters kept by the broker. TERM ends with "offline" kept, exit 0, and
// RAM as it was.
TEST_P(PublishOverEach, StateAndParametersKeptLiveAfterThemOfflineAtTheEnd) {
    sim->setRamParams({60, 30, 1, 0});
    sim->setEepromParams({70, 40, 0, 1});
    StartPublisher(GetParam(), {});
    ASSERT_TRUE(watcher.WaitFor(On("taviron/4711/live", "cntPeriod"), 10)) << publisher.err;
    std::vector<MqttMessage> seen = watcher.Messages();
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen[0].topic, "taviron/4711/state");
    EXPECT_NE(seen[0].payload.find("{\"state\":\"online\",\"firmware\":\"TAVIRON V1.0.3 "
                                   "2026-11-28\",\"name\":\"TAVIRON PS-1\",\"serial\":4711,"
                                   "\"since\":\"20"),
              std::string::npos)
        << seen[0].payload;
    EXPECT_EQ(seen[1].topic, "taviron/4711/params");
    const std::string sets = "\"ram\":{\"strokeTolerance\":60,\"badCntToFail\":30,"
                             "\"digitalOutmode\":1,\"cntStrokeEdge\":0},\"eeprom\":{"
                             "\"strokeTolerance\":70,\"badCntToFail\":40,\"digitalOutmode\":0,"
                             "\"cntStrokeEdge\":1}}";
    EXPECT_NE(seen[1].payload.find(sets), std::string::npos) << seen[1].payload;
    for (std::size_t i = 2; i < seen.size(); ++i)
        EXPECT_EQ(seen[i].topic, "taviron/4711/live") << i;

    MqttWatcher late;
    late.Start(broker.port(), "taviron/#");
    MqttMessage state, params;
    ASSERT_TRUE(late.WaitFor(On("taviron/4711/state", "online"), 5, &state));
    EXPECT_TRUE(state.retained);
    ASSERT_TRUE(late.WaitFor(On("taviron/4711/params", sets), 5, &params));
    EXPECT_TRUE(params.retained);

    publisher.Signal(SIGTERM);
    EXPECT_EQ(publisher.Wait(10), 0) << publisher.err;
    EXPECT_TRUE(watcher.WaitFor(On("taviron/4711/state", "\"state\":\"offline\""), 5, &state));
    EXPECT_NE(state.payload.find("\"since\":\"20"), std::string::npos) << state.payload;
    MqttWatcher after;
    after.Start(broker.port(), "taviron/#");
    EXPECT_TRUE(after.WaitFor(On("taviron/4711/state", "\"state\":\"offline\""), 5));
    EXPECT_EQ(sim->ramParams(), (tavsim::ParamSet{60, 30, 1, 0}));
}

INSTANTIATE_TEST_SUITE_P(Taviron, PublishOverEach,
                         ::testing::Values(Transport::Tcp, Transport::Serial), TransportName);

// A publisher that dies without a word: the broker says "offline" for it (its last will, whose
// time nobody knew), under the id and prefix given.
TEST_F(PublishTest, LastWillSaysOfflineWhenKilled) {
    StartPublisher(Transport::Tcp, {"--id", "line1/press4", "--prefix", "plant/taviron"});
    ASSERT_TRUE(watcher.WaitFor(On("plant/taviron/line1/press4/live", "cntPeriod"), 10))
        << publisher.err;
    publisher.Signal(SIGKILL);
    publisher.Wait(10);
    MqttMessage will;
    ASSERT_TRUE(watcher.WaitFor(On("plant/taviron/line1/press4/state", "offline"), 5, &will));
    EXPECT_NE(will.payload.find("\"serial\":4711,\"since\":null"), std::string::npos)
        << will.payload;
}

// Live values at most --rate a second while the press runs; once it stops, the last values
// polled are the last ones published, and nothing more goes out without a change.
TEST_F(PublishTest, LiveWithinTheRateAndTheLastChangeNotLost) {
    constexpr double kRate = 5;
    StartPublisher(Transport::Tcp, {"--rate", "5", "--poll", "50"});
    MqttMessage first;
    ASSERT_TRUE(watcher.WaitFor(On("taviron/4711/live", "cntPeriod"), 10, &first)) << publisher.err;
    std::this_thread::sleep_for(3s);
    std::vector<MqttMessage> live;
    for (const MqttMessage &m : watcher.Messages())
        if (m.topic == "taviron/4711/live" && m.at - first.at <= 3s) live.push_back(m);
    // Every poll of the stepped sensor is a change: the rate is what limits them. Arrival
    // times may bunch two messages on a loaded machine, so the count is checked, not each gap.
    EXPECT_LE(double(live.size()), kRate * 3 + 2);
    EXPECT_GE(double(live.size()), kRate * 3 / 2);
    for (std::size_t i = 1; i < live.size(); ++i)
        EXPECT_NE(live[i].payload, live[i - 1].payload);

    sim->setPressRunning(false);
    std::this_thread::sleep_for(1s);
    const tavsim::LiveValues now = sim->liveValues();
    // The last change goes out at the end of its rate window; on a loaded machine it may take
    // a while to arrive, but it must arrive.
    std::string last;
    auto lastIsNow = [&] {
        const std::vector<MqttMessage> all = watcher.Messages();
        last = all.empty() ? "" : all.back().payload;
        return !all.empty() && Member(last, "cntPeriod") == long(now.period) &&
               Member(last, "cntStroke") == long(now.stroke);
    };
    for (int i = 0; i < 100 && !lastIsNow(); ++i)
        std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(lastIsNow()) << "last message " << last << ", sensor now " << now.period << " / "
                             << now.stroke;
    const std::size_t count = watcher.Count();
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(watcher.Count(), count);
}

// The broker restarted (forgetting what it kept): state and parameters go out again.
TEST_F(PublishTest, BrokerRestartedStateAndParametersRepublished) {
    StartPublisher(Transport::Tcp, {});
    ASSERT_TRUE(watcher.WaitFor(On("taviron/4711/live", "cntPeriod"), 10)) << publisher.err;
    broker.Stop(SIGKILL);
    std::this_thread::sleep_for(500ms);
    broker.Start(folder.dir());
    MqttWatcher again;
    again.Start(broker.port(), "taviron/#");
    MqttMessage state;
    ASSERT_TRUE(again.WaitFor(On("taviron/4711/state", "online"), 10, &state)) << publisher.err;
    EXPECT_TRUE(again.WaitFor(On("taviron/4711/params", "\"ram\""), 5));
    EXPECT_TRUE(again.WaitFor(On("taviron/4711/live", "cntPeriod"), 5));
}

// The sensor goes away: "sensor-lost"; another sensor answers on its port: "wrong-sensor",
// saying which, and no live values; the first one is back: "online" and live values again.
TEST_F(PublishTest, SensorLostThenWrongSensorThenBack) {
    StartPublisher(Transport::Tcp, {});
    ASSERT_TRUE(watcher.WaitFor(On("taviron/4711/live", "cntPeriod"), 10)) << publisher.err;
    std::size_t mark = watcher.Count();
    const int port = sim->tcpPort();
    sim->stop();
    ASSERT_TRUE(watcher.WaitFor(On("taviron/4711/state", "sensor-lost"), 10, nullptr, mark))
        << publisher.err;

    ReplaceSensor(port, 815);
    mark = watcher.Count();
    MqttMessage wrong;
    ASSERT_TRUE(watcher.WaitFor(On("taviron/4711/state", "wrong-sensor"), 10, &wrong, mark))
        << publisher.err;
    EXPECT_NE(wrong.payload.find("\"serial\":4711"), std::string::npos) << wrong.payload;
    EXPECT_NE(wrong.payload.find("\"found\":{\"firmware\":\"TAVIRON V1.0.3 2026-11-28\","
                                 "\"name\":\"TAVIRON PS-1\",\"serial\":815}"),
              std::string::npos)
        << wrong.payload;
    std::this_thread::sleep_for(1500ms);

    ReplaceSensor(port, 4711);
    const std::size_t beforeBack = watcher.Count();
    for (std::size_t i = mark; i < beforeBack; ++i)
        EXPECT_NE(watcher.Messages()[i].topic, "taviron/4711/live");
    ASSERT_TRUE(watcher.WaitFor(On("taviron/4711/state", "online"), 40, nullptr, beforeBack))
        << publisher.err;
    EXPECT_TRUE(watcher.WaitFor(On("taviron/4711/live", "cntPeriod"), 5, nullptr, beforeBack))
        << publisher.err;
}

// The shift log after a run at a fast press (a change at every poll) ended by kill -9: every
// file reads back as CSV under the header of live --changes, rows in time order, none twice,
// and every change published more than a few seconds before the kill is in the log with its
// values. TAVIRON_LOG_SOAK_SECONDS makes it the long run (600 for ten minutes), run by hand.
TEST_F(PublishTest, ShiftLogReadsBackWholeAfterKill) {
    const TavironRun live = Run(Transport::Tcp, {"live", "--changes", "--count", "1"});
    ASSERT_EQ(live.code, 0) << live.err;
    const std::vector<std::string> header = {Lines(live.out).at(0)};
    const char *soak = std::getenv("TAVIRON_LOG_SOAK_SECONDS");
    const double seconds = soak ? std::atof(soak) : 5;
    const fs::path logs = folder.dir() / "logs";
    // The long run polls at the default rate: a change every hundredth of a second.
    StartPublisher(Transport::Tcp, {"--log", logs.string(), "--poll", soak ? "100" : "20"});
    MqttMessage first, last;
    ASSERT_TRUE(watcher.WaitFor(On("taviron/4711/live", "cntPeriod"), 10, &first)) << publisher.err;
    ASSERT_TRUE(watcher.WaitFor(
        [&](const MqttMessage &m) {
            return m.topic == "taviron/4711/live" &&
                   m.at - first.at >= std::chrono::duration<double>(seconds);
        },
        seconds + 60, &last))
        << publisher.err;
    const auto killedAt = std::chrono::steady_clock::now();
    publisher.Signal(SIGKILL);
    publisher.Wait(10);

    // Every file whole; rows of all days in time order (two polls may share a millisecond),
    // none twice.
    std::multimap<std::string, std::vector<std::string>> rows; // by time stamp
    std::int64_t before = -1;
    std::vector<fs::path> files;
    for (const auto &entry : fs::directory_iterator(logs / "4711"))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty());
    for (const fs::path &file : files) {
        SCOPED_TRACE(file.string());
        EXPECT_EQ(file.extension(), ".csv");
        std::vector<std::vector<std::string>> csv;
        ASSERT_TRUE(ReadCsv(ReadFile(file), ',', &csv));
        ASSERT_FALSE(csv.empty());
        EXPECT_EQ(csv[0].size(), 12u);
        std::string headerRow = csv[0][0];
        for (std::size_t i = 1; i < csv[0].size(); ++i)
            headerRow += "," + csv[0][i];
        EXPECT_EQ(std::vector<std::string>{headerRow}, header);
        for (std::size_t i = 1; i < csv.size(); ++i) {
            ASSERT_EQ(csv[i].size(), 12u) << i;
            const std::int64_t at = StampMillis(csv[i][0]);
            EXPECT_GE(at, before) << csv[i][0];
            EXPECT_EQ(file.stem().string(), csv[i][0].substr(0, 10));
            before = at;
            const auto same = rows.equal_range(csv[i][0]);
            for (auto r = same.first; r != same.second; ++r)
                EXPECT_NE(r->second, csv[i]) << csv[i][0] << " twice";
            rows.emplace(csv[i][0], csv[i]);
        }
    }

    // What reached the broker reached the log; the newest missing change says how much the
    // kill took away.
    std::size_t published = 0;
    double missingSince = 0;
    for (const MqttMessage &m : watcher.Messages()) {
        if (m.topic != "taviron/4711/live") continue;
        ++published;
        const double age = std::chrono::duration<double>(killedAt - m.at).count();
        const auto same = rows.equal_range(TextMember(m.payload, "time"));
        const auto row = std::find_if(same.first, same.second, [&](const auto &r) {
            return r.second[1] == std::to_string(Member(m.payload, "cntPeriod")) &&
                   r.second[3] == std::to_string(Member(m.payload, "cntStroke"));
        });
        if (row == same.second) missingSince = std::max(missingSince, age);
    }
    std::printf("%zu rows, %zu live messages; those of the last %.3f s before the kill "
                "missing\n",
                rows.size(), published, missingSince);
    EXPECT_GE(rows.size(), published);
    // Rows are written within a second; the margin is for a loaded machine, and still far
    // below the run's length.
    EXPECT_LT(missingSince, 2.5);
}

// The service's way: everything from a settings file (the sensor, the broker, the id, the log
// folder); a bad value there is said with the file, line and key, before any sensor is asked.
TEST_F(PublishTest, ASettingsFileAloneRunsAPress) {
    const fs::path logs = folder.dir() / "logs";
    const fs::path conf = WriteFile(
        "press4.conf", "[SENSOR]\nTCP = \"127.0.0.1:" + std::to_string(sim->tcpPort()) +
                           "\"\n[BROKER]\nMQTT = \"127.0.0.1:" + std::to_string(broker.port()) +
                           "\"\n[PUBLISH]\nID = line2-press4\nLOG = " + logs.string() + "\n");
    publisher.Start(folder.program(), {"publish", "--config", conf.string()}, folder.dir());
    ASSERT_TRUE(watcher.WaitFor(On("taviron/line2-press4/state", "online"), 10)) << publisher.err;
    ASSERT_TRUE(watcher.WaitFor(On("taviron/line2-press4/live", "cntPeriod"), 10));
    publisher.Signal(SIGTERM);
    EXPECT_EQ(publisher.Wait(10), 0) << publisher.err;
    std::vector<std::string> files;
    for (const auto &entry : fs::directory_iterator(logs / "line2-press4"))
        files.push_back(ReadFile(entry.path()));
    ASSERT_EQ(files.size(), 1u);
    EXPECT_GE(Lines(files[0]).size(), 2u) << files[0];

    ClearOrders();
    WriteFile("press4.conf", "[SENSOR]\nTCP = \"127.0.0.1:1\"\n[BROKER]\nMQTT = b\n"
                             "[PUBLISH]\nRATE = fast\n");
    const TavironRun run = RunAlone({"publish", "--config", conf.string()});
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.err, "taviron: " + conf.string() +
                           ":6: [PUBLISH] RATE: Invalid rate for --rate: fast (per second, above "
                           "0, up to 1000) (taviron --help explains it)\n");
    EXPECT_TRUE(Orders().empty());
}

// A serial sensor whose cable is pulled answers nothing any more: after the link's time-out the
// state is "sensor-lost"; plugged in again it is found at the next try, identified, "online",
// and its live values flow again.
TEST_F(PublishTest, SerialSensorUnpluggedThenBack) {
    StartPublisher(Transport::Serial, {});
    ASSERT_TRUE(watcher.WaitFor(On("taviron/4711/live", "cntPeriod"), 10)) << publisher.err;
    std::size_t mark = watcher.Count();
    sim->setFault({tavsim::FaultKind::NoReply, 0});
    ASSERT_TRUE(watcher.WaitFor(On("taviron/4711/state", "sensor-lost"), 30, nullptr, mark))
        << publisher.err;
    mark = watcher.Count();
    sim->clearFault();
    ASSERT_TRUE(watcher.WaitFor(On("taviron/4711/state", "\"online\""), 60, nullptr, mark))
        << publisher.err;
    EXPECT_TRUE(watcher.WaitFor(On("taviron/4711/live", "cntPeriod"), 10, nullptr, mark))
        << publisher.err;
    EXPECT_NE(publisher.err.find("Sensor lost (trying again): "), std::string::npos)
        << publisher.err;
    EXPECT_NE(publisher.err.find("Sensor back"), std::string::npos) << publisher.err;
}

} // namespace
