#include "preview/TimelineStrip.h"

#include "PreviewFakes.h"

#include <QAccessible>
#include <QFrame>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using Geometry = TTimelineGeometry;

class TimelineStripTest : public ::testing::Test, protected PreviewRig
{
protected:
    void SetUp() override
    {
        QObject::connect(&strip, &TTimelineStrip::Splitter1Moved, [this] {
            ++startMoves;
            events.Splitter1Moved(rows);
        });
        QObject::connect(&strip, &TTimelineStrip::Splitter2Moved, [this] {
            ++endMoves;
            events.Splitter2Moved(rows);
        });
        panel1.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel1));
    }

    // A 60-second row whose segment runs from 15 s to 45 s, clicked on the job list.
    void ClickSixtySecondRow()
    {
        rows.Add("/media/a.mp3", "00:00:00", "00:01:00", true);
        rows.SetCellText(0, JobColumn::StartTime, "00:00:15");
        rows.SetCellText(0, JobColumn::EndTime, "00:00:45");
        events.dxTreeSourceFileInfoClick(rows);
        strip.Relayout();
    }

    // Drags a marker by `dx` px in steps, addressing each event in Panel1's coordinates because
    // the marker itself moves under the pointer.
    void Drag(QWidget *marker, int dx)
    {
        const QPoint grab = marker->geometry().center();
        const auto local = [&](int offset) {
            return marker->mapFrom(&panel1, grab + QPoint(offset, 0));
        };
        QTest::mousePress(marker, Qt::LeftButton, {}, local(0));
        const int steps = 4;
        for (int i = 1; i <= steps; ++i)
            QTest::mouseMove(marker, local(dx * i / steps));
        QTest::mouseRelease(marker, Qt::LeftButton, {}, local(dx));
    }

    int X(QWidget *widget) const { return widget->geometry().x(); }
    int Right(QWidget *widget) const { return widget->geometry().right(); }

    QFrame panel1;
    TTimelineStrip strip{&panel1, geometry, player.Timeline};
    int startMoves = 0;
    int endMoves = 0;
};

TEST_F(TimelineStripTest, FivePartsTileTheStripInsideItsBorder)
{
    EXPECT_EQ(panel1.size(), QSize(260, 21));
    const std::vector<std::pair<QWidget *, const char *>> parts = {{strip.Panel2(), "Panel2"},
                                                                   {strip.Splitter1(), "Splitter1"},
                                                                   {strip.Panel4(), "Panel4"},
                                                                   {strip.Splitter2(), "Splitter2"},
                                                                   {strip.Panel3(), "Panel3"}};
    int x = 1;
    for (const auto &[widget, name] : parts) {
        SCOPED_TRACE(name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->objectName().toStdString(), name);
        EXPECT_EQ(widget->parentWidget(), &panel1);
        EXPECT_EQ(panel1.findChild<QWidget *>(name), widget);
        EXPECT_EQ(widget->geometry().top(), 1);
        EXPECT_EQ(widget->height(), 19);
        EXPECT_EQ(X(widget), x);
        x += widget->width();
    }
    EXPECT_EQ(x, 259);
    EXPECT_EQ(strip.Splitter1()->width(), 20);
    EXPECT_EQ(strip.Splitter2()->width(), 20);
    EXPECT_EQ(strip.Panel4()->width(), 216);
}

TEST_F(TimelineStripTest, ClickOnARowPlacesTheMarkersAtItsSegment)
{
    ClickSixtySecondRow();
    // 218 px for 60 s: 15 s is 54.5 px (rounded to 54), 45 s is 163.5 px (rounded to 164).
    EXPECT_EQ(strip.Panel2()->width(), 55);
    EXPECT_EQ(X(strip.Splitter1()), 56);
    EXPECT_EQ(X(strip.Splitter2()), 184);
    EXPECT_EQ(strip.Panel3()->width(), 55);
    EXPECT_EQ(Right(strip.Panel3()), 258);
    EXPECT_EQ(startMoves + endMoves, 0); // placing is no marker move
}

