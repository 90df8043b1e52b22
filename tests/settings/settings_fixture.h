// Starts the program in-process as WinMain does, in a private program directory of its own:
// the resource file, logo and language files are linked in, the panel settings file is
// whatever the test writes there before starting. The directory is also the current one, so
// the language files are found as the program finds them. Popups are answered and recorded;
// the start-up connection attempt is answered with "Offline".
#pragma once

#include "app/app.h"
#include "base/state.h"
#include "platform/testing.h"
#include "platform/ui.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

class SettingsTest : public ::testing::Test {
  protected:
    std::filesystem::path dir;
    std::filesystem::path oldCwd;
    std::vector<PopupRecord> popups;
    bool started = false;

    void SetUp() override {
        namespace fs = std::filesystem;
        const fs::path bin = TAVIRON_BIN_DIR;
        char tmpl[] = "/tmp/taviron-settings-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        for (const char *f :
             {"Tavironv10.uir", "logoHV.bmp", "language_ger.lwl", "language_eng.lwl"})
            fs::create_symlink(bin / f, dir / f);
        // COM1, the default port, leads nowhere: the start-up attempt fails at once.
        WriteFile("ComPorts.cfg",
                  "[COM PORTS]\r\nCOM1 = \"" + (dir / "no-such-tty").string() + "\"\r\n\r\n");
        oldCwd = fs::current_path();
        fs::current_path(dir);
        TestSetProjectDir(dir.c_str());
        // No installed data folder: the files are those of this directory only.
        TestSetDataDir((dir / "no-data-folder").c_str());
        App = AppState{};
        SetPopupResponder([this](const PopupRecord &r, std::string *) {
            popups.push_back(r);
            return r.kind == "generic" ? 2 : 1; // "Offline" in the connection failure popup
        });
    }

    void TearDown() override {
        if (started) {
            ShutDown();
            TestProcessEvents(5);
        }
        SetPopupResponder({});
        TestSetProjectDir("");
        TestSetDataDir("");
        std::filesystem::current_path(oldCwd);
        std::filesystem::remove_all(dir);
    }

    void Start() {
        static char name[] = "test_settings";
        static char *argv[] = {name, nullptr};
        ASSERT_EQ(LoadPanels(1, argv), 0);
        started = true;
        InitAll();
        TestProcessEvents(20);
    }

    std::string Path(const std::string &name) const { return (dir / name).string(); }

    void WriteFile(const std::string &name, const std::string &bytes) const {
        std::ofstream(dir / name, std::ios::binary | std::ios::trunc) << bytes;
    }

    std::string ReadFile(const std::string &name) const {
        std::ifstream in(dir / name, std::ios::binary);
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
