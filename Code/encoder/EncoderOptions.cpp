#include "EncoderOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>

namespace evc {
namespace {

const char *const kCodecNames[] = {"amr_nb", "aac", "mp3", "ac3", "vorbis", "pcm_s16le"};

bool IsDigits(const std::string &text)
{
    if (text.empty())
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

bool ParseInteger(const std::string &text, long long low, long long high, long long *value)
{
    const bool negative = !text.empty() && text[0] == '-';
    const std::string digits = negative ? text.substr(1) : text;
    if (!IsDigits(digits) || digits.size() > 12)
        return false;
    const long long parsed = std::strtoll(digits.c_str(), nullptr, 10) * (negative ? -1 : 1);
    if (parsed < low || parsed > high)
        return false;
    *value = parsed;
    return true;
}

// A decimal number without exponent, sign allowed: "12", "-30", "12.2".
bool ParseDecimal(const std::string &text, double *value)
{
    size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    size_t digits = 0;
    bool dot = false;
    for (; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9')
            ++digits;
        else if (text[i] == '.' && !dot)
            dot = true;
        else
            return false;
    }
    if (digits == 0 || digits > 15)
        return false;
    errno = 0;
    *value = std::strtod(text.c_str(), nullptr);
    return errno == 0 && std::isfinite(*value);
}

// Bitrates may carry a "k" suffix ("128k"); the unit is kbit/s either way.
std::string WithoutKiloSuffix(const std::string &text)
{
    if (!text.empty() && (text.back() == 'k' || text.back() == 'K'))
        return text.substr(0, text.size() - 1);
    return text;
}

bool ParseVideoSize(const std::string &text)
{
    const auto x = text.find_first_of("xX");
    if (x == std::string::npos)
        return false;
    long long width = 0;
    long long height = 0;
    return ParseInteger(text.substr(0, x), 1, 16384, &width) &&
           ParseInteger(text.substr(x + 1), 1, 16384, &height);
}

std::string Quoted(const std::string &text)
{
    return "\"" + text + "\"";
}

} // namespace

std::string UsageText()
{
    return "usage: evc [-y] -i \"input\" [-acodec amr_nb|aac|mp3|ac3|vorbis|pcm_s16le] [-vn] "
           "[-ab kbit/s] [-vol percent] [-ac channels] [-ar Hz] [-s WxH] [-b kbit/s] "
           "[-ss hh:mm:ss] [-t seconds] \"output\"";
}

std::string HelpText()
{
    return "usage: evc [-y] -i \"input\" [options] \"output\"\n"
           "       evc --help\n"
           "\n"
           "Converts the best audio stream of one video or audio file into an audio file.\n"
           "The extension of the output names its type: .amr, .aac, .mp3, .ac3, .m4a,\n"
           ".ogg or .wav. Values the codec cannot take are moved to the nearest it can.\n"
           "\n"
           "  -i FILE        the input file (required)\n"
           "  -y             overwrite the output if it exists (never the input)\n"
           "  -acodec NAME   amr_nb, aac, mp3, ac3, vorbis or pcm_s16le; default: the\n"
           "                 codec of the output type\n"
           "  -vn            no video; accepted, the output never holds video\n"
           "  -ab KBPS       audio bitrate in kbit/s, \"k\" suffix allowed; default 128\n"
           "                 (64 mono), AC3 192 (96 mono), AMR 12.2\n"
           "  -vol PERCENT   volume, 0 to 100000; 100 (the default) keeps the level\n"
           "  -ac N          channels, 1 to 8; default: those of the input\n"
           "  -ar HZ         sample rate, 1000 to 384000; default: that of the input\n"
           "  -s WxH         video size; checked, no effect on the audio\n"
           "  -b KBPS        video bitrate in kbit/s; checked, no effect on the audio\n"
           "  -ss TIME       start of the segment: hh:mm:ss, mm:ss or seconds, each\n"
           "                 with an optional fraction; default: the beginning\n"
           "  -t TIME        length of the segment, more than 0, in the same forms;\n"
           "                 default: up to the end\n"
           "  -h, --help     print this help and exit\n"
           "\n"
           "Exit status: 0 converted, 1 bad command line, 2 conversion failed.\n";
}

bool ParseTimeText(const std::string &text, double *seconds)
{
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == ':')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    if (parts.size() > 3)
        return false;
    double total = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        double value = 0;
        if (last) {
            if (parts[i].empty() || parts[i][0] == '-' || parts[i][0] == '+' ||
                !ParseDecimal(parts[i], &value))
                return false;
        } else {
            long long whole = 0;
            if (!IsDigits(parts[i]) || !ParseInteger(parts[i], 0, 999999, &whole))
                return false;
            value = static_cast<double>(whole);
        }
        // Minutes and seconds below an hour or minute field stay under 60.
        if (i > 0 && value >= 60)
            return false;
        total = total * 60 + value;
    }
    *seconds = total;
    return true;
}

