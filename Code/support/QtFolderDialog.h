#pragma once

#include "support/OutputFolderChooser.h"

class QWidget;

// The folder dialog of the program: QFileDialog::getExistingDirectory owned by `owner`.
class TQtFolderDialog : public IFolderDialog
{
public:
    explicit TQtFolderDialog(QWidget *owner = nullptr) : m_owner(owner) {}
    void SetOwner(QWidget *owner) { m_owner = owner; }
    std::optional<std::string> PickFolder(const std::string &title) override;

private:
    QWidget *m_owner;
};
