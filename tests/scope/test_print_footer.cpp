// The printout's footer in the program's language, read back from the printed PDF: German
// "dd.MM.yyyy", 24-hour time and "Seite n von m"; English after switching back. The language is
// chosen on the connection page as the operator chooses it, whatever the system's locale.
#include "pdf_tools.h"
#include "scope_fixture.h"

#include "Tavironv10.h"

#include <cstdio>
#include <ctime>
#include <regex>

namespace {

class PrintFooterTest : public ScopeProgramTest {
  protected:
    std::string dir;

    void SetUp() override {
        ScopeProgramTest::SetUp();
        dir = MakeScratchDir();
        ASSERT_FALSE(dir.empty());
    }
    void TearDown() override {
        RemoveTree(dir);
        ScopeProgramTest::TearDown();
    }

    // Prints into `pdf` through the PRINT button and returns the footer: the page's last line.
    std::string PrintFooter(const std::string &pdf) {
        SetPopupResponder([pdf](const PopupRecord &r, std::string *path) {
            if (r.kind == "print") *path = pdf;
            return 1;
        });
        TestClickCtrl(App.ScopePanel, SCOPEP_PRINT);
        TestProcessEvents(10);
        std::string text = PdfText(pdf);
        size_t end = text.find_last_not_of(" \f\n");
        if (end == std::string::npos) return "";
        size_t start = text.rfind('\n', end);
        start = start == std::string::npos ? 0 : start + 1;
        std::string line = text.substr(start, end - start + 1);
        return line.substr(std::min(line.size(), line.find_first_not_of(' ')));
    }

    static void SelectLanguage(int index) {
        TestSelectRingItem(App.ConnectTab, CONNECT_LANGUAGE, index);
        TestProcessEvents(10);
        ASSERT_EQ(App.LanguageIndex, index);
    }

    // Today as the footer writes it: German "31.12.2026", English "31 Dec 2026" (the month by
    // its English name, whatever the C library's locale).
    static std::string Today(int language) {
        static const char *const months[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        std::time_t t = std::time(nullptr);
        std::tm local = *std::localtime(&t);
        char buf[32];
        if (language == 0)
            std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", local.tm_mday, local.tm_mon + 1,
                          local.tm_year + 1900);
        else
            std::snprintf(buf, sizeof buf, "%d %s %04d", local.tm_mday, months[local.tm_mon],
                          local.tm_year + 1900);
        return buf;
    }
    static std::string TimeNow() {
        std::time_t t = std::time(nullptr);
        std::tm local = *std::localtime(&t);
        char buf[16];
        std::snprintf(buf, sizeof buf, "%02d:%02d", local.tm_hour, local.tm_min);
        return buf;
    }
};

} // namespace

TEST_F(PrintFooterTest, GermanFooterThenEnglishAgain) {
    const struct {
        int language;
        const char *pattern; // date, time, page
    } cases[] = {
        {0, R"((\d\d\.\d\d\.\d{4})\s+(\d\d:\d\d)\s+Seite 1 von 1)"},
        {1, R"((\d{1,2} [A-Z][a-z]{2} \d{4})\s+(\d\d:\d\d)\s+Page 1 of 1)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pattern);
        SelectLanguage(c.language);
        const std::string dayBefore = Today(c.language), timeBefore = TimeNow();
        const std::string footer =
            PrintFooter(dir + "/footer" + std::to_string(c.language) + ".pdf");
        const std::string dayAfter = Today(c.language), timeAfter = TimeNow();
        std::smatch m;
        ASSERT_TRUE(std::regex_match(footer, m, std::regex(c.pattern))) << footer;
        EXPECT_TRUE(m[1] == dayBefore || m[1] == dayAfter) << m[1] << " / " << dayBefore;
        EXPECT_TRUE(m[2] == timeBefore || m[2] == timeAfter) << m[2] << " / " << timeBefore;
    }
}
