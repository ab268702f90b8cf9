#pragma once

#include <string>

class TAppFunc;
class TConversionSettings;
class TFileFunc;
class TJobRows;
struct TConversionState;
struct TConvertParameterStruct;
enum class TOptionList;

// Builds the encoder command line for one job row from the row's segment, the output type and
// the current values of the option lists. Fills the parameter record, keeps the segment's
// start and length in the conversion state, creates the output folder and logs it.
class TCommandBuilder
{
public:
    TCommandBuilder(std::string programFolder, TConversionSettings &settings, TFileFunc &fileFunc,
                    const TAppFunc &appFunc, TConvertParameterStruct &parameters,
                    TConversionState &state);

    std::string BuildCommandLine(const TJobRows &rows, const std::string &sourcePath);

    // Start Time of the rows whose File Name equals the path (letter case ignored; the last
    // one counts); applies the selected custom profile for each of them.
    std::string StartTimeOf(const TJobRows &rows, const std::string &sourcePath);
    // End minus start of those rows in whole seconds, as text; empty when no row matches.
    std::string SegmentLengthOf(const TJobRows &rows, const std::string &sourcePath) const;
    // Whether the segment of those rows (the last one counts) ends where the file ends: its End
    // Time is its Duration.
    bool SegmentReachesTheEnd(const TJobRows &rows, const std::string &sourcePath) const;
    // The length evc is given for a segment of `lengthText` seconds. A segment that reaches the
    // end gets one second more: the row's whole seconds leave out up to a tenth of a second of
    // the file, and evc stops at the end of the file anyway.
    static std::string EncoderLengthText(const std::string &lengthText, bool reachesTheEnd);
    // The output folder with a trailing separator, created with its parents; logged.
    std::string PrepareOutputFolder();

private:
    std::string OptionText(TOptionList list, const std::string &prefix,
                           const std::string &defaultText) const;
    std::string ComposeCommandLine(const std::string &outputPath) const;

    std::string m_programFolder;
    TConversionSettings &m_settings;
    TFileFunc &m_fileFunc;
    const TAppFunc &m_appFunc;
    TConvertParameterStruct &m_parameters;
    TConversionState &m_state;
};
