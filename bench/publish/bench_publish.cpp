// The plant link under load: for each N (1, 10, 40 unless given), N simulated sensors serving
// TCP (wall clock: a press stroke about every 20 ms, so the values change at every poll), one
// mosquitto broker, N `taviron publish` processes at the default poll (100 a second) and rate
// (10 live messages a second), and a subscriber here. Once every press is online it counts for
// `seconds`:
//   - live messages a second delivered, in all and per press (the goal: the configured rate);
//   - latency from the poll that read the values (the message's time stamp) to the subscriber,
//     median and 99th percentile (the sensor's change lies up to one poll, 10 ms, before it);
//   - CPU of each publisher (utime + stime from /proc over the window) as a share of a core,
//     and of the broker.
//   bench_publish [seconds [N...]]
#include "sim/sim.h"

#include <mosquitto.h>

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <netinet/in.h>
#include <numeric>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

double WallMillis() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

int FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a);
    getsockname(fd, reinterpret_cast<sockaddr *>(&a), &length);
    close(fd);
    return ntohs(a.sin_port);
}

pid_t Spawn(const std::vector<std::string> &args) {
    std::vector<char *> argv;
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2); // the publishers' own messages ("Connected to ...")
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

// utime + stime of a process in clock ticks.
long CpuTicks(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream fields(text.substr(close + 2));
    std::string f;
    long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> f; ++i) {
        if (i == 14) utime = std::atol(f.c_str());
        if (i == 15) stime = std::atol(f.c_str());
    }
    return utime + stime;
}

// An ISO 8601 time stamp of a live message as milliseconds since 1970.
double StampMillis(const std::string &stamp) {
    std::tm t{};
    int millis = 0, oh = 0, om = 0;
    char sign = '+';
    if (std::sscanf(stamp.c_str(), "%d-%d-%dT%d:%d:%d.%d%c%d:%d", &t.tm_year, &t.tm_mon, &t.tm_mday,
                    &t.tm_hour, &t.tm_min, &t.tm_sec, &millis, &sign, &oh, &om) != 10)
        return -1;
    t.tm_year -= 1900;
    t.tm_mon -= 1;
    const long offset = (oh * 60 + om) * 60 * (sign == '-' ? -1 : 1);
    return (double(timegm(&t)) - double(offset)) * 1000 + millis;
}

struct Subscriber {
    std::mutex mutex;
    bool counting = false;
    std::map<std::string, long> live;   // messages a press, while counting
    std::map<std::string, bool> online; // presses whose state is online
    std::vector<double> latencies;      // ms, while counting
};

void OnMessage(mosquitto *, void *self, const mosquitto_message *m) {
    const double now = WallMillis();
    auto *s = static_cast<Subscriber *>(self);
    const std::string topic = m->topic;
    const std::string payload(static_cast<const char *>(m->payload), std::size_t(m->payloadlen));
    const std::size_t leaf = topic.rfind('/');
    const std::string press = topic.substr(0, leaf);
    std::lock_guard<std::mutex> lock(s->mutex);
    if (topic.compare(leaf, std::string::npos, "/state") == 0) {
        s->online[press] = payload.find("\"online\"") != std::string::npos;
        return;
    }
    if (!s->counting || topic.compare(leaf, std::string::npos, "/live") != 0) return;
    ++s->live[press];
    const std::size_t at = payload.find("\"time\":\"");
    if (at != std::string::npos) {
        const double stamp = StampMillis(payload.substr(at + 8));
        if (stamp > 0) s->latencies.push_back(now - stamp);
    }
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size() - 1) + 0.5))];
}

