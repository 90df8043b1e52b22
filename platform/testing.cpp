// Operator actions for tests, delivered as real input events to the widgets (QTest), so they
// travel the same path as a mouse click or a key press.
#include "platform/testing.h"
#include "platform/ui_internal.h"
#include "platform/widgets.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <memory>

void SetProjectDirForTests(const std::string &directory); // paths.cpp
void SetDataDirForTests(const std::string &directory);    // paths.cpp

namespace {

QWidget *CtrlWidget(int panel, int control) {
    CtrlRec *c = FindCtrl(panel, control);
    return c ? c->widget.data() : nullptr;
}

// The widget that receives the mouse for a control (viewports of scrolling widgets).
QWidget *MouseTarget(QWidget *w) {
    if (auto *t = qobject_cast<QPlainTextEdit *>(w)) return t->viewport();
    return w;
}

} // namespace

std::string TestToolTip(int panel, int control) {
    QWidget *w = CtrlWidget(panel, control);
    if (!w) return "";
    const QString nothing = QStringLiteral("<no tool tip>");
    const QPoint inside(2, 2);
    const QPoint global = w->mapToGlobal(inside);
    // A tip of the test's own first: a tip the control shows replaces it, so one left from an
    // earlier control is never taken for this one's.
    QToolTip::showText(global, nothing, w);
    QHelpEvent help(QEvent::ToolTip, inside, global);
    QApplication::sendEvent(MouseTarget(w), &help);
    const QString shown = QToolTip::isVisible() ? QToolTip::text() : nothing;
    return shown == nothing ? "" : shown.toStdString();
}

void TestClickCtrl(int panel, int control) {
    if (QWidget *w = CtrlWidget(panel, control)) QTest::mouseClick(MouseTarget(w), Qt::LeftButton);
}

void TestRightClickCtrl(int panel, int control) {
    if (QWidget *w = CtrlWidget(panel, control)) QTest::mouseClick(MouseTarget(w), Qt::RightButton);
}

void TestRightDoubleClickCtrl(int panel, int control) {
    if (QWidget *w = CtrlWidget(panel, control))
        QTest::mouseDClick(MouseTarget(w), Qt::RightButton);
}

void TestRightDoubleClickPanel(int panel) {
    PanelRec *p = FindPanel(panel);
    if (!p || !p->widget) return;
    // A spot of the panel that no control covers.
    QWidget *w = p->widget;
    QPoint spot(w->width() - 3, w->height() - 3);
    for (int y = w->height() - 3; y > 0; y -= 7) {
        QWidget *hit = w->childAt(w->width() - 3, y);
        if (!hit) {
            spot = QPoint(w->width() - 3, y);
            break;
        }
    }
    QTest::mouseDClick(w, Qt::RightButton, {}, spot);
}

void TestClosePanel(int panel) {
    if (PanelRec *p = FindPanel(panel); p && p->widget) p->widget->close();
}

void TestSelectTab(int panel, int tabControl, int index) {
    auto *tab = qobject_cast<QTabWidget *>(CtrlWidget(panel, tabControl));
    if (!tab) return;
    QTabBar *bar = tab->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

void TestSelectRingItem(int panel, int control, int index) {
    auto *combo = qobject_cast<QComboBox *>(CtrlWidget(panel, control));
    if (!combo) return;
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

void TestTypeText(int panel, int control, const char *text) {
    QWidget *w = CtrlWidget(panel, control);
    if (!w) return;
    QLineEdit *le = qobject_cast<QLineEdit *>(w);
    if (!le) le = w->findChild<QLineEdit *>();
    if (le) {
        le->selectAll();
        QTest::keyClick(le, Qt::Key_Backspace);
        QTest::keyClicks(le, QString::fromUtf8(text));
        QTest::keyClick(le, Qt::Key_Return);
    } else if (auto *t = qobject_cast<QPlainTextEdit *>(w)) {
        t->selectAll();
        QTest::keyClick(t, Qt::Key_Backspace);
        QTest::keyClicks(t, QString::fromUtf8(text));
    }
}

void TestEditText(int panel, int control, const char *text) {
    QWidget *w = CtrlWidget(panel, control);
    if (!w) return;
    // Clicking into a control makes its window the active one and gives the control the focus.
    QWidget *window = w->window();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        qWarning("TestEditText: the window did not become active");
    w->setFocus(Qt::MouseFocusReason);
    if (auto *box = qobject_cast<QAbstractSpinBox *>(w))
        box->selectAll();
    else if (auto *le = qobject_cast<QLineEdit *>(w))
        le->selectAll();
    else
        return;
    QTest::keyClick(w, Qt::Key_Backspace);
    QTest::keyClicks(w, QString::fromUtf8(text));
}

void TestKey(int panel, const char *keySequence) {
    PanelRec *p = FindPanel(panel);
    if (!p || !p->widget) return;
    QWidget *window = p->widget->window();
    // Shortcuts reach the active window only; the window system makes it active.
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window)) qWarning("TestKey: the window did not become active");
    QTest::keySequence(window, QKeySequence(QString::fromUtf8(keySequence)));
}

