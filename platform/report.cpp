// Report printing on Qt's print support: the report is a list of text lines and images with
// the text attributes in force when each was appended; printing lays it out on A4 pages, fills
// the footer fields on every page and paints through QPrinter into a PDF file (images stored
// lossless; a PDF file the operator chose replaces an older one whole), which for a system
// printer is handed to its queue on the print scheduler so that a refusal or a stopped queue is
// known. The print dialog is QPrintDialog.
#include "platform/report.h"

#include "inifile/inifile.h"
#include "platform/testing.h"
#include "platform/toolbox.h"
#include "platform/ui_internal.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <QTime>

#if TAVIRON_HAVE_CUPS
#include "platform/print_queue.h"
#endif

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

struct TextStyle {
    QString family = QStringLiteral("Arial");
    double pointSize = 10;
    bool bold = false;
    QColor color = Qt::black;

    QFont font() const {
        QFont f(family);
        f.setPointSizeF(pointSize);
        f.setBold(bold);
        return f;
    }
};

struct Block {
    bool image = false;
    QString text; // one line of text (an empty one is an empty line)
    TextStyle style;
    QImage picture;
    QString name;
};

struct Report {
    TextStyle style; // applies to the next text appended
    std::vector<Block> blocks;
    QString footer[3]; // left, centre, right
    QString jobTitle = QStringLiteral("Report");
    std::string printMessage; // the queue's word on the last print
};

std::map<int, Report> g_reports;
int g_nextHandle = 1;

constexpr double kMarginMm = 15;
constexpr double kScreenDpi = 96; // the panel images are screen pixels
constexpr double kFooterPointSize = 8;

Report *Find(int handle) {
    auto it = g_reports.find(handle);
    return it == g_reports.end() ? nullptr : &it->second;
}

QString Q(const char *s) {
    return QString::fromUtf8(s ? s : "");
}

// One block placed on a page.
struct Placed {
    int page;
    QRectF rect;
    const Block *block;
};

// Places the blocks top-down on pages of the given body size (device pixels); a block that
// does not fit below the previous ones starts a new page. Returns the number of pages.
int Layout(const Report &r, QPaintDevice *device, double width, double height,
           std::vector<Placed> *out) {
    int page = 0;
    double y = 0;
    double res = device->logicalDpiX();
    for (const Block &b : r.blocks) {
        QSizeF size;
        if (b.image) {
            double scale = res / kScreenDpi;
            size = QSizeF(b.picture.width() * scale, b.picture.height() * scale);
            if (size.width() > width) size *= width / size.width();
            if (size.height() > height) size *= height / size.height();
        } else {
            QFontMetricsF fm(b.style.font(), device);
            double h = fm.lineSpacing();
            if (!b.text.isEmpty())
                h = std::max(
                    h,
                    fm.boundingRect(QRectF(0, 0, width, 1e9), Qt::TextWordWrap, b.text).height());
            size = QSizeF(width, h);
        }
        if (y > 0 && y + size.height() > height) {
            ++page;
            y = 0;
        }
        out->push_back({page, QRectF(QPointF(0, y), size), &b});
        y += size.height();
    }
    return page + 1;
}

QString FillFields(QString text, const QString &date, const QString &time, int page, int pages) {
    text.replace(QStringLiteral(REPORT_FIELD_SHORT_DATE), date);
    text.replace(QStringLiteral(REPORT_FIELD_TIME), time);
    text.replace(QStringLiteral(REPORT_FIELD_PAGE_N_OF_M), ToolkitPageText(page, pages));
    return text;
}