TEST_F(TimelineStripTest, DraggingAMarkerMovesItLiveAndWritesTheTimeOnRelease)
{
    ClickSixtySecondRow();
    const QPoint grab = strip.Splitter1()->rect().center();
    QTest::mousePress(strip.Splitter1(), Qt::LeftButton, {}, grab);
    QTest::mouseMove(strip.Splitter1(), grab + QPoint(30, 0));
    EXPECT_EQ(X(strip.Splitter1()), 86);
    EXPECT_EQ(strip.Panel2()->width(), 85);
    EXPECT_EQ(X(strip.Splitter2()), 184);                          // the other marker stays
    EXPECT_EQ(rows.CellText(0, JobColumn::StartTime), "00:00:15"); // not before the release
    EXPECT_EQ(startMoves, 0);

    // The marker now lies 30 px further right; release at the same place on screen.
    QTest::mouseRelease(strip.Splitter1(), Qt::LeftButton, {}, grab);
    EXPECT_EQ(X(strip.Splitter1()), 86);
    EXPECT_EQ(startMoves, 1);
    // Position 84 is 39 % of the strip, 23 s of 60.
    EXPECT_EQ(rows.CellText(0, JobColumn::StartTime), "00:00:23");
    EXPECT_EQ(rows.CellText(0, JobColumn::CutTime), "00:00:22");

    Drag(strip.Splitter2(), -40);
    EXPECT_EQ(X(strip.Splitter2()), 144);
    EXPECT_EQ(endMoves, 1);
    // Position 122 is 56 % of the strip, 33 s of 60.
    EXPECT_EQ(rows.CellText(0, JobColumn::EndTime), "00:00:33");
    EXPECT_EQ(rows.CellText(0, JobColumn::CutTime), "00:00:10");
    EXPECT_EQ(player.Timeline.EndMarkText, "00:00:33");
}

TEST_F(TimelineStripTest, DragsAreClampedToTheStripAndMarkersNeverCross)
{
    ClickSixtySecondRow();
    Drag(strip.Splitter1(), -500);
    EXPECT_EQ(X(strip.Splitter1()), 2);
    EXPECT_EQ(strip.Panel2()->width(), 1);
    Drag(strip.Splitter2(), 500);
    EXPECT_EQ(Right(strip.Splitter2()), 257);
    EXPECT_EQ(strip.Panel3()->width(), 1);
    EXPECT_EQ(rows.CellText(0, JobColumn::StartTime), "00:00:00");
    EXPECT_EQ(rows.CellText(0, JobColumn::EndTime), "00:01:00");
    EXPECT_EQ(rows.CellText(0, JobColumn::CutTime), "00:01:00");

    // Pushing the start marker into the end marker leaves the middle image 1 px wide.
    Drag(strip.Splitter1(), 1000);
    EXPECT_EQ(strip.Panel4()->width(), 1);
    EXPECT_EQ(X(strip.Splitter2()), Right(strip.Splitter1()) + 2);
    EXPECT_EQ(Right(strip.Panel3()), 258);
    // and pushing the end marker back over it stops at the same place.
    Drag(strip.Splitter2(), -1000);
    EXPECT_EQ(strip.Panel4()->width(), 1);
    EXPECT_EQ(strip.Panel2()->width(), 216);
    EXPECT_EQ(strip.Panel3()->width(), 1);
    EXPECT_EQ(rows.CellText(0, JobColumn::StartTime), rows.CellText(0, JobColumn::EndTime));
    EXPECT_EQ(rows.CellText(0, JobColumn::CutTime), "00:00:00");
    for (QWidget *part :
         {strip.Panel2(), strip.Splitter1(), strip.Panel4(), strip.Splitter2(), strip.Panel3()}) {
        EXPECT_GE(X(part), 1);
        EXPECT_LE(Right(part), 258);
    }
}

TEST_F(TimelineStripTest, OnlyTheLeftButtonDragsAMarker)
{
    ClickSixtySecondRow();
    QWidget *marker = strip.Splitter1();
    const QPoint grab = marker->rect().center();
    QTest::mousePress(marker, Qt::RightButton, {}, grab);
    QTest::mouseMove(marker, grab + QPoint(30, 0));
    QTest::mouseRelease(marker, Qt::RightButton, {}, grab + QPoint(30, 0));
    EXPECT_EQ(X(marker), 56);
    EXPECT_EQ(startMoves, 0);
    EXPECT_EQ(rows.CellText(0, JobColumn::StartTime), "00:00:15");
}

