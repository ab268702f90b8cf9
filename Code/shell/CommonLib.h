#pragma once

#include "conversion/ConversionLib.h"
#include "joblist/JobListFunc.h"
#include "platform/MemoryTrim.h"
#include "support/MessageBoxes.h"
#include "support/TextFunc.h"

#include <QCoreApplication>
#include <string>

// The common library: one instance for the whole run. Composed from the text, number, size and
// time helpers (support), the message boxes (support), the job list operations (joblist) and
// the parameters of the latest command build with the stopping of the encoder (conversion); it
// records the program folder.
class TCommonLib : public TTextFunc,
                   public TMessageBoxes,
                   public TJobListFunc,
                   public TConversionLib
{
public:
    TCommonLib(std::string programFolder, IMessagePresenter &presenter)
        : TMessageBoxes(presenter), TJobListFunc(static_cast<const TMessageBoxes &>(*this)),
          m_programFolder(std::move(programFolder))
    {
    }

    // Gives unused memory back to the system where the platform can, then lets the window
    // events waiting meanwhile run.
    void TrimWorkingSet() const
    {
        platform::TrimWorkingSet();
        QCoreApplication::processEvents();
    }

    // The folder of the program, ending with "/".
    const std::string &ProgramFolder() const { return m_programFolder; }

    // The source file loaded in the preview, empty when none.
    std::string PreviewFile;

private:
    std::string m_programFolder;
};
