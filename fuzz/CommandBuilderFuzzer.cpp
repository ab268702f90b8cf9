// The encoder command line built for any source file name and any segment texts of its row,
// with any values of the catalogue's lists: split by the platform's rules it gives the encoder,
// "-y -i", the source path as one argument and an output path in the output folder that no
// file there has yet. When the segment is a real one, evc's own option parser accepts the line
// and reads the source, the output, the start and the length back.
#include "FakeSettings.h"
#include "FuzzCheck.h"
#include "conversion/CommandBuilder.h"
#include "conversion/ConversionSettings.h"
#include "conversion/ConversionState.h"
#include "conversion/ConvertParameterStruct.h"
#include "encoder/EncoderOptions.h"
#include "formats/Catalogue.h"
#include "platform/CommandLine.h"
#include "support/AppFunc.h"
#include "support/FileFunc.h"
#include "support/TextFunc.h"
#include "toolkit/JobRows.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <fuzzer/FuzzedDataProvider.h>
#include <map>

namespace {

class OneRow : public TJobRows
{
public:
    int RowCount() const override { return 1; }
    std::string CellText(int row, int column) const override
    {
        return row == 0 && column >= 0 && column < JobColumn::Count ? cells[size_t(column)] : "";
    }
    void SetCellText(int, int, const std::string &) override {}
    bool IsRowSelected(int) const override { return true; }

    std::array<std::string, JobColumn::Count> cells;
};

const std::pair<TOptionList, TCatalogueTable> kLists[] = {
    {TOptionList::VideoBitrate, TCatalogueTable::VideoBitrates},
    {TOptionList::VideoSize, TCatalogueTable::VideoSizes},
    {TOptionList::FrameRate, TCatalogueTable::FrameRates},
    {TOptionList::AspectRatio, TCatalogueTable::AspectRatios},
    {TOptionList::AudioBitrate, TCatalogueTable::AudioBitrates},
    {TOptionList::Volume, TCatalogueTable::VolumeGains},
    {TOptionList::Channels, TCatalogueTable::AudioChannelNames},
    {TOptionList::SampleRate, TCatalogueTable::SampleRates}};

// Each list either has no current item or one of its catalogue entries (the default row is
// not an entry).
void PickItems(FuzzedDataProvider &input, tqtest::FakeSettings &settings)
{
    for (const auto &[list, table] : kLists) {
        const std::vector<std::string> rows = TCatalogue::NewCatalogueList(table);
        const size_t pick = input.ConsumeIntegralInRange<size_t>(0, rows.size() - 1);
        if (pick + 1 < rows.size())
            settings.items[list] = rows[pick];
    }
}

std::string WithoutNul(std::string text)
{
    return text.substr(0, text.find('\0'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string program = tqfuzz::ScratchFolder();
    const std::string outputFolder = program + "out/";
    std::error_code ignored;
    std::filesystem::remove_all(outputFolder, ignored);
    std::filesystem::remove(program + "log.txt", ignored);

    tqtest::FakeSettings settings;
    settings.items.clear();
    settings.outputType = input.ConsumeIntegralInRange(0, kOutputTypeCount - 1);
    settings.outputFolder = input.ConsumeBool() ? outputFolder : program + "out";
    PickItems(input, settings);

    const bool realSegment = input.ConsumeBool();
    const int64_t start = input.ConsumeIntegralInRange<int64_t>(0, 400000);
    const int64_t length = input.ConsumeIntegralInRange<int64_t>(1, 400000);
    const bool outputExists = input.ConsumeBool();
    OneRow row;
    const std::string source = "/media/" + WithoutNul(input.ConsumeRandomLengthString(40));
    row.cells[JobColumn::FileName] = source;
    if (realSegment) {
        row.cells[JobColumn::StartTime] = TTextFunc::FormatTime(start);
        row.cells[JobColumn::EndTime] = TTextFunc::FormatTime(start + length);
    } else {
        row.cells[JobColumn::StartTime] = WithoutNul(input.ConsumeRandomLengthString(24));
        row.cells[JobColumn::EndTime] = WithoutNul(input.ConsumeRemainingBytesAsString());
    }

    const std::string extension = TCatalogue::OutputExtension(settings.outputType);
    const std::string plainOutput = outputFolder + TFileFunc::BaseName(source) + extension;
    if (outputExists) {
        std::filesystem::create_directories(outputFolder, ignored);
        std::ofstream(plainOutput, std::ios::binary) << "earlier output";
    }

    TFileFunc fileFunc;
    const TAppFunc appFunc(program, "C");
    TConvertParameterStruct parameters;
    TConversionState state;
    TCommandBuilder builder(program, settings, fileFunc, appFunc, parameters, state);
    const std::string line = builder.BuildCommandLine(row, source);

    const std::vector<std::string> arguments = platform::SplitCommandLine(line);
    // TQ_FUZZ_TRACE=1 shows the line and its arguments, to read a failing input.
    if (std::getenv("TQ_FUZZ_TRACE")) {
        std::fprintf(stderr, "line: %s\n", line.c_str());
        for (const std::string &argument : arguments)
            std::fprintf(stderr, "  [%s]\n", argument.c_str());
    }
    FUZZ_CHECK(arguments.size() >= 6);
    FUZZ_CHECK(arguments[0] == program + "evc");
    FUZZ_CHECK(arguments[1] == "-y" && arguments[2] == "-i" && arguments[3] == source);
    const std::string &output = arguments.back();
    FUZZ_CHECK(output.compare(0, outputFolder.size(), outputFolder) == 0);
    FUZZ_CHECK(output.size() >= extension.size() &&
               output.compare(output.size() - extension.size(), extension.size(), extension) == 0);
    FUZZ_CHECK(!std::filesystem::exists(output, ignored));
    if (!outputExists)
        FUZZ_CHECK(output == plainOutput);

    if (realSegment) {
        const evc::OptionParseResult parsed = evc::ParseEncoderOptions(
            std::vector<std::string>(arguments.begin() + 1, arguments.end()));
        if (!parsed.ok)
            std::fprintf(stderr, "%s\n%s\n", line.c_str(), parsed.error.c_str());
        FUZZ_CHECK(parsed.ok);
        FUZZ_CHECK(parsed.options.inputPath == source && parsed.options.outputPath == output);
        FUZZ_CHECK(parsed.options.startSeconds && *parsed.options.startSeconds == start);
        FUZZ_CHECK(parsed.options.lengthSeconds && *parsed.options.lengthSeconds == length);
    }
    return 0;
}
