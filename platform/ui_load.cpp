// LoadPanel: builds a panel, its tab pages and their controls from the resource file (a Qt
// Designer document) and records every control with its kind, data type, value and callback.
#include "platform/ui_internal.h"
#include "platform/uir_scan.h"
#include "platform/widgets.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QUiLoader>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

class UirLoader : public QUiLoader {
  public:
    QWidget *createWidget(const QString &className, QWidget *parent, const QString &name) override {
        QWidget *w = nullptr;
        if (className == "Led")
            w = new Led(parent);
        else if (className == "Graph")
            w = new Graph(parent);
        else
            return QUiLoader::createWidget(className, parent, name);
        w->setObjectName(name);
        return w;
    }
};

DataType ParseType(const QString &t, DataType fallback) {
    if (t == "u16") return DataType::U16;
    if (t == "i16") return DataType::I16;
    if (t == "int") return DataType::Int;
    if (t == "u32") return DataType::U32;
    if (t == "double") return DataType::Double;
    return fallback;
}

void TypeRange(DataType t, double *lo, double *hi) {
    switch (t) {
    case DataType::U16:
        *lo = 0;
        *hi = 65535;
        break;
    case DataType::I16:
        *lo = -32768;
        *hi = 32767;
        break;
    case DataType::Int:
        *lo = std::numeric_limits<int>::min();
        *hi = std::numeric_limits<int>::max();
        break;
    case DataType::U32:
        *lo = 0;
        *hi = 4294967295.0;
        break;
    default:
        *lo = -std::numeric_limits<double>::max();
        *hi = std::numeric_limits<double>::max();
    }
}

// Caption above (or beside) a value control, as the resource's "label" property asks.
void AddCaption(CtrlRec &c, QWidget *w) {
    QString text = w->property("label").toString();
    if (text.isEmpty() || !w->parentWidget()) return;
    auto *l = new QLabel(text, w->parentWidget());
    l->setObjectName(QString::fromStdString(c.name) + "_label");
    QString pos = w->property("labelPos").toString();
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    l->adjustSize();
    QRect g = w->geometry();
    if (pos == "right")
        l->move(g.right() + 6, g.top() + (g.height() - l->height()) / 2);
    else if (pos == "left")
        l->move(g.left() - l->width() - 6, g.top() + (g.height() - l->height()) / 2);
    else
        l->move(g.left(), g.top() - l->height() - 1);
    l->setVisible(w->isVisibleTo(w->parentWidget()));
    c.label = l;
}

bool BuildCtrl(PanelRec &panel, const std::string &name, int id, QWidget *w) {
    CtrlRec c;
    c.id = id;
    c.name = name;
    c.widget = w;
    std::string cb = w->property("callback").toString().toStdString();
    if (!cb.empty()) {
        bool found = false;
        c.callback = LookupCtrlCallback(cb, &found);
        c.callbackName = cb;
        if (!found) {
            std::fprintf(stderr, "resource: callback %s of %s is not part of this program\n",
                         cb.c_str(), name.c_str());
            return false;
        }
    }
    if (auto *n = qobject_cast<QDoubleSpinBox *>(w)) {
        c.style = CTRL_NUMERIC;
        c.type = ParseType(n->property("dataType").toString(),
                           n->decimals() > 0 ? DataType::Double : DataType::Int);
        double lo, hi;
        TypeRange(c.type, &lo, &hi);
        c.minimum = std::max(lo, n->minimum());
        c.maximum = std::min(hi, n->maximum());
        if (n->property("fullRange").toBool()) {
            c.minimum = lo;
            c.maximum = hi;
            n->setRange(lo, hi);
        }
        c.number = n->value();
        c.precision = c.type == DataType::Double ? n->decimals() : 0;
        c.mode = n->isReadOnly() ? VAL_INDICATOR : VAL_HOT;
        n->setKeyboardTracking(false);
        if (c.mode == VAL_INDICATOR) {
            n->setButtonSymbols(QAbstractSpinBox::NoButtons);
            n->setFocusPolicy(Qt::NoFocus);
        }
    } else if (auto *r = qobject_cast<QComboBox *>(w)) {
        c.style = CTRL_RING;
        c.type = ParseType(r->property("dataType").toString(), DataType::Int);
        QStringList values = r->property("itemValues").toString().split(',', Qt::SkipEmptyParts);
        for (int i = 0; i < r->count(); ++i)
            c.items.push_back(
                {r->itemText(i), i < values.size() ? values[i].trimmed().toDouble() : double(i)});
        int cur = std::max(0, r->currentIndex());
        c.number = cur < int(c.items.size()) ? c.items[cur].value : 0;
    } else if (auto *s = qobject_cast<QLineEdit *>(w)) {
        c.style = CTRL_STRING;
        c.type = DataType::Text;
        c.text = s->text();
        c.mode = s->isReadOnly() ? VAL_INDICATOR : VAL_HOT;
    } else if (auto *t = qobject_cast<QPlainTextEdit *>(w)) {
        c.style = CTRL_TEXT_BOX;
        c.type = DataType::Text;
        c.text = t->toPlainText();
        c.shownTextLength = c.text.size();
        c.mode = t->isReadOnly() ? VAL_INDICATOR : VAL_HOT;
    } else if (auto *l = qobject_cast<QLabel *>(w)) {
        c.style = l->property("picture").toBool() ? CTRL_PICTURE : CTRL_TEXT_MSG;
        c.type = DataType::Text;
        c.text = l->text();
        c.mode = VAL_INDICATOR;
    } else if (auto *b = qobject_cast<QPushButton *>(w)) {
        c.style = b->isCheckable() ? CTRL_TOGGLE_BUTTON : CTRL_COMMAND_BUTTON;
        c.type = b->isCheckable() ? DataType::Int : DataType::None;
        c.number = b->isChecked() ? 1 : 0;
        c.text = b->text();
        // A shortcut that is only the label's mnemonic goes with the label; anything else is
        // the button's own key.
        if (b->shortcut() != QKeySequence::mnemonic(b->text())) c.shortcut = b->shortcut();
    } else if (auto *led = qobject_cast<Led *>(w)) {
        c.style = CTRL_LED;
        c.type = DataType::Int;
        c.number = led->isOn() ? 1 : 0;
        c.mode = VAL_INDICATOR;
    } else if (qobject_cast<Graph *>(w)) {
        c.style = CTRL_GRAPH;
    } else if (qobject_cast<QTabWidget *>(w)) {
        c.style = CTRL_TAB;
    } else if (qobject_cast<QProgressBar *>(w)) {
        c.style = CTRL_BUSY;
        c.mode = VAL_INDICATOR;
    } else {
        c.style = CTRL_DECORATION;
        c.mode = VAL_INDICATOR;
    }
    AddCaption(c, w);
    auto [it, inserted] = panel.controls.emplace(id, std::move(c));
    panel.controlOrder.push_back(id);
    InstallInputHooks(panel, it->second);
    return inserted;
}

