#pragma once

#include <string>

// The values of the latest command build, in the order they are made. Later steps read them:
// the progress window the source file, the batch driver the output folder, stopping the
// encoder path.
struct TConvertParameterStruct
{
    std::string EncoderPath;        // program folder + encoder file name
    std::string SourceFile;         // full path, as the job row holds it
    std::string CodecOption;        // " -acodec ..."
    std::string VideoBitrateOption; // " -b ..."
    std::string VideoSizeOption;    // " -s ..."
    std::string FrameRateOption;    // " -r ...", enters no command line
    std::string AspectOption;       // " -aspect ...", enters no command line
    std::string SpareOption;        // always empty
    std::string AudioBitrateOption; // " -ab ..."
    std::string VolumeOption;       // " -vol ..." or one blank
    std::string ChannelsOption;     // " -ac ..."
    std::string SampleRateOption;   // " -ar ..."
    std::string FormatOption;       // " -f ..." or empty
    std::string SegmentOption;      // " -ss start -t length" or empty
    std::string OutputFolder;       // ends with the path separator
    std::string OutputBaseName;     // source file name without its last extension
    std::string OutputExtension;    // ".mp3", ...
};
