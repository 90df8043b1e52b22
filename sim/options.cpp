// Option parsing and the operator commands of taviron-sim.
#include "sim/options.h"

#include "taviron_version.h"

#include <cstdlib>
#include <sstream>

namespace tavsim {

namespace {

bool toLong(const std::string &text, long *value) {
    if (text.empty()) return false;
    char *end = nullptr;
    *value = std::strtol(text.c_str(), &end, 0);
    return *end == '\0';
}

std::vector<std::string> splitOn(const std::string &text, char sep) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, sep))
        parts.push_back(part);
    return parts;
}

} // namespace

const char *usageText() {
    return "usage: taviron-sim [options]\n"
           "  --tcp [ADDRESS:]PORT   TCP server (default 127.0.0.1:5000, port 0 = any free)\n"
           "  --no-tcp               no TCP server\n"
           "  --serial, --pty        serial line on a new pseudo-terminal\n"
           "  --map-com N            also write COM<N> = \"<pty>\" into ComPorts.cfg (implies "
           "--serial);\n"
           "                         taken out again when the program ends\n"
           "  --map-file PATH        the mapping file, or its directory (default: .)\n"
           "  --baud INDEX|RATE      start rate (0..7 or 9600..921600; default: EEPROM, 115200)\n"
           "  --pace, --no-pace      serial bytes at the line rate (default) / as fast as "
           "possible\n"
           "  --eeprom FILE          keep the EEPROM set and baud rate in FILE\n"
           "  --firmware TEXT        firmware text (default \"TAVIRON V1.0.3 2026-11-28\")\n"
           "  --name TEXT            sensor name (default \"TAVIRON PS-1\")\n"
           "  --serial-number N      serial number (default 4711)\n"
           "  --seed N               press model seed (default 1)\n"
           "  --stepped              model time moves one press cycle per live-data request\n"
           "  --outliers P           probability of a stroke outlier per cycle (default 0.01)\n"
           "  --misses P             probability of a gap without stroke (default 0.002)\n"
           "  --fault KIND[:N[:ORDER]]  start with a fault (see the command 'fault')\n"
           "  --log FILE             log to FILE instead of standard error\n"
           "  --quiet                no log lines\n"
           "  --help, --version      this text / the version, and end\n"
           "commands on standard input:\n"
           "  fault KIND [N [ORDER]]  KIND: noreply hcrc dcrc start err1 err2 short long garbage\n"
           "                          trickle close; N replies (default 1, 0 = until 'fault "
           "off')\n"
           "  fault off | firmware TEXT | in0 0|1 | press run|stop | press offset US\n"
           "  press advance SECONDS | eeprom T B M E | status | quit\n"
           "  flaw skew N            order 1 keeps STROKE TOLERANCE N off (-1: 49 for 50)\n"
           "  flaw eeprom-lost | off  order 3 keeps the old EEPROM set / the sensor is sound\n";
}

std::string versionText() {
    return std::string("taviron-sim ") + TAVIRON_VERSION;
}

bool parseFault(const std::vector<std::string> &words, FaultSetting *setting, std::string *error) {
    FaultSetting s;
    if (words.empty() || !parseFaultKind(words[0], &s.kind)) {
        *error = "unknown fault '" + (words.empty() ? std::string() : words[0]) + "'";
        return false;
    }
    long v;
    if (words.size() > 1) {
        if (!toLong(words[1], &v) || v < 0) {
            *error = "bad fault count '" + words[1] + "'";
            return false;
        }
        s.count = int(v);
    }
    if (words.size() > 2) {
        if (!toLong(words[2], &v) || v < 0 || v > 255) {
            *error = "bad fault order '" + words[2] + "'";
            return false;
        }
        s.order = int(v);
    }
    *setting = s;
    return true;
}

