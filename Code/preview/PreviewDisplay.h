#pragma once

#include <string>

// The controls the preview player drives: the logo over the video window, the elapsed-time
// caption and the progress bar.
class IPreviewDisplay
{
public:
    virtual ~IPreviewDisplay() = default;

    virtual void SetLogoVisible(bool visible) = 0;
    virtual void SetTimeCaption(const std::string &caption) = 0;
    virtual void SetProgressRange(int minimum, int maximum) = 0;
    virtual void SetProgressPosition(int position) = 0;
};
