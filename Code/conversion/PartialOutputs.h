#pragma once

#include <string>
#include <vector>

// Clean-up of the files the encoder writes before an output is complete (see
// support/PartialOutput.h). A complete output has taken its own name, so such a file is only
// ever the remains of an encoder that was stopped or killed.

// Removes the unfinished file of `outputPath`, if there is one. False, with the system's reason
// in `error`, when it is there and cannot be removed.
bool RemovePartialOutput(const std::string &outputPath, std::string *error);

// Removes every unfinished output file in `folder` (ending with "/"); returns the paths that
// could not be removed. Call it only while no encoder runs, since one might be writing there.
std::vector<std::string> RemovePartialOutputsIn(const std::string &folder);
