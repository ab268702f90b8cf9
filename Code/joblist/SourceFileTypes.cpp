#include "joblist/SourceFileTypes.h"

#include "support/FileFunc.h"

#include <algorithm>

namespace {

std::string AsciiLower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return text;
}

} // namespace

const std::vector<std::string> &TSourceFileTypes::AcceptedExtensions()
{
    static const std::vector<std::string> extensions{
        ".3gp", ".mp4", ".m4v", ".mpeg", ".3g2", ".mpg",  ".avi", ".asf",
        ".mov", ".wmv", ".flv", ".swf",  ".rm",  ".rmvb", ".vob", ".aac",
        ".ac3", ".m4a", ".mp2", ".mp3",  ".ogg", ".tta",  ".wav", ".wma"};
    return extensions;
}

const std::vector<TSourceFilter> &TSourceFileTypes::DialogFilters()
{
    static const std::vector<TSourceFilter> filters{
        {"Supported Files", "*.3gp;*.mp4;*.m4v;*.mpeg;*.3g2;*.mpg;*.avi;*.asf;*.mov;*.wmv;*.flv;"
                            "*.swf;*.rm;*.rmvb;*.vob;*.aac;*.ac3;*.m4a;*.mp2;*.mp3;*.ogg;*.tta;"
                            "*.wav;*.wma;"},
        {"3GP, 3G2 Files (*.3gp,*.3g2)", "*.3gp"},
        {"AVI Files (*.avi)", "*.avi"},
        {"ASF Files (*.asf)", "*.asf"},
        {"MOV Files (*.mov)", "*.mov"},
        {"FLV ,SWF Flash Video (*.flv,swf)", "*.flv;*.swf"},
        {"MP4 File (*.mp4,*.m4v)", "*.mp4;*.m4v"},
        {"MPEG Files (*.mpeg,*.mpg)", "*.mpeg;*.mpg"},
        {"RM, RMVB (*.rm,*.rmvb)", "*.rm;*.rmvb"},
        {"VOB Video Files (*.vob)", "*.vob"},
        {"WMV Video Files (*.wmv)", "*.wmv"},
        {"AAC Audio Files (*.aac)", "*.aac"},
        {"AC3 Audio Files (*.ac3)", "*.ac3"},
        {"M4A Audio Files (*.m4a)", "*.m4a"},
        {"MP2, MP3 Audio Files (*.mp2, mp3)", "*.mp2;*.mp3;"},
        {"OGG Audio Files (*.ogg)", "*.ogg"},
        {"TTA Audio Files (*.tta)", "*.tta"},
        {"WAV Audio Files (*.wav)", "*.wav"},
        {"WMA Audio Files (*.wma)", "*.wma"},
    };
    return filters;
}

bool TSourceFileTypes::IsAccepted(const std::string &fileName)
{
    const std::string extension = AsciiLower(TFileFunc::ExtensionOf(fileName));
    const auto &accepted = AcceptedExtensions();
    return !extension.empty() &&
           std::find(accepted.begin(), accepted.end(), extension) != accepted.end();
}
