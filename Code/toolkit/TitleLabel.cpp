#include "toolkit/TitleLabel.h"

#include "toolkit/ShapedForm.h"

#include <QMouseEvent>

namespace toolkit {

TTitleLabel::TTitleLabel(QWidget *parent) : QLabel(parent) {}

void TTitleLabel::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        StartWindowMove(this);
    QLabel::mouseMoveEvent(event);
}

} // namespace toolkit