int Paint(const Report &r, QPrinter &printer) {
    QPainter p;
    if (!p.begin(&printer)) return REPORT_ERR_PRINT_FAILED;
    p.setRenderHint(QPainter::LosslessImageRendering);
    p.setRenderHint(QPainter::SmoothPixmapTransform);

    double width = printer.width();
    QFont footerFont(QStringLiteral("Arial"));
    footerFont.setPointSizeF(kFooterPointSize);
    double footerHeight = QFontMetricsF(footerFont, &printer).lineSpacing();
    double bodyHeight = printer.height() - 2 * footerHeight;

    std::vector<Placed> placed;
    int pages = Layout(r, &printer, width, bodyHeight, &placed);
    // In the program's language, whatever the system's locale.
    QString date = ToolkitDateText(QDate::currentDate());
    QString time = ToolkitTimeText(QTime::currentTime());

    size_t next = 0;
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !printer.newPage()) return REPORT_ERR_PRINT_FAILED;
        for (; next < placed.size() && placed[next].page == page; ++next) {
            const Placed &pl = placed[next];
            if (pl.block->image) {
                p.drawImage(pl.rect, pl.block->picture);
            } else if (!pl.block->text.isEmpty()) {
                p.setFont(pl.block->style.font());
                p.setPen(pl.block->style.color);
                p.drawText(pl.rect, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
                           pl.block->text);
            }
        }
        p.setFont(footerFont);
        p.setPen(Qt::black);
        QRectF foot(0, printer.height() - footerHeight, width, footerHeight);
        const Qt::Alignment align[3] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
        for (int i = 0; i < 3; ++i)
            if (!r.footer[i].isEmpty())
                p.drawText(foot, align[i] | Qt::AlignVCenter,
                           FillFields(r.footer[i], date, time, page + 1, pages));
    }
    return p.end() ? 0 : REPORT_ERR_PRINT_FAILED;
}

// Into a PDF file: painted into a temporary file first and then put in place whole, so that an
// older file of that name stays as it was when the new one cannot be written.
int PrintToPdfFile(const Report &r, QPrinter &printer, const QString &path) {
    QTemporaryFile painted(QDir::temp().filePath(QStringLiteral("taviron-print-XXXXXX.pdf")));
    if (!painted.open()) return REPORT_ERR_PRINT_FAILED;
    painted.close();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(painted.fileName());
    if (const int result = Paint(r, printer)) return result;
    if (!painted.open()) return REPORT_ERR_PRINT_FAILED;
    const QByteArray bytes = painted.readAll();
    switch (WriteFileSafely(QFile::encodeName(path).constData(), bytes.constData(), bytes.size())) {
    case 0:
        return 0;
    case INI_ERR_DISK_FULL:
        return REPORT_ERR_DISK_FULL;
    default:
        return REPORT_ERR_PRINT_FAILED;
    }
}

} // namespace

int Report_New(int *handle) {
    if (!handle) return REPORT_ERR_HANDLE;
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return REPORT_ERR_NO_RUNTIME;
    *handle = g_nextHandle++;
    g_reports[*handle] = Report{};
    return 0;
}

int Report_SetReportAttribute(int handle, int attribute, const char *value) {
    Report *r = Find(handle);
    if (!r) return REPORT_ERR_HANDLE;
    if (attribute == REPORT_ATTR_JOB_TITLE) {
        r->jobTitle = Q(value);
        return 0;
    }
    if (attribute < REPORT_ATTR_FOOTER_LEFT_TEXT || attribute > REPORT_ATTR_FOOTER_RIGHT_TEXT)
        return REPORT_ERR_ATTRIBUTE;
    r->footer[attribute - REPORT_ATTR_FOOTER_LEFT_TEXT] = Q(value);
    return 0;
}

int Report_SetTextAttribute(int handle, int attribute, int value) {
    Report *r = Find(handle);
    if (!r) return REPORT_ERR_HANDLE;
    switch (attribute) {
    case REPORT_TEXT_POINT_SIZE:
        return Report_SetTextAttribute(handle, attribute, double(value));
    case REPORT_TEXT_BOLD:
        r->style.bold = value != 0;
        return 0;
    case REPORT_TEXT_COLOR:
        r->style.color = QColor::fromRgb(QRgb(value & 0xFFFFFF));
        return 0;
    default:
        return REPORT_ERR_ATTRIBUTE;
    }
}

int Report_SetTextAttribute(int handle, int attribute, double value) {
    Report *r = Find(handle);
    if (!r) return REPORT_ERR_HANDLE;
    if (attribute != REPORT_TEXT_POINT_SIZE || !(value > 0 && value < 1000))
        return REPORT_ERR_ATTRIBUTE;
    r->style.pointSize = value;
    return 0;
}

int Report_SetTextAttribute(int handle, int attribute, const char *value) {
    Report *r = Find(handle);
    if (!r) return REPORT_ERR_HANDLE;
    if (attribute != REPORT_TEXT_FONT || !value || !*value) return REPORT_ERR_ATTRIBUTE;
    r->style.family = Q(value);
    return 0;
}

