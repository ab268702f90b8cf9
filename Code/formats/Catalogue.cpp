#include "formats/Catalogue.h"

#include <array>

namespace {

using Rows = std::vector<std::string>;

Rows VolumeGainRows()
{
    Rows rows;
    for (int gain = 0; gain <= 500; gain += 25)
        rows.push_back(std::to_string(gain));
    rows.push_back("8"); // "200"
    return rows;
}

const Rows &AmrPresetRows()
{
    static const Rows rows{"none|none|none|2|0|0", "none|none|none|4|0|0", "none|none|none|5|0|0",
                           "none|none|none|7|0|0", "none|none|none|8|0|0"};
    return rows;
}

// The six types other than AMR share the same values; each still has its own table.
const Rows &StereoPresetRows()
{
    static const Rows rows{"none|none|none|2|0|0", "none|none|none|4|1|1", "none|none|none|5|1|2",
                           "none|none|none|7|1|2", "none|none|none|8|1|3"};
    return rows;
}

const Rows &OutputTypeRows(TCatalogueTable table)
{
    static const Rows extensions{".amr", ".aac", ".mp3", ".ac3", ".m4a", ".ogg", ".wav"};
    static const Rows codecs{"-acodec amr_nb",       "-acodec aac -vn", "-acodec mp3 -vn",
                             "-acodec ac3 -vn",      "-acodec aac -vn", "-acodec vorbis -vn",
                             "-acodec pcm_s16le -vn"};
    static const Rows formats(kOutputTypeCount, "none");
    switch (table) {
    case TCatalogueTable::OutputExtensions:
        return extensions;
    case TCatalogueTable::CodecOptions:
        return codecs;
    default:
        return formats;
    }
}

std::string RowOf(TCatalogueTable table, int outputType)
{
    if (outputType < 0 || outputType >= kOutputTypeCount)
        return {};
    return OutputTypeRows(table)[static_cast<size_t>(outputType)];
}

} // namespace

std::vector<std::string> TCatalogue::NewCatalogueList(TCatalogueTable table)
{
    switch (table) {
    case TCatalogueTable::OutputTypeNames:
        return {"AMR Audio Files (*.amr)",
                "AAC Advanced Audio Coding (*.aac)",
                "MP3 Files (*.mp3)",
                "AC3 Dolby Surround Audio Coding-3 (*.ac3)",
                "M4A MPEG Audio Files (*.m4a)",
                "OGG Audio Files (*.ogg)",
                "WAV Audio Files",
                "0"};
    case TCatalogueTable::QualityNames:
        return {"Low Quality",       "Acceptable Quality", "Normal Quality",
                "Excellent Quality", "Superb Quality",     "2"};
    case TCatalogueTable::AudioBitrates:
        return {"16", "32", "48", "64", "80", "128", "160", "192", "224", "2"};
    case TCatalogueTable::SampleRates:
        return {"22050", "32000", "44100", "48000", "2"};
    case TCatalogueTable::AudioChannelNames:
        return {"1 channel, Mono", "2 channels, Stereo", "1"};
    case TCatalogueTable::VolumeGains:
        return VolumeGainRows();
    case TCatalogueTable::VideoSizes:
        return {"352x288", "176x144", "128x96", "320x240", "160x120", "1"};
    case TCatalogueTable::VideoBitrates:
        return {"40", "80", "128", "256", "512", "2"};
    case TCatalogueTable::FrameRates:
        return {"11", "15", "1"};
    case TCatalogueTable::AspectRatios:
        return {"4:3", "16:9", "0"};
    case TCatalogueTable::OutputExtensions:
    case TCatalogueTable::CodecOptions:
    case TCatalogueTable::OutputFormats:
        return OutputTypeRows(table);
    case TCatalogueTable::AmrPresets:
        return AmrPresetRows();
    case TCatalogueTable::AacPresets:
    case TCatalogueTable::Mp3Presets:
    case TCatalogueTable::Ac3Presets:
    case TCatalogueTable::M4aPresets:
    case TCatalogueTable::OggPresets:
    case TCatalogueTable::WavPresets:
        return StereoPresetRows();
    }
    return {};
}

bool TCatalogue::IsChoiceTable(TCatalogueTable table)
{
    return static_cast<int>(table) <= static_cast<int>(TCatalogueTable::AspectRatios);
}

std::string TCatalogue::CodecOption(int outputType)
{
    return RowOf(TCatalogueTable::CodecOptions, outputType);
}

std::string TCatalogue::OutputFormat(int outputType)
{
    return RowOf(TCatalogueTable::OutputFormats, outputType);
}

std::string TCatalogue::OutputExtension(int outputType)
{
    return RowOf(TCatalogueTable::OutputExtensions, outputType);
}

bool TCatalogue::PresetTableOf(int outputType, TCatalogueTable *table)
{
    static const std::array<TCatalogueTable, kOutputTypeCount> tables{
        TCatalogueTable::AmrPresets, TCatalogueTable::AacPresets, TCatalogueTable::Mp3Presets,
        TCatalogueTable::Ac3Presets, TCatalogueTable::M4aPresets, TCatalogueTable::OggPresets,
        TCatalogueTable::WavPresets};
    if (outputType < 0 || outputType >= kOutputTypeCount)
        return false;
    *table = tables[static_cast<size_t>(outputType)];
    return true;
}

std::string TCatalogue::PresetRow(int outputType, int qualityIndex)
{
    TCatalogueTable table;
    if (!PresetTableOf(outputType, &table) || qualityIndex < 0 || qualityIndex >= kQualityCount)
        return kNoProfileValues;
    return NewCatalogueList(table)[static_cast<size_t>(qualityIndex)];
}
