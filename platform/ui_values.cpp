// Control values: SetCtrlVal / GetCtrlVal in the control's data type, text boxes that append,
// ring items, and the flush that brings widgets up to date about 30 times a second.
#include "platform/ui_internal.h"
#include "platform/widgets.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Widgets follow their records about 30 times a second: as often as anyone reads a changing
// number or sees a lamp switch, and half the painting of the screen's 60 (during the live
// cycle the refresh of the data panel was about a third of the program's CPU).
constexpr int kRefreshMs = 33;

std::vector<std::pair<int, int>> g_dirty;

// One timer for the runtime's life; it ends with the application object.
QTimer *FlushTimer() {
    static QPointer<QTimer> t;
    if (!t) {
        t = new QTimer(qApp);
        t->setSingleShot(true);
        t->setInterval(kRefreshMs);
        QObject::connect(t, &QTimer::timeout, [] { FlushAllDirty(); });
    }
    return t;
}

int Lookup(int panel, int control, CtrlRec **c) {
    if (!FindPanel(panel)) return kErrPanel;
    *c = FindCtrl(panel, control);
    return *c ? 0 : kErrCtrl;
}

// Integer types take the value the way C converts it into that type, then the control's range.
double Coerce(const CtrlRec &c, double v) {
    auto wrap = [](double x, double modulus) {
        double t = std::trunc(x);
        double r = std::fmod(t, modulus);
        return r < 0 ? r + modulus : r;
    };
    switch (c.type) {
    case DataType::U16:
        v = wrap(v, 65536.0);
        break;
    case DataType::I16:
        v = wrap(v, 65536.0);
        if (v >= 32768) v -= 65536;
        break;
    case DataType::U32:
        v = wrap(v, 4294967296.0);
        break;
    case DataType::Int:
        v = wrap(v, 4294967296.0);
        if (v >= 2147483648.0) v -= 4294967296.0;
        break;
    default:
        break;
    }
    if (c.style == CTRL_NUMERIC && c.maximum > c.minimum)
        v = std::min(c.maximum, std::max(c.minimum, v));
    return v;
}

int SetNumber(int panel, int control, double v) {
    CtrlRec *c;
    if (int e = Lookup(panel, control, &c)) return e;
    const double before = c->number;
    switch (c->style) {
    case CTRL_NUMERIC:
    case CTRL_TOGGLE_BUTTON:
    case CTRL_LED:
        c->number = c->style == CTRL_NUMERIC ? Coerce(*c, v) : (v != 0 ? 1 : 0);
        break;
    case CTRL_RING:
        for (const RingItem &item : c->items)
            if (item.value == v) {
                c->number = v;
                break;
            }
        break;
    case CTRL_STRING:
    case CTRL_TEXT_BOX:
    case CTRL_TEXT_MSG: {
        QString s = QString::number(v, 'g', 15);
        return SetCtrlVal(panel, control, s.toUtf8().constData());
    }
    default:
        return kErrType;
    }
    // A display that already shows this value is not repainted: the live cycle sets every
    // display on every poll, and most of them keep their values for many polls.
    if (c->number == before && !c->dirty && c->mode == VAL_INDICATOR) return 0;
    MarkDirty(*c);
    return 0;
}

template <typename T> int GetNumber(int panel, int control, T *out) {
    CtrlRec *c;
    if (int e = Lookup(panel, control, &c)) return e;
    if (c->type == DataType::Text || c->type == DataType::None) return kErrType;
    double v = c->number;
    if constexpr (std::is_integral_v<T>) {
        // Convert like C: through a 64-bit integer, keeping the low bits of the target type.
        *out = static_cast<T>(static_cast<std::int64_t>(std::trunc(v)));
    } else {
        *out = static_cast<T>(v);
    }
    return 0;
}

} // namespace

