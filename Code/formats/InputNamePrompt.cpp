#include "formats/InputNamePrompt.h"

#include <QInputDialog>

TInputNamePrompt::TInputNamePrompt(const TMessageBoxes &messageBoxes) : m_messageBoxes(messageBoxes)
{
}

std::optional<std::string> TInputNamePrompt::AskName(const std::string &proposed)
{
    QInputDialog dialog(m_parent);
    dialog.setObjectName("dlgProfileName");
    dialog.setWindowTitle(QString::fromStdString(m_messageBoxes.Caption()));
    dialog.setLabelText("Plese input a name");
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextValue(QString::fromStdString(proposed));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue().toStdString();
}

void TInputNamePrompt::ShowNameProblem(const std::string &message)
{
    m_messageBoxes.ShowMsg(message, 1);
}
