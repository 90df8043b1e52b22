// Writing the COM port mapping file, keeping the other ports' lines.
#include "sim/com_map.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <vector>

namespace tavsim {

namespace {

std::string trim(const std::string &s) {
    size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a])))
        ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1])))
        --b;
    return s.substr(a, b - a);
}

std::string upper(std::string s) {
    for (char &c : s)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The key of a "key = value" line, upper case, or empty.
std::string keyOf(const std::string &line) {
    size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : upper(trim(line.substr(0, eq)));
}

} // namespace

std::string mapComPort(const std::string &existing, int number, const std::string &device) {
    std::vector<std::string> lines;
    std::istringstream in(existing);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    while (!lines.empty() && trim(lines.back()).empty())
        lines.pop_back();

    const std::string key = "COM" + std::to_string(number);
    std::string escaped;
    for (char c : device) {
        if (c == '"' || c == '\\') escaped += '\\';
        escaped += c;
    }
    const std::string entry = key + " = \"" + escaped + "\"";

    bool inSection = false, done = false;
    size_t sectionEnd = lines.size(); // where a missing entry goes
    bool haveSection = false;
    for (size_t i = 0; i < lines.size() && !done; ++i) {
        std::string t = trim(lines[i]);
        if (!t.empty() && t.front() == '[') {
            if (inSection) {
                sectionEnd = i;
                break;
            }
            inSection = upper(t) == "[COM PORTS]";
            haveSection = haveSection || inSection;
            continue;
        }
        if (inSection && keyOf(t) == key) {
            lines[i] = entry;
            done = true;
        }
    }
    if (!done) {
        if (!haveSection) {
            if (!lines.empty()) lines.push_back("");
            lines.push_back("[COM PORTS]");
            sectionEnd = lines.size();
        }
        // Insert after the last non-empty line of the section.
        while (sectionEnd > 0 && trim(lines[sectionEnd - 1]).empty())
            --sectionEnd;
        lines.insert(lines.begin() + long(sectionEnd), entry);
    }
    std::string out;
    for (const std::string &l : lines)
        out += l + "\r\n";
    return out;
}

std::string writeComPortMapping(const std::string &pathIn, int number, const std::string &device) {
    std::string path = pathIn.empty() ? "." : pathIn;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) path += "/ComPorts.cfg";
    std::string existing;
    {
        std::ifstream in(path, std::ios::binary);
        if (in) {
            std::ostringstream s;
            s << in.rdbuf();
            existing = s.str();
        }
    }
    const std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out << mapComPort(existing, number, device);
        if (!out) return {};
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) return {};
    return path;
}

} // namespace tavsim
