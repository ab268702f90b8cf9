#include "shell/FlashForm.h"

#include "shell/JpegPicture.h"
#include "shell/ResourceLibrary.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

TFrmFlashForm::TFrmFlashForm(const QImage &picture, std::function<void()> load, QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), m_load(std::move(load))
{
    setObjectName("FrmFlashForm");
    setModal(true);
    ImgFlash = new QLabel(this);
    ImgFlash->setObjectName("ImgFlash");
    ImgFlash->setPixmap(QPixmap::fromImage(picture));
    ImgFlash->setGeometry(0, 0, picture.width(), picture.height());
    setFixedSize(picture.size());

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(250);
    Timer2 = new QTimer(this);
    Timer2->setObjectName("Timer2");
    Timer2->setInterval(1000);
    Timer2->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &TFrmFlashForm::Timer1Timer);
    connect(Timer2, &QTimer::timeout, this, &TFrmFlashForm::Timer2Timer);

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect area = frameGeometry();
        area.moveCenter(screen->availableGeometry().center());
        move(area.topLeft());
    }
}

void TFrmFlashForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TFrmFlashForm::FormShow()
{
    m_tickCount = 0;
    Timer1->start();
    Timer2->start();
}

void TFrmFlashForm::Timer1Timer()
{
    Timer1->stop();
    QCoreApplication::processEvents();
    if (m_load)
        m_load();
    while (m_tickCount < 2)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    Timer2->stop();
    accept();
}

void TFrmFlashForm::Timer2Timer()
{
    ++m_tickCount;
}

void ShowSplash(QWidget *owner, const std::string &resourceLibraryPath,
                const std::function<void()> &load)
{
    QImage picture;
    {
        const TResourceLibrary library(resourceLibraryPath);
        if (const auto jpeg = library.FindResource("ImgFlash", "jpeg"))
            picture = DecodeJpeg(jpeg->data(), jpeg->size());
    }
    if (picture.isNull()) {
        if (load)
            load();
        return;
    }
    TFrmFlashForm splash(picture, load, owner);
    splash.exec();
}
