#pragma once

#include "conversion/ConversionProc.h"
#include "formats/ProfileFunc.h"

#include <string>

// The custom procedures: one instance for the whole run, created first at start-up. Composed
// from the operations of the subsystems: the profile operations (formats) and the conversion
// state, command builder and batch driver (conversion). The preview control joins as a further
// base when its subsystem provides it.
class TCustomProc : public TProfileFunc, public TConversionProc
{
public:
    TCustomProc(const std::string &programFolder, TProfileNamePrompt &namePrompt)
        : TProfileFunc(programFolder, namePrompt)
    {
    }
};
