// Starts the program in-process as WinMain does, in a private program folder of its own: the
// resource file, logo and language files are linked in, the panel settings file is whatever the
// test writes there before calling Start(). The folder is also the current one, so the language
// files are found as the program finds them, and there is no installed data folder. COM1 leads
// nowhere: the start-up attempt fails at once, and its popup is answered "Offline".
#pragma once

#include "tests/support/program_fixture.h"

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class SettingsTest : public ProgramFixture {
  protected:
    SettingsTest() {
        setup.languageFiles = true;
        setup.currentFolder = true;
        setup.startInSetUp = false;
    }

    int Answer(const PopupRecord &r, std::string *) override {
        return r.kind == "generic" ? 2 : 1; // "Offline" in the connection failure popup
    }

    std::string Path(const std::string &name) const { return (programDir / name).string(); }

    void WriteFile(const std::string &name, const std::string &bytes) const {
        std::ofstream(programDir / name, std::ios::binary | std::ios::trunc) << bytes;
    }

    std::string ReadFile(const std::string &name) const {
        std::ifstream in(programDir / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // Lines joined with CR LF, each line ended by it, as every file of the program is written.
    static std::string Crlf(const std::vector<std::string> &lines) {
        std::string out;
        for (const std::string &l : lines)
            out += l + "\r\n";
        return out;
    }

    void WriteSettings(const std::vector<std::string> &lines) const {
        WriteFile("PanelSettings.cfg", Crlf(lines));
    }
};