// What assistive technology reads from a marker.
struct MarkerReading
{
    QString name;
    qlonglong value = -1;
    qlonglong maximum = -1;
};

MarkerReading Read(QWidget *marker)
{
    QAccessibleInterface *marked = QAccessible::queryAccessibleInterface(marker);
    if (marked == nullptr || marked->valueInterface() == nullptr)
        return {};
    return {marked->text(QAccessible::Name), marked->valueInterface()->currentValue().toLongLong(),
            marked->valueInterface()->maximumValue().toLongLong()};
}

TEST_F(TimelineStripTest, KeysMoveEachMarkerAsADragToTheSameSecondAndTellItsValue)
{
    ClickSixtySecondRow();
    QWidget *start = strip.Splitter1();
    QWidget *end = strip.Splitter2();
    EXPECT_EQ(start->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(start)->role(), QAccessible::Slider);
    MarkerReading reading = Read(start);
    EXPECT_EQ(reading.name, "Start 00:00:15");
    EXPECT_EQ(reading.value, 15);
    EXPECT_EQ(reading.maximum, 60);
    EXPECT_EQ(Read(end).name, "End 00:00:45");

    // 60 s on 217 pixels: the next second lies 5 px further right, where a drag writes it too.
    QTest::keyClick(start, Qt::Key_Right);
    EXPECT_EQ(X(start), 61);
    EXPECT_EQ(startMoves, 1);
    EXPECT_EQ(rows.CellText(0, JobColumn::StartTime), "00:00:16");
    EXPECT_EQ(rows.CellText(0, JobColumn::CutTime), "00:00:29");
    EXPECT_EQ(Read(start).value, 16);
    EXPECT_EQ(Read(start).name, "Start 00:00:16");

    QTest::keyClick(start, Qt::Key_PageUp);
    EXPECT_EQ(rows.CellText(0, JobColumn::StartTime), "00:00:26");
    QTest::keyClick(start, Qt::Key_Left);
    EXPECT_EQ(rows.CellText(0, JobColumn::StartTime), "00:00:25");
    QTest::keyClick(start, Qt::Key_Home);
    EXPECT_EQ(strip.Panel2()->width(), 1);
    EXPECT_EQ(rows.CellText(0, JobColumn::StartTime), "00:00:00");
    EXPECT_EQ(Read(start).value, 0);
    QTest::keyClick(start, Qt::Key_Left); // at the end already: nothing moves, nothing written
    EXPECT_EQ(startMoves, 4);

    QTest::keyClick(end, Qt::Key_Left);
    EXPECT_EQ(rows.CellText(0, JobColumn::EndTime), "00:00:44");
    EXPECT_EQ(player.Timeline.EndMarkText, "00:00:44");
    QTest::keyClick(end, Qt::Key_PageDown);
    EXPECT_EQ(rows.CellText(0, JobColumn::EndTime), "00:00:34");
    EXPECT_EQ(rows.CellText(0, JobColumn::CutTime), "00:00:34");
    EXPECT_EQ(Read(end).value, 34);
    QTest::keyClick(end, Qt::Key_End);
    EXPECT_EQ(strip.Panel3()->width(), 1);
    EXPECT_EQ(rows.CellText(0, JobColumn::EndTime), "00:01:00");
    EXPECT_EQ(Read(end).name, "End 00:01:00");
    EXPECT_EQ(endMoves, 3);

    // The end marker's Home stops where the start marker stands; the markers never cross.
    QTest::keyClick(start, Qt::Key_PageUp);
    QTest::keyClick(end, Qt::Key_Home);
    EXPECT_EQ(strip.Panel4()->width(), 1);
    EXPECT_EQ(rows.CellText(0, JobColumn::EndTime), "00:00:10");
}

TEST_F(TimelineStripTest, AMarkerKeyBeforeAnyRowWasChosenMovesNothingButHomeAndEnd)
{
    QTest::keyClick(strip.Splitter1(), Qt::Key_Right); // duration 0: every pixel is 0 s
    EXPECT_EQ(strip.Panel2()->width(), 1);
    EXPECT_EQ(startMoves, 0);
    QTest::keyClick(strip.Splitter1(), Qt::Key_End);
    EXPECT_EQ(strip.Panel4()->width(), 1);
    EXPECT_EQ(startMoves, 1);
}

} // namespace
