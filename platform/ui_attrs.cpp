// Control attributes (dimmed, visible, texts, fonts, colours, position, precision), new text
// messages made at run time and images shown in picture controls.
#include "platform/ui_internal.h"
#include "platform/widgets.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

#include <cstring>

namespace {

int Lookup(int panel, int control, CtrlRec **c) {
    if (!FindPanel(panel)) return kErrPanel;
    *c = FindCtrl(panel, control);
    return *c ? 0 : kErrCtrl;
}

void SetColorRole(QWidget *w, QPalette::ColorRole role, int rgb) {
    QPalette pal = w->palette();
    if (rgb == VAL_TRANSPARENT) {
        pal.setColor(role, Qt::transparent);
        if (role == QPalette::Window) w->setAutoFillBackground(false);
    } else {
        pal.setColor(role, QColor::fromRgb(QRgb(rgb & 0xFFFFFF)));
        if (role == QPalette::Window || role == QPalette::Base) w->setAutoFillBackground(true);
    }
    w->setPalette(pal);
}

int CopyOut(const QString &s, char *buffer, int size) {
    if (!buffer || size <= 0) return kErrAttr;
    QByteArray b = s.toUtf8();
    int n = std::min<int>(b.size(), size - 1);
    std::memcpy(buffer, b.constData(), n);
    buffer[n] = 0;
    return 0;
}

} // namespace

QWidget *Outer(CtrlRec &c) {
    if (c.combo) return c.combo;
    return c.widget;
}

void SetButtonLabel(CtrlRec &c, const QString &text) {
    auto *b = qobject_cast<QPushButton *>(c.widget.data());
    if (!b) return;
    b->setText(text);
    if (!c.shortcut.isEmpty()) b->setShortcut(c.shortcut);
}

int SetCtrlAttribute(int panel, int control, int attribute, int value) {
    CtrlRec *c;
    if (int e = Lookup(panel, control, &c)) return e;
    QWidget *w = Outer(*c);
    if (!w) return kErrCtrl;
    switch (attribute) {
    case ATTR_DIMMED:
        w->setEnabled(!value);
        if (c->label) c->label->setEnabled(!value);
        return 0;
    case ATTR_VISIBLE:
        w->setVisible(value != 0);
        if (c->label) c->label->setVisible(value != 0);
        return 0;
    case ATTR_TEXT_POINT_SIZE: {
        QFont f = c->widget->font();
        f.setPointSize(value);
        c->widget->setFont(f);
        MarkDirty(*c);
        return 0;
    }
    case ATTR_TEXT_COLOR:
        SetColorRole(c->widget, QPalette::WindowText, value);
        SetColorRole(c->widget, QPalette::Text, value);
        SetColorRole(c->widget, QPalette::ButtonText, value);
        return 0;
    case ATTR_TEXT_BGCOLOR:
        SetColorRole(c->widget, c->style == CTRL_TEXT_MSG ? QPalette::Window : QPalette::Base,
                     value);
        return 0;
    case ATTR_FRAME_COLOR:
        SetColorRole(c->widget, QPalette::Window, value);
        return 0;
    case ATTR_PRECISION:
        if (c->type != DataType::Double) return kErrAttr;
        c->precision = std::max(0, std::min(15, value));
        MarkDirty(*c);
        return 0;
    case ATTR_MAX_LINES:
        if (c->style != CTRL_TEXT_BOX) return kErrAttr;
        c->maxLines = std::max(0, value);
        KeepLastLines(*c);
        // The widget's own document keeps no more either (a line is a block; the text ends in
        // an empty one after its last line break).
        static_cast<QPlainTextEdit *>(c->widget.data())
            ->setMaximumBlockCount(c->maxLines ? c->maxLines + 1 : 0);
        return 0;
    case ATTR_TOP:
        w->move(w->x(), value);
        return 0;
    case ATTR_LEFT:
        w->move(value, w->y());
        return 0;
    case ATTR_HEIGHT:
        w->resize(w->width(), value);
        return 0;
    case ATTR_WIDTH:
        w->resize(value, w->height());
        return 0;
    case ATTR_REFRESH_GRAPH:
        w->setProperty("autoRefresh", value != 0);
        return 0;
    case ATTR_ENABLE_ZOOM:
        if (auto *g = qobject_cast<Graph *>(c->widget.data())) {
            g->enableZoom = value != 0;
            return 0;
        }
        return kErrAttr;
    default:
        return kErrAttr;
    }
}

