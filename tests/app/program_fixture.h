// Starts the program in-process as WinMain does (panels, start-up sequence) and shuts it down
// after each test. Popups are answered by a responder that records them.
#pragma once

#include "app/app.h"
#include "app/state.h"
#include "platform/testing.h"
#include "platform/ui.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class ProgramTest : public ::testing::Test {
  protected:
    std::vector<PopupRecord> popups;
    int answer = 1; // what the responder answers

    void SetUp() override {
        App = AppState{};
        SetPopupResponder([this](const PopupRecord &r, std::string *) {
            popups.push_back(r);
            return answer;
        });
        static char name[] = "test_app";
        static char *argv[] = {name, nullptr};
        ASSERT_EQ(LoadPanels(1, argv), 0);
        InitAll();
        TestProcessEvents(20);
    }

    void TearDown() override {
        ShutDown();
        TestProcessEvents(5);
        SetPopupResponder({});
    }
};
