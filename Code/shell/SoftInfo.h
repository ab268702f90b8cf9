#pragma once

#include "shell/RecSoftInfo.h"

#include <string>

// Reads the product texts from the resource library at `resourceLibraryPath` (entries 0 to 5
// and 7; a missing library or entry gives an empty text) and sets AppPath to `programFolder`.
RecSoftInfo LoadSoftInfo(const std::string &resourceLibraryPath, const std::string &programFolder);

// The text of the title label: product name, one space, version.
std::string TitleText(const RecSoftInfo &info);