int SetCtrlAttribute(int panel, int control, int attribute, const char *value) {
    CtrlRec *c;
    if (int e = Lookup(panel, control, &c)) return e;
    QString s = QString::fromUtf8(value ? value : "");
    QWidget *w = c->widget;
    switch (attribute) {
    case ATTR_TOOLTIP_TEXT:
        w->setToolTip(s);
        if (c->combo) c->combo->setToolTip(s);
        return 0;
    case ATTR_LABEL_TEXT:
        if (c->style == CTRL_COMMAND_BUTTON || c->style == CTRL_TOGGLE_BUTTON) {
            SetButtonLabel(*c, s);
            c->text = s;
        } else if (c->style == CTRL_TEXT_MSG) {
            c->text = s;
            MarkDirty(*c);
        } else if (auto *busy = qobject_cast<QProgressBar *>(w)) {
            busy->setFormat(s); // a busy indicator's label is the text it shows
        } else if (c->label) {
            c->label->setText(s);
            c->label->adjustSize();
        } else {
            w->setProperty("label", s);
        }
        return 0;
    case ATTR_TEXT_FONT: {
        QFont f = w->font();
        f.setFamily(s);
        w->setFont(f);
        MarkDirty(*c);
        return 0;
    }
    case ATTR_ON_TEXT:
    case ATTR_OFF_TEXT:
        if (c->style != CTRL_TOGGLE_BUTTON) return kErrAttr;
        (attribute == ATTR_ON_TEXT ? c->onText : c->offText) = s;
        MarkDirty(*c);
        return 0;
    case ATTR_XNAME:
    case ATTR_YNAME:
        if (auto *g = qobject_cast<Graph *>(w)) {
            (attribute == ATTR_XNAME ? g->xName : g->yName) = s;
            g->update();
            return 0;
        }
        return kErrAttr;
    case ATTR_DEFAULT_VALUE_TEXT:
        w->setProperty("defaultValue", s);
        return 0;
    default:
        return kErrAttr;
    }
}

int GetCtrlAttribute(int panel, int control, int attribute, int *value) {
    CtrlRec *c;
    if (int e = Lookup(panel, control, &c)) return e;
    QWidget *w = Outer(*c);
    PanelRec *p = FindPanel(panel);
    switch (attribute) {
    case ATTR_DIMMED:
        *value = w->isEnabled() ? 0 : 1;
        return 0;
    case ATTR_VISIBLE:
        *value = w->isVisibleTo(w->parentWidget()) ? 1 : 0;
        return 0;
    case ATTR_TOP:
        *value = w->y();
        return 0;
    case ATTR_LEFT:
        *value = w->x();
        return 0;
    case ATTR_HEIGHT:
        *value = w->height();
        return 0;
    case ATTR_WIDTH:
        *value = w->width();
        return 0;
    case ATTR_PRECISION:
        *value = c->precision;
        return 0;
    case ATTR_MAX_LINES:
        *value = c->maxLines;
        return 0;
    case ATTR_CTRL_STYLE:
        *value = c->style;
        return 0;
    case ATTR_CTRL_MODE:
        *value = c->mode;
        return 0;
    case ATTR_TEXT_POINT_SIZE:
        *value = c->widget->font().pointSize();
        return 0;
    case ATTR_TEXT_COLOR:
        *value = int(c->widget->palette().color(QPalette::WindowText).rgb() & 0xFFFFFF);
        return 0;
    case ATTR_TEXT_BGCOLOR: {
        const QColor color = c->widget->palette().color(c->style == CTRL_TEXT_MSG ? QPalette::Window
                                                                                  : QPalette::Base);
        *value = color.alpha() == 0 ? int(VAL_TRANSPARENT) : int(color.rgb() & 0xFFFFFF);
        return 0;
    }
    case ATTR_FRAME_COLOR:
        *value = int(c->widget->palette().color(QPalette::Window).rgb() & 0xFFFFFF);
        return 0;
    case ATTR_NUM_CURSORS:
        if (auto *g = qobject_cast<Graph *>(c->widget.data())) {
            *value = g->numCursors;
            return 0;
        }
        return kErrAttr;
    case ATTR_NEXT_CTRL: {
        *value = 0;
        auto &order = p->controlOrder;
        auto it = std::find(order.begin(), order.end(), control);
        if (it != order.end() && ++it != order.end()) *value = *it;
        return 0;
    }
    default:
        return kErrAttr;
    }
}

