#include "toolkit/AnchoredLayout.h"
#include "toolkit/PictureButton.h"
#include "toolkit/ShapedForm.h"

#include <QApplication>
#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QPixmap Filled(const QColor &colour)
{
    QPixmap pixmap(20, 10);
    pixmap.fill(colour);
    return pixmap;
}

QColor CentreColour(QWidget &widget)
{
    return widget.grab().toImage().pixelColor(10, 5);
}

TEST(PictureOutlineTest, TransparentColourIsTakenFromTheBottomLeftPixel)
{
    QImage picture(20, 10, QImage::Format_RGB32);
    picture.fill(Qt::white);
    const QColor key(12, 200, 34);
    for (int x = 0; x < 5; ++x)
        for (int y = 0; y < 10; ++y)
            picture.setPixelColor(x, y, key);
    picture.setPixelColor(19, 0, key);
    const QRegion outline = toolkit::PictureOutline(picture);
    EXPECT_FALSE(outline.contains(QPoint(0, 9)));
    EXPECT_FALSE(outline.contains(QPoint(4, 3)));
    EXPECT_FALSE(outline.contains(QPoint(19, 0)));
    EXPECT_TRUE(outline.contains(QPoint(5, 0)));
    EXPECT_TRUE(outline.contains(QPoint(19, 9)));
    EXPECT_EQ(outline.boundingRect(), QRect(5, 0, 15, 10));
}

TEST(PictureOutlineTest, NullPictureHasNoOutline)
{
    EXPECT_TRUE(toolkit::PictureOutline(QImage()).isEmpty());
}

TEST(ShapedFormTest, ShapeIsAppliedToTheWindow)
{
    QWidget window;
    window.resize(30, 20);
    toolkit::TShapedForm form(&window);
    QImage picture(30, 20, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    picture.setPixelColor(0, 19, Qt::magenta);
    form.SetPicture(picture);
    form.ApplyShape();
    EXPECT_FALSE(window.mask().contains(QPoint(0, 19)));
    EXPECT_TRUE(window.mask().contains(QPoint(15, 10)));
}

TEST(PictureButtonTest, ShowsThePictureOfEachState)
{
    toolkit::TPictureButton button;
    button.SetPictures(Filled(Qt::red), Filled(Qt::green), Filled(Qt::blue));
    button.resize(20, 10);
    EXPECT_EQ(button.sizeHint(), QSize(20, 10));
    EXPECT_EQ(CentreColour(button), QColor(Qt::red));

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&button, &enter);
    EXPECT_EQ(CentreColour(button), QColor(Qt::green));
    button.setDown(true);
    EXPECT_EQ(CentreColour(button), QColor(Qt::blue));
    button.setDown(false);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    EXPECT_EQ(CentreColour(button), QColor(Qt::red));

    button.setEnabled(false);
    EXPECT_NE(CentreColour(button), QColor(Qt::red)); // faded
}

TEST(PictureButtonTest, ClickIsReportedAndArtworkHasAllThreeStates)
{
    toolkit::TPictureButton button;
    button.SetArtwork("convert");
    EXPECT_EQ(button.sizeHint(), QSize(108, 60));
    button.resize(button.sizeHint());
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
}

TEST(AnchoredLayoutTest, AnchoredEdgesKeepTheirDistanceToTheParent)
{
    QWidget parent;
    QWidget fixed(&parent), stretched(&parent), grown(&parent), moved(&parent);
    toolkit::TAnchoredLayout layout(QSize(100, 80));
    using L = toolkit::TAnchoredLayout;
    layout.Place(&fixed, {10, 10, 20, 20});
    layout.Place(&stretched, {10, 40, 50, 10}, L::Left | L::Top | L::Right);
    layout.Place(&grown, {0, 50, 60, 20}, L::Left | L::Top | L::Right | L::Bottom);
    layout.Place(&moved, {80, 10, 10, 10}, L::Top | L::Right);
    layout.Apply(QSize(130, 100));
    EXPECT_EQ(fixed.geometry(), QRect(10, 10, 20, 20));
    EXPECT_EQ(stretched.geometry(), QRect(10, 40, 80, 10));
    EXPECT_EQ(grown.geometry(), QRect(0, 50, 90, 40));
    EXPECT_EQ(moved.geometry(), QRect(110, 10, 10, 10));
}

} // namespace
