#include "platform/posix/DesktopServicesOpener.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace platform {

bool DesktopServicesOpener::Open(const std::string &target)
{
    const QString text = QString::fromStdString(target);
    const QUrl url = HasUrlScheme(target) ? QUrl(text) : QUrl::fromLocalFile(text);
    return QDesktopServices::openUrl(url);
}

} // namespace platform
