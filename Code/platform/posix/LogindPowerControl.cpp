#include "platform/PowerControl.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>

namespace platform {

bool LogindPowerControl::PowerOff(std::string *error)
{
    QDBusInterface manager(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QDBusConnection::systemBus());
    // "interactive" lets the system ask for authorisation where its policy wants it.
    const QDBusReply<void> reply = manager.call(QStringLiteral("PowerOff"), true);
    if (reply.isValid())
        return true;
    if (error != nullptr)
        *error = reply.error().message().toStdString();
    return false;
}

} // namespace platform
