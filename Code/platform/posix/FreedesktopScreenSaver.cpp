#include "platform/ScreenSaver.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>

namespace platform {
namespace {

// A missing or hung service must not hold up playback for long.
constexpr int kCallTimeoutMs = 1500;

QDBusMessage ScreenSaverCall(const QString &method, const QList<QVariant> &arguments)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.ScreenSaver"),
                                       QStringLiteral("/org/freedesktop/ScreenSaver"),
                                       QStringLiteral("org.freedesktop.ScreenSaver"), method);
    call.setArguments(arguments);
    return call;
}

} // namespace

FreedesktopScreenSaverInhibitor::FreedesktopScreenSaverInhibitor(std::string applicationName)
    : m_applicationName(std::move(applicationName))
{
}

FreedesktopScreenSaverInhibitor::~FreedesktopScreenSaverInhibitor()
{
    Release();
}

bool FreedesktopScreenSaverInhibitor::Inhibit(const std::string &reason, std::string *error)
{
    if (m_held)
        return true;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        if (error != nullptr)
            *error = "no session bus: " + bus.lastError().message().toStdString();
        return false;
    }
    const QDBusReply<uint> reply = bus.call(
        ScreenSaverCall(QStringLiteral("Inhibit"), {QString::fromStdString(m_applicationName),
                                                    QString::fromStdString(reason)}),
        QDBus::Block, kCallTimeoutMs);
    if (!reply.isValid()) {
        if (error != nullptr)
            *error = reply.error().message().toStdString();
        return false;
    }
    m_cookie = reply.value();
    m_held = true;
    return true;
}

void FreedesktopScreenSaverInhibitor::Release()
{
    if (!m_held)
        return;
    m_held = false;
    QDBusConnection::sessionBus().call(ScreenSaverCall(QStringLiteral("UnInhibit"), {m_cookie}),
                                       QDBus::NoBlock);
}

} // namespace platform
