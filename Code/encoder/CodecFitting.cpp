#include "CodecFitting.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace evc {
namespace {

const std::vector<double> kAmrKbps = {4.75, 5.15, 5.9, 6.7, 7.4, 7.95, 10.2, 12.2};
const std::vector<double> kMp3Mpeg1Kbps = {32,  40,  48,  56,  64,  80,  96,
                                           112, 128, 160, 192, 224, 256, 320};
const std::vector<double> kMp3Mpeg2Kbps = {8,  16, 24, 32,  40,  48,  56,
                                           64, 80, 96, 112, 128, 144, 160};
const std::vector<double> kAc3Kbps = {32,  40,  48,  56,  64,  80,  96,  112, 128, 160,
                                      192, 224, 256, 320, 384, 448, 512, 576, 640};

template <typename T> T Nearest(const std::vector<T> &choices, T wanted)
{
    T best = choices.front();
    for (T choice : choices) {
        const double distance = std::fabs(static_cast<double>(choice - wanted));
        const double bestDistance = std::fabs(static_cast<double>(best - wanted));
        // On a tie the higher value wins: it loses nothing of the request.
        if (distance < bestDistance || (distance == bestDistance && choice > best))
            best = choice;
    }
    return best;
}

std::string KbpsText(double kbps)
{
    char text[32];
    if (std::fabs(kbps - std::round(kbps)) < 1e-9)
        std::snprintf(text, sizeof text, "%.0f kbit/s", kbps);
    else
        std::snprintf(text, sizeof text, "%.2f kbit/s", kbps);
    return text;
}

double DefaultKbps(const std::string &codec, int channels)
{
    if (codec == "amr_nb")
        return 12.2;
    if (codec == "ac3")
        return channels == 1 ? 96 : 192;
    return channels == 1 ? 64 : 128;
}

// Vorbis bitrate ranges are not a table: probe outward from the wanted value.
double FitByProbe(AudioSettings settings, double wanted, const SettingsProbe &probe)
{
    auto opens = [&](double kbps) {
        settings.bitRate = static_cast<int64_t>(std::llround(kbps * 1000));
        return probe(settings);
    };
    if (opens(wanted))
        return wanted;
    for (double step = 1; step <= 512; step += 1) {
        if (opens(wanted + step))
            return wanted + step;
        if (wanted - step > 0 && opens(wanted - step))
            return wanted - step;
    }
    return wanted; // the encoder's own message follows when it is opened
}

} // namespace

std::vector<int> SupportedSampleRates(const std::string &codecName)
{
    if (codecName == "amr_nb")
        return {8000};
    if (codecName == "ac3")
        return {32000, 44100, 48000};
    if (codecName == "mp3")
        return {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
    if (codecName == "aac")
        return {7350,  8000,  11025, 12000, 16000, 22050, 24000,
                32000, 44100, 48000, 64000, 88200, 96000};
    return {};
}

std::vector<double> SupportedBitratesKbps(const std::string &codecName, int sampleRate)
{
    if (codecName == "amr_nb")
        return kAmrKbps;
    if (codecName == "ac3")
        return kAc3Kbps;
    if (codecName == "mp3")
        return sampleRate >= 32000 ? kMp3Mpeg1Kbps : kMp3Mpeg2Kbps;
    return {};
}

int MaxChannels(const std::string &codecName)
{
    if (codecName == "amr_nb")
        return 1;
    if (codecName == "mp3")
        return 2;
    if (codecName == "ac3" || codecName == "aac")
        return 6;
    return 8;
}

int AmrModeOfBitrate(int64_t bitRate)
{
    const double kbps = static_cast<double>(bitRate) / 1000.0;
    const double chosen = Nearest(kAmrKbps, kbps);
    return static_cast<int>(std::find(kAmrKbps.begin(), kAmrKbps.end(), chosen) - kAmrKbps.begin());
}

AudioSettings FitAudioSettings(const std::string &codecName, const AudioRequest &request,
                               const SettingsProbe &probe)
{
    AudioSettings settings;
    settings.codecName = codecName;

    const int wantedRate = request.sampleRate > 0 ? request.sampleRate : request.sourceSampleRate;
    const std::vector<int> rates = SupportedSampleRates(codecName);
    settings.sampleRate = rates.empty() ? wantedRate : Nearest(rates, wantedRate);
    if (request.sampleRate > 0 && settings.sampleRate != request.sampleRate)
        settings.notes.push_back(std::to_string(request.sampleRate) + " Hz -> " +
                                 std::to_string(settings.sampleRate) + " Hz");

    const int wantedChannels =
        std::max(1, request.channels > 0 ? request.channels : request.sourceChannels);
    settings.channels = std::min(wantedChannels, MaxChannels(codecName));
    if (request.channels > 0 && settings.channels != request.channels)
        settings.notes.push_back(std::to_string(request.channels) + " channels -> " +
                                 std::to_string(settings.channels));

    if (codecName == "pcm_s16le") {
        settings.bitRate = int64_t{settings.sampleRate} * settings.channels * 16;
        return settings; // the bitrate of PCM follows from rate and channels
    }

    const double wantedKbps =
        request.kbps > 0 ? request.kbps : DefaultKbps(codecName, settings.channels);
    double kbps = wantedKbps;
    const std::vector<double> table = SupportedBitratesKbps(codecName, settings.sampleRate);
    if (!table.empty()) {
        kbps = Nearest(table, wantedKbps);
    } else if (codecName == "aac") {
        // An AAC frame holds at most 6144 bits per channel for 1024 samples.
        const double maxKbps = 6144.0 * settings.channels * settings.sampleRate / 1024.0 / 1000.0;
        kbps = std::min(wantedKbps, std::floor(maxKbps));
    } else if (probe) {
        kbps = FitByProbe(settings, wantedKbps, probe);
    }
    settings.bitRate = static_cast<int64_t>(std::llround(kbps * 1000));
    if (request.kbps > 0 && std::fabs(kbps - request.kbps) > 1e-9)
        settings.notes.push_back(KbpsText(request.kbps) + " -> " + KbpsText(kbps));
    return settings;
}

} // namespace evc