int SetCtrlVal(int panel, int control, int value) {
    return SetNumber(panel, control, value);
}
int SetCtrlVal(int panel, int control, unsigned int value) {
    return SetNumber(panel, control, value);
}
int SetCtrlVal(int panel, int control, double value) {
    return SetNumber(panel, control, value);
}

int SetCtrlVal(int panel, int control, const char *value) {
    CtrlRec *c;
    if (int e = Lookup(panel, control, &c)) return e;
    QString s = QString::fromUtf8(value ? value : "");
    switch (c->style) {
    case CTRL_TEXT_BOX:
        c->text += s; // a text box appends
        KeepLastLines(*c);
        break;
    case CTRL_STRING:
    case CTRL_TEXT_MSG:
        c->text = s;
        break;
    case CTRL_NUMERIC:
        return SetNumber(panel, control, s.toDouble());
    default:
        return kErrType;
    }
    MarkDirty(*c);
    return 0;
}

int GetCtrlVal(int panel, int control, unsigned short *v) {
    return GetNumber(panel, control, v);
}
int GetCtrlVal(int panel, int control, short *v) {
    return GetNumber(panel, control, v);
}
int GetCtrlVal(int panel, int control, int *v) {
    return GetNumber(panel, control, v);
}
int GetCtrlVal(int panel, int control, unsigned int *v) {
    return GetNumber(panel, control, v);
}
int GetCtrlVal(int panel, int control, double *v) {
    return GetNumber(panel, control, v);
}

int GetCtrlValText(int panel, int control, char *buffer, int size) {
    if (!buffer || size <= 0) return kErrType;
    buffer[0] = 0;
    CtrlRec *c;
    if (int e = Lookup(panel, control, &c)) return e;
    if (c->type != DataType::Text) return kErrType;
    QByteArray bytes = c->text.toUtf8();
    int n = std::min<int>(bytes.size(), size - 1);
    std::memcpy(buffer, bytes.constData(), n);
    buffer[n] = 0;
    return 0;
}

int ResetTextBox(int panel, int control, const char *text) {
    CtrlRec *c;
    if (int e = Lookup(panel, control, &c)) return e;
    if (c->style != CTRL_TEXT_BOX && c->style != CTRL_STRING) return kErrType;
    c->text = QString::fromUtf8(text ? text : "");
    c->shownTextLength = -1; // the widget must be replaced, not appended to
    MarkDirty(*c);
    return 0;
}

int GetNumListItems(int panel, int control, int *count) {
    CtrlRec *c;
    if (int e = Lookup(panel, control, &c)) return e;
    *count = static_cast<int>(c->items.size());
    return 0;
}

int GetLabelFromIndex(int panel, int control, int index, char *buffer, int size) {
    CtrlRec *c;
    if (int e = Lookup(panel, control, &c)) return e;
    if (index < 0 || index >= int(c->items.size()) || size <= 0) return kErrType;
    QByteArray b = c->items[index].label.toUtf8();
    int n = std::min<int>(b.size(), size - 1);
    std::memcpy(buffer, b.constData(), n);
    buffer[n] = 0;
    return 0;
}

int ReplaceListItemLabel(int panel, int control, int index, const char *label) {
    CtrlRec *c;
    if (int e = Lookup(panel, control, &c)) return e;
    if (index < 0 || index >= int(c->items.size())) return kErrType;
    c->items[index].label = QString::fromUtf8(label ? label : "");
    if (auto *combo = qobject_cast<QComboBox *>(c->widget.data()))
        combo->setItemText(index, c->items[index].label);
    return 0;
}

void KeepLastLines(CtrlRec &c) {
    if (c.maxLines <= 0) return;
    qsizetype breaks = c.text.count(QLatin1Char('\n'));
    if (breaks <= c.maxLines) return;
    qsizetype cut = 0; // just behind the last line break that goes
    for (; breaks > c.maxLines; --breaks)
        cut = c.text.indexOf(QLatin1Char('\n'), cut) + 1;
    c.text.remove(0, cut);
    // The widget drops the same lines itself as the rest is appended; when some of them were
    // never shown, it is given the whole text again.
    c.shownTextLength = c.shownTextLength >= cut ? c.shownTextLength - int(cut) : -1;
    MarkDirty(c);
}

