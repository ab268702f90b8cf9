#pragma once

#include <string>
#include <vector>

// The source files the job list accepts and the filter entries of the open-file dialog.
struct TSourceFilter
{
    std::string description;
    std::string patterns; // ";"-separated, e.g. "*.mp2;*.mp3;"
};

class TSourceFileTypes
{
public:
    // ".3gp", ".mp4", ...: the accepted extensions, lower case, dot included.
    static const std::vector<std::string> &AcceptedExtensions();
    // The dialog's filter entries, "Supported Files" first.
    static const std::vector<TSourceFilter> &DialogFilters();

    // Whether the extension of `fileName`, compared case-insensitively, is accepted.
    static bool IsAccepted(const std::string &fileName);
};