// Registers one panel (and, recursively, the tab pages inside it) and returns its handle.
int BuildPanel(const std::vector<UirPanel> &all, const UirPanel &def, QWidget *w, int parent) {
    auto rec = std::make_unique<PanelRec>();
    rec->name = def.name;
    rec->parent = parent;
    rec->widget = w;
    std::string cb = w->property("callback").toString().toStdString();
    if (!cb.empty()) {
        bool found = false;
        rec->callback = LookupPanelCallback(cb, &found);
        if (!found) {
            std::fprintf(stderr, "resource: panel callback %s of %s is not part of this program\n",
                         cb.c_str(), def.name.c_str());
            return -1;
        }
    }
    int id = kFirstCtrlId;
    for (const std::string &name : def.controls) {
        auto *cw = w->findChild<QWidget *>(QString::fromStdString(name));
        if (!cw || !BuildCtrl(*rec, name, id, cw)) {
            if (!cw) std::fprintf(stderr, "resource: control %s not found\n", name.c_str());
            return -1;
        }
        ++id;
    }
    rec->nextNewId = id + 1000;
    PanelRec &ref = *rec;
    int handle = RegisterPanel(std::move(rec));
    InstallPanelHooks(ref);
    for (const UirPanel &child : all) {
        if (child.parent != def.name) continue;
        auto *cw = w->findChild<QWidget *>(QString::fromStdString(child.name));
        if (!cw || BuildPanel(all, child, cw, handle) < 0) {
            ForgetPanel(handle);
            return -1;
        }
    }
    return handle;
}

// A window smaller than its panel keeps every control reachable: the controls move onto a page
// of the panel's designed size inside a scroll area that fills the window, with scroll bars
// only while the window is smaller than the page. Larger, the page grows with the window.
//
// A panel whose resource names a "pinnedBottom" height keeps the strip below it (the
// operator's button row) in view under the scrolling part, whatever the window's size: on a
// small screen, or one scaled up, the buttons are there without scrolling. The strip keeps
// its designed height; in a window narrower than the panel its controls close up in
// proportion, so the last one is still inside the window.
class PinnedStrip : public QObject {
  public:
    PinnedStrip(QWidget *window, QScrollArea *scroll, QWidget *strip, int designedWidth,
                int pinnedFrom)
        : QObject(window), window_(window), scroll_(scroll), strip_(strip),
          designedWidth_(designedWidth), pinnedFrom_(pinnedFrom) {
        for (QObject *o : strip->children())
            if (auto *child = qobject_cast<QWidget *>(o))
                designed_.push_back({child, child->geometry()});
        window->installEventFilter(this);
    }

    bool eventFilter(QObject *obj, QEvent *ev) override {
        if (obj == window_ && (ev->type() == QEvent::Resize || ev->type() == QEvent::Show))
            Arrange();
        return false;
    }

