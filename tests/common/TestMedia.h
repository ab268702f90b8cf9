#pragma once

#include "TestFolder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tqtest {

// Test media is generated at run time with the ffmpeg command-line tool (a test-only
// generator; the program itself never runs it).
struct ToneSpec
{
    double seconds = 1.0;
    int frequency = 440;
    int sampleRate = 44100;
    int channels = 2;
    double amplitude = 0.5; // peak level, 1.0 = full scale
    bool withVideo = false; // add a small test-pattern video stream
};

// Writes a file whose container and codecs follow the extension of `path` (".mp3", ".avi",
// ".wmv", ...). Returns false and fills `error` when ffmpeg fails.
bool MakeToneFile(const std::string &path, const ToneSpec &spec, std::string *error = nullptr);

// MakeToneFile for `name` in `folder`; a failure is recorded in the running test with ffmpeg's
// message. Returns the path.
std::string MakeToneIn(const TestFolder &folder, const std::string &name, const ToneSpec &spec);

// The bytes of a 16-bit PCM WAV file holding `frames` frames of a 440 Hz tone whose header
// declares `declaredFrames` (the real count when negative), for files whose header lies.
std::string PcmWav(int sampleRate, int channels, int64_t frames, int64_t declaredFrames = -1);

// Writes a 16-bit stereo 44.1 kHz WAV that behaves like loudly mastered music: kick drum, bass,
// a chord and noise bursts, squeezed by a soft saturation so that the peaks sit just under full
// scale and the mean level is about 10 dB below them.
bool MakeLoudMusicFile(const std::string &path, double seconds, std::string *error = nullptr);

// The source types the job list accepts, as lower-case extensions without the dot.
const std::vector<std::string> &SourceExtensions();

// The words of options written with single blanks between them ("-c:a aac -b:a 64k"), for
// options that hold no blank themselves.
std::vector<std::string> OptionWords(const std::string &options);

// Runs ffmpeg with these arguments (no shell), quiet and overwriting; false with its messages
// in `error` when it fails.
bool RunFfmpeg(const std::vector<std::string> &arguments, std::string *error = nullptr);

} // namespace tqtest
