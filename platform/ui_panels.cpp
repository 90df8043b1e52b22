// Panels and tab pages: show, hide, discard, position, size, title, window state; the pages of
// a tab control and which one is active.
#include "platform/ui_internal.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTabWidget>

#include <cstring>

void SetProgrammaticTabChange(bool on); // ui_events.cpp

namespace {

QTabWidget *TabOf(int panel, int control) {
    CtrlRec *c = FindCtrl(panel, control);
    return c ? qobject_cast<QTabWidget *>(c->widget.data()) : nullptr;
}

// The window state a hidden window takes when it is shown.
constexpr const char *kZoomOnShow = "tav_zoomOnShow";

Qt::WindowStates WindowStateOf(int zoom) {
    return zoom == VAL_MAXIMIZE   ? Qt::WindowMaximized
           : zoom == VAL_MINIMIZE ? Qt::WindowMinimized
                                  : Qt::WindowNoState;
}

QRect Available(QWidget *w) {
    QScreen *s = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
}

} // namespace

int GetScreenAreas(ScreenArea *areas, int max) {
    QList<QScreen *> screens = QGuiApplication::screens();
    if (QScreen *primary = QGuiApplication::primaryScreen()) {
        screens.removeAll(primary);
        screens.prepend(primary);
    }
    int n = 0;
    for (QScreen *s : screens) {
        if (n >= max) break;
        const QRect r = s->availableGeometry();
        areas[n++] = {r.left(), r.top(), r.width(), r.height()};
    }
    return int(screens.size());
}

int DisplayPanel(int panel) {
    PanelRec *p = FindPanel(panel);
    if (!p || !p->widget) return kErrPanel;
    FlushAllDirty();
    p->widget->show();
    // A window state asked for before the window was shown comes now: the window has been on
    // the screen at its own place first, which is the place it goes back to.
    if (const QVariant zoom = p->widget->property(kZoomOnShow); zoom.isValid()) {
        p->widget->setProperty(kZoomOnShow, QVariant());
        p->widget->setWindowState(WindowStateOf(zoom.toInt()));
    }
    p->widget->raise();
    return 0;
}

int HidePanel(int panel) {
    PanelRec *p = FindPanel(panel);
    if (!p || !p->widget) return kErrPanel;
    p->widget->hide();
    return 0;
}

int DiscardPanel(int panel) {
    PanelRec *p = FindPanel(panel);
    if (!p) return kErrPanel;
    QPointer<QWidget> w = p->widget;
    ForgetPanel(panel);
    if (w) {
        w->hide();
        w->deleteLater();
    }
    return 0;
}

void DiscardAllPanels() {
    for (int panel : AllPanels()) {
        PanelRec *p = FindPanel(panel);
        if (!p || p->parent) continue; // child panels go with their top-level panel
        QPointer<QWidget> w = p->widget;
        ForgetPanel(panel);
        delete w.data();
    }
}

int SetPanelPos(int panel, int top, int left) {
    PanelRec *p = FindPanel(panel);
    if (!p || !p->widget) return kErrPanel;
    QWidget *w = p->widget;
    QRect area = w->isWindow() ? Available(w) : QRect(QPoint(0, 0), w->parentWidget()->size());
    if (top == VAL_AUTO_CENTER) top = area.top() + (area.height() - w->height()) / 2;
    if (left == VAL_AUTO_CENTER) left = area.left() + (area.width() - w->width()) / 2;
    w->move(left, top);
    return 0;
}

int SetPanelSize(int panel, int height, int width) {
    PanelRec *p = FindPanel(panel);
    if (!p || !p->widget) return kErrPanel;
    if (p->widget->isWindow() && p->widget->isMaximized()) p->widget->showNormal();
    p->widget->resize(width, height);
    return 0;
}

int SetPanelAttribute(int panel, int attribute, int value) {
    PanelRec *p = FindPanel(panel);
    if (!p || !p->widget) return kErrPanel;
    QWidget *w = p->widget;
    switch (attribute) {
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
    case ATTR_VISIBLE:
        w->setVisible(value != 0);
        return 0;
    case ATTR_WINDOW_ZOOM:
        if (w->isWindow() && !w->isVisible())
            w->setProperty(kZoomOnShow, value); // DisplayPanel applies it
        else
            w->setWindowState(WindowStateOf(value));
        return 0;
    case ATTR_CHARSET:
        w->setProperty("charset", value);
        return 0;
    default:
        return kErrAttr;
    }
}

int SetPanelAttribute(int panel, int attribute, const char *value) {
    PanelRec *p = FindPanel(panel);
    if (!p || !p->widget) return kErrPanel;
    if (attribute != ATTR_TITLE) return kErrAttr;
    p->widget->setWindowTitle(QString::fromUtf8(value ? value : ""));
    return 0;
}

