#include "support/QtFolderDialog.h"

#include "support/FocusReturn.h"

#include <QFileDialog>

std::optional<std::string> TQtFolderDialog::PickFolder(const std::string &title)
{
    const TFocusReturn focusReturn;
    // Rooted at the top of the file system, nothing preselected, folders only.
    const QString folder = QFileDialog::getExistingDirectory(m_owner, QString::fromStdString(title),
                                                             QString(), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return std::nullopt;
    return folder.toStdString();
}
