#include "conversion/CommandBuilder.h"

#include "conversion/ConversionSettings.h"
#include "conversion/ConversionState.h"
#include "conversion/ConvertParameterStruct.h"
#include "platform/CommandLine.h"
#include "platform/FileSystem.h"
#include "platform/SiblingFiles.h"
#include "support/AppFunc.h"
#include "support/FileFunc.h"
#include "support/TextFunc.h"
#include "toolkit/JobRows.h"

#include <cctype>
#include <utility>

namespace {

bool SameTextIgnoringCase(const std::string &a, const std::string &b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

bool IsDecimalInteger(const std::string &text)
{
    std::size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    if (i >= text.size())
        return false;
    for (; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
    }
    return true;
}

// hh:mm:ss as seconds. A text that is not three decimal integers leaves `seconds` unchanged.
void ReadTimeText(const std::string &text, long long &seconds)
{
    const std::vector<std::string> parts = TTextFunc::SplitString(text, ':');
    if (parts.size() != 3)
        return;
    for (const std::string &part : parts) {
        if (!IsDecimalInteger(part) || part.size() > 12)
            return;
    }
    seconds = std::stoll(parts[0]) * 3600 + std::stoll(parts[1]) * 60 + std::stoll(parts[2]);
}

constexpr const char *kAmrExtension = ".amr";
constexpr const char *kNoFormat = "none";

} // namespace

TCommandBuilder::TCommandBuilder(std::string programFolder, TConversionSettings &settings,
                                 TFileFunc &fileFunc, const TAppFunc &appFunc,
                                 TConvertParameterStruct &parameters, TConversionState &state)
    : m_programFolder(std::move(programFolder)), m_settings(settings), m_fileFunc(fileFunc),
      m_appFunc(appFunc), m_parameters(parameters), m_state(state)
{
}

std::string TCommandBuilder::StartTimeOf(const TJobRows &rows, const std::string &sourcePath)
{
    std::string start;
    for (int row = 0; row < rows.RowCount(); ++row) {
        if (SameTextIgnoringCase(rows.CellText(row, JobColumn::FileName), sourcePath)) {
            start = rows.CellText(row, JobColumn::StartTime);
            m_settings.ApplyCustomProfile();
        }
    }
    return start;
}

std::string TCommandBuilder::SegmentLengthOf(const TJobRows &rows,
                                             const std::string &sourcePath) const
{
    long long startSeconds = 0;
    long long endSeconds = 0;
    std::string length;
    for (int row = 0; row < rows.RowCount(); ++row) {
        if (!SameTextIgnoringCase(rows.CellText(row, JobColumn::FileName), sourcePath))
            continue;
        ReadTimeText(rows.CellText(row, JobColumn::StartTime), startSeconds);
        ReadTimeText(rows.CellText(row, JobColumn::EndTime), endSeconds);
        length = std::to_string(endSeconds - startSeconds);
    }
    return length;
}

bool TCommandBuilder::SegmentReachesTheEnd(const TJobRows &rows,
                                           const std::string &sourcePath) const
{
    bool reaches = false;
    for (int row = 0; row < rows.RowCount(); ++row) {
        if (!SameTextIgnoringCase(rows.CellText(row, JobColumn::FileName), sourcePath))
            continue;
        const std::string end = rows.CellText(row, JobColumn::EndTime);
        reaches = !end.empty() && end == rows.CellText(row, JobColumn::Duration);
    }
    return reaches;
}

std::string TCommandBuilder::EncoderLengthText(const std::string &lengthText, bool reachesTheEnd)
{
    if (!reachesTheEnd || !IsDecimalInteger(lengthText) || lengthText.size() > 12 ||
        std::stoll(lengthText) <= 0)
        return lengthText;
    return std::to_string(std::stoll(lengthText) + 1);
}

std::string TCommandBuilder::PrepareOutputFolder()
{
    std::string folder = m_settings.OutputFolderText();
    if (folder.empty() || folder.back() != platform::kPathSeparator)
        folder += platform::kPathSeparator;
    std::string error;
    if (platform::CreateFolderWithParents(folder, &error))
        m_appFunc.WriteLog("Output directory " + folder);
    else
        m_appFunc.WriteLog("Output directory error. ->" + folder);
    return folder;
}

std::string TCommandBuilder::OptionText(TOptionList list, const std::string &prefix,
                                        const std::string &defaultText) const
{
    const std::string item = m_settings.CurrentItemText(list);
    return item.empty() ? defaultText : prefix + item;
}

std::string TCommandBuilder::BuildCommandLine(const TJobRows &rows, const std::string &sourcePath)
{
    TConvertParameterStruct &p = m_parameters;
    m_state.StartText = StartTimeOf(rows, sourcePath);
    m_state.LengthText = SegmentLengthOf(rows, sourcePath);
    // The start is a cell's text: quoted where needed, no text there can add an argument.
    p.SegmentOption =
        (m_state.StartText.empty() || m_state.LengthText.empty())
            ? std::string()
            : " -ss " + platform::QuoteArgumentIfNeeded(m_state.StartText) + " -t " +
                  EncoderLengthText(m_state.LengthText, SegmentReachesTheEnd(rows, sourcePath));

    const int outputType = m_settings.OutputTypeIndex();
    p.EncoderPath = m_programFolder + platform::kEncoderFileName;
    p.SourceFile = sourcePath;
    p.CodecOption = " " + m_settings.CodecOptionOf(outputType);

    p.VideoBitrateOption = OptionText(TOptionList::VideoBitrate, " -b ", " -b 512");
    p.VideoSizeOption = OptionText(TOptionList::VideoSize, " -s ", " -s 320x240");
    p.FrameRateOption = OptionText(TOptionList::FrameRate, " -r ", " -r 25");
    p.AspectOption = OptionText(TOptionList::AspectRatio, " -aspect ", " -aspect 4:3");
    p.AudioBitrateOption = OptionText(TOptionList::AudioBitrate, " -ab ", " -ab 64");
    p.VolumeOption = OptionText(TOptionList::Volume, " -vol ", " ");
    const std::string channels = m_settings.CurrentItemText(TOptionList::Channels);
    p.ChannelsOption = channels.empty() ? " -ac 2" : " -ac " + channels.substr(0, 1);
    p.SampleRateOption = OptionText(TOptionList::SampleRate, " -ar ", " -ar 44100");

    const std::string format = m_settings.OutputFormatOf(outputType);
    p.FormatOption = format == kNoFormat ? std::string() : " -f " + format;

    p.OutputFolder = PrepareOutputFolder();
    p.OutputBaseName = TFileFunc::BaseName(sourcePath);
    p.OutputExtension = m_settings.OutputExtensionOf(outputType);

    const std::string outputPath =
        m_fileFunc.UniqueName(p.OutputFolder + p.OutputBaseName + p.OutputExtension);
    return ComposeCommandLine(outputPath);
}

std::string TCommandBuilder::ComposeCommandLine(const std::string &outputPath) const
{
    const TConvertParameterStruct &p = m_parameters;
    // The paths are quoted by the platform's own rules, so any file name reaches the encoder as
    // one argument and can never add an option.
    std::string line = platform::QuoteArgumentIfNeeded(p.EncoderPath) + " -y -i " +
                       platform::QuoteArgument(p.SourceFile) + p.CodecOption;
    if (p.OutputExtension == kAmrExtension) {
        // AMR is always mono at 8000 Hz; the channel and rate lists do not apply.
        line += p.VideoSizeOption + p.VideoBitrateOption + p.AudioBitrateOption + p.VolumeOption +
                " -ac 1 -ar 8000" + p.FormatOption + p.SegmentOption;
    } else {
        line += p.AudioBitrateOption + p.VolumeOption + p.ChannelsOption + p.SampleRateOption +
                p.FormatOption + p.SegmentOption;
    }
    return line + " " + platform::QuoteArgument(outputPath);
}
