#include "ui/Skin.h"

#include <QEvent>
#include <cmath>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QSvgRenderer>
#include <QWindow>

static void InitArtwork() {
#ifdef PCW_HAS_ARTWORK
    static bool done = [] {
        Q_INIT_RESOURCE(artwork);
        return true;
    }();
    (void)done;
#endif
}

ClickLabel::ClickLabel(QWidget* parent, bool hand) : QLabel(parent) {
    if (hand) setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && isEnabled())
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void ClickLabel::mouseMoveEvent(QMouseEvent* event) {
    emit hovered();
    QLabel::mouseMoveEvent(event);
}

void ClickLabel::leaveEvent(QEvent* event) {
    emit left();
    QLabel::leaveEvent(event);
}

void MakeSkinned(QWidget* window, int width, int height) {
    window->setWindowFlag(Qt::FramelessWindowHint, true);
    window->setFixedSize(width, height);
    // The corner ellipse of 30 x 30 of the skins.
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, width + 1, height), 15, 15);
    window->setMask(QRegion(path.toFillPolygon().toPolygon()));
}

namespace {

class Dragger : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = static_cast<QWidget*>(watched);
        QWidget* window = widget->window();
        switch (event->type()) {
            case QEvent::MouseButtonPress: {
                auto* mouse = static_cast<QMouseEvent*>(event);
                if (mouse->button() != Qt::LeftButton) break;
                if (window->windowHandle() && window->windowHandle()->startSystemMove()) return false;
                grab_ = mouse->globalPosition().toPoint() - window->pos();
                dragging_ = true;
                break;
            }
            case QEvent::MouseMove:
                if (dragging_ && (static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton))
                    window->move(static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - grab_);
                break;
            case QEvent::MouseButtonRelease:
                dragging_ = false;
                break;
            default:
                break;
        }
        return false;
    }

private:
    QPoint grab_;
    bool dragging_ = false;
};

}  // namespace

void DragsWindow(QWidget* area) { area->installEventFilter(new Dragger(area)); }

bool PaintArtwork(QPainter& painter, const QString& name, const QRect& target) {
    InitArtwork();
    QSvgRenderer renderer(":/artwork/" + name + ".svg");
    if (!renderer.isValid()) return false;
    renderer.render(&painter, target);
    return true;
}

QPixmap ArtworkPixmap(const QString& name, const QSize& size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    PaintArtwork(painter, name, QRect(QPoint(0, 0), size));
    return pixmap;
}

void Place(QWidget* widget, int left, int top, int width, int height) { widget->setGeometry(left, top, width, height); }

QFont SkinFont(int pixelSize, bool bold, const QString& family) {
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleHint(QFont::SansSerif);
    // Where Arial Black is missing, its stand-in is the heaviest Arial.
    if (family == "Arial Black") {
        font.setFamilies({"Arial Black", "Arial", "Liberation Sans"});
        font.setWeight(QFont::Black);
    } else {
        font.setFamilies({family, "Liberation Sans"});
    }
    return font;
}

void Style(QLabel* label, const LabelStyle& style) {
    label->setFont(SkinFont(style.pixelSize, style.bold, style.family));
    label->setAlignment(style.align);
    const QColor color(style.color);
    const QString dimmed = QString("rgba(%1, %2, %3, 128)").arg(color.red()).arg(color.green()).arg(color.blue());
    label->setStyleSheet("QLabel { color: " + style.color + "; background: transparent; }"
                         "QLabel:disabled { color: " + dimmed + "; }");
    label->setAttribute(Qt::WA_TranslucentBackground);
}

QProgressBar* SkinBar(QWidget* parent, const QColor& color) {
    auto* bar = new QProgressBar(parent);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    bar->setStyleSheet(QString("QProgressBar { border: 0; background: #202020; }"
                               "QProgressBar::chunk { background: %1; }")
                           .arg(color.name()));
    return bar;
}

QDate DateOfDayCount(double days) {
    if (!std::isfinite(days) || days < -693593.0 || days > 2958465.0) return QDate();
    return QDate(1899, 12, 30).addDays(static_cast<qint64>(days));
}