bool parseOptions(const std::vector<std::string> &args, ProgramOptions *o, std::string *error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        auto value = [&](std::string *out) {
            if (i + 1 >= args.size()) {
                *error = a + " needs a value";
                return false;
            }
            *out = args[++i];
            return true;
        };
        std::string v;
        long n;
        if (a == "--help" || a == "-h") {
            o->help = true;
        } else if (a == "--version") {
            o->version = true;
        } else if (a == "--tcp") {
            if (!value(&v)) return false;
            size_t colon = v.rfind(':');
            if (colon != std::string::npos) {
                o->sim.tcpAddress = v.substr(0, colon);
                v = v.substr(colon + 1);
            }
            if (!toLong(v, &n) || n < 0 || n > 65535) {
                *error = "bad TCP port '" + v + "'";
                return false;
            }
            o->sim.tcp = true;
            o->sim.tcpPort = int(n);
        } else if (a == "--no-tcp") {
            o->sim.tcp = false;
        } else if (a == "--serial" || a == "--pty") {
            o->sim.serial = true;
        } else if (a == "--map-com") {
            if (!value(&v) || !toLong(v, &n) || n < 1 || n > 255) {
                *error = "--map-com needs a port number 1..255";
                return false;
            }
            o->mapCom = int(n);
            o->sim.serial = true;
        } else if (a == "--map-file") {
            if (!value(&o->mapFile)) return false;
        } else if (a == "--baud") {
            if (!value(&v) || !toLong(v, &n)) {
                *error = "--baud needs an index or a rate";
                return false;
            }
            int index = n >= 0 && n < 8 ? int(n) : baudIndexOf(int(n));
            if (index < 0) {
                *error = "unknown baud rate '" + v + "'";
                return false;
            }
            o->sim.sensor.baudIndex = index;
        } else if (a == "--no-pace" || a == "--pace") {
            o->sim.pace = a == "--pace";
        } else if (a == "--eeprom") {
            if (!value(&o->sim.sensor.eepromFile)) return false;
        } else if (a == "--firmware") {
            if (!value(&o->sim.sensor.firmware)) return false;
        } else if (a == "--name") {
            if (!value(&o->sim.sensor.sensorName)) return false;
        } else if (a == "--serial-number") {
            if (!value(&v) || !toLong(v, &n) || n < 0 || n > 65535) {
                *error = "--serial-number needs 0..65535";
                return false;
            }
            o->sim.sensor.serialNumber = uint16_t(n);
        } else if (a == "--seed") {
            if (!value(&v) || !toLong(v, &n)) {
                *error = "--seed needs a number";
                return false;
            }
            o->sim.sensor.seed = uint64_t(n);
        } else if (a == "--stepped") {
            o->sim.sensor.steppedClock = true;
        } else if (a == "--outliers" || a == "--misses") {
            if (!value(&v)) return false;
            double p = std::strtod(v.c_str(), nullptr);
            (a == "--outliers" ? o->sim.sensor.outlierProbability
                               : o->sim.sensor.missingStrokeProbability) = p;
        } else if (a == "--fault") {
            if (!value(&v) || !parseFault(splitOn(v, ':'), &o->sim.fault, error)) return false;
        } else if (a == "--log") {
            if (!value(&o->logFile)) return false;
        } else if (a == "--quiet") {
            o->quiet = true;
        } else {
            *error = "unknown option '" + a + "'";
            return false;
        }
    }
    return true;
}

std::string runCommand(SimSensor &sim, const std::string &line, bool *quit) {
    std::istringstream in(line);
    std::vector<std::string> w;
    for (std::string word; in >> word;)
        w.push_back(word);
    if (w.empty()) return "";
    long n;
    if (w[0] == "quit" || w[0] == "exit") {
        *quit = true;
        return "bye";
    }
    if (w[0] == "status") return sim.status();
    if (w[0] == "fault" && w.size() >= 2) {
        FaultSetting setting;
        std::string error;
        if (!parseFault({w.begin() + 1, w.end()}, &setting, &error)) return error;
        sim.setFault(setting);
        return std::string("fault ") + faultName(setting.kind);
    }
    if (w[0] == "firmware" && w.size() >= 2) {
        std::string text = line.substr(line.find("firmware") + 9);
        sim.setFirmware(text);
        return "firmware \"" + text + "\"";
    }
    if (w[0] == "in0" && w.size() == 2 && toLong(w[1], &n)) {
        sim.setIn0(n != 0);
        return n ? "IN0 high" : "IN0 low";
    }
    if (w[0] == "press" && w.size() >= 2) {
        if (w[1] == "run" || w[1] == "stop") {
            sim.setPressRunning(w[1] == "run");
            return w[1] == "run" ? "press running" : "press stopped";
        }
        if (w[1] == "offset" && w.size() == 3 && toLong(w[2], &n)) {
            sim.setStrokeOffset(int32_t(n));
            return "stroke offset " + std::to_string(n) + " us";
        }
        if (w[1] == "advance" && w.size() == 3 && toLong(w[2], &n) && n >= 0) {
            sim.advanceModelTime(uint64_t(n) * 1000000u);
            return "model time advanced " + std::to_string(n) + " s";
        }
    }
    if (w[0] == "flaw" && w.size() >= 2) {
        SensorFlaws flaws = sim.flaws();
        if (w[1] == "off") {
            flaws = SensorFlaws{};
        } else if (w[1] == "skew" && w.size() == 3 && toLong(w[2], &n) && n >= -1000 && n <= 1000) {
            flaws.strokeToleranceSkew = int(n);
        } else if (w[1] == "eeprom-lost") {
            flaws.eepromStoreLost = true;
        } else {
            return "flaw needs: skew N | eeprom-lost | off";
        }
        sim.setFlaws(flaws);
        return "flaws: skew " + std::to_string(flaws.strokeToleranceSkew) +
               (flaws.eepromStoreLost ? ", EEPROM store lost" : ", EEPROM store holds");
    }
    if (w[0] == "eeprom" && w.size() == 5) {
        long v[4];
        for (int i = 0; i < 4; ++i)
            if (!toLong(w[size_t(i + 1)], &v[i]) || v[i] < 0 || v[i] > 65535)
                return "eeprom needs four values 0..65535";
        sim.setEepromParams(
            ParamSet{uint16_t(v[0]), uint16_t(v[1]), uint16_t(v[2]), uint16_t(v[3])});
        return "EEPROM set written";
    }
    return "unknown command (quit, status, fault, flaw, firmware, in0, press, eeprom)";
}

} // namespace tavsim
