#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>

namespace toolkit {

// The outline of a picture: every pixel whose colour differs from the picture's transparent
// colour, which is the colour of its bottom-left pixel. Empty for a null picture.
QRegion PictureOutline(const QImage &picture);

// The background of a borderless window: paints its picture at the top-left corner, gives the
// top-level window the picture's outline as its shape, and lets the user move the window by
// pressing any mouse button on the picture.
class TShapedForm : public QWidget
{
    Q_OBJECT

public:
    explicit TShapedForm(QWidget *parent = nullptr);

    void SetPicture(const QImage &picture);
    const QImage &Picture() const { return m_picture; }
    // Applies the outline to the top-level window; call before it is first shown.
    void ApplyShape();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QImage m_picture;
    QPixmap m_pixmap;
};

// Asks the window manager to move `widget`'s window with the mouse (as if its caption were
// dragged). Returns false where the platform cannot.
bool StartWindowMove(QWidget *widget);

} // namespace toolkit