int Report_AppendLine(int handle, const char *text) {
    Report *r = Find(handle);
    if (!r) return REPORT_ERR_HANDLE;
    // Each line of a text with line breaks is placed on its own, so a page may end between
    // them.
    QString all = Q(text);
    all.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (const QString &line : all.split(QLatin1Char('\n'))) {
        Block b;
        b.text = line;
        b.style = r->style;
        r->blocks.push_back(std::move(b));
    }
    return 0;
}

int Report_NewLine(int handle) {
    return Report_AppendLine(handle, "");
}

int Report_AppendImageFile(int handle, const char *path, const char *name) {
    Report *r = Find(handle);
    if (!r) return REPORT_ERR_HANDLE;
    QImage img(QString::fromLocal8Bit(path ? path : ""));
    if (img.isNull()) return REPORT_ERR_IMAGE;
    Block b;
    b.image = true;
    b.picture = std::move(img);
    b.name = Q(name);
    r->blocks.push_back(std::move(b));
    return 0;
}

int Report_Print(int handle, const char *printerName, int copies) {
    Report *r = Find(handle);
    if (!r) return REPORT_ERR_HANDLE;
    r->printMessage.clear();
    QString name = Q(printerName);
    if (name.isEmpty()) return REPORT_ERR_PRINTER;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                           QPageLayout::Millimeter);
    printer.setDocName(r->jobTitle);
    if (name.contains(QLatin1Char('/'))) return PrintToPdfFile(*r, printer, name);
#if TAVIRON_HAVE_CUPS
    // The page goes to the queue as a PDF document handed over by the scheduler's client
    // library, which tells whether the queue took the job and whether it prints it.
    QTemporaryFile file(QDir::temp().filePath(QStringLiteral("taviron-print-XXXXXX.pdf")));
    if (!file.open()) return REPORT_ERR_PRINT_FAILED;
    file.close();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file.fileName());
    if (const int painted = Paint(*r, printer)) return painted;
    const QueueOutcome outcome =
        SubmitToQueue(name.toUtf8().constData(), QFile::encodeName(file.fileName()).constData(),
                      r->jobTitle.toUtf8().constData(), std::max(1, copies), &r->printMessage);
    switch (outcome) {
    case QueueOutcome::Printing:
        return 0;
    case QueueOutcome::Waiting:
        return REPORT_PRINT_WAITING;
    case QueueOutcome::NotAccepting:
        return REPORT_ERR_NOT_ACCEPTING;
    case QueueOutcome::NoPrinter:
        return REPORT_ERR_PRINTER;
    case QueueOutcome::NoScheduler:
        return REPORT_ERR_NO_SCHEDULER;
    default:
        return REPORT_ERR_PRINT_FAILED;
    }
#else
    if (QPrinterInfo::printerInfo(name).isNull()) return REPORT_ERR_PRINTER;
    printer.setPrinterName(name);
    if (!printer.isValid()) return REPORT_ERR_PRINTER;
    printer.setCopyCount(std::max(1, copies));
    return Paint(*r, printer);
#endif
}

const char *Report_PrintMessage(int handle) {
    Report *r = Find(handle);
    return r ? r->printMessage.c_str() : "";
}

int Report_Discard(int handle) {
    return g_reports.erase(handle) ? 0 : REPORT_ERR_HANDLE;
}

int PrinterSelectPopup(char *name, int size) {
    FlushAllDirty();
    if (!name || size <= 0) return 0;
    QString chosen;
    if (const PopupResponder &responder = CurrentPopupResponder()) {
        std::string answer;
        if (responder({"print", "Print", "", {}, {}}, &answer) > 0)
            chosen = QString::fromStdString(answer);
    } else {
        QPrinter printer(QPrinter::HighResolution);
        QPrintDialog dialog(&printer, QApplication::activeWindow());
        if (dialog.exec() == QDialog::Accepted) {
            if (printer.outputFormat() != QPrinter::PdfFormat)
                chosen = printer.printerName();
            else if (!printer.outputFileName().isEmpty())
                chosen = QFileInfo(printer.outputFileName()).absoluteFilePath();
        }
    }
    QByteArray b = chosen.toUtf8();
    if (b.isEmpty() || b.size() >= size) return 0;
    std::memcpy(name, b.constData(), b.size() + 1);
    return 1;
}
