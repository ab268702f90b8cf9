#pragma once

#include <string>

// The value lists whose current items are the conversion values.
enum class TOptionList
{
    VideoBitrate,
    VideoSize,
    FrameRate,
    AspectRatio,
    AudioBitrate,
    Volume,
    Channels,
    SampleRate
};

// Where the command builder reads the current conversion values: the Options dialog's lists,
// the main window's output type and output folder, and the catalogue rows of the output type.
// The windows implement it; tests use a plain table.
class TConversionSettings
{
public:
    virtual ~TConversionSettings() = default;

    // Text of the list's current item; empty when the list has no current item.
    virtual std::string CurrentItemText(TOptionList list) const = 0;
    // Current index of the output-type list.
    virtual int OutputTypeIndex() const = 0;
    // Catalogue rows of an output type: "-acodec mp3 -vn", "none", ".mp3".
    virtual std::string CodecOptionOf(int outputType) const = 0;
    virtual std::string OutputFormatOf(int outputType) const = 0;
    virtual std::string OutputExtensionOf(int outputType) const = 0;
    // The text of the output-folder field.
    virtual std::string OutputFolderText() const = 0;
    // Puts the custom profile selected in the Options dialog, if any, onto its lists.
    virtual void ApplyCustomProfile() = 0;
};