void TestKeyInNextPopup(const char *keySequence, std::string *textOut) {
    const QKeySequence key(QString::fromUtf8(keySequence));
    auto *poll = new QTimer(qApp);
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [=] {
        QWidget *popup = QApplication::activeModalWidget();
        if (!popup && ++*tries < 500) return; // up to 5 s for the popup to come
        poll->stop();
        poll->deleteLater();
        if (!popup) return;
        if (auto *box = qobject_cast<QMessageBox *>(popup); box && textOut)
            *textOut = box->text().toStdString();
        QTest::keySequence(popup->focusWidget() ? popup->focusWidget() : popup, key);
    });
    poll->start(10);
}

void TestMoveCursor(int panel, int control, int cursor, double x, double y) {
    if (auto *g = qobject_cast<Graph *>(CtrlWidget(panel, control)))
        g->dragCursorTo(cursor - 1, QPointF(x, y));
}

void TestZoom(int panel, int control, double x1, double y1, double x2, double y2) {
    auto *g = qobject_cast<Graph *>(CtrlWidget(panel, control));
    if (!g) return;
    QPoint from = g->toScreen({x1, y1}).toPoint();
    QPoint to = g->toScreen({x2, y2}).toPoint();
    QTest::mousePress(g, Qt::LeftButton, Qt::ControlModifier, from);
    QTest::mouseMove(g, (from + to) / 2);
    QTest::mouseRelease(g, Qt::LeftButton, Qt::ControlModifier, to);
}

std::vector<TestPlot> TestGraphPlots(int panel, int control) {
    std::vector<TestPlot> out;
    if (auto *g = qobject_cast<Graph *>(CtrlWidget(panel, control)))
        for (const GraphPlot &pl : g->plots)
            if (!pl.rectangle)
                out.push_back({pl.plotStyle, pl.pointStyle, pl.lineStyle, pl.pointFrequency,
                               int(pl.color.rgb() & 0xFFFFFF), pl.y});
    return out;
}

std::vector<TestAxisItem> TestGraphAxisItems(int panel, int control) {
    std::vector<TestAxisItem> out;
    if (auto *g = qobject_cast<Graph *>(CtrlWidget(panel, control)))
        for (const auto &[value, text] : g->yItems)
            out.push_back({text.toStdString(), value});
    return out;
}

void TestProcessEvents(int ms) {
    double until = Timer() + ms / 1000.0;
    do {
        ProcessSystemEvents();
    } while (Timer() < until);
    ProcessSystemEvents();
    FlushAllDirty();
}

bool TestPanelShown(int panel) {
    PanelRec *p = FindPanel(panel);
    return p && p->widget && p->widget->isVisible();
}

void TestPanelScreenRect(int panel, int *left, int *top, int *width, int *height) {
    PanelRec *p = FindPanel(panel);
    if (!p || !p->widget) return;
    QRect r(p->widget->pos(), p->widget->size());
    *left = r.left();
    *top = r.top();
    *width = r.width();
    *height = r.height();
}

void TestScreenSize(int *width, int *height) {
    QRect r = QGuiApplication::primaryScreen()->availableGeometry();
    *width = r.width();
    *height = r.height();
}