  private:
    void Arrange() {
        const int width = window_->width(), height = window_->height();
        const int stripHeight = strip_->minimumHeight();
        // The scrolling part is as tall as the page (and its scroll bar, while the window is
        // narrower than the page) or as the window leaves room for, whichever is less: in a
        // large window the strip sits under the page, as designed.
        const int scrollBar =
            width < designedWidth_ ? scroll_->horizontalScrollBar()->sizeHint().height() : 0;
        const int scrollHeight =
            std::max(0, std::min(height - stripHeight, pinnedFrom_ + scrollBar));
        scroll_->setGeometry(0, 0, width, scrollHeight);
        strip_->setGeometry(0, scrollHeight, width, stripHeight);
        const double fit = std::min(1.0, double(width) / designedWidth_);
        for (const auto &[child, rect] : designed_)
            if (child)
                child->setGeometry(int(rect.x() * fit), rect.y(), int(rect.width() * fit),
                                   rect.height());
    }

    QPointer<QWidget> window_;
    QPointer<QScrollArea> scroll_;
    QPointer<QWidget> strip_;
    int designedWidth_;
    int pinnedFrom_;
    std::vector<std::pair<QPointer<QWidget>, QRect>> designed_;
};

void MakeScrollable(PanelRec &p) {
    QWidget *w = p.widget;
    const int pinnedFrom = w->property("pinnedBottom").toInt();
    const bool pinned = pinnedFrom > 0 && pinnedFrom < w->height();
    auto *page = new QWidget;
    page->setObjectName(w->objectName() + QStringLiteral("_page"));
    page->setMinimumSize(w->width(), pinned ? pinnedFrom : w->height());
    page->setProperty("tav_panel", p.handle); // a click beside the controls is the panel's
    QWidget *strip = nullptr;
    if (pinned) {
        strip = new QWidget(w);
        strip->setObjectName(w->objectName() + QStringLiteral("_pinned"));
        strip->setMinimumHeight(w->height() - pinnedFrom);
    }
    for (QObject *o : w->children()) {
        auto *child = qobject_cast<QWidget *>(o);
        if (!child || child->isWindow() || child == strip) continue;
        const bool hidden = child->isHidden();
        if (strip && child->y() >= pinnedFrom) {
            child->setParent(strip);
            child->move(child->x(), child->y() - pinnedFrom);
        } else {
            child->setParent(page);
        }
        child->setHidden(hidden);
    }
    auto *scroll = new QScrollArea(w);
    scroll->setObjectName(w->objectName() + QStringLiteral("_scroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(page);
    scroll->viewport()->setAutoFillBackground(false);
    page->setAutoFillBackground(false);
    if (strip) {
        strip->raise();
        new PinnedStrip(w, scroll, strip, w->width(), pinnedFrom);
    } else {
        auto *layout = new QVBoxLayout(w);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(scroll);
    }
    p.page = page;
}

// The program's window icon lies beside its panel file, wherever that was found (beside the
// program, or in the installed data folder): the first top-level panel loaded sets it for
// every window. Without the file the windows keep the desktop's default icon.
constexpr const char *kWindowIconFile = "taviron-scope.png";

void SetWindowIconBeside(const QString &panelFile) {
    if (!qApp || !QApplication::windowIcon().isNull()) return;
    const QString icon = QFileInfo(panelFile).dir().filePath(kWindowIconFile);
    if (QFileInfo(icon).isFile()) QApplication::setWindowIcon(QIcon(icon));
}

} // namespace

int LoadPanel(int parent, const char *resourceFile, int panelNumber) {
    QString path = QString::fromLocal8Bit(resourceFile);
    if (QFileInfo(path).isRelative()) { // beside the program, else the installed data folder
        char found[MAX_PATHNAME_LEN];
        FindProgramFile(resourceFile, 0, found);
        path = QString::fromLocal8Bit(found);
    }
    PanelRec *parentRec = parent ? FindPanel(parent) : nullptr;
    if (parent && !parentRec) return -1;
    std::vector<UirPanel> panels;
    std::string error;
    if (!ScanUir(path.toStdString(), &panels, &error))
        return -1; // the file is missing or unreadable
    const UirPanel *def = nullptr;
    for (const UirPanel &p : panels)
        if (p.number == panelNumber && p.parent.empty()) def = &p;
    if (!def) return -2;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    UirLoader loader;
    std::unique_ptr<QWidget> root(loader.load(&file));
    if (!root) return -1;
    auto *w = root->findChild<QWidget *>(QString::fromStdString(def->name));
    if (!w) return -2;
    w->hide();
    if (parentRec) {
        w->setParent(ContentOf(*parentRec));
    } else {
        QSize size = w->size();
        w->setParent(nullptr);
        w->setWindowFlags(Qt::Window);
        w->resize(size);
        SetWindowIconBeside(path);
    }
    int handle = BuildPanel(panels, *def, w, parent);
    if (handle < 0) {
        delete w;
        return -1;
    }
    if (!parentRec) MakeScrollable(*FindPanel(handle));
    return handle;
}
