#pragma once

#include "joblist/SourceFileDialog.h"

#include <QPointer>
#include <QStringList>

class QFileDialog;
class QWidget;

// The open-file dialog dlgOpenSourceFile: several files, resizable, no read-only check box, the
// filter entries of TSourceFileTypes with the first one selected. Patterns match the extension
// in any letter case, as users of the original file system expect.
class TQtSourceFileDialog : public ISourceFileDialog
{
public:
    explicit TQtSourceFileDialog(QWidget *parent);
    ~TQtSourceFileDialog() override;

    void SetInitialFolder(const std::string &folder) override;
    bool Execute() override;
    std::vector<std::string> Files() const override { return m_files; }
    std::string FileName() const override { return m_fileName; }

    // The dialog's name filters: description, then the patterns in parentheses (hidden
    // from view), e.g. "AVI Files (*.avi) (*.[aA][vV][iI])".
    static QStringList NameFilters();

private:
    void CloseCompletionLists();

    // Guarded: when the dialog has a parent window, that window may delete it first.
    QPointer<QFileDialog> m_dialog;
    std::vector<std::string> m_files;
    std::string m_fileName;
};
