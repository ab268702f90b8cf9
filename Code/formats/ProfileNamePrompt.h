#pragma once

#include <optional>
#include <string>

// Asks the user for a profile name. The program shows a modal input window; tests answer from a
// script.
class TProfileNamePrompt
{
public:
    virtual ~TProfileNamePrompt() = default;
    // Shows the prompt "Plese input a name" with `proposed` in its edit field. The edited text
    // when the user pressed OK; nullopt for Cancel or the close box.
    virtual std::optional<std::string> AskName(const std::string &proposed) = 0;
    // Tells the user why a name cannot be used.
    virtual void ShowNameProblem(const std::string &message) = 0;
};
