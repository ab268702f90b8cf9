#pragma once

#include <QRect>
#include <QSize>
#include <QWidget>
#include <vector>

namespace toolkit {

// Places child widgets at fixed design positions and keeps the distance of each anchored edge
// to the matching edge of the parent when the parent's size changes (left and top anchors keep
// the position, right and bottom anchors stretch the widget).
class TAnchoredLayout
{
public:
    enum Anchor
    {
        Left = 1,
        Top = 2,
        Right = 4,
        Bottom = 8,
        TopLeft = Left | Top
    };

    explicit TAnchoredLayout(QSize designSize) : m_designSize(designSize) {}

    void Place(QWidget *widget, const QRect &designGeometry, int anchors = TopLeft);
    // Repositions every placed widget for a parent of size `size`.
    void Apply(QSize size) const;

private:
    struct Item
    {
        QWidget *widget;
        QRect design;
        int anchors;
    };
    QSize m_designSize;
    std::vector<Item> m_items;
};

} // namespace toolkit
