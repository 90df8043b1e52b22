// Start, stop and run-time control of the simulated sensor.
#include "sim/sim.h"

#include "sim/pty_line.h"
#include "sim/tcp_server.h"

#include <fcntl.h>
#include <sstream>
#include <unistd.h>

namespace tavsim {

struct SimSensor::Transports {
    std::unique_ptr<TcpServer> tcp;
    std::unique_ptr<PtyLine> pty;
};

SimSensor::SimSensor(SimConfig config)
    : config_(std::move(config)), core_(std::make_unique<SensorCore>(config_.sensor)),
      transports_(std::make_unique<Transports>()) {
    core_->setFault(config_.fault);
}

SimSensor::~SimSensor() {
    stop();
}

bool SimSensor::start(std::string *error) {
    std::string ignored;
    if (!error) error = &ignored;
    if (pipe2(stopPipe_, O_CLOEXEC) != 0) {
        *error = "cannot create a pipe";
        return false;
    }
    if (config_.tcp) {
        transports_->tcp = std::make_unique<TcpServer>(*core_, config_.tcpAddress, config_.tcpPort);
        if (!transports_->tcp->open(error)) return false;
    }
    if (config_.serial) {
        transports_->pty = std::make_unique<PtyLine>(*core_, config_.pace);
        if (!transports_->pty->open(error)) return false;
    }
    if (transports_->tcp) threads_.emplace_back([this] { transports_->tcp->run(stopPipe_[0]); });
    if (transports_->pty) threads_.emplace_back([this] { transports_->pty->run(stopPipe_[0]); });
    return true;
}

void SimSensor::stop() {
    if (stopPipe_[1] >= 0) {
        char c = 'q';
        (void)!::write(stopPipe_[1], &c, 1);
    }
    for (std::thread &t : threads_)
        t.join();
    threads_.clear();
    transports_->tcp.reset();
    transports_->pty.reset();
    for (int &fd : stopPipe_) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

int SimSensor::tcpPort() const {
    return transports_->tcp ? transports_->tcp->port() : 0;
}

std::string SimSensor::serialPath() const {
    return transports_->pty ? transports_->pty->slavePath() : std::string();
}

void SimSensor::setFault(const FaultSetting &setting) {
    std::lock_guard<std::mutex> lock(core_->mutex);
    core_->setFault(setting);
}

void SimSensor::setFlaws(const SensorFlaws &flaws) {
    std::lock_guard<std::mutex> lock(core_->mutex);
    core_->setFlaws(flaws);
}

void SimSensor::setFirmware(const std::string &text) {
    std::lock_guard<std::mutex> lock(core_->mutex);
    core_->setFirmware(text);
}

void SimSensor::setIn0(bool high) {
    std::lock_guard<std::mutex> lock(core_->mutex);
    core_->setIn0(high);
}

void SimSensor::setPressRunning(bool running) {
    std::lock_guard<std::mutex> lock(core_->mutex);
    core_->modelTime();
    core_->model().setRunning(running);
}

void SimSensor::setStrokeOffset(int32_t us) {
    std::lock_guard<std::mutex> lock(core_->mutex);
    core_->modelTime();
    core_->model().setStrokeOffset(us);
}

void SimSensor::setOutlierProbability(double p) {
    std::lock_guard<std::mutex> lock(core_->mutex);
    core_->model().setOutlierProbability(p);
}

void SimSensor::setMissingStrokeProbability(double p) {
    std::lock_guard<std::mutex> lock(core_->mutex);
    core_->model().setMissingStrokeProbability(p);
}

void SimSensor::advanceModelTime(uint64_t us) {
    std::lock_guard<std::mutex> lock(core_->mutex);
    core_->model().advanceTo(core_->modelTime() + us);
}

void SimSensor::setEepromParams(const ParamSet &params) {
    std::lock_guard<std::mutex> lock(core_->mutex);
    core_->setEepromParams(params);
}

void SimSensor::setRamParams(const ParamSet &params) {
    std::lock_guard<std::mutex> lock(core_->mutex);
    core_->setRamParams(params);
}

ParamSet SimSensor::ramParams() const {
    std::lock_guard<std::mutex> lock(core_->mutex);
    return core_->ram();
}

SensorFlaws SimSensor::flaws() const {
    std::lock_guard<std::mutex> lock(core_->mutex);
    return core_->flaws();
}

EepromImage SimSensor::eeprom() const {
    std::lock_guard<std::mutex> lock(core_->mutex);
    return core_->eeprom();
}

int SimSensor::baudIndex() const {
    std::lock_guard<std::mutex> lock(core_->mutex);
    return core_->baudIndex();
}

bool SimSensor::recordingWaiting() const {
    std::lock_guard<std::mutex> lock(core_->mutex);
    return core_->waitingRecordings > 0;
}

LiveValues SimSensor::liveValues() const {
    std::lock_guard<std::mutex> lock(core_->mutex);
    core_->modelTime();
    return core_->model().live();
}

std::string SimSensor::status() const {
    std::lock_guard<std::mutex> lock(core_->mutex);
    core_->modelTime();
    const ParamSet &ram = core_->ram();
    const LiveValues live = core_->model().live();
    std::ostringstream s;
    s << "firmware \"" << core_->firmware() << "\", " << baudRateOf(core_->baudIndex())
      << " baud, RAM " << ram.strokeTolerance << "/" << ram.badCntToFail << "/"
      << ram.digitalOutmode << "/" << ram.cntStrokeEdge << ", press "
      << (core_->model().running() ? "running" : "stopped") << ", period " << live.period << " gap "
      << live.gap << " stroke " << live.stroke << " window " << live.lowerTol << ".."
      << live.upperTol << " bad " << live.badLower << "/" << live.badUpper << " outputs 0x"
      << std::hex << live.outputBits << std::dec << ", IN0 " << (core_->in0() ? 1 : 0) << ", fault "
      << faultName(core_->fault().kind) << (core_->waitingRecordings ? ", recording waits" : "");
    const SensorFlaws &flaws = core_->flaws();
    if (flaws.strokeToleranceSkew) s << ", flaw skew " << flaws.strokeToleranceSkew;
    if (flaws.eepromStoreLost) s << ", flaw eeprom-lost";
    return s.str();
}

std::vector<LogEntry> SimSensor::log() const {
    return core_->log().entries();
}

std::vector<LogEntry> SimSensor::requests() const {
    std::vector<LogEntry> all = core_->log().entries(), received;
    for (LogEntry &e : all)
        if (e.kind == LogKind::Received) received.push_back(std::move(e));
    return received;
}

void SimSensor::clearLog() {
    core_->log().clear();
}

void SimSensor::setLogSink(std::function<void(const LogEntry &)> sink) {
    core_->log().setSink(std::move(sink));
}

} // namespace tavsim