int RunOne(int n, double seconds, const std::string &taviron) {
    std::vector<std::unique_ptr<tavsim::SimSensor>> sims;
    for (int i = 0; i < n; ++i) {
        tavsim::SimConfig c;
        c.tcpPort = 0;
        c.sensor.serialNumber = uint16_t(1000 + i);
        sims.push_back(std::make_unique<tavsim::SimSensor>(c));
        std::string error;
        if (!sims.back()->start(&error)) {
            std::fprintf(stderr, "sensor %d: %s\n", i, error.c_str());
            return 1;
        }
    }
    char folder[] = "/tmp/bench-publish-XXXXXX";
    if (!mkdtemp(folder)) return 1;
    const int port = FreePort();
    setenv("XDG_RUNTIME_DIR", folder, 1);
    std::ofstream(fs::path(folder) / "mosquitto.conf")
        << "persistence false\nlistener " << port << " 127.0.0.1\nallow_anonymous true\n"
        << "max_queued_messages 100000\n";
    const pid_t broker =
        Spawn({"/usr/sbin/mosquitto", "-c", (fs::path(folder) / "mosquitto.conf").string()});
    std::this_thread::sleep_for(std::chrono::milliseconds(500));

    Subscriber sub;
    mosquitto *mosq = mosquitto_new(nullptr, true, &sub);
    mosquitto_message_callback_set(mosq, OnMessage);
    if (mosquitto_connect(mosq, "127.0.0.1", port, 30) != MOSQ_ERR_SUCCESS) {
        std::fprintf(stderr, "no broker on %d\n", port);
        return 1;
    }
    mosquitto_subscribe(mosq, nullptr, "bench/#", 0);
    mosquitto_loop_start(mosq);

    std::vector<pid_t> publishers;
    for (int i = 0; i < n; ++i)
        publishers.push_back(
            Spawn({taviron, "--tcp", "127.0.0.1:" + std::to_string(sims[std::size_t(i)]->tcpPort()),
                   "publish", "--mqtt", "127.0.0.1:" + std::to_string(port), "--prefix", "bench",
                   "--id", "press" + std::to_string(i)}));
    // Every press online (start-up is not measured), then a second to settle.
    for (int i = 0; i < 600; ++i) {
        {
            std::lock_guard<std::mutex> lock(sub.mutex);
            long up = 0;
            for (const auto &[press, online] : sub.online)
                up += online;
            if (up == n) break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));

    std::vector<long> before;
    for (pid_t p : publishers)
        before.push_back(CpuTicks(p));
    const long brokerBefore = CpuTicks(broker);
    const auto start = std::chrono::steady_clock::now();
    {
        std::lock_guard<std::mutex> lock(sub.mutex);
        sub.counting = true;
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    {
        std::lock_guard<std::mutex> lock(sub.mutex);
        sub.counting = false;
    }
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double tick = double(sysconf(_SC_CLK_TCK));
    std::vector<double> cpu;
    for (std::size_t i = 0; i < publishers.size(); ++i)
        cpu.push_back(100.0 * double(CpuTicks(publishers[i]) - before[i]) / tick / elapsed);
    const double brokerCpu = 100.0 * double(CpuTicks(broker) - brokerBefore) / tick / elapsed;

    for (pid_t p : publishers)
        kill(p, SIGTERM);
    for (pid_t p : publishers)
        waitpid(p, nullptr, 0);
    mosquitto_disconnect(mosq);
    mosquitto_loop_stop(mosq, true);
    mosquitto_destroy(mosq);
    kill(broker, SIGTERM);
    waitpid(broker, nullptr, 0);
    for (auto &s : sims)
        s->stop();
    fs::remove_all(folder);

    std::lock_guard<std::mutex> lock(sub.mutex);
    std::vector<double> rates;
    long total = 0;
    for (int i = 0; i < n; ++i) {
        const long got = sub.live["bench/press" + std::to_string(i)];
        total += got;
        rates.push_back(double(got) / elapsed);
    }
    std::sort(rates.begin(), rates.end());
    std::printf("N=%-3d %7.1f msg/s  per press min %5.2f median %5.2f /s  latency median %6.1f "
                "p99 %6.1f max %6.1f ms  CPU per publisher mean %5.2f max %5.2f %%  broker %5.2f "
                "%%\n",
                n, double(total) / elapsed, rates.front(), rates[rates.size() / 2],
                Percentile(sub.latencies, 0.5), Percentile(sub.latencies, 0.99),
                Percentile(sub.latencies, 1.0),
                std::accumulate(cpu.begin(), cpu.end(), 0.0) / double(cpu.size()),
                *std::max_element(cpu.begin(), cpu.end()), brokerCpu);
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 30;
    std::vector<int> counts;
    for (int i = 2; i < argc; ++i)
        counts.push_back(std::atoi(argv[i]));
    if (counts.empty()) counts = {1, 10, 40};
    if (seconds <= 0 || std::any_of(counts.begin(), counts.end(), [](int n) { return n < 1; })) {
        std::fprintf(stderr, "usage: %s [seconds [N...]]\n", argv[0]);
        return 2;
    }
    char exe[4096];
    const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (length <= 0) return 1;
    exe[length] = 0;
    const std::string taviron = (fs::path(exe).parent_path() / "taviron").string();
    signal(SIGPIPE, SIG_IGN);
    mosquitto_lib_init();
    std::printf("load average at the start: ");
    std::fflush(stdout);
    std::system("cut -d' ' -f1-3 /proc/loadavg");
    for (int n : counts)
        if (RunOne(n, seconds, taviron) != 0) return 1;
    mosquitto_lib_cleanup();
    return 0;
}
