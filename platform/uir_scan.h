// Reads the panel and control names out of the resource file. The generated constants header
// and the runtime's panel loader both number controls with this one routine, so the numbers the
// program is compiled with always match the panels it loads.
#pragma once

#include <string>
#include <vector>

struct UirPanel {
    std::string name;                  // constant name, e.g. MAINP
    int number = 0;                    // panel number passed to LoadPanel (tab pages have one too)
    std::string parent;                // enclosing panel, empty for a panel at the top of the file
    std::vector<std::string> controls; // control names in file order; ids from 2 upward
};

constexpr int kFirstCtrlId = 2;

// Returns false and fills *error when the file is not a resource file we can read.
bool ScanUir(const std::string &path, std::vector<UirPanel> *panels, std::string *error);