int GetPanelAttribute(int panel, int attribute, int *value) {
    PanelRec *p = FindPanel(panel);
    if (!p || !p->widget) return kErrPanel;
    QWidget *w = p->widget;
    auto nextOf = [](const std::vector<int> &v, int x) {
        auto it = std::find(v.begin(), v.end(), x);
        return (it != v.end() && it + 1 != v.end()) ? *(it + 1) : 0;
    };
    // A maximised or minimised window reports the place it goes back to, its own.
    const bool zoomed =
        w->isWindow() && (w->isMaximized() || w->isMinimized()) && w->normalGeometry().isValid();
    // Its position counts from the outer edge of its frame, as that of a normal window does.
    const QRect normal = w->normalGeometry().translated(w->pos() - w->geometry().topLeft());
    switch (attribute) {
    case ATTR_TOP:
        *value = zoomed ? normal.y() : w->y();
        return 0;
    case ATTR_LEFT:
        *value = zoomed ? normal.x() : w->x();
        return 0;
    case ATTR_HEIGHT:
        *value = zoomed ? normal.height() : w->height();
        return 0;
    case ATTR_WIDTH:
        *value = zoomed ? normal.width() : w->width();
        return 0;
    case ATTR_VISIBLE:
        *value = w->isVisible() ? 1 : 0;
        return 0;
    case ATTR_WINDOW_ZOOM:
        if (const QVariant zoom = w->property(kZoomOnShow); zoom.isValid())
            *value = zoom.toInt();
        else
            *value = w->isMaximized()   ? VAL_MAXIMIZE
                     : w->isMinimized() ? VAL_MINIMIZE
                                        : VAL_NO_ZOOM;
        return 0;
    case ATTR_PANEL_FIRST_CTRL:
        *value = p->controlOrder.empty() ? 0 : p->controlOrder[0];
        return 0;
    case ATTR_FIRST_CHILD:
        *value = p->children.empty() ? 0 : p->children[0];
        return 0;
    case ATTR_NEXT_PANEL: {
        PanelRec *parent = FindPanel(p->parent);
        *value = parent ? nextOf(parent->children, panel) : 0;
        return 0;
    }
    case ATTR_PANEL_PARENT:
        *value = p->parent;
        return 0;
    case ATTR_CHARSET:
        *value = w->property("charset").toInt();
        return 0;
    default:
        return kErrAttr;
    }
}

int GetPanelAttribute(int panel, int attribute, char *buffer, int size) {
    PanelRec *p = FindPanel(panel);
    if (!p || !p->widget) return kErrPanel;
    if (!buffer || size <= 0) return kErrAttr;
    QByteArray b;
    if (attribute == ATTR_TITLE)
        b = p->widget->windowTitle().toUtf8();
    else if (attribute == ATTR_CONSTANT_NAME)
        b = QByteArray::fromStdString(p->name);
    else
        return kErrAttr;
    int n = std::min<int>(b.size(), size - 1);
    std::memcpy(buffer, b.constData(), n);
    buffer[n] = 0;
    return 0;
}

// ---- Tab pages ----------------------------------------------------------------------------

int GetPanelHandleFromTabPage(int panel, int tabControl, int index, int *pagePanel) {
    QTabWidget *tab = TabOf(panel, tabControl);
    if (!tab) return kErrCtrl;
    QWidget *page = tab->widget(index);
    PanelRec *rec = page ? PanelOfWidget(page) : nullptr;
    if (!rec) return kErrAttr;
    *pagePanel = rec->handle;
    return 0;
}

int SetActiveTabPage(int panel, int tabControl, int index) {
    QTabWidget *tab = TabOf(panel, tabControl);
    if (!tab) return kErrCtrl;
    if (index < 0 || index >= tab->count()) return kErrAttr;
    SetProgrammaticTabChange(true);
    tab->setCurrentIndex(index);
    SetProgrammaticTabChange(false);
    if (CtrlRec *c = FindCtrl(panel, tabControl)) c->number = tab->currentIndex();
    return 0;
}

int GetActiveTabPage(int panel, int tabControl, int *index) {
    QTabWidget *tab = TabOf(panel, tabControl);
    if (!tab) return kErrCtrl;
    *index = tab->currentIndex();
    return 0;
}

int SetTabPageAttribute(int panel, int tabControl, int index, int attribute, int value) {
    QTabWidget *tab = TabOf(panel, tabControl);
    if (!tab) return kErrCtrl;
    if (index < 0 || index >= tab->count()) return kErrAttr;
    SetProgrammaticTabChange(true);
    int result = 0;
    if (attribute == ATTR_VISIBLE)
        tab->setTabVisible(index, value != 0);
    else if (attribute == ATTR_DIMMED)
        tab->setTabEnabled(index, !value);
    else
        result = kErrAttr;
    SetProgrammaticTabChange(false);
    return result;
}

int SetTabPageAttribute(int panel, int tabControl, int index, int attribute, const char *value) {
    QTabWidget *tab = TabOf(panel, tabControl);
    if (!tab) return kErrCtrl;
    if (index < 0 || index >= tab->count() || attribute != ATTR_LABEL_TEXT) return kErrAttr;
    tab->setTabText(index, QString::fromUtf8(value ? value : ""));
    return 0;
}

int GetTabPageAttribute(int panel, int tabControl, int index, int attribute, int *value) {
    QTabWidget *tab = TabOf(panel, tabControl);
    if (!tab) return kErrCtrl;
    if (attribute == ATTR_NUM_TAB_PAGES) {
        *value = tab->count();
        return 0;
    }
    if (index < 0 || index >= tab->count()) return kErrAttr;
    if (attribute == ATTR_VISIBLE)
        *value = tab->isTabVisible(index) ? 1 : 0;
    else if (attribute == ATTR_DIMMED)
        *value = tab->isTabEnabled(index) ? 0 : 1;
    else
        return kErrAttr;
    return 0;
}

int GetTabPageAttribute(int panel, int tabControl, int index, int attribute, char *buffer,
                        int size) {
    QTabWidget *tab = TabOf(panel, tabControl);
    if (!tab) return kErrCtrl;
    if (index < 0 || index >= tab->count() || attribute != ATTR_LABEL_TEXT || size <= 0)
        return kErrAttr;
    QByteArray b = tab->tabText(index).toUtf8();
    int n = std::min<int>(b.size(), size - 1);
    std::memcpy(buffer, b.constData(), n);
    buffer[n] = 0;
    return 0;
}
