// Graph operations: plots of value arrays and rectangles, the two cursors, the axis ranges and
// the axis item labels.
// A graph redraws at the refresh rate; with ATTR_REFRESH_GRAPH off it waits for RefreshGraph.
#include "platform/ui_internal.h"
#include "platform/widgets.h"

#include <cstdint>

namespace {

Graph *GraphOf(int panel, int control, CtrlRec **rec = nullptr) {
    CtrlRec *c = FindCtrl(panel, control);
    if (rec) *rec = c;
    return c ? qobject_cast<Graph *>(c->widget.data()) : nullptr;
}

bool AutoRefresh(const Graph *g) {
    QVariant v = g->property("autoRefresh");
    return !v.isValid() || v.toBool();
}

void Redraw(CtrlRec *c) {
    MarkDirty(*c);
}

} // namespace

int PlotY(int panel, int control, const void *values, int count, int dataType, int plotStyle,
          int pointStyle, int lineStyle, int pointFrequency, int color) {
    CtrlRec *c;
    Graph *g = GraphOf(panel, control, &c);
    if (!g) return kErrCtrl;
    if (!values || count < 0) return kErrAttr;
    GraphPlot pl;
    pl.handle = g->nextHandle++;
    pl.plotStyle = plotStyle;
    pl.pointStyle = pointStyle;
    pl.lineStyle = lineStyle;
    pl.pointFrequency = pointFrequency;
    pl.color = QColor::fromRgb(QRgb(color & 0xFFFFFF));
    pl.y.resize(count);
    for (int i = 0; i < count; ++i) {
        switch (dataType) {
        case VAL_UNSIGNED_SHORT_INTEGER:
            pl.y[i] = static_cast<const std::uint16_t *>(values)[i];
            break;
        case VAL_SHORT_INTEGER:
            pl.y[i] = static_cast<const std::int16_t *>(values)[i];
            break;
        case VAL_INTEGER:
            pl.y[i] = static_cast<const std::int32_t *>(values)[i];
            break;
        case VAL_DOUBLE:
            pl.y[i] = static_cast<const double *>(values)[i];
            break;
        default:
            return kErrAttr;
        }
    }
    g->plots.push_back(std::move(pl));
    if (AutoRefresh(g)) Redraw(c);
    return g->plots.back().handle;
}

int PlotRectangle(int panel, int control, double x1, double y1, double x2, double y2, int color,
                  int fillColor) {
    CtrlRec *c;
    Graph *g = GraphOf(panel, control, &c);
    if (!g) return kErrCtrl;
    GraphPlot pl;
    pl.handle = g->nextHandle++;
    pl.rectangle = true;
    pl.rect = QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized();
    pl.color = QColor::fromRgb(QRgb(color & 0xFFFFFF));
    pl.fill = fillColor == VAL_TRANSPARENT ? QColor(Qt::transparent)
                                           : QColor::fromRgb(QRgb(fillColor & 0xFFFFFF));
    g->plots.push_back(std::move(pl));
    if (AutoRefresh(g)) Redraw(c);
    return g->plots.back().handle;
}

int DeleteGraphPlot(int panel, int control, int plotHandle, int refresh) {
    CtrlRec *c;
    Graph *g = GraphOf(panel, control, &c);
    if (!g) return kErrCtrl;
    if (plotHandle == -1) {
        g->plots.clear();
    } else {
        auto it = std::find_if(g->plots.begin(), g->plots.end(),
                               [&](const GraphPlot &p) { return p.handle == plotHandle; });
        if (it == g->plots.end()) return kErrAttr;
        g->plots.erase(it);
    }
    if (refresh != VAL_NO_DRAW && AutoRefresh(g)) Redraw(c);
    return 0;
}

int RefreshGraph(int panel, int control) {
    CtrlRec *c;
    if (!GraphOf(panel, control, &c)) return kErrCtrl;
    Redraw(c);
    return 0;
}

int SetGraphCursor(int panel, int control, int cursor, double x, double y) {
    CtrlRec *c;
    Graph *g = GraphOf(panel, control, &c);
    if (!g) return kErrCtrl;
    if (cursor < 1 || cursor > g->numCursors || cursor > 2) return kErrAttr;
    g->cursors[cursor - 1] = QPointF(x, y);
    if (AutoRefresh(g)) Redraw(c);
    return 0;
}

int GetGraphCursor(int panel, int control, int cursor, double *x, double *y) {
    Graph *g = GraphOf(panel, control);
    if (!g) return kErrCtrl;
    if (cursor < 1 || cursor > g->numCursors || cursor > 2) return kErrAttr;
    *x = g->cursors[cursor - 1].x();
    *y = g->cursors[cursor - 1].y();
    return 0;
}

int SetAxisScalingMode(int panel, int control, int axis, int mode, double min, double max) {
    CtrlRec *c;
    Graph *g = GraphOf(panel, control, &c);
    if (!g) return kErrCtrl;
    bool autoscale = mode == VAL_AUTOSCALE;
    if (!autoscale && !(max > min)) return kErrAttr;
    if (axis == VAL_XAXIS) {
        g->xAutoscale = autoscale;
        if (!autoscale) {
            g->xMin = min;
            g->xMax = max;
        }
    } else if (axis == VAL_LEFT_YAXIS) {
        g->yAutoscale = autoscale;
        if (!autoscale) {
            g->yMin = min;
            g->yMax = max;
        }
    } else {
        return kErrAttr;
    }
    Redraw(c);
    return 0;
}

int GetAxisScalingMode(int panel, int control, int axis, int *mode, double *min, double *max) {
    Graph *g = GraphOf(panel, control);
    if (!g) return kErrCtrl;
    double x0, x1, y0, y1;
    g->shownRange(&x0, &x1, &y0, &y1);
    if (axis == VAL_XAXIS) {
        *mode = g->xAutoscale ? VAL_AUTOSCALE : VAL_MANUAL;
        *min = x0;
        *max = x1;
    } else if (axis == VAL_LEFT_YAXIS) {
        *mode = g->yAutoscale ? VAL_AUTOSCALE : VAL_MANUAL;
        *min = y0;
        *max = y1;
    } else {
        return kErrAttr;
    }
    return 0;
}

int InsertAxisItem(int panel, int control, int axis, int index, const char *label, double value) {
    CtrlRec *c;
    Graph *g = GraphOf(panel, control, &c);
    if (!g) return kErrCtrl;
    if (axis != VAL_LEFT_YAXIS || index < -1 || index > int(g->yItems.size())) return kErrAttr;
    auto at = index == -1 ? g->yItems.end() : g->yItems.begin() + index;
    g->yItems.insert(at, {value, QString::fromUtf8(label ? label : "")});
    Redraw(c);
    return 0;
}

int ClearAxisItems(int panel, int control, int axis) {
    CtrlRec *c;
    Graph *g = GraphOf(panel, control, &c);
    if (!g) return kErrCtrl;
    if (axis != VAL_LEFT_YAXIS) return kErrAttr;
    g->yItems.clear();
    Redraw(c);
    return 0;
}
