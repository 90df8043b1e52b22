// The printout through PRINT against a real print scheduler started by the test (cupsd with a
// private configuration and a queue that writes into a file): a queue that takes the job
// reports success and holds the document under the program's title; a queue that refuses jobs
// gives "Print error!" with its reason; a stopped queue keeps the job and the operator is told
// that it waits, and where. Skipped, with the reason, where cupsd is not installed.
#include "print_scheduler.h"
#include "scope_fixture.h"

#include "Tavironv10.h"
#include "platform/report.h"
#include "scope/scope_graph.h"

#include <cstring>

namespace {

class PrintQueueTest : public ScopeProgramTest {
  protected:
    static inline PrintScheduler *scheduler = nullptr;
    static inline std::string startError;
    std::string printer = PrintScheduler::kQueue; // what the print dialog returns

    static void SetUpTestSuite() {
        if (!PrintScheduler::Installed()) return;
        scheduler = new PrintScheduler;
        if (!scheduler->Start(&startError) && startError.empty()) startError = "no reason";
    }
    static void TearDownTestSuite() {
        delete scheduler;
        scheduler = nullptr;
    }

    void SetUp() override {
        if (!PrintScheduler::Installed())
            GTEST_SKIP() << "cupsd is not installed (" << PrintScheduler::kCupsd
                         << "): no print scheduler to print against";
        ASSERT_TRUE(startError.empty()) << startError;
        ScopeProgramTest::SetUp();
        SetPopupResponder([this](const PopupRecord &r, std::string *path) {
            popups.push_back(r);
            if (r.kind == "print") *path = printer;
            return 1;
        });
        ASSERT_TRUE(scheduler->Queue("cupsaccept"));
        ASSERT_TRUE(scheduler->Queue("cupsenable"));
        PlotScopeTraces(SampleTraces());
        TestProcessEvents(10);
    }

    // PRESS PRINT, the queue chosen in the dialog; returns the message shown afterwards.
    std::string Print() {
        popups.clear();
        TestClickCtrl(App.ScopePanel, SCOPEP_PRINT);
        TestProcessEvents(10);
        std::string text;
        for (const PopupRecord &p : popups)
            if (p.kind == "message") text += p.text;
        return text;
    }

    // Waits up to 10 s for job `id` to reach `state`; returns the state it has then.
    static int AwaitJobState(int id, int state) {
        int now = 0;
        for (int i = 0; i < 200 && now != state; ++i) {
            now = 0;
            for (const PrintScheduler::Job &j : scheduler->Jobs())
                if (j.id == id) now = j.state;
            if (now != state) usleep(50 * 1000);
        }
        return now;
    }
};

} // namespace

TEST_F(PrintQueueTest, AcceptingQueuePrintsUnderTheProgramsTitle) {
    std::strcpy(App.PanelId, "PRESS-4 LINE 2");
    const size_t before = scheduler->Jobs().size();
    EXPECT_EQ(Print(), "Print successful!");
    const std::vector<PrintScheduler::Job> jobs = scheduler->Jobs();
    ASSERT_EQ(jobs.size(), before + 1) << scheduler->Log();
    EXPECT_EQ(jobs.back().title, "TAVIRON Scope V1.0 - PRESS-4 LINE 2");
    EXPECT_EQ(AwaitJobState(jobs.back().id, IPP_JSTATE_COMPLETED), IPP_JSTATE_COMPLETED);
    const std::string document = scheduler->SpoolFile(jobs.back().id);
    EXPECT_EQ(document.substr(0, 5), "%PDF-");
    EXPECT_GT(document.size(), 10000u) << "the page with the panel picture";
}

TEST_F(PrintQueueTest, RefusingQueueGivesPrintErrorWithItsReason) {
    ASSERT_TRUE(scheduler->Queue("cupsreject", "toner empty"));
    const size_t before = scheduler->Jobs().size();
    const std::string shown = Print();
    EXPECT_EQ(shown.rfind("Print error!", 0), 0u) << shown;
    EXPECT_NE(shown.find("toner empty"), std::string::npos) << shown;
    EXPECT_EQ(scheduler->Jobs().size(), before) << "no job was made";

    App.LanguageIndex = 0;
    EXPECT_EQ(Print().rfind("Druckfehler!", 0), 0u);
}

