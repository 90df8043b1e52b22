// Drawing and mouse handling of the LED and the graph.
#include "platform/widgets.h"

#include "platform/calc/axis_ticks.h"
#include "platform/ui.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

Led::Led(QWidget *parent) : QWidget(parent) {}

void Led::setOn(bool on) {
    if (on_ != on) {
        on_ = on;
        update();
    }
}

static void drawLamp(QPainter &p, QSize size, QColor c, bool on) {
    p.setRenderHint(QPainter::Antialiasing);
    int d = std::min(size.width(), size.height()) - 2;
    QRectF r((size.width() - d) / 2.0, (size.height() - d) / 2.0, d, d);
    QRadialGradient g(r.center() - QPointF(d / 5.0, d / 5.0), d / 1.2);
    g.setColorAt(0, c.lighter(on ? 160 : 250));
    g.setColorAt(1, c);
    p.setBrush(g);
    p.setPen(QPen(QColor(90, 90, 90), 1.2));
    p.drawEllipse(r);
}

void Led::paintEvent(QPaintEvent *) {
    const qreal ratio = devicePixelRatioF();
    if (size() != lampSize_ || ratio != lampRatio_ || lampColors_[0] != offColor ||
        lampColors_[1] != onColor || lampColors_[2] != neutralColor) {
        lampSize_ = size();
        lampRatio_ = ratio;
        lampColors_[0] = offColor;
        lampColors_[1] = onColor;
        lampColors_[2] = neutralColor;
        for (int kind = 0; kind < 3; ++kind) {
            QPixmap &lamp = lamps_[kind];
            lamp = QPixmap(size() * ratio);
            lamp.setDevicePixelRatio(ratio);
            lamp.fill(Qt::transparent);
            QPainter lp(&lamp);
            drawLamp(lp, size(), lampColors_[kind], kind != 0);
        }
    }
    QPainter p(this);
    p.drawPixmap(0, 0, lamps_[!isEnabled() ? 2 : on_ ? 1 : 0]);
}

void Led::changeEvent(QEvent *event) {
    if (event->type() == QEvent::EnabledChange) update();
    QWidget::changeEvent(event);
}

// ---- Graph -------------------------------------------------------------------------------

Graph::Graph(QWidget *parent) : QWidget(parent) {
    setMouseTracking(false);
    cursors[0] = {0, 0};
    cursors[1] = {0, 0};
}

void Graph::shownRange(double *x0, double *x1, double *y0, double *y1) const {
    *x0 = xMin;
    *x1 = xMax;
    *y0 = yMin;
    *y1 = yMax;
    if (!xAutoscale && !yAutoscale) return;
    double ax0 = 1e300, ax1 = -1e300, ay0 = 1e300, ay1 = -1e300;
    for (const GraphPlot &pl : plots) {
        if (pl.rectangle) {
            ax0 = std::min(ax0, pl.rect.left());
            ax1 = std::max(ax1, pl.rect.right());
            ay0 = std::min(ay0, pl.rect.top());
            ay1 = std::max(ay1, pl.rect.bottom());
        } else if (!pl.y.empty()) {
            ax0 = std::min(ax0, 0.0);
            ax1 = std::max(ax1, double(pl.y.size() - 1));
            for (double v : pl.y) {
                ay0 = std::min(ay0, v);
                ay1 = std::max(ay1, v);
            }
        }
    }
    if (xAutoscale && ax0 <= ax1) {
        *x0 = ax0;
        *x1 = ax1 > ax0 ? ax1 : ax0 + 1;
    }
    if (yAutoscale && ay0 <= ay1) {
        *y0 = ay0;
        *y1 = ay1 > ay0 ? ay1 : ay0 + 1;
    }
}

QRect Graph::plotArea() const {
    int left = showAxisLabels ? 46 : 4;
    int bottom = showAxisLabels ? 22 : 4;
    int top = 6, right = 18;
    return QRect(left, top, std::max(10, width() - left - right),
                 std::max(10, height() - top - bottom));
}

QPointF Graph::toScreen(QPointF v) const {
    double x0, x1, y0, y1;
    shownRange(&x0, &x1, &y0, &y1);
    QRect a = plotArea();
    double sx = (v.x() - x0) / (x1 - x0);
    double sy = (v.y() - y0) / (y1 - y0);
    return {a.left() + sx * a.width(), a.bottom() - sy * a.height()};
}