OptionParseResult ParseEncoderOptions(const std::vector<std::string> &arguments)
{
    OptionParseResult result;
    EncoderOptions &options = result.options;
    auto fail = [&result](const std::string &problem) {
        result.ok = false;
        result.error = problem + ". " + UsageText();
        return result;
    };
    if (arguments.empty())
        return fail("no arguments");

    // Options taking a value, with the check that turns the text into the field.
    using Reader = std::function<bool(const std::string &)>;
    const std::map<std::string, Reader> valued = {
        {"-i",
         [&](const std::string &v) {
             options.inputPath = v;
             return !v.empty();
         }},
        {"-acodec",
         [&](const std::string &v) {
             for (const char *name : kCodecNames) {
                 if (v == name) {
                     options.codecName = v;
                     return true;
                 }
             }
             return false;
         }},
        {"-ab",
         [&](const std::string &v) {
             double kbps = 0;
             if (!ParseDecimal(WithoutKiloSuffix(v), &kbps) || kbps <= 0 || kbps > 100000)
                 return false;
             options.audioKbps = kbps;
             return true;
         }},
        {"-vol",
         [&](const std::string &v) {
             long long percent = 0;
             if (!ParseInteger(v, 0, 100000, &percent))
                 return false;
             options.volumePercent = static_cast<int>(percent);
             return true;
         }},
        {"-ac",
         [&](const std::string &v) {
             long long channels = 0;
             if (!ParseInteger(v, 1, 8, &channels))
                 return false;
             options.channels = static_cast<int>(channels);
             return true;
         }},
        {"-ar",
         [&](const std::string &v) {
             long long rate = 0;
             if (!ParseInteger(v, 1000, 384000, &rate))
                 return false;
             options.sampleRate = static_cast<int>(rate);
             return true;
         }},
        {"-s",
         [&](const std::string &v) {
             options.videoSize = v;
             return ParseVideoSize(v);
         }},
        {"-b",
         [&](const std::string &v) {
             long long kbps = 0;
             if (!ParseInteger(WithoutKiloSuffix(v), 1, 1000000, &kbps))
                 return false;
             options.videoKbps = static_cast<int>(kbps);
             return true;
         }},
        {"-ss",
         [&](const std::string &v) {
             double seconds = 0;
             if (!ParseTimeText(v, &seconds))
                 return false;
             options.startSeconds = seconds;
             return true;
         }},
        {"-t",
         [&](const std::string &v) {
             double seconds = 0;
             if (!ParseTimeText(v, &seconds) && !ParseDecimal(v, &seconds))
                 return false;
             options.lengthSeconds = seconds;
             return true;
         }},
    };

    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--help" || arguments[i] == "-h") {
            result.ok = true;
            result.help = true;
            return result;
        }
        if (valued.count(arguments[i]) != 0)
            ++i; // a value, whatever it looks like
    }

    const size_t last = arguments.size() - 1;
    for (size_t i = 0; i < last; ++i) {
        const std::string &argument = arguments[i];
        if (argument == "-y") {
            options.overwrite = true;
            continue;
        }
        if (argument == "-vn") {
            options.noVideo = true;
            continue;
        }
        const auto reader = valued.find(argument);
        if (reader == valued.end()) {
            if (!argument.empty() && argument[0] == '-')
                return fail("unknown option " + Quoted(argument));
            return fail("unexpected argument " + Quoted(argument));
        }
        if (i + 1 >= last)
            return fail("missing value for " + argument);
        const std::string &value = arguments[++i];
        if (!reader->second(value))
            return fail("invalid value " + Quoted(value) + " for " + argument);
    }

    options.outputPath = arguments[last];
    if (options.outputPath.empty())
        return fail("empty output path");
    if (options.outputPath == "-y" || options.outputPath == "-vn" ||
        valued.count(options.outputPath) != 0)
        return fail("missing output path after " + options.outputPath);
    if (options.inputPath.empty())
        return fail("missing input file (-i)");
    if (options.lengthSeconds && *options.lengthSeconds <= 0)
        return fail("the length given by -t must be more than 0 seconds");
    result.ok = true;
    return result;
}

} // namespace evc
