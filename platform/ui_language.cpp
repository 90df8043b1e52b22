// The language of the toolkit's own texts: Qt's standard dialogs and buttons (file dialog,
// print dialog, Yes / No of confirmations) through Qt's translation catalogue for the
// language, and the forms of date, time and page number in a printout's footer. It follows the
// program's language, not the system's locale.
#include "platform/ui_internal.h"

#include <QCoreApplication>
#include <QDate>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTime>
#include <QTranslator>

namespace {

bool g_german = false;
// Qt's German catalogue while German is chosen; a child of the application object, so it ends
// with it.
QPointer<QTranslator> g_translator;

void DropTranslator() {
    if (!g_translator) return;
    QCoreApplication::removeTranslator(g_translator);
    delete g_translator;
}

} // namespace

int SetToolkitLanguage(const char *language) {
    const bool german = language && QString::fromUtf8(language) == QLatin1String("de");
    g_german = german;
    if (!QCoreApplication::instance()) return german ? -1 : 0;
    if (!german) {
        DropTranslator();
        return 0;
    }
    if (g_translator) return 0; // already installed
    auto *t = new QTranslator(QCoreApplication::instance());
    // qtbase holds the texts of the widgets, dialogs and print support.
    if (!t->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                 QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete t;
        return -1; // catalogue not installed: Qt's texts stay English
    }
    QCoreApplication::installTranslator(t);
    g_translator = t;
    return 0;
}

bool ToolkitGerman() {
    return g_german;
}

QString ToolkitDateText(const QDate &date) {
    if (g_german) return date.toString(QStringLiteral("dd.MM.yyyy"));
    // Month by name: read the same way on both sides of the Atlantic.
    return QLocale(QLocale::English).toString(date, QStringLiteral("d MMM yyyy"));
}

QString ToolkitTimeText(const QTime &time) {
    return time.toString(QStringLiteral("HH:mm"));
}

QString ToolkitPageText(int page, int pages) {
    return (g_german ? QStringLiteral("Seite %1 von %2") : QStringLiteral("Page %1 of %2"))
        .arg(page)
        .arg(pages);
}
