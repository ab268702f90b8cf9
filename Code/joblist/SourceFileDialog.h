#pragma once

#include <string>
#include <vector>

// The open-file dialog of the job list: several files at once, the filter entries of
// TSourceFileTypes with the first selected. Tests script it; the program uses a Qt dialog.
class ISourceFileDialog
{
public:
    virtual ~ISourceFileDialog() = default;

    virtual void SetInitialFolder(const std::string &folder) = 0;
    // Runs the dialog; false when it was cancelled.
    virtual bool Execute() = 0;
    // The files of the last accepted run, in the dialog's order.
    virtual std::vector<std::string> Files() const = 0;
    // The first file of the last accepted run, kept across cancelled runs; empty until the
    // dialog has returned a file once.
    virtual std::string FileName() const = 0;
};
