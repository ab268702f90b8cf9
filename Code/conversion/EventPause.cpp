#include "conversion/EventPause.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

void PauseProcessingEvents(int milliseconds)
{
    QCoreApplication::processEvents();
    if (milliseconds <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}
