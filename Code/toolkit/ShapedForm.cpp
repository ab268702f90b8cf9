#include "toolkit/ShapedForm.h"

#include <QBitmap>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace toolkit {

QRegion PictureOutline(const QImage &picture)
{
    if (picture.isNull())
        return {};
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    const QRgb transparent = rgb.pixel(0, rgb.height() - 1);
    // The region of this bitmap holds the pixels that differ from the transparent colour.
    const QImage mask = rgb.createMaskFromColor(transparent, Qt::MaskInColor);
    return QRegion(QBitmap::fromImage(mask));
}

bool StartWindowMove(QWidget *widget)
{
    QWidget *top = widget->window();
    if (widget->mouseGrabber() == widget)
        widget->releaseMouse();
    QWindow *handle = top->windowHandle();
    return handle && handle->startSystemMove();
}

TShapedForm::TShapedForm(QWidget *parent) : QWidget(parent) {}

void TShapedForm::SetPicture(const QImage &picture)
{
    m_picture = picture;
    m_pixmap = QPixmap::fromImage(picture);
    update();
}

void TShapedForm::ApplyShape()
{
    const QRegion outline = PictureOutline(m_picture);
    if (!outline.isEmpty())
        window()->setMask(outline.translated(mapTo(window(), QPoint(0, 0))));
}

void TShapedForm::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_pixmap);
}

void TShapedForm::mousePressEvent(QMouseEvent *event)
{
    StartWindowMove(this);
    event->accept();
}

} // namespace toolkit