int GetCtrlAttribute(int panel, int control, int attribute, char *buffer, int size) {
    CtrlRec *c;
    if (int e = Lookup(panel, control, &c)) return e;
    QWidget *w = c->widget;
    switch (attribute) {
    case ATTR_CONSTANT_NAME:
        return CopyOut(QString::fromStdString(c->name), buffer, size);
    case ATTR_CALLBACK_NAME:
        return CopyOut(QString::fromStdString(c->callbackName), buffer, size);
    case ATTR_TOOLTIP_TEXT:
        return CopyOut(w->toolTip(), buffer, size);
    case ATTR_LABEL_TEXT:
        if (c->style == CTRL_COMMAND_BUTTON || c->style == CTRL_TOGGLE_BUTTON)
            return CopyOut(static_cast<QPushButton *>(w)->text(), buffer, size);
        if (c->style == CTRL_TEXT_MSG) return CopyOut(c->text, buffer, size);
        if (auto *busy = qobject_cast<QProgressBar *>(w))
            return CopyOut(busy->format(), buffer, size);
        return CopyOut(c->label ? c->label->text() : w->property("label").toString(), buffer, size);
    case ATTR_TEXT_FONT:
        return CopyOut(w->font().family(), buffer, size);
    case ATTR_ON_TEXT:
        return CopyOut(c->onText, buffer, size);
    case ATTR_OFF_TEXT:
        return CopyOut(c->offText, buffer, size);
    case ATTR_DEFAULT_VALUE_TEXT:
        return CopyOut(w->property("defaultValue").toString(), buffer, size);
    case ATTR_XNAME:
    case ATTR_YNAME:
        if (auto *g = qobject_cast<Graph *>(w))
            return CopyOut(attribute == ATTR_XNAME ? g->xName : g->yName, buffer, size);
        return kErrAttr;
    default:
        return kErrAttr;
    }
}

int NewCtrl(int panel, int style, const char *label, int top, int left) {
    PanelRec *p = FindPanel(panel);
    if (!p) return kErrPanel;
    if (style != CTRL_TEXT_MSG)
        return kErrAttr; // the program only ever makes text messages at run time
    auto *l = new QLabel(QString::fromUtf8(label ? label : ""), ContentOf(*p));
    l->setProperty("autoSize", true);
    l->move(left, top);
    l->adjustSize();
    l->show();
    CtrlRec c;
    c.id = p->nextNewId++;
    c.panel = panel;
    c.name = p->name + "_NEW_" + std::to_string(c.id);
    c.style = CTRL_TEXT_MSG;
    c.type = DataType::Text;
    c.mode = VAL_INDICATOR;
    c.text = l->text();
    c.widget = l;
    int id = c.id;
    auto [it, inserted] = p->controls.emplace(id, std::move(c));
    p->controlOrder.push_back(id);
    InstallInputHooks(*p, it->second);
    l->setProperty("tav_panel", panel);
    l->setProperty("tav_ctrl", id);
    return id;
}

int DisplayImageFile(int panel, int control, const char *file) {
    CtrlRec *c;
    if (int e = Lookup(panel, control, &c)) return e;
    auto *l = qobject_cast<QLabel *>(c->widget.data());
    if (!l) return kErrAttr;
    // A plain file name is looked for beside the program and in the installed data folder too.
    char found[MAX_PATHNAME_LEN];
    FindProgramFile(file, 1, found);
    QPixmap pm(QString::fromLocal8Bit(found));
    if (pm.isNull()) return kErrImage;
    l->setPixmap(pm);
    if (!l->hasScaledContents()) l->resize(pm.size());
    return 0;
}
