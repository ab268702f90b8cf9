#pragma once

#include "preview/TimelineGeometry.h"
#include "preview/TimelineState.h"

#include <QImage>
#include <QObject>
#include <QPixmap>
#include <functional>

class QFrame;
class QWidget;

// The timeline strip Panel1 on screen: fills the given frame with the three images Panel2,
// Panel4 and Panel3 and the two markers Splitter1 and Splitter2, laid out from a
// TTimelineGeometry. Dragging a marker resizes the image on its outer side live (never below
// 1 px) and reports the move when the button is released; a press on an image is reported with
// its nudge step.
//
// The markers are keyboard controls too: each takes the focus, moves with the arrow keys by one
// second, Page Up/Down by ten and Home/End to the ends, and reports the same move as a drag to
// that place. Assistive technology sees each as a slider named "Start" or "End" with its time,
// valued in seconds from 0 to the timeline's duration.
class TTimelineStrip : public QObject
{
    Q_OBJECT

public:
    TTimelineStrip(QFrame *panel1, TTimelineGeometry &geometry, const TTimelineState &timeline);

    // Places the children as the geometry says; the strip keeps its width of 260 px. Tells
    // assistive technology about a marker whose second changed.
    void Relayout();

    // The second a marker stands at, on the scale of the timeline's duration.
    int64_t MarkerSeconds(TTimelineGeometry::Marker marker) const;
    int64_t Duration() const { return m_timeline.TimelineDuration; }
    // "Start 00:00:15" or "End 00:00:45".
    QString MarkerName(TTimelineGeometry::Marker marker) const;
    // A key pressed on a marker; false for a key that does not move markers.
    bool MarkerKey(TTimelineGeometry::Marker marker, int key);
    // Moves a marker to a second as the keyboard does (assistive technology sets values so).
    void MoveMarkerTo(TTimelineGeometry::Marker marker, int64_t seconds);

    // Pictures of the images (stretched) and of the markers; black pixels of a marker picture
    // show the button-face colour.
    void SetPictures(const QPixmap &image, const QImage &startMarker, const QImage &endMarker);

    QWidget *Panel2() const { return m_panel2; }
    QWidget *Panel4() const { return m_panel4; }
    QWidget *Panel3() const { return m_panel3; }
    QWidget *Splitter1() const { return m_splitter1; }
    QWidget *Splitter2() const { return m_splitter2; }

signals:
    void Splitter1Moved();
    void Splitter2Moved();
    // A press on one of the images, with the nudge step that the keys held give.
    void ImagePressed(TTimelineGeometry::Image image, TTimelineGeometry::Button button, int step);

private:
    void ReportMove(TTimelineGeometry::Marker marker);
    void NotifyValue(TTimelineGeometry::Marker marker);

    QFrame *m_panel1;
    TTimelineGeometry &m_geometry;
    const TTimelineState &m_timeline;
    int64_t m_notifiedSeconds[2] = {-1, -1};
    QWidget *m_panel2;
    QWidget *m_panel4;
    QWidget *m_panel3;
    QWidget *m_splitter1;
    QWidget *m_splitter2;
    int m_dragStartWidth = 0;
};
