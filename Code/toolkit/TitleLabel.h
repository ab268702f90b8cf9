#pragma once

#include <QLabel>

namespace toolkit {

// A label that drags its window while the left mouse button is held on it.
class TTitleLabel : public QLabel
{
    Q_OBJECT

public:
    explicit TTitleLabel(QWidget *parent = nullptr);

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
};

} // namespace toolkit
