#include "TestMedia.h"

#include "ProgramRun.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace tqtest {
namespace {

struct Recipe
{
    std::string muxer;
    std::string audio; // encoder options for the audio stream
    std::string video; // encoder options when a video stream is wanted
};

// Containers and codecs that Debian's ffmpeg can write for each source type.
const std::map<std::string, Recipe> &Recipes()
{
    static const std::map<std::string, Recipe> recipes = {
        {"3gp", {"3gp", "-c:a aac -b:a 64k", "-c:v h263 -s 176x144"}},
        {"3g2", {"3g2", "-c:a aac -b:a 64k", "-c:v h263 -s 176x144"}},
        {"mp4", {"mp4", "-c:a aac", "-c:v mpeg4"}},
        {"m4v", {"mp4", "-c:a aac", "-c:v mpeg4"}},
        {"mov", {"mov", "-c:a aac", "-c:v mpeg4"}},
        {"mpeg", {"mpeg", "-c:a mp2", "-c:v mpeg1video -r 25"}},
        {"mpg", {"mpeg", "-c:a mp2", "-c:v mpeg1video -r 25"}},
        {"avi", {"avi", "-c:a libmp3lame", "-c:v mpeg4"}},
        {"asf", {"asf", "-c:a wmav2", "-c:v wmv2"}},
        {"wmv", {"asf", "-c:a wmav2", "-c:v wmv2"}},
        {"flv", {"flv", "-c:a libmp3lame -ar 44100", "-c:v flv1"}},
        {"swf", {"swf", "-c:a libmp3lame -ar 44100", "-c:v flv1"}},
        {"rm", {"rm", "-c:a ac3", "-c:v rv10"}},
        {"rmvb", {"rm", "-c:a ac3", "-c:v rv20"}},
        {"vob", {"vob", "-c:a ac3", "-c:v mpeg2video -r 25"}},
        {"aac", {"adts", "-c:a aac", ""}},
        {"ac3", {"ac3", "-c:a ac3", ""}},
        {"m4a", {"ipod", "-c:a aac", ""}},
        {"mp2", {"mp2", "-c:a mp2", ""}},
        {"mp3", {"mp3", "-c:a libmp3lame", ""}},
        {"ogg", {"ogg", "-c:a libvorbis", ""}},
        {"tta", {"tta", "-c:a tta", ""}},
        {"wav", {"wav", "-c:a pcm_s16le", ""}},
        {"wma", {"asf", "-c:a wmav2", ""}},
    };
    return recipes;
}

std::string LowerExtension(const std::string &path)
{
    const auto dot = path.find_last_of('.');
    std::string ext = dot == std::string::npos ? "" : path.substr(dot + 1);
    for (char &c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

void AppendLittleEndian(std::string &bytes, uint64_t value, int width)
{
    for (int i = 0; i < width; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xff);
}

void Append(std::vector<std::string> &to, const std::vector<std::string> &more)
{
    to.insert(to.end(), more.begin(), more.end());
}

} // namespace

std::string PcmWav(int sampleRate, int channels, int64_t frames, int64_t declaredFrames)
{
    const uint64_t blockAlign = 2 * uint64_t(channels);
    const uint64_t dataBytes = blockAlign * uint64_t(declaredFrames < 0 ? frames : declaredFrames);
    std::string bytes = "RIFF";
    AppendLittleEndian(bytes, 36 + dataBytes, 4);
    bytes += "WAVEfmt ";
    AppendLittleEndian(bytes, 16, 4);
    AppendLittleEndian(bytes, 1, 2); // integer PCM
    AppendLittleEndian(bytes, uint64_t(channels), 2);
    AppendLittleEndian(bytes, uint64_t(sampleRate), 4);
    AppendLittleEndian(bytes, uint64_t(sampleRate) * blockAlign, 4);
    AppendLittleEndian(bytes, blockAlign, 2);
    AppendLittleEndian(bytes, 16, 2);
    bytes += "data";
    AppendLittleEndian(bytes, dataBytes, 4);
    for (int64_t i = 0; i < frames; ++i) {
        const double phase = 2.0 * 3.14159265358979 * 440.0 * double(i) / sampleRate;
        const auto sample = static_cast<int16_t>(8000.0 * std::sin(phase));
        for (int c = 0; c < channels; ++c)
            AppendLittleEndian(bytes, uint16_t(sample), 2);
    }
    return bytes;
}

const std::vector<std::string> &SourceExtensions()
{
    static const std::vector<std::string> extensions = {
        "3gp", "3g2",  "mp4", "m4v", "mpeg", "mpg", "avi", "asf", "mov", "wmv", "flv", "swf",
        "rm",  "rmvb", "vob", "aac", "ac3",  "m4a", "mp2", "mp3", "ogg", "tta", "wav", "wma"};
    return extensions;
}

bool MakeToneFile(const std::string &path, const ToneSpec &spec, std::string *error)
{
    const auto found = Recipes().find(LowerExtension(path));
    if (found == Recipes().end()) {
        if (error)
            *error = "no recipe for " + path;
        return false;
    }
    const Recipe &recipe = found->second;
    const bool withVideo = spec.withVideo && !recipe.video.empty();
    std::vector<std::string> arguments = {"-f", "lavfi", "-i",
                                          "sine=frequency=" + std::to_string(spec.frequency) +
                                              ":sample_rate=" + std::to_string(spec.sampleRate) +
                                              ":duration=" + std::to_string(spec.seconds)};
    if (withVideo)
        Append(arguments,
               {"-f", "lavfi", "-i",
                "testsrc=size=176x144:rate=15:duration=" + std::to_string(spec.seconds)});
    // The sine source peaks at 1/8 of full scale; scale it to the wanted peak level.
    Append(arguments, {"-af", "volume=" + std::to_string(spec.amplitude * 8.0), "-ac",
                       std::to_string(spec.channels)});
    Append(arguments, OptionWords(recipe.audio));
    if (withVideo)
        Append(arguments, OptionWords(recipe.video));
    Append(arguments, {"-f", recipe.muxer, path});
    return RunFfmpeg(arguments, error);
}

std::vector<std::string> OptionWords(const std::string &options)
{
    std::vector<std::string> words;
    std::istringstream stream(options);
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

bool RunFfmpeg(const std::vector<std::string> &arguments, std::string *error)
{
    std::vector<std::string> command = {"ffmpeg",    "-nostdin", "-hide_banner",
                                        "-loglevel", "error",    "-y"};
    Append(command, arguments);
    const ProgramRun run = RunProgram(command);
    const bool made = run.exitCode == 0;
    if (!made && error)
        *error = run.started ? run.output : run.problem;
    return made;
}

} // namespace tqtest

namespace tqtest {

bool MakeLoudMusicFile(const std::string &path, double seconds, std::string *error)
{
    // One channel's mix; `pan` moves the chord and the noise between the channels.
    auto channel = [](const std::string &pan, int seed) {
        return "1.6*tanh(0.8*("
               "0.55*sin(2*PI*50*t+8*exp(-20*mod(t,0.5)))*exp(-7*mod(t,0.5))"
               "+0.07*" +
               pan +
               "*(sin(2*PI*220*t)+sin(2*PI*277.18*t)+sin(2*PI*329.63*t))"
               "*(0.7+0.3*sin(2*PI*0.25*t))"
               "+0.18*sin(2*PI*110*t)*(0.5+0.5*abs(sin(2*PI*0.5*t)))"
               "+0.12*(2*random(" +
               std::to_string(seed) +
               ")-1)*exp(-25*mod(t+0.25,0.5))"
               "+0.05*" +
               pan + "*(2*random(" + std::to_string(seed + 1) + ")-1)*exp(-60*mod(t,0.125))))";
    };
    std::string expression = channel("1.1", 0) + "|" + channel("0.9", 2);
    std::string escaped;
    for (char c : expression)
        escaped += c == ',' ? std::string("\\,") : std::string(1, c);
    return RunFfmpeg({"-f", "lavfi", "-i",
                      "aevalsrc=exprs=" + escaped + ":s=44100:d=" + std::to_string(seconds), "-c:a",
                      "pcm_s16le", "-f", "wav", path},
                     error);
}

std::string MakeToneIn(const TestFolder &folder, const std::string &name, const ToneSpec &spec)
{
    const std::string path = folder.File(name);
    std::string error;
    EXPECT_TRUE(MakeToneFile(path, spec, &error)) << path << ": " << error;
    return path;
}

} // namespace tqtest