void TestRunFromLoop(std::function<void()> work) {
    QMetaObject::invokeMethod(
        qApp, [w = std::move(work)] { w(); }, Qt::QueuedConnection);
}

void TestSetProjectDir(const char *directory) {
    SetProjectDirForTests(directory ? directory : "");
}

void TestSetDataDir(const char *directory) {
    SetDataDirForTests(directory ? directory : "");
}

std::vector<TestCtrlLayout> TestPanelLayout(int panel, int *panelWidth, int *panelHeight) {
    std::vector<TestCtrlLayout> out;
    PanelRec *p = FindPanel(panel);
    if (!p || !p->widget) return out;
    FlushAllDirty();
    *panelWidth = p->widget->width();
    *panelHeight = p->widget->height();
    for (int id : p->controlOrder) {
        CtrlRec &c = p->controls[id];
        QWidget *w = c.combo ? static_cast<QWidget *>(c.combo) : c.widget.data();
        if (!w) continue;
        TestCtrlLayout l;
        l.control = id;
        l.name = c.name;
        l.style = c.style;
        l.visible = w->isVisibleTo(p->widget);
        l.left = w->x();
        l.top = w->y();
        l.width = w->width();
        l.height = w->height();
        if (c.label && !c.label->text().isEmpty()) {
            l.hasCaption = true;
            QRect r = c.label->geometry();
            l.captionLeft = r.x();
            l.captionTop = r.y();
            l.captionWidth = std::max(r.width(), c.label->sizeHint().width());
            l.captionHeight = r.height();
        }
        QFontMetrics fm(c.widget->font());
        const int kPadding = 12; // frame and margins around a button's or indicator's text
        if (auto *b = qobject_cast<QPushButton *>(c.widget.data())) {
            l.neededWidth = fm.horizontalAdvance(b->text()) + kPadding;
        } else if (auto *r = qobject_cast<QComboBox *>(c.widget.data()); r && !c.combo) {
            for (int i = 0; i < r->count(); ++i)
                l.neededWidth = std::max(l.neededWidth, fm.horizontalAdvance(r->itemText(i)) +
                                                            kPadding + 20); // and the arrow
        } else if (auto *t = qobject_cast<QLabel *>(c.widget.data());
                   t && c.style == CTRL_TEXT_MSG && t->wordWrap()) {
            l.neededHeight = t->heightForWidth(t->width());
        } else if (auto *busy = qobject_cast<QProgressBar *>(c.widget.data())) {
            l.neededWidth = fm.horizontalAdvance(busy->format()) + kPadding;
        }
        out.push_back(l);
    }
    return out;
}

namespace {

// Counts the paint events of the widgets it watches.
class PaintCounter : public QObject {
  public:
    std::map<QObject *, int> counts;
    bool eventFilter(QObject *obj, QEvent *ev) override {
        if (ev->type() == QEvent::Paint) ++counts[obj];
        return false;
    }
};

} // namespace

std::vector<unsigned> TestCtrlPixels(int panel, int control) {
    std::vector<unsigned> out;
    QWidget *w = CtrlWidget(panel, control);
    if (!w) return out;
    const QImage image = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            out.push_back(row[x] & 0xFFFFFFu);
    }
    return out;
}

int TestPaintCount(int panel, int control) {
    static QPointer<PaintCounter> counter; // ends with the application object
    if (!counter) {
        counter = new PaintCounter;
        counter->setParent(qApp);
    }
    QWidget *w = CtrlWidget(panel, control);
    if (!w) return -1;
    auto it = counter->counts.find(w);
    if (it == counter->counts.end()) {
        w->installEventFilter(counter);
        QObject::connect(w, &QObject::destroyed, counter, [w] { counter->counts.erase(w); });
        counter->counts[w] = 0;
        return 0;
    }
    return it->second;
}

int TestWindowIconSize(int panel) {
    PanelRec *rec = FindPanel(panel);
    if (!rec || !rec->widget) return 0;
    int largest = 0;
    for (const QSize &size : rec->widget->windowIcon().availableSizes())
        largest = std::max(largest, size.width());
    return largest;
}
