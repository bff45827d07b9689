// The artwork as the windows draw it: the rendering that suits the screen's
// pixel ratio, over exactly the rectangle asked, and nothing for a picture
// that is missing.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "ui/Skin.h"

namespace {

TEST(SkinArtwork, PicksTheLeastDenseRenderingThatIsDenseEnough) {
    const std::vector<qreal> made{1.0, 1.5, 2.0};
    const struct {
        std::vector<qreal> ratios;
        qreal ratio;
        int chosen;
    } rows[] = {
        {made, 1.0, 0},  {made, 0.5, 0}, {made, 1.25, 1}, {made, 1.5, 1},  {made, 1.5001, 1},
        {made, 1.75, 2}, {made, 2.0, 2}, {made, 3.0, 2},  {{2.0}, 1.0, 0}, {{}, 1.0, -1},
    };
    for (const auto& row : rows)
        EXPECT_EQ(RenderingForRatio(row.ratios, row.ratio), row.chosen) << row.ratio;
}

// A background drawn at a ratio between two renderings, or beyond them, must
// still cover its window and no more: a rendering drawn at its own density
// would overflow the target or leave part of it bare.
TEST(SkinArtwork, CoversExactlyTheTargetAtEveryRatio) {
    const QRect target(10, 10, 450, 275);  // the main window's background, opaque
    for (const qreal ratio : {1.0, 1.25, 1.5, 1.75, 2.0, 3.0}) {
        QImage canvas((QSizeF(480, 300) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        canvas.setDevicePixelRatio(ratio);
        canvas.fill(Qt::transparent);
        {
            QPainter painter(&canvas);
            ASSERT_TRUE(PaintArtwork(painter, "main", target)) << ratio;
        }
        const auto alphaAt = [&](int x, int y) {
            return canvas.pixelColor(QPointF(QPointF(x, y) * ratio).toPoint()).alpha();
        };
        const QPoint centre = target.center();
        for (const QPoint inside :
             {QPoint(target.left() + 1, centre.y()), QPoint(target.right() - 1, centre.y()),
              QPoint(centre.x(), target.top() + 1), QPoint(centre.x(), target.bottom() - 1)})
            EXPECT_EQ(alphaAt(inside.x(), inside.y()), 255) << ratio;
        for (const QPoint outside :
             {QPoint(target.left() - 2, centre.y()), QPoint(target.right() + 3, centre.y()),
              QPoint(centre.x(), target.top() - 2), QPoint(centre.x(), target.bottom() + 3)})
            EXPECT_EQ(alphaAt(outside.x(), outside.y()), 0) << ratio;
    }
}

// A picture missing from the build leaves the window to draw itself plainly.
TEST(SkinArtwork, AMissingPictureDrawsNothing) {
    QImage canvas(40, 40, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    EXPECT_FALSE(PaintArtwork(painter, "no-such-picture", canvas.rect()));
    painter.end();
    EXPECT_EQ(canvas.pixelColor(20, 20).alpha(), 0);
    const QPixmap icon = ArtworkPixmap("no-such-picture", QSize(16, 16));
    EXPECT_EQ(icon.size(), QSize(16, 16));
    EXPECT_EQ(icon.toImage().pixelColor(8, 8).alpha(), 0);
}

}  // namespace