// ---- Flush --------------------------------------------------------------------------------

void MarkDirty(CtrlRec &c) {
    if (!c.dirty) {
        c.dirty = true;
        g_dirty.emplace_back(c.panel, c.id);
    }
    if (!FlushTimer()->isActive()) FlushTimer()->start();
}

void FlushCtrl(CtrlRec &c) {
    c.dirty = false;
    QWidget *w = c.widget;
    if (!w) return;
    QSignalBlocker block(w);
    switch (c.style) {
    case CTRL_NUMERIC: {
        auto *n = static_cast<QDoubleSpinBox *>(w);
        if (c.type == DataType::Double && n->decimals() != c.precision) n->setDecimals(c.precision);
        n->setValue(c.number);
        c.editPending = false; // whatever was typed gave way to the program's value
        break;
    }
    case CTRL_RING: {
        auto *r = static_cast<QComboBox *>(w);
        for (size_t i = 0; i < c.items.size(); ++i)
            if (c.items[i].value == c.number) r->setCurrentIndex(int(i));
        break;
    }
    case CTRL_STRING: {
        auto *s = static_cast<QLineEdit *>(w);
        if (s->text() != c.text) {
            s->setText(c.text);
            c.editPending = false;
            // A display is read from the left: a text longer than the field shows its start.
            if (s->isReadOnly()) s->setCursorPosition(0);
        }
        break;
    }
    case CTRL_TEXT_BOX: {
        auto *t = static_cast<QPlainTextEdit *>(w);
        if (c.shownTextLength < 0 || c.shownTextLength > c.text.size()) {
            t->setPlainText(c.text);
        } else if (c.shownTextLength < c.text.size()) {
            QTextCursor cursor(t->document());
            cursor.movePosition(QTextCursor::End);
            cursor.insertText(c.text.mid(c.shownTextLength));
        }
        c.shownTextLength = c.text.size();
        t->verticalScrollBar()->setValue(t->verticalScrollBar()->maximum());
        break;
    }
    case CTRL_TEXT_MSG: {
        auto *l = static_cast<QLabel *>(w);
        l->setText(c.text);
        if (l->property("autoSize").toBool()) l->adjustSize();
        break;
    }
    case CTRL_TOGGLE_BUTTON:
        static_cast<QPushButton *>(w)->setChecked(c.number != 0);
        if (!c.onText.isEmpty() || !c.offText.isEmpty())
            SetButtonLabel(c, c.number != 0 ? c.onText : c.offText);
        break;
    case CTRL_LED:
        static_cast<Led *>(w)->setOn(c.number != 0);
        break;
    case CTRL_GRAPH:
        w->update();
        break;
    default:
        break;
    }
}

void FlushAllDirty() {
    std::vector<std::pair<int, int>> dirty;
    dirty.swap(g_dirty);
    std::vector<QWidget *> windows;
    for (auto [panel, id] : dirty)
        if (CtrlRec *c = FindCtrl(panel, id); c && c->dirty) {
            FlushCtrl(*c);
            if (QWidget *w = c->widget ? c->widget->window() : nullptr;
                w && std::find(windows.begin(), windows.end(), w) == windows.end())
                windows.push_back(w);
        }
    // Paint what changed now rather than through the window's deferred repaint request: while
    // a callback waits in a loop reading the serial port, that request was not delivered and
    // the window did not repaint at all for as long as the live cycle ran (tests/live).
    for (QWidget *w : windows)
        if (w->isVisible()) {
            QEvent request(QEvent::UpdateRequest);
            QCoreApplication::sendEvent(w, &request);
        }
}
