#pragma once

#include <string>
#include <vector>

// A command line is kept as one text and turned into an argument list right before a program
// is started. Both directions follow the Windows argument rules: blanks and tabs separate
// arguments, double quotes group them, a run of backslashes is literal unless a double quote
// follows it (then each pair of backslashes stands for one backslash and an odd one escapes the
// quote), and "" inside a quoted part stands for one literal quote. These two functions are the
// only places that know those rules.
namespace platform {

// Encloses `argument` in double quotes, escaping quotes and the backslashes before them, so that
// SplitCommandLine gives it back as one argument whatever it contains.
std::string QuoteArgument(const std::string &argument);

// As QuoteArgument, but leaves an argument that needs no quotes (no blank, tab or quote, not
// empty) as it is.
std::string QuoteArgumentIfNeeded(const std::string &argument);

// Joins arguments with one blank, each quoted only where needed.
std::string JoinCommandLine(const std::vector<std::string> &arguments);

// Splits a command line into its arguments.
std::vector<std::string> SplitCommandLine(const std::string &commandLine);

} // namespace platform
