// The program started in-process as WinMain starts it, in a private program folder. COM1, the
// default port, leads to no device, so the start-up connection attempt fails at once and the
// program goes offline, as the operator's Offline answer makes it. Every popup is answered by a
// script: file dialogs return the path the test chose (or are cancelled), confirmations take
// their answers from a queue. Each test gets a fresh folder for its files. Helpers read and
// write files byte for byte.
#pragma once

#include "tests/support/program_fixture.h"

#include <algorithm>
#include <deque>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline std::string ReadBytes(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const fs::path &path, const std::string &bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

inline fs::path DataFile(const char *name) {
    return fs::path(TAVIRON_TEST_DATA) / name;
}

class FilesTest : public ProgramFixture {
  protected:
    std::deque<int> confirmAnswers;      // answers of the next confirmations; Yes when empty
    std::string chosenPath;              // what the next file dialog returns; "" = cancelled
    std::deque<std::string> fileAnswers; // answers of the next file dialogs, before chosenPath
    fs::path dir;                        // where this test's files go

    void SetUp() override {
        ProgramFixture::SetUp();
        if (HasFatalFailure()) return;
        dir = programDir / "files";
        fs::create_directories(dir);
        ASSERT_EQ(App.MemorySelect, 3) << "the program starts offline";
        popups.clear(); // start-up is not what these tests look at
    }

    int Answer(const PopupRecord &r, std::string *path) override {
        if (r.kind == "file") {
            std::string answer = chosenPath;
            if (!fileAnswers.empty()) {
                answer = fileAnswers.front();
                fileAnswers.pop_front();
            }
            if (answer.empty()) return 0;
            *path = answer;
            return 1;
        }
        if (r.kind == "confirm") {
            if (confirmAnswers.empty()) return 1;
            int a = confirmAnswers.front();
            confirmAnswers.pop_front();
            return a;
        }
        if (r.kind == "generic") { // a failed connection attempt: work offline
            auto it = std::find(r.buttons.begin(), r.buttons.end(), "Offline");
            return it == r.buttons.end() ? 0 : int(it - r.buttons.begin()) + 1;
        }
        return 1;
    }

    void SetPage(int strokeTol, int badCnt, int outmode, int edge) {
        SetCtrlVal(App.ParaTab, PARA_STROKE_TOL, strokeTol);
        SetCtrlVal(App.ParaTab, PARA_BAD_CNT_TO_FAIL, badCnt);
        SetCtrlVal(App.ParaTab, PARA_DIG_OUTMODE, outmode);
        SetCtrlVal(App.ParaTab, PARA_CNT_STROKE_EDGE, edge);
    }

    std::vector<int> Page() {
        int v[4] = {};
        GetCtrlVal(App.ParaTab, PARA_STROKE_TOL, &v[0]);
        GetCtrlVal(App.ParaTab, PARA_BAD_CNT_TO_FAIL, &v[1]);
        GetCtrlVal(App.ParaTab, PARA_DIG_OUTMODE, &v[2]);
        GetCtrlVal(App.ParaTab, PARA_CNT_STROKE_EDGE, &v[3]);
        return {v[0], v[1], v[2], v[3]};
    }

    std::vector<int> Values() {
        return {App.ParaValues[0], App.ParaValues[1], App.ParaValues[2], App.ParaValues[3]};
    }

    std::vector<std::string> Kinds() {
        std::vector<std::string> k;
        for (const PopupRecord &p : popups)
            k.push_back(p.kind);
        return k;
    }

    std::vector<std::string> FilesIn(const fs::path &folder) {
        std::vector<std::string> names;
        for (const auto &e : fs::directory_iterator(folder))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};
