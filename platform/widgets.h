// The two custom widgets of the resource file: the LED and the graph with plots, two cursors
// and Ctrl+drag zoom. Everything else is a stock Qt widget.
#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QPoint>
#include <QRectF>
#include <QWidget>

class QPainter;

#include <functional>
#include <utility>
#include <vector>

class Led : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor onColor MEMBER onColor)
    Q_PROPERTY(QColor offColor MEMBER offColor)
  public:
    explicit Led(QWidget *parent = nullptr);
    void setOn(bool on);
    bool isOn() const { return on_; }
    QSize sizeHint() const override { return {24, 24}; }
    QColor onColor{255, 140, 0};
    QColor offColor{20, 20, 20};
    // Dimmed, the LED shows neither state: its value is not a live one.
    QColor neutralColor{140, 140, 140};

  protected:
    void paintEvent(QPaintEvent *) override;
    void changeEvent(QEvent *event) override;

  private:
    bool on_ = false;
    // The lamp as last drawn, off, on and neutral: the live cycle switches the outputs' LEDs
    // many times a second, and drawing the shaded lamp each time costs more than the rest of
    // the panel.
    QPixmap lamps_[3];
    QSize lampSize_;
    qreal lampRatio_ = 0;
    QColor lampColors_[3];
};

struct GraphPlot {
    int handle = 0;
    bool rectangle = false;
    std::vector<double> y; // PlotY values, x = index
    int plotStyle = 0;
    int pointStyle = 0;
    int lineStyle = 0;      // VAL_SOLID, or a dashed pattern for other codes
    int pointFrequency = 1; // a point marker on every n-th value
    QColor color;
    QRectF rect; // PlotRectangle corners (x1, y1) and (x2, y2), normalised
    QColor fill;
};

class Graph : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double xMin MEMBER xMin)
    Q_PROPERTY(double xMax MEMBER xMax)
    Q_PROPERTY(double yMin MEMBER yMin)
    Q_PROPERTY(double yMax MEMBER yMax)
    Q_PROPERTY(bool xAutoscale MEMBER xAutoscale)
    Q_PROPERTY(bool yAutoscale MEMBER yAutoscale)
    Q_PROPERTY(int numCursors MEMBER numCursors)
    Q_PROPERTY(QColor cursorColor MEMBER cursorColor)
    Q_PROPERTY(QColor plotAreaColor MEMBER plotAreaColor)
    Q_PROPERTY(QColor gridColor MEMBER gridColor)
    Q_PROPERTY(bool enableZoom MEMBER enableZoom)
    Q_PROPERTY(bool showAxisLabels MEMBER showAxisLabels)
    Q_PROPERTY(QString xName MEMBER xName)
    Q_PROPERTY(QString yName MEMBER yName)
    Q_PROPERTY(bool cursorsMovable MEMBER cursorsMovable)
    Q_PROPERTY(QPointF cursor1 READ cursor1 WRITE setCursor1)
    Q_PROPERTY(QPointF cursor2 READ cursor2 WRITE setCursor2)
  public:
    explicit Graph(QWidget *parent = nullptr);

    double xMin = 0, xMax = 10, yMin = 0, yMax = 10;
    bool xAutoscale = false, yAutoscale = false;
    int numCursors = 0;
    QColor cursorColor{255, 255, 0};
    QColor plotAreaColor{0, 0, 0};
    QColor gridColor{80, 80, 80};
    bool enableZoom = false;
    bool showAxisLabels = true;
    QString xName, yName;
    bool cursorsMovable = true; // false: only the program moves the cursors

    std::vector<GraphPlot> plots;
    // Texts the left Y axis shows at given values in place of its numbers (InsertAxisItem).
    std::vector<std::pair<double, QString>> yItems;
    int nextHandle = 1;
    QPointF cursors[2];
    QPointF cursor1() const { return cursors[0]; }
    QPointF cursor2() const { return cursors[1]; }
    void setCursor1(QPointF p) { cursors[0] = p; }
    void setCursor2(QPointF p) { cursors[1] = p; }

    // Called when the user moved a cursor (index 0 or 1) or zoomed.
    std::function<void(int cursor)> onCursorMoved;
    std::function<void()> onZoom;

    // Ranges actually drawn: manual ranges, or the data's extent when autoscaling.
    void shownRange(double *x0, double *x1, double *y0, double *y1) const;
    QRect plotArea() const;
    QPointF toScreen(QPointF value) const;
    QPointF toValue(QPointF screen) const;

    // Operator gestures, also used by tests to drive the same code paths as the mouse.
    void dragCursorTo(int cursor, QPointF value);
    void zoomTo(QRectF valueRect);

  protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *) override;
    void mouseMoveEvent(QMouseEvent *) override;
    void mouseReleaseEvent(QMouseEvent *) override;

  private:
    // Everything the background, grid and axis labels depend on. The live cycle repaints the
    // graph many times a second with only its plots changed, so that part is drawn once into
    // a picture and drawn again only when one of these changes.
    struct PaperKey {
        QSize size;
        qreal pixelRatio = 0;
        double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
        bool showAxisLabels = false;
        QColor window, windowText, plotAreaColor, gridColor;
        QFont font;
        std::vector<std::pair<double, QString>> yItems;
        bool operator==(const PaperKey &) const = default;
    };
    void drawPaper(QPainter &p, double x0, double x1, double y0, double y1);

    int dragging_ = -1; // cursor being dragged
    bool zooming_ = false;
    QPoint zoomStart_, zoomEnd_;
    PaperKey paperKey_;
    QPixmap paper_;
};
