#pragma once

#include "preview/TimelineGeometry.h"

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
class TTimelineStrip : public QObject
{
    Q_OBJECT

public:
    TTimelineStrip(QFrame *panel1, TTimelineGeometry &geometry);

    // Places the children as the geometry says; the strip keeps its width of 260 px.
    void Relayout();

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
    QFrame *m_panel1;
    TTimelineGeometry &m_geometry;
    QWidget *m_panel2;
    QWidget *m_panel4;
    QWidget *m_panel3;
    QWidget *m_splitter1;
    QWidget *m_splitter2;
    int m_dragStartWidth = 0;
};
