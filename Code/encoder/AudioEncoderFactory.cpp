#include "AmrNbEncoder.h"
#include "AudioEncoder.h"
#include "EncoderError.h"
#include "LavcAudioEncoder.h"

#include <map>

namespace evc {
namespace {

// libavcodec encoder of each command-line codec name; amr_nb goes to opencore directly.
std::string LavcEncoderName(const std::string &codecName)
{
    static const std::map<std::string, std::string> names = {
        {"aac", "aac"},          {"mp3", "libmp3lame"},      {"ac3", "ac3"},
        {"vorbis", "libvorbis"}, {"pcm_s16le", "pcm_s16le"},
    };
    const auto found = names.find(codecName);
    if (found == names.end())
        throw EncoderError("unknown audio codec \"" + codecName + "\"");
    return found->second;
}

} // namespace

std::unique_ptr<AudioEncoder> OpenAudioEncoder(const AudioSettings &settings, bool globalHeader)
{
    if (settings.codecName == "amr_nb")
        return std::make_unique<AmrNbEncoder>(settings.bitRate);
    return std::make_unique<LavcAudioEncoder>(LavcEncoderName(settings.codecName), settings,
                                              globalHeader);
}

bool EncoderAccepts(const AudioSettings &settings)
{
    try {
        OpenAudioEncoder(settings, false);
        return true;
    } catch (const EncoderError &) {
        return false;
    }
}

} // namespace evc
