// Menu bars: one row of items along the top of a window panel, made at run time. Each item
// keeps the constant name it was made with, so it can be found by name and relabelled.
#include "platform/ui_internal.h"

#include <QAction>
#include <QMenuBar>

#include <cstring>

namespace {

struct MenuItemRec {
    int id;
    std::string name;
    QPointer<QAction> action;
};

struct MenuBarRec {
    int panel = 0;
    std::string name;
    QPointer<QMenuBar> bar;
    std::vector<MenuItemRec> items;
    int nextItemId = 1;
};

std::map<int, MenuBarRec> &Bars() {
    static std::map<int, MenuBarRec> bars;
    return bars;
}
int g_nextBar = 1;

// The menu bar, if it and its panel still exist (discarding a panel takes its bar along).
MenuBarRec *FindBar(int menuBar) {
    auto it = Bars().find(menuBar);
    if (it == Bars().end()) return nullptr;
    if (!it->second.bar || !FindPanel(it->second.panel)) {
        Bars().erase(it);
        return nullptr;
    }
    return &it->second;
}

MenuItemRec *FindItem(MenuBarRec &bar, int item) {
    for (MenuItemRec &i : bar.items)
        if (i.id == item) return &i;
    return nullptr;
}

int CopyOut(const QByteArray &b, char *buffer, int size) {
    if (!buffer || size <= 0) return kErrAttr;
    int n = std::min<int>(b.size(), size - 1);
    std::memcpy(buffer, b.constData(), n);
    buffer[n] = 0;
    return 0;
}

} // namespace

int NewMenuBar(int panel, const char *constantName) {
    PanelRec *p = FindPanel(panel);
    if (!p || !p->widget) return kErrPanel;
    if (GetPanelMenuBar(panel)) return kErrAttr; // one menu bar per panel
    MenuBarRec rec;
    rec.panel = panel;
    rec.name = constantName ? constantName : "";
    rec.bar = new QMenuBar(p->widget);
    rec.bar->setGeometry(0, 0, p->widget->width(), rec.bar->sizeHint().height());
    rec.bar->show();
    int handle = g_nextBar++;
    Bars()[handle] = std::move(rec);
    return handle;
}

int NewMenuItem(int menuBar, const char *constantName, const char *itemName) {
    MenuBarRec *bar = FindBar(menuBar);
    if (!bar) return kErrMenuBar;
    MenuItemRec item;
    item.id = bar->nextItemId++;
    item.name = constantName ? constantName : "";
    item.action = bar->bar->addAction(QString::fromUtf8(itemName ? itemName : ""));
    bar->items.push_back(std::move(item));
    return bar->items.back().id;
}

int GetPanelMenuBar(int panel) {
    std::vector<int> handles;
    for (auto &[handle, rec] : Bars())
        handles.push_back(handle);
    for (int handle : handles)
        if (MenuBarRec *bar = FindBar(handle); bar && bar->panel == panel) return handle;
    return 0;
}

int DiscardMenuBar(int menuBar) {
    MenuBarRec *bar = FindBar(menuBar);
    if (!bar) return kErrMenuBar;
    delete bar->bar.data();
    Bars().erase(menuBar);
    return 0;
}

int SetMenuBarAttribute(int menuBar, int item, int attribute, const char *value) {
    MenuBarRec *bar = FindBar(menuBar);
    if (!bar) return kErrMenuBar;
    MenuItemRec *i = FindItem(*bar, item);
    if (!i || !i->action) return kErrItem;
    if (attribute != ATTR_ITEM_NAME) return kErrAttr;
    i->action->setText(QString::fromUtf8(value ? value : ""));
    return 0;
}

int GetMenuBarAttribute(int menuBar, int item, int attribute, int *value) {
    MenuBarRec *bar = FindBar(menuBar);
    if (!bar) return kErrMenuBar;
    if (!value) return kErrAttr;
    if (attribute == ATTR_MENU_FIRST_ITEM && item == 0) {
        *value = bar->items.empty() ? 0 : bar->items.front().id;
        return 0;
    }
    if (attribute != ATTR_MENU_NEXT_ITEM) return kErrAttr;
    for (size_t k = 0; k < bar->items.size(); ++k)
        if (bar->items[k].id == item) {
            *value = k + 1 < bar->items.size() ? bar->items[k + 1].id : 0;
            return 0;
        }
    return kErrItem;
}

int GetMenuBarAttribute(int menuBar, int item, int attribute, char *buffer, int size) {
    MenuBarRec *bar = FindBar(menuBar);
    if (!bar) return kErrMenuBar;
    if (item == 0) {
        if (attribute != ATTR_CONSTANT_NAME) return kErrAttr;
        return CopyOut(QByteArray::fromStdString(bar->name), buffer, size);
    }
    MenuItemRec *i = FindItem(*bar, item);
    if (!i || !i->action) return kErrItem;
    if (attribute == ATTR_CONSTANT_NAME)
        return CopyOut(QByteArray::fromStdString(i->name), buffer, size);
    if (attribute == ATTR_ITEM_NAME) return CopyOut(i->action->text().toUtf8(), buffer, size);
    return kErrAttr;
}
