#pragma once

#include <QAbstractButton>
#include <QPixmap>

namespace toolkit {

// A button without caption that shows one picture for each of its states: normal, hot (mouse
// over it) and pressed. A disabled button shows its normal picture faded.
class TPictureButton : public QAbstractButton
{
    Q_OBJECT

public:
    explicit TPictureButton(QWidget *parent = nullptr);

    void SetPictures(const QPixmap &normal, const QPixmap &hot, const QPixmap &pressed);
    // Takes the artwork pictures "<name>-normal", "<name>-hot" and "<name>-pressed".
    void SetArtwork(const QString &name);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    const QPixmap &CurrentPicture() const;

    QPixmap m_normal;
    QPixmap m_hot;
    QPixmap m_pressed;
    bool m_hotState = false;
};

} // namespace toolkit
