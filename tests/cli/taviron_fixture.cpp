// The fixture of taviron_fixture.h.
#include "taviron_fixture.h"

#include "sim/com_map.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>

void TavironTest::SetUp() {
    ASSERT_FALSE(folder.dir().empty());
    tavsim::SimConfig config;
    config.tcpPort = 0;
    config.serial = true;
    config.sensor.steppedClock = true;
    sim = std::make_unique<tavsim::SimSensor>(config);
    std::string error;
    ASSERT_TRUE(sim->start(&error)) << error;
    ASSERT_FALSE(tavsim::writeComPortMapping(folder.dir().string(), 5, sim->serialPath()).empty());
}

void TavironTest::TearDown() {
    if (sim) sim->stop();
}

std::vector<std::string> TavironTest::Connect(Transport transport) const {
    if (transport == Transport::Tcp)
        return {"--tcp", "127.0.0.1:" + std::to_string(sim->tcpPort())};
    return {"--port", "COM5"};
}

TavironRun TavironTest::Run(Transport transport, const std::vector<std::string> &args,
                            const std::vector<std::string> &env) {
    std::vector<std::string> all = Connect(transport);
    all.insert(all.end(), args.begin(), args.end());
    return RunTaviron(folder, all, env);
}

TavironRun TavironTest::RunAlone(const std::vector<std::string> &args,
                                 const std::vector<std::string> &env) {
    return RunTaviron(folder, args, env);
}

std::vector<int> TavironTest::Orders() const {
    std::vector<int> orders;
    for (const tavsim::LogEntry &e : sim->requests())
        if (e.hex.size() >= 5) orders.push_back(std::stoi(e.hex.substr(3, 2), nullptr, 16));
    return orders;
}

fs::path TavironTest::WriteFile(const std::string &name, const std::string &text) const {
    const fs::path path = folder.dir() / name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::string TavironTest::ReadFile(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string TransportName(const ::testing::TestParamInfo<Transport> &info) {
    return info.param == Transport::Tcp ? "Tcp" : "Serial";
}

std::vector<std::string> Lines(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

int FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    if (bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr *>(&a), &length) != 0) {
        close(fd);
        return 0;
    }
    close(fd);
    return ntohs(a.sin_port);
}
