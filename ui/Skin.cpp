#include "ui/Skin.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QStyle>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <utility>

static void InitArtwork() {
    static bool done = [] {
        Q_INIT_RESOURCE(artwork);
        return true;
    }();
    (void)done;
}

namespace {

QAccessibleInterface* AccessibleOfClickLabel(const QString&, QObject* object) {
    auto* label = qobject_cast<ClickLabel*>(object);
    if (label == nullptr) return nullptr;
    if (label->focusPolicy() == Qt::NoFocus && label->accessibleName().isEmpty()) return nullptr;
    return new ClickLabelAccessible(label);
}

}  // namespace

ClickLabelAccessible::ClickLabelAccessible(ClickLabel* label)
    : QAccessibleWidget(label, label->focusPolicy() == Qt::NoFocus ? QAccessible::StaticText
                                                                   : QAccessible::Button) {}

ClickLabel* ClickLabelAccessible::label() const {
    return static_cast<ClickLabel*>(widget());
}

QString ClickLabelAccessible::text(QAccessible::Text kind) const {
    const ClickLabel* l = label();
    const QString shown = l->textFormat() == Qt::RichText ? QString() : l->text();
    // "x", "-", "?" and "..." are signs; their hint says what they do.
    const bool says =
        std::count_if(shown.begin(), shown.end(), [](QChar c) { return c.isLetter(); }) > 1;
    switch (kind) {
        case QAccessible::Name:
            if (!l->accessibleName().isEmpty()) return l->accessibleName();
            return says ? shown : l->toolTip();
        case QAccessible::Value:
            return l->accessibleName().isEmpty() ? QString() : shown;
        case QAccessible::Description:
            return l->toolTip() == text(QAccessible::Name) ? QString() : l->toolTip();
        default:
            return QAccessibleWidget::text(kind);
    }
}

QStringList ClickLabelAccessible::actionNames() const {
    if (role() != QAccessible::Button) return QAccessibleWidget::actionNames();
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
}

void ClickLabelAccessible::doAction(const QString& action) {
    if (action != pressAction() || role() != QAccessible::Button)
        return QAccessibleWidget::doAction(action);
    // Later, as a button's animated click: the press may open a modal window,
    // and the reader waits for its answer.
    QMetaObject::invokeMethod(
        label(),
        [target = QPointer<ClickLabel>(label())] {
            if (ClickLabel* l = target.data(); l && l->isEnabled()) emit l->clicked();
        },
        Qt::QueuedConnection);
}

ClickLabel::ClickLabel(QWidget* parent, bool hand) : QLabel(parent) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(AccessibleOfClickLabel);
        return true;
    }();
    (void)factoryInstalled;
    if (hand) {
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
    }
    setMouseTracking(true);
}

void ClickLabel::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
                event->accept();
                if (isEnabled()) emit clicked();
                return;
            }
            break;
        default:
            break;
    }
    QLabel::keyPressEvent(event);
}

QString ClickLabel::shownText() const {
    if (textFormat() != Qt::PlainText) return text();
    return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
}

void ClickLabel::paintEvent(QPaintEvent* event) {
    const QString full = text();
    const QRect area = contentsRect();
    const QString shown = shownText();
    if (shown == full) {
        QLabel::paintEvent(event);
    } else {
        QPainter painter(this);
        style()->drawItemText(&painter, area, static_cast<int>(alignment()), palette(), isEnabled(),
                              shown, foregroundRole());
    }
    if (hasFocus()) {
        QPainter painter(this);
        QPen pen(palette().color(foregroundRole()), 1, Qt::DotLine);
        painter.setPen(pen);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

// The label keeps its press: passed on to the window, it would move it.
void ClickLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QLabel::mousePressEvent(event);
        return;
    }
    armed_ = true;
    event->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QLabel::mouseReleaseEvent(event);
        return;
    }
    const bool armed = std::exchange(armed_, false);
    event->accept();
    if (armed && rect().contains(event->position().toPoint()) && isEnabled()) emit clicked();
}

void ClickLabel::mouseMoveEvent(QMouseEvent* event) {
    emit hovered();
    QLabel::mouseMoveEvent(event);
}

void ClickLabel::leaveEvent(QEvent* event) {
    emit left();
    QLabel::leaveEvent(event);
}

namespace {

// The corner ellipse of 30 x 30 of the skins.
QPainterPath SkinShape(QSize size) {
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, size.width() + 1, size.height()), 15, 15);
    return path;
}

// A Wayland compositor takes a window's mask for where it takes input, not for
// what it shows: the corners are shown transparent there instead.
bool MasksShapeWindows() {
    return !QGuiApplication::platformName().startsWith("wayland");
}

}  // namespace