QPointF Graph::toValue(QPointF s) const {
    double x0, x1, y0, y1;
    shownRange(&x0, &x1, &y0, &y1);
    QRect a = plotArea();
    double sx = (s.x() - a.left()) / double(a.width());
    double sy = (a.bottom() - s.y()) / double(a.height());
    return {x0 + sx * (x1 - x0), y0 + sy * (y1 - y0)};
}

static void drawPoint(QPainter &p, QPointF at, int style) {
    if (style == 0) return;
    p.drawRect(QRectF(at.x() - 1.5, at.y() - 1.5, 3, 3));
}

// Background, plot area, grid and axis labels.
void Graph::drawPaper(QPainter &p, double x0, double x1, double y0, double y1) {
    p.fillRect(rect(), palette().window());
    QRect a = plotArea();
    p.fillRect(a, plotAreaColor);

    // Grid and axis labels at round values that the axis' length has room for.
    QFont f = font();
    f.setPointSizeF(std::max(6.0, f.pointSizeF() - 1));
    p.setFont(f);
    for (double t : AxisTicks(x0, x1, a.width(), 50)) {
        double gx = toScreen({t, y0}).x();
        p.setPen(QPen(gridColor, 1, Qt::DotLine));
        p.drawLine(QPointF(gx, a.top()), QPointF(gx, a.bottom()));
        if (showAxisLabels) {
            p.setPen(palette().windowText().color());
            p.drawText(QRectF(gx - 30, a.bottom() + 3, 60, 16), Qt::AlignHCenter | Qt::AlignTop,
                       QString::number(t, 'g', 6));
        }
    }
    for (const auto &[value, text] : yItems) {
        double gy = toScreen({x0, value}).y();
        if (showAxisLabels && gy >= a.top() - 1 && gy <= a.bottom() + 1) {
            p.setPen(palette().windowText().color());
            p.drawText(QRectF(0, gy - 8, a.left() - 4, 16), Qt::AlignRight | Qt::AlignVCenter,
                       text);
        }
    }
    for (double t : yItems.empty() ? AxisTicks(y0, y1, a.height(), 20) : std::vector<double>{}) {
        double gy = toScreen({x0, t}).y();
        p.setPen(QPen(gridColor, 1, Qt::DotLine));
        p.drawLine(QPointF(a.left(), gy), QPointF(a.right(), gy));
        if (showAxisLabels) {
            p.setPen(palette().windowText().color());
            p.drawText(QRectF(0, gy - 8, a.left() - 4, 16), Qt::AlignRight | Qt::AlignVCenter,
                       QString::number(t, 'g', 6));
        }
    }
}

