// The tables behind panel handles and control ids, and the program's callback table.
#include "platform/ui_internal.h"

#include <unordered_map>

namespace {

std::map<int, std::unique_ptr<PanelRec>> &Panels() {
    static std::map<int, std::unique_ptr<PanelRec>> panels;
    return panels;
}
int g_nextHandle = 1;

std::unordered_map<std::string, CallbackEntry> &Callbacks() {
    static std::unordered_map<std::string, CallbackEntry> table;
    return table;
}

} // namespace

void RegisterCallbacks(const CallbackEntry *table, int count) {
    for (int i = 0; i < count; ++i)
        Callbacks()[table[i].name] = table[i];
}

CtrlCallbackPtr LookupCtrlCallback(const std::string &name, bool *found) {
    auto it = Callbacks().find(name);
    *found = it != Callbacks().end() && it->second.ctrl;
    return *found ? it->second.ctrl : nullptr;
}

PanelCallbackPtr LookupPanelCallback(const std::string &name, bool *found) {
    auto it = Callbacks().find(name);
    *found = it != Callbacks().end() && it->second.panel;
    return *found ? it->second.panel : nullptr;
}

PanelRec *FindPanel(int panel) {
    auto it = Panels().find(panel);
    return it == Panels().end() ? nullptr : it->second.get();
}

CtrlRec *FindCtrl(int panel, int control) {
    PanelRec *p = FindPanel(panel);
    if (!p) return nullptr;
    auto it = p->controls.find(control);
    return it == p->controls.end() ? nullptr : &it->second;
}

QWidget *ContentOf(PanelRec &p) {
    return p.page ? p.page.data() : p.widget.data();
}

PanelRec *PanelOfWidget(const QWidget *w) {
    for (auto &[handle, rec] : Panels())
        if (rec->widget == w) return rec.get();
    return nullptr;
}

int RegisterPanel(std::unique_ptr<PanelRec> rec) {
    int handle = g_nextHandle++;
    rec->handle = handle;
    for (auto &[id, c] : rec->controls)
        c.panel = handle;
    if (PanelRec *parent = FindPanel(rec->parent)) parent->children.push_back(handle);
    Panels()[handle] = std::move(rec);
    return handle;
}

std::vector<int> AllPanels() {
    std::vector<int> out;
    for (auto &[handle, rec] : Panels())
        out.push_back(handle);
    return out;
}

void ForgetPanel(int panel) {
    PanelRec *p = FindPanel(panel);
    if (!p) return;
    std::vector<int> children = p->children;
    for (int child : children)
        ForgetPanel(child);
    if (PanelRec *parent = FindPanel(p->parent)) {
        auto &v = parent->children;
        v.erase(std::remove(v.begin(), v.end(), panel), v.end());
    }
    Panels().erase(panel);
}

QString ColorName(int rgb) {
    return QString::asprintf("#%06x", rgb & 0xFFFFFF);
}