void MakeSkinned(QWidget* window, int width, int height) {
    window->setWindowFlag(Qt::FramelessWindowHint, true);
    window->setFixedSize(width, height);
    window->setMask(QRegion(SkinShape(window->size()).toFillPolygon().toPolygon()));
    if (!MasksShapeWindows()) window->setAttribute(Qt::WA_TranslucentBackground);
}

void ClipToSkinShape(QPainter& painter, const QWidget* window) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipPath(SkinShape(window->size()));
}

void CentreWindow(QWidget* window, QPoint centre) {
    QRect place(QPoint(0, 0), window->size());
    place.moveCenter(centre);
    if (QScreen* screen = window->screen()) {
        const QRect room = screen->availableGeometry();
        // A window larger than the room keeps its top left corner in it.
        place.moveLeft(
            std::max(room.left(), std::min(place.left(), room.x() + room.width() - place.width())));
        place.moveTop(
            std::max(room.top(), std::min(place.top(), room.y() + room.height() - place.height())));
    }
    window->move(place.topLeft());
}

namespace {

// Whether a program may move its own windows: a Wayland compositor alone
// places them. A window moved by the system would follow the pointer only
// from where the system took it over, after the first pixels of the drag.
bool ClientsPlaceWindows() {
    return !QGuiApplication::platformName().startsWith("wayland");
}

// Moves the window once the pointer has really moved with the button held on
// the area itself: a press that a child took, or one that the area only got
// because a child passed it on, moves nothing, and neither does a click.
class Dragger : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* area = static_cast<QWidget*>(watched);
        QWidget* window = area->window();
        switch (event->type()) {
            case QEvent::MouseButtonPress: {
                auto* mouse = static_cast<QMouseEvent*>(event);
                moving_ = false;
                pressed_ = mouse->button() == Qt::LeftButton &&
                           area->childAt(mouse->position().toPoint()) == nullptr;
                pressAt_ = mouse->globalPosition().toPoint();
                // Where the pointer holds the window, which the window keeps under it.
                grab_ = area->mapTo(window, mouse->position().toPoint());
                return false;
            }
            case QEvent::MouseMove: {
                auto* mouse = static_cast<QMouseEvent*>(event);
                if (!pressed_ || !(mouse->buttons() & Qt::LeftButton)) return false;
                const QPoint at = mouse->globalPosition().toPoint();
                if (!moving_) {
                    if ((at - pressAt_).manhattanLength() < QApplication::startDragDistance())
                        return false;
                    moving_ = true;
                    // Where windows place themselves, the window follows the
                    // pointer from the press, its first pixels included. Elsewhere
                    // (Wayland) only the system may move it; the release then goes
                    // to the system.
                    if (!ClientsPlaceWindows() && window->windowHandle() &&
                        window->windowHandle()->startSystemMove()) {
                        pressed_ = false;
                        return true;
                    }
                }
                window->move(at - grab_);
                return true;
            }
            case QEvent::MouseButtonRelease: {
                // The end of a move is no click on what lies under the pointer.
                const bool moved = moving_;
                pressed_ = moving_ = false;
                return moved;
            }
            default:
                return false;
        }
    }

private:
    QPoint pressAt_;
    QPoint grab_;
    bool pressed_ = false;
    bool moving_ = false;
};

}  // namespace

void DragsWindow(QWidget* area) {
    area->installEventFilter(new Dragger(area));
}

int RenderingForRatio(const std::vector<qreal>& ratios, qreal ratio) {
    if (ratios.empty()) return -1;
    // A ratio a hair above a rendering's, as a scale factor's arithmetic
    // gives, still takes that rendering: the pixels are the same.
    const auto dense = std::find_if(ratios.begin(), ratios.end(),
                                    [ratio](qreal made) { return made >= ratio - 0.01; });
    return static_cast<int>((dense != ratios.end() ? dense : ratios.end() - 1) - ratios.begin());
}

