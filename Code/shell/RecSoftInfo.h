#pragma once

#include <string>

// The product information: the texts of the resource library, read once at start-up while the
// splash is up, and the program folder. Shown by the title label and the About box, used by
// the help, home page and e-mail actions.
struct RecSoftInfo
{
    std::string CompanyName;
    std::string ProductName;
    std::string AboutText1;
    std::string Version;
    std::string HomePage;
    std::string EMail;
    std::string AboutText2;
    std::string AppPath; // the program folder, ending with "/"
};
