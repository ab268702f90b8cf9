#pragma once

#include <string>

class TMessageBoxes;

// Looks for Form.so, then Res.so, in `programFolder` (ending with "/"). Each missing file is
// reported with "'<name>' is not found. Please reinstall this program." in an information box;
// both are always checked. Returns true when both are present.
bool CheckSiblingFiles(const std::string &programFolder, const TMessageBoxes &messages);

// The message for a missing sibling file.
std::string MissingSiblingMessage(const std::string &fileName);
