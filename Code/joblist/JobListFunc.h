#pragma once

#include "preview/MediaEngine.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class ISourceFileDialog;
class TJobListRows;
class TMessageBoxes;

// The job list operations: adding probed files, choosing them, removing and clearing rows.
class TJobListFunc
{
public:
    using ProbeEngineFactory = std::function<std::unique_ptr<MediaEngine>()>;

    static constexpr const char *ReadingErrorText = "Files reading error! Please check your files.";

    // `boxes` shows the reading warning; `probeFactory` makes the private engine of each add
    // (the libavformat probe unless a test gives another).
    explicit TJobListFunc(const TMessageBoxes &boxes, ProbeEngineFactory probeFactory = {});

    // Appends a row for each name that is new to the list, has an accepted extension, lasts at
    // least one second and whose size can be read; a failing probe or size read gives one
    // warning per file. Folders and unaccepted names are skipped silently.
    void AddFilesToList(TJobListRows &list, const std::vector<std::string> &names) const;
    // The dialog's chosen files (empty when cancelled), without repeats when asked.
    static std::vector<std::string> ChooseSourceFiles(ISourceFileDialog &dialog,
                                                      bool removeDuplicates,
                                                      const std::string &initialFolder);
    // First occurrences in order; exact, case-sensitive comparison.
    static std::vector<std::string> RemoveDuplicateNames(const std::vector<std::string> &names);
    // Deletes the selected rows; the row above the focused one, when it survives, becomes the
    // focused and selected row.
    static void RemoveSelectedFiles(TJobListRows &list);
    static bool ClearFileList(TJobListRows &list);
    // Length in bytes, -1 when the file cannot be read.
    static int64_t GetFileSize(const std::string &fileName);
    // The row's whole seconds for a length in milliseconds (RowSeconds); 0 on any failure.
    static int64_t GetMediaDuration(const std::string &fileName, MediaEngine &engine);
    // Whole seconds as a player shows them: what lies within kRoundingToleranceMs beyond a whole
    // second is rounded down, more is rounded up (an untrimmed row still converts to the end of
    // the file, see the command builder). Sound under one second gives one second, so that short
    // clips get a row; media without sound under one second gives 0, the reading warning.
    static int64_t RowSeconds(int64_t milliseconds, bool holdsAudio);
    static constexpr int64_t kRoundingToleranceMs = 100;

private:
    const TMessageBoxes &m_boxes;
    ProbeEngineFactory m_probeFactory;
};
