#pragma once

#include "formats/ProfileFunc.h"

#include <string>

// The custom procedures: one instance for the whole run, created first at start-up. Composed
// from the operations of the subsystems: the profile operations (formats). The preview control
// and the conversion driver join as further bases when their subsystems provide them.
class TCustomProc : public TProfileFunc
{
public:
    TCustomProc(const std::string &programFolder, TProfileNamePrompt &namePrompt)
        : TProfileFunc(programFolder, namePrompt)
    {
    }
};
