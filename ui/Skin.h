// What the skinned windows share: labels that act as buttons, the rounded
// borderless shape, dragging by the background, and the artwork.
#pragma once

#include <QAccessibleWidget>
#include <QColor>
#include <QDate>
#include <QLabel>
#include <QPointer>
#include <QString>
#include <vector>

class QWidget;
class QPainter;
class QProgressBar;

// A label that answers clicks and hovering; a disabled one ignores both. One
// that acts also takes the focus from Tab, shows it, and acts on Space or
// Enter. A text too long for it ends with "…" on screen; text() keeps it whole.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(QWidget* parent = nullptr, bool hand = true);
    // The text as drawn: a plain text too long for the label ends with "…".
    QString shownText() const;

signals:
    void clicked();
    void hovered();
    void left();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool armed_ = false;  // pressed here, not yet released
};

// What a screen reader sees of a label that acts: a button that it can press,
// named by what it does (its text, or its hint when the text is a sign such
// as "..."), greyed when disabled. A label given an accessible name (the
// caption painted beside it on the skin) says its text as its value; one that
// does not act is then a text of that name.
class ClickLabelAccessible : public QAccessibleWidget {
public:
    explicit ClickLabelAccessible(ClickLabel* label);
    QString text(QAccessible::Text kind) const override;
    QStringList actionNames() const override;
    void doAction(const QString& action) override;

private:
    ClickLabel* label() const;
};

// Gives a top-level window no frame and the rounded shape of the skins.
void MakeSkinned(QWidget* window, int width, int height);
// Paints a skinned window inside its rounded shape only, which is what shapes
// it where its mask does not.
void ClipToSkinShape(QPainter& painter, const QWidget* window);
// Puts a top-level window's centre on `centre`, inside its screen's available
// area. Windows are placed before they are shown: a frameless window moved in
// its show event races the window manager's first configure, which leaves Qt
// with the window at 0, 0 while the screen shows it elsewhere, and then boxes
// open in the corner and the first drag throws the window away.
void CentreWindow(QWidget* window, QPoint centre);
// Lets the user move the window by dragging `area` (the window itself for its
// background): it follows the pointer's motion from the press, moved by the
// program, or by the system where only the system may move windows.
void DragsWindow(QWidget* area);
// Draws an artwork picture (ui/artwork/NAME.svg, as the build rendered it)
// over the whole rectangle; false when the picture is missing.
bool PaintArtwork(QPainter& painter, const QString& name, const QRect& target);
// The picture at `size`, in the screens' pixel density; transparent when missing.
QPixmap ArtworkPixmap(const QString& name, const QSize& size);
// How many pictures have been prepared from their renderings: each at most
// once per size and pixel ratio, however often the windows repaint.
int ArtworkRenderings();
// Of the renderings of a picture made for `ratios` (ascending), the index of
// the one drawn at a device's pixel `ratio`: the least dense that is at least
// as dense, else the densest; -1 without any.
int RenderingForRatio(const std::vector<qreal>& ratios, qreal ratio);

// A caption written on a window's artwork, drawn by the code (so that it can
// be translated) where the picture would have drawn it: its baseline starts
// at `x`, `y` of the artwork, or ends there for `endsAtX`.
struct ArtworkCaption {
    QString text;
    qreal x = 0;
    qreal y = 0;
    int pixelSize = 11;
    bool bold = false;
    QColor color;
    bool endsAtX = false;
};
// Draws `captions` over an artwork of `artworkSize` painted on `target`.
void PaintCaptions(QPainter& painter, const QSize& artworkSize, const QRect& target,
                   const std::vector<ArtworkCaption>& captions);

// A thin progress bar, 0 to 100, in the given colour on the skins' dark trough.
QProgressBar* SkinBar(QWidget* parent, const QColor& color);

// The date of a day count since 30 December 1899 read from a file; an
// invalid date for one that is no date.
QDate DateOfDayCount(double days);

// Places a widget at the skin's coordinates with the skin's font.
struct LabelStyle {
    int pixelSize = 11;
    bool bold = true;
    QString color = "#FFFFFF";
    QString family = "Arial";
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
};
void Place(QWidget* widget, int left, int top, int width, int height);
void Style(QLabel* label, const LabelStyle& style);
// The skins place their texts in pixels measured for Arial, which Windows has.
// Elsewhere a font of the same widths stands in for it: Liberation Sans (the
// package depends on fonts-liberation2), or Arimo. Any other font, such as
// the DejaVu Sans that Debian falls back to, is wider and cuts the texts.
// The families asked for a skin font: the skin's own, then these.
QStringList SkinFamilies(const QString& family);
// The skin's font, in pixels.
QFont SkinFont(int pixelSize, bool bold, const QString& family = "Arial");
// Makes the skin's families stand in for Arial and Arial Black everywhere;
// done before the first skin font.
void UseSkinFamilies();
