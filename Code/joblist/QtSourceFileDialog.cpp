#include "joblist/QtSourceFileDialog.h"

#include "joblist/SourceFileTypes.h"
#include "support/FocusReturn.h"
#include "support/TextFunc.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFile>
#include <QFileDialog>

namespace {

// "*.mp3" -> "*.[mM][pP]3", so that the pattern ignores letter case on any file system.
QString CaseInsensitivePattern(const std::string &pattern)
{
    QString result;
    for (char c : pattern) {
        const QChar letter = QChar::fromLatin1(c);
        if (letter.isLetter())
            result += QString("[%1%2]").arg(letter.toLower()).arg(letter.toUpper());
        else
            result += letter;
    }
    return result;
}

} // namespace

TQtSourceFileDialog::TQtSourceFileDialog(QWidget *parent) : m_dialog(new QFileDialog(parent))
{
    m_dialog->setObjectName("dlgOpenSourceFile");
    m_dialog->setFileMode(QFileDialog::ExistingFiles);
    m_dialog->setAcceptMode(QFileDialog::AcceptOpen);
    m_dialog->setOption(QFileDialog::HideNameFilterDetails, true);
    m_dialog->setSizeGripEnabled(true);
    m_dialog->setNameFilters(NameFilters());
}

TQtSourceFileDialog::~TQtSourceFileDialog()
{
    delete m_dialog;
}

QStringList TQtSourceFileDialog::NameFilters()
{
    QStringList filters;
    for (const TSourceFilter &filter : TSourceFileTypes::DialogFilters()) {
        QStringList patterns;
        for (const std::string &pattern : TTextFunc::SplitString(filter.patterns, ';')) {
            if (!pattern.empty())
                patterns << CaseInsensitivePattern(pattern);
        }
        filters << QString::fromStdString(filter.description) + " (" + patterns.join(' ') + ")";
    }
    return filters;
}

void TQtSourceFileDialog::SetInitialFolder(const std::string &folder)
{
    m_dialog->setDirectory(QFile::decodeName(folder.c_str()));
}

// The dialog is kept for the program's life: whatever way it closed (also Return while its
// completion list showed), the list closes with it and the focus goes back where it was.
void TQtSourceFileDialog::CloseCompletionLists()
{
    for (QCompleter *completer : m_dialog->findChildren<QCompleter *>()) {
        if (completer->popup() != nullptr)
            completer->popup()->hide();
    }
}

bool TQtSourceFileDialog::Execute()
{
    int result = QDialog::Rejected;
    {
        const TFocusReturn focusReturn;
        m_dialog->selectNameFilter(NameFilters().front());
        result = m_dialog->exec();
        if (m_dialog)
            CloseCompletionLists();
    }
    if (result != QDialog::Accepted)
        return false;
    m_files.clear();
    for (const QString &file : m_dialog->selectedFiles())
        m_files.push_back(QFile::encodeName(file).toStdString());
    if (!m_files.empty())
        m_fileName = m_files.front();
    return true;
}
