// Commit before read: an operator's command (a button's commit, F9 and the other keys of
// buttons, a control's key combination, a window's close box) reaches its callback only after
// the edit in progress in its window has been taken, as Enter would take it. A callback that
// reads the panel then reads what the operator sees, never the value before the typing.
#include "platform/ui_internal.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include <string>

namespace {

// A number its control cannot take: which control, its range, and that nothing was done.
// {German, English}, as the program's own texts.
const char *const kTitle[2] = {"Info!", "Message!"};
const char *const kRangeText[2] = {
    "%1: bitte einen Wert von %2 bis %3 eingeben.\nDer eingegebene Wert wurde nicht "
    "uebernommen; es wurde nichts ausgefuehrt.",
    "%1: please enter a value from %2 to %3.\nThe value typed was not taken; nothing was done."};

void RunCallback(int panel, int control, int event) {
    CtrlRec *c = FindCtrl(panel, control);
    if (c && c->callback) c->callback(panel, control, event, c->callbackData, 0, 0);
}

QString Bound(double value, int precision) {
    return QString::number(value, 'f', precision);
}

void RefuseEdit(CtrlRec &c, QDoubleSpinBox *box) {
    const int language = ToolkitGerman() ? 0 : 1;
    QString name = c.label ? c.label->text() : QString::fromStdString(c.name);
    QString text = QString::fromUtf8(kRangeText[language])
                       .arg(name, Bound(c.minimum, c.precision), Bound(c.maximum, c.precision));
    MessagePopup(kTitle[language], text.toUtf8().constData());
    // Back where the operator was typing, the text selected for the next try.
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
}

} // namespace

bool CommitEditInProgress(QWidget *window) {
    QWidget *focus = QApplication::focusWidget();
    if (!focus || !window || focus->window() != window) return true;
    CtrlRec *c = TaggedCtrl(focus);
    if (!c || !c->editPending || c->mode != VAL_HOT || !c->widget) return true;
    const int panel = c->panel, id = c->id;
    if (c->style == CTRL_STRING) {
        c->editPending = false; // the record already holds the text typed
    } else if (auto *box = qobject_cast<QDoubleSpinBox *>(c->widget.data())) {
        QString text = box->text();
        int position = 0;
        if (box->validate(text, position) != QValidator::Acceptable) {
            RefuseEdit(*c, box);
            return false;
        }
        {
            // Taken here, once: leaving the control later finds nothing new to report.
            QSignalBlocker block(box);
            box->interpretText();
        }
        c->editPending = false;
        if (box->value() == c->number) return true; // the value it had, typed again
        c->number = box->value();
    } else {
        return true;
    }
    RunCallback(panel, id, EVENT_VAL_CHANGED);
    RunCallback(panel, id, EVENT_COMMIT);
    return true;
}

void PostCommand(int panel, int control, int event) {
    QMetaObject::invokeMethod(
        qApp,
        [=] {
            CtrlRec *c = FindCtrl(panel, control);
            if (!c || !c->callback || !c->widget) return;
            if (!CommitEditInProgress(c->widget->window())) return;
            RunCallback(panel, control, event); // looked up again: the edit's callbacks ran
        },
        Qt::QueuedConnection);
}

void PostPanelCommand(int panel, int event) {
    QMetaObject::invokeMethod(
        qApp,
        [=] {
            PanelRec *p = FindPanel(panel);
            if (!p || !p->callback || !p->widget) return;
            if (!CommitEditInProgress(p->widget->window())) return;
            if ((p = FindPanel(panel)) && p->callback)
                p->callback(panel, event, p->callbackData, 0, 0);
        },
        Qt::QueuedConnection);
}
