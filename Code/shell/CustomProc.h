#pragma once

#include "conversion/ConversionProc.h"
#include "formats/ProfileFunc.h"
#include "preview/PreviewPlayer.h"

#include <string>

// The custom procedures: one instance for the whole run, created first at start-up. Composed
// from the operations of the subsystems: the profile operations (formats) and the conversion
// state, command builder and batch driver (conversion) and the preview control (preview).
class TCustomProc : public TProfileFunc, public TConversionProc, public TPreviewPlayer
{
public:
    TCustomProc(const std::string &programFolder, TProfileNamePrompt &namePrompt)
        : TProfileFunc(programFolder, namePrompt)
    {
    }
};
