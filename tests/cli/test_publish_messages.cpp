// The messages of taviron publish without a broker: state and parameter JSON, and the pacing of
// live messages (at most the rate, a change inside the window sent at its end with the latest
// values, nothing sent without a change).
#include "cli/publish_messages.h"

#include <gtest/gtest.h>

namespace {

LiveDataRec Live(int period, unsigned outputs = 0) {
    LiveDataRec live{};
    live.CntPeriod = period;
    live.OutputBits = outputs;
    return live;
}

// The period in a live message, or -1 when none went out.
int SentPeriod(LiveThrottle &throttle, double now) {
    std::string message;
    if (!throttle.Due(now, &message)) return -1;
    const std::size_t at = message.find("\"cntPeriod\":");
    return std::stoi(message.substr(at + 12));
}

TEST(PublishMessages, StateAndParameters) {
    const SensorIdentity sensor{"TAVIRON V1.0.3 2026-11-28", "PRESS \"4\"", 4711};
    EXPECT_EQ(StateJson(PublishState::Online, sensor, "2026-12-11T05:00:00.000+01:00"),
              "{\"state\":\"online\",\"firmware\":\"TAVIRON V1.0.3 2026-11-28\",\"name\":"
              "\"PRESS \\\"4\\\"\",\"serial\":4711,\"since\":\"2026-12-11T05:00:00.000+01:00\"}");
    // The last will: nobody knows when it will be said.
    EXPECT_EQ(StateJson(PublishState::Offline, sensor, ""),
              "{\"state\":\"offline\",\"firmware\":\"TAVIRON V1.0.3 2026-11-28\",\"name\":"
              "\"PRESS \\\"4\\\"\",\"serial\":4711,\"since\":null}");
    const SensorIdentity other{"TAVIRON V1.0.3 2026-11-28", "TAVIRON PS-1", 815};
    EXPECT_EQ(StateJson(PublishState::WrongSensor, sensor, "t", &other),
              "{\"state\":\"wrong-sensor\",\"firmware\":\"TAVIRON V1.0.3 2026-11-28\",\"name\":"
              "\"PRESS \\\"4\\\"\",\"serial\":4711,\"since\":\"t\",\"found\":{\"firmware\":"
              "\"TAVIRON V1.0.3 2026-11-28\",\"name\":\"TAVIRON PS-1\",\"serial\":815}}");
    EXPECT_STREQ(PublishStateName(PublishState::SensorLost), "sensor-lost");

    EXPECT_TRUE(SameSensor(sensor, {sensor.firmware, "renamed", 4711}));
    EXPECT_FALSE(SameSensor(sensor, other));
    EXPECT_FALSE(SameSensor(sensor, {"TAVIRON V1.0.4 2027-01-01", sensor.name, 4711}));

    EXPECT_EQ(PublishTopic("plant/taviron", "press4", "live"), "plant/taviron/press4/live");
    EXPECT_EQ(ParamsJson({50, 25, 0, 1}, {60, 30, 1, 0}, "t"),
              "{\"time\":\"t\",\"ram\":{\"strokeTolerance\":50,\"badCntToFail\":25,"
              "\"digitalOutmode\":0,\"cntStrokeEdge\":1},\"eeprom\":{\"strokeTolerance\":60,"
              "\"badCntToFail\":30,\"digitalOutmode\":1,\"cntStrokeEdge\":0}}");
}

TEST(PublishMessages, LiveAtMostTheRateAndTheLastChangeNeverLost) {
    // Rate 10: one message per 0.1 s at most. Each step: a poll's values at a time (or none),
    // then what is sent at that time (-1: nothing).
    const struct {
        double now;
        int period; // 0: no poll at this time
        unsigned outputs;
        int sent;
    } steps[] = {
        {0.00, 100, 0, 100}, // the first values go out at once
        {0.01, 100, 0, -1},  // no change: nothing
        {0.02, 101, 0, -1},  // a change inside the window waits
        {0.05, 102, 0, -1},  // another one: the latest waits
        {0.09, 0, 0, -1},    // the window has not ended
        {0.10, 0, 0, 102},   // its end: the latest values
        {0.15, 102, 0, -1},  // no change since
        {0.30, 102, 0, -1},  // still none, however long
        {0.31, 102, 1, 102}, // an output alone is a change; the window has long ended
        {0.32, 103, 1, -1},  //
        {0.33, 102, 1, -1},  // back to what was sent: still the last change, still sent
        {0.42, 0, 0, 102},   //
        {0.60, 0, 0, -1},    // nothing waits
    };
    LiveThrottle throttle(10);
    for (const auto &s : steps) {
        if (s.period) throttle.Offer(Live(s.period, s.outputs), "t");
        EXPECT_EQ(SentPeriod(throttle, s.now), s.sent) << "at " << s.now;
    }

    // The sensor lost with a change waiting: it goes out at once, inside the window.
    throttle.Offer(Live(104, 1), "t");
    std::string message;
    ASSERT_TRUE(throttle.Due(0.61, &message, true));
    EXPECT_NE(message.find("\"cntPeriod\":104"), std::string::npos) << message;
    // After the sensor was back, the first values are sent even when they did not change, and
    // from then on at the rate again, counted from the forced message.
    throttle.Forget();
    throttle.Offer(Live(104, 1), "t");
    EXPECT_EQ(SentPeriod(throttle, 0.65), -1);
    EXPECT_EQ(SentPeriod(throttle, 0.72), 104);
    throttle.Offer(Live(105, 1), "t");
    EXPECT_EQ(SentPeriod(throttle, 0.75), -1);
    EXPECT_EQ(SentPeriod(throttle, 0.83), 105);
}

} // namespace
