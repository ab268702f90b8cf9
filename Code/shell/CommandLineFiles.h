#pragma once

#include <QStringList>
#include <string>
#include <vector>

// The files named on the program's command line, as the desktop's Open With passes them: every
// argument after the program's own name (Qt has already taken out its own options), as a full
// path; a relative one is taken from `workingFolder`, a "file:" URL becomes its local path.
std::vector<std::string> FilesFromCommandLine(const QStringList &arguments,
                                              const QString &workingFolder);
