#include "toolkit/PictureButton.h"

#include "toolkit/Artwork.h"

#include <QEnterEvent>
#include <QPainter>

namespace toolkit {

TPictureButton::TPictureButton(QWidget *parent) : QAbstractButton(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
}

void TPictureButton::SetPictures(const QPixmap &normal, const QPixmap &hot, const QPixmap &pressed)
{
    m_normal = normal;
    m_hot = hot.isNull() ? normal : hot;
    m_pressed = pressed.isNull() ? m_hot : pressed;
    update();
}

void TPictureButton::SetArtwork(const QString &name)
{
    SetPictures(ArtworkPixmap(name + "-normal"), ArtworkPixmap(name + "-hot"),
                ArtworkPixmap(name + "-pressed"));
}

QSize TPictureButton::sizeHint() const
{
    return m_normal.isNull() ? QSize(24, 24) : m_normal.deviceIndependentSize().toSize();
}

const QPixmap &TPictureButton::CurrentPicture() const
{
    if (!isEnabled())
        return m_normal;
    if (isDown() || isChecked())
        return m_pressed;
    if (m_hotState || hasFocus())
        return m_hot;
    return m_normal;
}

void TPictureButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!isEnabled())
        painter.setOpacity(0.45);
    const QPixmap &picture = CurrentPicture();
    if (!picture.isNull())
        painter.drawPixmap(rect(), picture);
}

void TPictureButton::enterEvent(QEnterEvent *event)
{
    m_hotState = true;
    update();
    QAbstractButton::enterEvent(event);
}

void TPictureButton::leaveEvent(QEvent *event)
{
    m_hotState = false;
    update();
    QAbstractButton::leaveEvent(event);
}

} // namespace toolkit