namespace {

int g_renderings = 0;

// A picture as the build rendered it for one pixel ratio.
struct Rendering {
    qreal ratio = 1;
    QString path;
};

// The renderings of a picture, ":/artwork/NAME-PERCENT.png", the least dense
// first; none for a picture that is missing.
std::vector<Rendering> RenderingsOf(const QString& name) {
    InitArtwork();
    std::vector<Rendering> renderings;
    const QString prefix = name + "-";
    for (const QString& file : QDir(":/artwork").entryList({prefix + "*.png"}, QDir::Files)) {
        bool isNumber = false;
        const int percent = file.mid(prefix.size()).chopped(4).toInt(&isNumber);
        if (isNumber && percent > 0) renderings.push_back({percent / 100.0, ":/artwork/" + file});
    }
    std::sort(renderings.begin(), renderings.end(),
              [](const Rendering& a, const Rendering& b) { return a.ratio < b.ratio; });
    return renderings;
}

// Each picture prepared once at each size and pixel ratio it is shown at: the
// windows repaint their background under every label a job's progress
// rewrites, and preparing it anew each time cost a second of a 2 GiB split.
// The rendering that suits the ratio, scaled smoothly to the pixels of `size`
// when it has others; a null pixmap for a picture that is missing.
QPixmap RenderedArtwork(const QString& name, const QSize& size, qreal ratio) {
    static QHash<QString, QPixmap> rendered;
    const QString key =
        QString("%1 %2x%3@%4").arg(name).arg(size.width()).arg(size.height()).arg(ratio);
    if (auto found = rendered.constFind(key); found != rendered.constEnd()) return *found;
    QPixmap pixmap;
    const std::vector<Rendering> renderings = RenderingsOf(name);
    std::vector<qreal> ratios;
    for (const Rendering& rendering : renderings) ratios.push_back(rendering.ratio);
    if (const int chosen = RenderingForRatio(ratios, ratio); chosen >= 0) {
        QImage image(renderings[chosen].path);
        const QSize pixels = (QSizeF(size) * ratio).toSize();
        if (!image.isNull() && !pixels.isEmpty()) {
            ++g_renderings;
            if (image.size() != pixels)
                image = image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            pixmap = QPixmap::fromImage(std::move(image));
            pixmap.setDevicePixelRatio(ratio);
        }
    }
    rendered.insert(key, pixmap);
    return pixmap;
}

}  // namespace

int ArtworkRenderings() {
    return g_renderings;
}

bool PaintArtwork(QPainter& painter, const QString& name, const QRect& target) {
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QPixmap pixmap = RenderedArtwork(name, target.size(), ratio);
    if (pixmap.isNull()) return false;
    painter.drawPixmap(target.topLeft(), pixmap);
    return true;
}

void PaintCaptions(QPainter& painter, const QSize& artworkSize, const QRect& target,
                   const std::vector<ArtworkCaption>& captions) {
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(target.topLeft());
    painter.scale(static_cast<qreal>(target.width()) / artworkSize.width(),
                  static_cast<qreal>(target.height()) / artworkSize.height());
    for (const ArtworkCaption& caption : captions) {
        const QFont font = SkinFont(caption.pixelSize, caption.bold);
        painter.setFont(font);
        painter.setPen(caption.color);
        const qreal x = caption.endsAtX
                            ? caption.x - QFontMetricsF(font).horizontalAdvance(caption.text)
                            : caption.x;
        painter.drawText(QPointF(x, caption.y), caption.text);
    }
    painter.restore();
}

QPixmap ArtworkPixmap(const QString& name, const QSize& size) {
    // As sharp as the screens' pixels are dense.
    const qreal ratio = qApp != nullptr ? qApp->devicePixelRatio() : 1.0;
    QPixmap pixmap = RenderedArtwork(name, size, ratio);
    if (pixmap.isNull()) {
        pixmap = QPixmap(size);
        pixmap.fill(Qt::transparent);
    }
    return pixmap;
}

void Place(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(left, top, width, height);
}

namespace {

// The fonts of Arial's widths, the first that the system has drawing.
const QStringList kArialWidths = {"Arial", "Liberation Sans", "Arimo"};

}  // namespace

QStringList SkinFamilies(const QString& family) {
    QStringList families{family};
    for (const QString& standIn : kArialWidths)
        if (!families.contains(standIn)) families.append(standIn);
    return families;
}

void UseSkinFamilies() {
    static bool done = [] {
        // Where Arial Black is missing, its stand-in is the heaviest Arial.
        QFont::insertSubstitutions("Arial", SkinFamilies("Arial").mid(1));
        QFont::insertSubstitutions("Arial Black", SkinFamilies("Arial Black").mid(1));
        return true;
    }();
    (void)done;
}

QFont SkinFont(int pixelSize, bool bold, const QString& family) {
    UseSkinFamilies();
    QFont font;
    font.setFamilies(SkinFamilies(family));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleHint(QFont::SansSerif);
    if (family == "Arial Black") font.setWeight(QFont::Black);
    return font;
}

void Style(QLabel* label, const LabelStyle& style) {
    label->setFont(SkinFont(style.pixelSize, style.bold, style.family));
    label->setAlignment(style.align);
    const QColor color(style.color);
    const QString dimmed =
        QString("rgba(%1, %2, %3, 128)").arg(color.red()).arg(color.green()).arg(color.blue());
    label->setStyleSheet("QLabel { color: " + style.color +
                         "; background: transparent; }"
                         "QLabel:disabled { color: " +
                         dimmed + "; }");
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