void Graph::paintEvent(QPaintEvent *) {
    double x0, x1, y0, y1;
    shownRange(&x0, &x1, &y0, &y1);
    PaperKey key{size(),
                 devicePixelRatioF(),
                 x0,
                 x1,
                 y0,
                 y1,
                 showAxisLabels,
                 palette().window().color(),
                 palette().windowText().color(),
                 plotAreaColor,
                 gridColor,
                 font(),
                 yItems};
    if (paper_.isNull() || !(key == paperKey_)) {
        paper_ = QPixmap(size() * key.pixelRatio);
        paper_.setDevicePixelRatio(key.pixelRatio);
        QPainter pp(&paper_);
        drawPaper(pp, x0, x1, y0, y1);
        paperKey_ = std::move(key);
    }
    QPainter p(this);
    p.drawPixmap(0, 0, paper_);
    QRect a = plotArea();

    // Plots may reach a little past the plot area so that a line on its edge shows whole.
    p.setClipRect(a.adjusted(-2, -2, 2, 2));
    p.setRenderHint(QPainter::Antialiasing, true);
    for (const GraphPlot &pl : plots) {
        if (pl.rectangle) {
            QRectF r(toScreen(pl.rect.topLeft()), toScreen(pl.rect.bottomRight()));
            r = r.normalized();
            p.setPen(QPen(pl.color, 1));
            p.setBrush(pl.fill);
            if (r.width() > 0 || r.height() > 0) p.drawRect(r);
            p.setBrush(Qt::NoBrush);
            continue;
        }
        if (pl.y.empty()) continue;
        QPen pen(pl.color, 1.5);
        if (pl.lineStyle != VAL_SOLID) pen.setStyle(pl.lineStyle == 1 ? Qt::DashLine : Qt::DotLine);
        p.setPen(pen);
        QPainterPath path;
        for (size_t i = 0; i < pl.y.size(); ++i) {
            QPointF s = toScreen({double(i), pl.y[i]});
            if (i == 0) {
                path.moveTo(s);
            } else if (pl.plotStyle == VAL_THIN_STEP) {
                path.lineTo(s.x(), path.currentPosition().y());
                path.lineTo(s);
            } else {
                path.lineTo(s);
            }
        }
        p.drawPath(path);
        if (pl.plotStyle == VAL_CONNECTED_POINTS || pl.pointStyle != 0) {
            p.setPen(QPen(pl.color, 1));
            p.setBrush(pl.color);
            size_t step = size_t(std::max(1, pl.pointFrequency));
            for (size_t i = 0; i < pl.y.size(); i += step)
                drawPoint(p, toScreen({double(i), pl.y[i]}), pl.pointStyle);
            p.setBrush(Qt::NoBrush);
        }
    }

    // Cursors: a full-height line with a cross-hair marker at the cursor's point.
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int c = 0; c < std::min(numCursors, 2); ++c) {
        QPointF s = toScreen(cursors[c]);
        // The axis maximum maps one pixel past the plot area; keep such a cursor on its edge
        // instead of clipping it away.
        if (s.x() > a.right() && s.x() <= a.right() + 1) s.setX(a.right());
        if (s.y() < a.top() && s.y() >= a.top() - 1) s.setY(a.top());
        p.setPen(QPen(cursorColor, 1, c == 0 ? Qt::SolidLine : Qt::DashLine));
        p.drawLine(QPointF(s.x(), a.top()), QPointF(s.x(), a.bottom()));
        p.drawLine(QPointF(s.x() - 6, s.y()), QPointF(s.x() + 6, s.y()));
    }
    if (zooming_) {
        p.setPen(QPen(Qt::white, 1, Qt::DashLine));
        p.drawRect(QRect(zoomStart_, zoomEnd_).normalized());
    }
}

void Graph::dragCursorTo(int cursor, QPointF value) {
    if (cursor < 0 || cursor >= std::min(numCursors, 2)) return;
    cursors[cursor] = value;
    update();
    if (onCursorMoved) onCursorMoved(cursor);
}

void Graph::zoomTo(QRectF r) {
    r = r.normalized();
    if (r.width() <= 0 || r.height() <= 0) return;
    xAutoscale = yAutoscale = false;
    xMin = r.left();
    xMax = r.right();
    yMin = r.top();
    yMax = r.bottom();
    update();
    if (onZoom) onZoom();
}

void Graph::mousePressEvent(QMouseEvent *e) {
    if (e->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(e);
        return;
    }
    if (enableZoom && (e->modifiers() & Qt::ControlModifier)) {
        zooming_ = true;
        zoomStart_ = zoomEnd_ = e->position().toPoint();
        return;
    }
    if (!cursorsMovable) return;
    // Take the cursor whose line is nearest to the click.
    int best = -1;
    double bestDist = 1e9;
    for (int c = 0; c < std::min(numCursors, 2); ++c) {
        double d = std::fabs(toScreen(cursors[c]).x() - e->position().x());
        if (d < bestDist) {
            bestDist = d;
            best = c;
        }
    }
    if (best >= 0) {
        dragging_ = best;
        dragCursorTo(best, toValue(e->position()));
    }
}

void Graph::mouseMoveEvent(QMouseEvent *e) {
    if (zooming_) {
        zoomEnd_ = e->position().toPoint();
        update();
    } else if (dragging_ >= 0) {
        dragCursorTo(dragging_, toValue(e->position()));
    }
}

void Graph::mouseReleaseEvent(QMouseEvent *e) {
    if (zooming_) {
        zooming_ = false;
        zoomEnd_ = e->position().toPoint();
        QRectF r(toValue(zoomStart_), toValue(zoomEnd_));
        update();
        if (std::abs(zoomEnd_.x() - zoomStart_.x()) > 3 &&
            std::abs(zoomEnd_.y() - zoomStart_.y()) > 3)
            zoomTo(r);
    }
    dragging_ = -1;
}
