#include "toolkit/AnchoredLayout.h"

namespace toolkit {

void TAnchoredLayout::Place(QWidget *widget, const QRect &designGeometry, int anchors)
{
    m_items.push_back({widget, designGeometry, anchors});
    widget->setGeometry(designGeometry);
}

void TAnchoredLayout::Apply(QSize size) const
{
    const int dx = size.width() - m_designSize.width();
    const int dy = size.height() - m_designSize.height();
    for (const Item &item : m_items) {
        QRect r = item.design;
        if (item.anchors & Right) {
            if (item.anchors & Left)
                r.setWidth(r.width() + dx);
            else
                r.moveLeft(r.left() + dx);
        }
        if (item.anchors & Bottom) {
            if (item.anchors & Top)
                r.setHeight(r.height() + dy);
            else
                r.moveTop(r.top() + dy);
        }
        item.widget->setGeometry(r);
    }
}

} // namespace toolkit
