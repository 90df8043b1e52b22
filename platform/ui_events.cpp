// Operator input to callbacks: right clicks and double clicks on every control, commits of
// buttons, edits and rings, tab changes, graph cursors and zoom, the window's close box, and
// the key combinations of controls that are not buttons.
// Callbacks are called from the event loop (queued), so a callback that waits and processes
// events itself never runs inside a widget's own signal handler.
#include "platform/core/runtime_internal.h"
#include "platform/ui_internal.h"
#include "platform/widgets.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QToolTip>

namespace {

constexpr const char *kPanelProp = "tav_panel";
constexpr const char *kCtrlProp = "tav_ctrl";

// Programmatic changes to a tab control must not look like the operator's.
bool g_programmaticTab = false;

// How deep the program is inside operations (BusyScope), and who says why a control is dimmed.
int g_busyDepth = 0;
DimmedTipSource g_dimmedTipSource = nullptr;

class InputFilter : public QObject {
  public:
    bool eventFilter(QObject *obj, QEvent *ev) override {
        QVariant pv = obj->property(kPanelProp);
        if (!pv.isValid()) return false;
        int panel = pv.toInt();
        int ctrl = obj->property(kCtrlProp).toInt();
        switch (ev->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto *me = static_cast<QMouseEvent *>(ev);
            if (me->button() != Qt::RightButton) return false;
            bool dbl = ev->type() == QEvent::MouseButtonDblClick;
            if (ctrl) {
                CtrlRec *c = FindCtrl(panel, ctrl);
                if (!c || !c->callback) return false; // let the panel see it
                PostCtrlEvent(panel, ctrl, dbl ? EVENT_RIGHT_DOUBLE_CLICK : EVENT_RIGHT_CLICK);
                return true;
            }
            PostPanelEvent(panel, dbl ? EVENT_RIGHT_DOUBLE_CLICK : EVENT_RIGHT_CLICK);
            return true;
        }
        case QEvent::ContextMenu:
            return ctrl != 0; // right clicks belong to the program's help, not to edit menus
        case QEvent::ToolTip: {
            // A dimmed control says why it is dimmed and what enables it.
            CtrlRec *c = ctrl ? FindCtrl(panel, ctrl) : nullptr;
            QWidget *shown = c ? Outer(*c) : nullptr;
            if (!shown || shown->isEnabled()) return false; // its own tool tip, as Qt shows it
            const QString tip = ToolTipNow(*c);
            if (tip.isEmpty()) return false;
            QToolTip::showText(static_cast<QHelpEvent *>(ev)->globalPos(), tip,
                               static_cast<QWidget *>(obj));
            return true;
        }
        case QEvent::Close:
            if (!ctrl && static_cast<QWidget *>(obj)->isWindow()) {
                ev->ignore();
                PostPanelCommand(panel, EVENT_CLOSE);
                return true;
            }
            return false;
        default:
            return false;
        }
    }
};

// One filter for the runtime's life; it ends with the application object.
InputFilter *Filter() {
    static QPointer<InputFilter> f;
    if (!f) {
        f = new InputFilter;
        f->setParent(qApp);
    }
    return f;
}

void Tag(QObject *o, int panel, int ctrl) {
    o->setProperty(kPanelProp, panel);
    o->setProperty(kCtrlProp, ctrl);
    o->installEventFilter(Filter());
}

void PostBoth(int panel, int id) {
    PostCtrlEvent(panel, id, EVENT_VAL_CHANGED);
    PostCtrlEvent(panel, id, EVENT_COMMIT);
}

} // namespace

CtrlRec *TaggedCtrl(const QWidget *w) {
    for (; w; w = w->parentWidget()) {
        const int ctrl = w->property(kCtrlProp).toInt();
        if (ctrl) return FindCtrl(w->property(kPanelProp).toInt(), ctrl);
        if (w->isWindow()) break;
    }
    return nullptr;
}

void SetProgrammaticTabChange(bool on) {
    g_programmaticTab = on;
}

BusyScope::BusyScope() {
    ++g_busyDepth;
}

BusyScope::~BusyScope() {
    --g_busyDepth;
}

bool ProgramBusy() {
    return g_busyDepth > 0 || InsideEventWait();
}

void SetDimmedTipSource(DimmedTipSource source) {
    g_dimmedTipSource = source;
}

QString ToolTipNow(CtrlRec &c) {
    QWidget *shown = Outer(c);
    if (shown && !shown->isEnabled() && g_dimmedTipSource) {
        const char *why = g_dimmedTipSource(c.panel, c.id, ProgramBusy() ? 1 : 0);
        if (why && why[0]) return QString::fromUtf8(why);
    }
    return c.widget ? c.widget->toolTip() : QString();
}

void PostCtrlEvent(int panel, int control, int event, int data1, int data2) {
    QMetaObject::invokeMethod(
        qApp,
        [=] {
            CtrlRec *c = FindCtrl(panel, control);
            const BusyScope busy;
            if (c && c->callback) c->callback(panel, control, event, c->callbackData, data1, data2);
        },
        Qt::QueuedConnection);
}

void PostPanelEvent(int panel, int event, int data1, int data2) {
    QMetaObject::invokeMethod(
        qApp,
        [=] {
            PanelRec *p = FindPanel(panel);
            const BusyScope busy;
            if (p && p->callback) p->callback(panel, event, p->callbackData, data1, data2);
        },
        Qt::QueuedConnection);
}