TEST_F(PrintQueueTest, StoppedQueueKeepsTheJobAndSaysItWaits) {
    ASSERT_TRUE(scheduler->Queue("cupsdisable", "paper jam"));
    const size_t before = scheduler->Jobs().size();
    std::string shown = Print();
    EXPECT_NE(shown.find("The print job is waiting in the queue of printer TestQueue"),
              std::string::npos)
        << shown;
    EXPECT_NE(shown.find("paper jam"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("successful"), std::string::npos) << shown;
    std::vector<PrintScheduler::Job> jobs = scheduler->Jobs();
    ASSERT_EQ(jobs.size(), before + 1);
    EXPECT_EQ(jobs.back().state, IPP_JSTATE_PENDING);

    // Once the queue runs again the waiting job is printed.
    ASSERT_TRUE(scheduler->Queue("cupsenable"));
    EXPECT_EQ(AwaitJobState(jobs.back().id, IPP_JSTATE_COMPLETED), IPP_JSTATE_COMPLETED);

    App.LanguageIndex = 0;
    ASSERT_TRUE(scheduler->Queue("cupsdisable"));
    shown = Print();
    EXPECT_NE(shown.find("wartet in der Warteschlange des Druckers TestQueue"), std::string::npos)
        << shown;
}

// The queue's states are said in the program's language, never in the scheduler's English: a
// queue that refuses jobs, a stopped one, a queue that does not exist, a scheduler that does
// not answer. A reason the queue's keeper wrote follows; the scheduler's stock words for the
// state ("Rejecting Jobs", "Paused") and its state keywords do not.
TEST_F(PrintQueueTest, QueueStatesAreSaidInTheProgramsLanguage) {
    const struct {
        const char *what;
        const char *tool, *reason; // what the queue's keeper did
        const char *printer;
        int language;
        std::string shown;
    } cases[] = {
        {"refusing, German", "cupsreject", "", PrintScheduler::kQueue, 0,
         "Druckfehler!\nDer Drucker TestQueue nimmt keine Auftraege an."},
        {"refusing, English", "cupsreject", "", PrintScheduler::kQueue, 1,
         "Print error!\nThe printer TestQueue does not accept jobs."},
        {"refusing with a reason, German", "cupsreject", "toner empty", PrintScheduler::kQueue, 0,
         "Druckfehler!\nDer Drucker TestQueue nimmt keine Auftraege an.\nMeldung des Druckers: "
         "toner empty"},
        {"stopped, German", "cupsdisable", "", PrintScheduler::kQueue, 0,
         "Der Druckauftrag wartet in der Warteschlange des Druckers TestQueue; der Drucker ist "
         "angehalten."},
        {"stopped, English", "cupsdisable", "", PrintScheduler::kQueue, 1,
         "The print job is waiting in the queue of printer TestQueue; the printer is stopped."},
        {"not found, German", "", "", "NoSuchQueue", 0,
         "Druckfehler!\nDer Drucker NoSuchQueue wurde nicht gefunden."},
        {"not found, English", "", "", "NoSuchQueue", 1,
         "Print error!\nThe printer NoSuchQueue was not found."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(scheduler->Queue("cupsaccept"));
        ASSERT_TRUE(scheduler->Queue("cupsenable"));
        if (*c.tool) {
            ASSERT_TRUE(scheduler->Queue(c.tool, c.reason));
        }
        App.LanguageIndex = c.language;
        printer = c.printer;
        EXPECT_EQ(Print(), c.shown);
    }

    // No scheduler at that address: no printer can be reached.
    cupsSetServer("127.0.0.1:1");
    printer = PrintScheduler::kQueue;
    App.LanguageIndex = 0;
    const std::string shown = Print();
    cupsSetServer(scheduler->server().c_str());
    EXPECT_EQ(shown, "Druckfehler!\nKein Drucker erreichbar: der Druckdienst des Systems antwortet "
                     "nicht.");
}
