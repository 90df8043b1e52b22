// The runtime's own record of every panel and control. Values live here, not in the widgets:
// reads never depend on painting, and widgets are brought up to date at the screen's refresh
// rate so a fast poll loop is not slowed by drawing.
#pragma once

#include "platform/ui.h"
#include "platform/ui_errors.h"

#include <QKeySequence>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <map>
#include <memory>
#include <string>
#include <vector>

class QDate;
class QLabel;
class QTime;
class QComboBox;
class Graph;

enum class DataType { None, U16, I16, Int, U32, Double, Text };

struct RingItem {
    QString label;
    double value;
};

struct CtrlRec {
    int id = 0;
    int panel = 0;
    std::string name;   // constant name from the resource, e.g. MAINP_SEND
    int style = 0;      // CTRL_*
    int mode = VAL_HOT; // VAL_INDICATOR for displays
    DataType type = DataType::None;
    QPointer<QWidget> widget;
    QPointer<QLabel> label;    // caption shown above value controls
    QPointer<QComboBox> combo; // drop-down list laid onto a string control
    CtrlCallbackPtr callback = nullptr;
    std::string callbackName; // as the resource file names it
    void *callbackData = nullptr;

    // Value record.
    double number = 0; // numerics, rings (item value), toggles, LEDs
    double minimum = 0, maximum = 0;
    int precision = 0;
    QString text; // strings, text boxes, text messages
    std::vector<RingItem> items;
    QString onText, offText;
    // Buttons: the key that presses them (F9, ...), the control's own property. Qt's setText
    // replaces a button's shortcut with its label's mnemonic, so every change of label puts
    // this key back (SetButtonLabel).
    QKeySequence shortcut;
    bool dirty = false; // widget not yet showing the record
    // Hot numerics and strings: the operator has typed into the control and not yet committed
    // it (Enter, or leaving the control); CommitEditInProgress takes it.
    bool editPending = false;
    int shownTextLength = 0; // text boxes: how much of `text` the widget already shows
    int maxLines = 0;        // text boxes: the most lines kept (0: no limit)
};

struct PanelRec {
    int handle = 0;
    int parent = 0;
    std::string name; // constant name, e.g. MAINP
    QPointer<QWidget> widget;
    QPointer<QWidget> page; // a window's controls sit on this page inside a scroll area
    PanelCallbackPtr callback = nullptr;
    void *callbackData = nullptr;
    std::vector<int> children;     // child panels in creation order (tab pages first)
    std::vector<int> controlOrder; // control ids in resource order
    std::map<int, CtrlRec> controls;
    int nextNewId = 1000;
};

// Lookup; both return nullptr for an unknown handle or id.
PanelRec *FindPanel(int panel);
CtrlRec *FindCtrl(int panel, int control);
PanelRec *PanelOfWidget(const QWidget *w);
// The control a widget (or a widget inside it) stands for, within its window.
CtrlRec *TaggedCtrl(const QWidget *w);
// The widget a panel's controls and child panels are placed in.
QWidget *ContentOf(PanelRec &p);
int RegisterPanel(std::unique_ptr<PanelRec> rec); // returns the new handle
void ForgetPanel(int panel);                      // with its children
std::vector<int> AllPanels();                     // every handle, in creation order
// Discards every panel at once (no deferred deletion): the end of the runtime.
void DiscardAllPanels();

// Widgets follow their records at the refresh rate.
void MarkDirty(CtrlRec &c);
// A text box with a line limit (ATTR_MAX_LINES) drops its oldest lines beyond it.
void KeepLastLines(CtrlRec &c);
void FlushCtrl(CtrlRec &c);
void FlushAllDirty();

// Shows `text` on a command or toggle button and keeps the button's own key.
void SetButtonLabel(CtrlRec &c, const QString &text);

// True while the toolkit speaks German (SetToolkitLanguage): the language of the runtime's own
// messages.
bool ToolkitGerman();

// The forms of the fields of a printout's footer in the toolkit's language
// (SetToolkitLanguage), whatever the system's locale.
QString ToolkitDateText(const QDate &date);
QString ToolkitTimeText(const QTime &time);
QString ToolkitPageText(int page, int pages);
// True while the toolkit speaks German: the runtime's own texts follow it.
bool ToolkitGerman();

// Sends an event to a control's or panel's callback from the event loop (queued), never from
// inside the widget's own signal handler.
void PostCtrlEvent(int panel, int control, int event, int data1 = 0, int data2 = 0);
void PostPanelEvent(int panel, int event, int data1 = 0, int data2 = 0);
// An operator's command (a button's commit, a control's key combination, a window's close box):
// queued the same way, and handed to the callback only once CommitEditInProgress has taken the
// edit in progress in the command's window; a refused edit drops the command.
void PostCommand(int panel, int control, int event);
void PostPanelCommand(int panel, int event);
// Takes the edit in progress in `window` (the focused control the operator typed into and has
// not committed) as Enter would: the value into the record, then the control's own callbacks
// (value changed, commit). A number the control cannot take (empty, outside its range) is
// refused: the operator is told the range, the control keeps the focus, and false comes back.
// True when there was nothing to take or it was taken.
bool CommitEditInProgress(QWidget *window);
void InstallInputHooks(PanelRec &panel, CtrlRec &c);
void InstallPanelHooks(PanelRec &panel);

// The widget that stands on the panel for this control (the combo box, once one is laid on):
// the one that is dimmed and shown.
QWidget *Outer(CtrlRec &c);

// While one lives, the program is inside an operation: a callback runs. ProgramBusy tells
// whether one lives now or a wait processes events (ProcessSystemEvents, InsideEventWait).
class BusyScope {
  public:
    BusyScope();
    ~BusyScope();
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;
};
bool ProgramBusy();
// The tool tip the control shows now: why it is dimmed (SetDimmedTipSource) while it is
// dimmed and a reason is given, its own tool tip otherwise.
QString ToolTipNow(CtrlRec &c);

// The termination signals' notifier (ui_signals.cpp): made with the application object when
// CloseOnTerminationSignals was called; the signals are let go when the runtime ends.
void WatchTerminationSignals();
void StopWatchingTerminationSignals();

// Callback table given by the program.
CtrlCallbackPtr LookupCtrlCallback(const std::string &name, bool *found);
PanelCallbackPtr LookupPanelCallback(const std::string &name, bool *found);

QString ColorName(int rgb);
