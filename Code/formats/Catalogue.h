#pragma once

#include <string>
#include <vector>

// Every constant table of the converter's vocabulary.
//
// Choice tables feed a list control; their last row is not a choice but the decimal index of
// the entry the control selects by default. Lookup tables are indexed by the output-type index
// (the selection of the main window's output-type list) and have no default row. The preset
// tables hold one profile value string per quality level.
enum class TCatalogueTable
{
    // choice tables
    OutputTypeNames,
    QualityNames,
    AudioBitrates,
    SampleRates,
    AudioChannelNames,
    VolumeGains,
    VideoSizes,
    VideoBitrates,
    FrameRates,
    AspectRatios,
    // lookup tables by output type
    OutputExtensions,
    CodecOptions,
    OutputFormats,
    // preset tables by quality, one per output type
    AmrPresets,
    AacPresets,
    Mp3Presets,
    Ac3Presets,
    M4aPresets,
    OggPresets,
    WavPresets
};

// Output-type indexes, in the order of OutputTypeNames.
enum TOutputType : int
{
    otAmr = 0,
    otAac,
    otMp3,
    otAc3,
    otM4a,
    otOgg,
    otWav
};

inline constexpr int kOutputTypeCount = 7;
inline constexpr int kQualityCount = 5;
inline constexpr int kNormalQualityIndex = 2;
// The profile value string that changes nothing.
inline constexpr const char *kNoProfileValues = "none|none|none|none|none|none";
// A profile value field that leaves its list alone.
inline constexpr const char *kNoneField = "none";

class TCatalogue
{
public:
    // All rows of `table` in order, the default row of a choice table included.
    static std::vector<std::string> NewCatalogueList(TCatalogueTable table);

    static bool IsChoiceTable(TCatalogueTable table);

    // Lookups by output-type index; "" outside 0..6.
    static std::string CodecOption(int outputType);
    static std::string OutputFormat(int outputType);
    static std::string OutputExtension(int outputType);

    // The preset table of an output type; false outside 0..6.
    static bool PresetTableOf(int outputType, TCatalogueTable *table);
    // The preset row of an output type at a quality index; kNoProfileValues outside the tables.
    static std::string PresetRow(int outputType, int qualityIndex);
};
