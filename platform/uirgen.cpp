// Build tool: writes the constants header of a resource file (panel numbers and control ids)
// so the program and its panels cannot drift apart.
#include "platform/uir_scan.h"

#include <cstdio>
#include <fstream>
#include <sstream>

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: uirgen RESOURCE.uir OUTPUT.h\n");
        return 2;
    }
    std::vector<UirPanel> panels;
    std::string error;
    if (!ScanUir(argv[1], &panels, &error)) {
        std::fprintf(stderr, "uirgen: %s\n", error.c_str());
        return 1;
    }
    std::ostringstream out;
    out << "// Generated from the resource file at build time; do not edit.\n#pragma once\n\n";
    for (const UirPanel &p : panels) {
        out << "constexpr int " << p.name << " = " << p.number << ";\n";
        int id = kFirstCtrlId;
        for (const std::string &c : p.controls)
            out << "constexpr int " << c << " = " << id++ << ";\n";
        out << "\n";
    }
    // Only touch the output when it changes, so a panel edit that moves nothing rebuilds nothing.
    std::ifstream old(argv[2]);
    std::stringstream oldText;
    oldText << old.rdbuf();
    if (oldText.str() == out.str()) return 0;
    std::ofstream file(argv[2], std::ios::trunc);
    file << out.str();
    return file ? 0 : 1;
}