void InstallPanelHooks(PanelRec &p) {
    Tag(p.widget, p.handle, 0);
    // The panel's own controls were tagged before the handle was known; fix them up.
    for (auto &[id, c] : p.controls) {
        c.panel = p.handle;
        if (!c.widget) continue;
        Tag(c.widget, p.handle, id);
        if (auto *tab = qobject_cast<QTabWidget *>(c.widget)) {
            // The pages are panels of their own and carry their own tags.
            Tag(tab->tabBar(), p.handle, id);
        } else {
            for (QWidget *child : c.widget->findChildren<QWidget *>())
                Tag(child, p.handle, id);
        }
        if (c.label) Tag(c.label.data(), p.handle, id);
    }
}

void InstallInputHooks(PanelRec &, CtrlRec &c) {
    QWidget *w = c.widget;
    int id = c.id;
    // The panel handle is assigned after the controls are built: callbacks look it up at the
    // time of the event through the widget's tag.
    auto panelOf = [w] { return w->property(kPanelProp).toInt(); };
    switch (c.style) {
    case CTRL_COMMAND_BUTTON:
        QObject::connect(static_cast<QPushButton *>(w), &QAbstractButton::clicked, w,
                         [=] { PostCommand(panelOf(), id, EVENT_COMMIT); });
        break;
    case CTRL_TOGGLE_BUTTON:
        QObject::connect(static_cast<QPushButton *>(w), &QAbstractButton::clicked, w,
                         [=](bool checked) {
                             if (CtrlRec *r = FindCtrl(panelOf(), id)) r->number = checked ? 1 : 0;
                             PostBoth(panelOf(), id);
                         });
        break;
    case CTRL_NUMERIC:
        QObject::connect(static_cast<QDoubleSpinBox *>(w), &QDoubleSpinBox::valueChanged, w,
                         [=](double v) {
                             if (CtrlRec *r = FindCtrl(panelOf(), id)) {
                                 r->number = v;
                                 r->editPending = false;
                             }
                             PostBoth(panelOf(), id);
                         });
        // Typing is an edit in progress until Enter or leaving the control takes it.
        if (auto *le = w->findChild<QLineEdit *>())
            QObject::connect(le, &QLineEdit::textEdited, w, [=] {
                if (CtrlRec *r = FindCtrl(panelOf(), id)) r->editPending = true;
            });
        break;
    case CTRL_RING:
        QObject::connect(static_cast<QComboBox *>(w), &QComboBox::activated, w, [=](int index) {
            if (CtrlRec *r = FindCtrl(panelOf(), id);
                r && index >= 0 && index < int(r->items.size()))
                r->number = r->items[index].value;
            PostBoth(panelOf(), id);
        });
        break;
    case CTRL_STRING: {
        auto *le = static_cast<QLineEdit *>(w);
        QObject::connect(le, &QLineEdit::textEdited, le, [=](const QString &t) {
            if (CtrlRec *r = FindCtrl(panelOf(), id)) {
                r->text = t;
                r->editPending = true;
            }
        });
        QObject::connect(le, &QLineEdit::returnPressed, le, [=] {
            if (CtrlRec *r = FindCtrl(panelOf(), id)) r->editPending = false;
            PostBoth(panelOf(), id);
        });
        QObject::connect(le, &QLineEdit::editingFinished, le, [=] {
            CtrlRec *r = FindCtrl(panelOf(), id);
            if (r && r->editPending) {
                r->editPending = false;
                PostBoth(panelOf(), id);
            }
        });
        break;
    }
    case CTRL_TEXT_BOX: {
        auto *te = static_cast<QPlainTextEdit *>(w);
        QObject::connect(te, &QPlainTextEdit::textChanged, te, [=] {
            if (te->signalsBlocked()) return;
            if (CtrlRec *r = FindCtrl(panelOf(), id)) {
                r->text = te->toPlainText();
                r->shownTextLength = r->text.size();
            }
        });
        break;
    }
    case CTRL_TAB: {
        auto *tab = static_cast<QTabWidget *>(w);
        QObject::connect(tab, &QTabWidget::currentChanged, tab, [=](int index) {
            CtrlRec *r = FindCtrl(panelOf(), id);
            int old = r ? int(r->number) : 0;
            if (r) r->number = index;
            if (!g_programmaticTab)
                PostCtrlEvent(panelOf(), id, EVENT_ACTIVE_TAB_CHANGE, old, index);
        });
        break;
    }
    case CTRL_GRAPH: {
        auto *g = static_cast<Graph *>(w);
        g->onCursorMoved = [=](int cursor) {
            PostCtrlEvent(panelOf(), id, EVENT_VAL_CHANGED, cursor + 1);
        };
        g->onZoom = [=] { PostCtrlEvent(panelOf(), id, EVENT_ZOOM); };
        break;
    }
    default:
        break;
    }
    // A control other than a button may carry a key combination of its own: pressing it
    // anywhere in the control's window reaches the control's callback.
    QString keys = w->property("shortcut").toString();
    if (!qobject_cast<QAbstractButton *>(w) && !keys.isEmpty()) {
        auto *shortcut = new QShortcut(QKeySequence(keys), w);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, w,
                         [=] { PostCommand(panelOf(), id, EVENT_SHORTCUT); });
    }
}

// Extra widgets that stand for a control (the combo box laid onto a string control) answer
// right clicks like the control itself.
void TagLikeControl(QWidget *w, QWidget *like) {
    Tag(w, like->property(kPanelProp).toInt(), like->property(kCtrlProp).toInt());
    for (QWidget *child : w->findChildren<QWidget *>())
        if (!child->property(kPanelProp).isValid())
            Tag(child, like->property(kPanelProp).toInt(), like->property(kCtrlProp).toInt());
}
