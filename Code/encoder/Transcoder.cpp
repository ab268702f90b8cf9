#include "Transcoder.h"

#include "AudioEncoder.h"
#include "CodecFitting.h"
#include "EncoderError.h"
#include "InputMedia.h"
#include "MediaTags.h"
#include "OutputFile.h"
#include "OutputPeak.h"
#include "PeakLimiter.h"
#include "SampleStage.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>

namespace evc {
namespace {

// Decoding starts this much before a segment, so that codecs that need earlier data (the MP3 bit
// reservoir, for one) have settled when the segment begins.
constexpr double kSeekPreRollSeconds = 1.0;

// Before the segment, the audio's time is counted in decoded samples from the first frame's
// timestamp: many files carry timestamps that start again (joined MPEG or VOB recordings), stall
// or run slow. Only a timestamp this far ahead of the count is believed: a gap in the recording.
constexpr double kTimestampGapSeconds = 0.5;

// Decoding from the beginning finds the start exactly; a search by time is checked against the
// timestamps where it lands, and is used only where it saves real time.
constexpr double kShortestSeekSeconds = 30.0;

// A lossy codec's noise lifts the decoded peaks of limited audio by an amount that depends on the
// music and varies from one encoding to the next; the limiter's ceiling leaves room for what real
// music needs. An output whose decoded peaks still pass kHighestDecodedPeakDb is encoded again
// with the ceiling lowered so that they land near kDecodedPeakTargetDb, by at least
// kLeastCeilingStepDb, at most kLowerCeilingRetries times.
constexpr double kHighestDecodedPeakDb = -0.6;
constexpr double kDecodedPeakTargetDb = -1.2;
constexpr double kLeastCeilingStepDb = 1.0;
constexpr int kLowerCeilingRetries = 3;

AVCodecID CodecIdOf(const std::string &codecName)
{
    static const std::map<std::string, AVCodecID> ids = {
        {"amr_nb", AV_CODEC_ID_AMR_NB}, {"aac", AV_CODEC_ID_AAC},
        {"mp3", AV_CODEC_ID_MP3},       {"ac3", AV_CODEC_ID_AC3},
        {"vorbis", AV_CODEC_ID_VORBIS}, {"pcm_s16le", AV_CODEC_ID_PCM_S16LE},
    };
    const auto found = ids.find(codecName);
    return found == ids.end() ? AV_CODEC_ID_NONE : found->second;
}

void CheckOutputPath(const EncoderOptions &options)
{
    std::error_code error;
    const std::filesystem::path output(options.outputPath);
    if (!std::filesystem::exists(output, error))
        return;
    if (std::filesystem::is_directory(output, error))
        throw EncoderError("the output \"" + options.outputPath + "\" is a folder");
    if (std::filesystem::equivalent(output, std::filesystem::path(options.inputPath), error))
        throw EncoderError("the output \"" + options.outputPath + "\" is the input file");
    if (!options.overwrite)
        throw EncoderError("the output \"" + options.outputPath +
                           "\" exists already (give -y to overwrite it)");
}

std::string KbpsText(int64_t bitRate)
{
    char text[32];
    if (bitRate % 1000 == 0)
        std::snprintf(text, sizeof text, "%lld kbit/s", static_cast<long long>(bitRate / 1000));
    else
        std::snprintf(text, sizeof text, "%.2f kbit/s", static_cast<double>(bitRate) / 1000.0);
    return text;
}

std::string Banner(const EncoderOptions &options, const AudioEncoder &encoder,
                   const AudioSettings &settings, double gain)
{
    std::string text = "evc: \"" + options.inputPath + "\" -> \"" + options.outputPath +
                       "\": " + settings.codecName + " (" + encoder.Name() + "), " +
                       KbpsText(encoder.BitRate()) + ", " + std::to_string(encoder.SampleRate()) +
                       " Hz, " + std::to_string(encoder.Channels()) +
                       (encoder.Channels() == 1 ? " channel" : " channels") + ", volume " +
                       std::to_string(static_cast<int>(std::lround(gain * 100))) + "%";
    if (options.startSeconds)
        text += ", from " + TimeText(*options.startSeconds);
    if (options.lengthSeconds)
        text += ", length " + TimeText(*options.lengthSeconds);
    if (!settings.notes.empty()) {
        text += " (adjusted to the codec:";
        for (size_t i = 0; i < settings.notes.size(); ++i)
            text += (i ? ", " : " ") + settings.notes[i];
        text += ")";
    }
    return text;
}

double ToDb(double level)
{
    return level > 0 ? 20.0 * std::log10(level) : -200.0;
}

// Thrown by an encoding given up as soon as its decoded peaks pass the limit.
struct PeaksOverLimit
{
    double peak;      // the highest decoded sample so far
    double ceilingDb; // the ceiling of the encoding
};

// Feeds the encoder from the stage and writes what it returns.
class Pipeline
{
public:
    // `check`, when given, decodes every packet as it is written; once its peak passes
    // `giveUpAbove` (when given), the encoding stops with PeaksOverLimit.
    Pipeline(SampleStage &stage, AudioEncoder &encoder, OutputFile &output,
             ProgressReporter &reporter, DecodedPeakCheck *check,
             std::optional<PeaksOverLimit> giveUpAbove)
        : m_stage(stage), m_encoder(encoder), m_output(output), m_reporter(reporter),
          m_check(check), m_giveUpAbove(giveUpAbove), m_frame(NewFrame()), m_packet(NewPacket())
    {
    }

    void Pump()
    {
        while (m_stage.Pull(m_frame.get())) {
            m_encoder.Send(m_frame.get());
            Drain();
        }
    }

    void Flush()
    {
        m_stage.Finish();
        Pump();
        m_encoder.Send(nullptr);
        Drain();
    }

    double Seconds() const { return m_seconds; }
    bool WroteAudio() const { return m_packets > 0; }

private:
    void Drain()
    {
        while (m_encoder.Receive(m_packet.get())) {
            const int64_t end = m_packet->pts + std::max<int64_t>(m_packet->duration, 0);
            m_seconds = std::max(m_seconds, static_cast<double>(end) / m_encoder.SampleRate());
            if (m_check) {
                m_check->Feed(m_packet.get());
                if (m_giveUpAbove && m_check->PeakSoFar() > m_giveUpAbove->peak)
                    throw PeaksOverLimit{m_check->PeakSoFar(), m_giveUpAbove->ceilingDb};
            }
            m_output.WriteAudio(m_packet.get());
            av_packet_unref(m_packet.get());
            ++m_packets;
            m_reporter.Update(m_seconds, m_output.BytesWritten());
        }
    }

    SampleStage &m_stage;
    AudioEncoder &m_encoder;
    OutputFile &m_output;
    ProgressReporter &m_reporter;
    DecodedPeakCheck *m_check;
    std::optional<PeaksOverLimit> m_giveUpAbove;
    FramePtr m_frame;
    PacketPtr m_packet;
    double m_seconds = 0;
    int64_t m_packets = 0;
};

// Where the segment starts inside a decoded frame: the index of its first sample to keep, or
// nb_samples when the whole frame lies before the start.
int FirstSampleInSegment(double frameSeconds, const AVFrame *frame, double startSeconds)
{
    const double skip = (startSeconds - frameSeconds) * frame->sample_rate;
    if (skip <= 0)
        return 0;
    if (skip >= frame->nb_samples)
        return frame->nb_samples;
    return static_cast<int>(std::llround(skip));
}

// Decodes the input into the stage from where it stands, trimming what lies before `start`;
// false when the input ended before reaching it.
bool DecodeSegment(InputMedia &input, double start, SampleStage &stage, Pipeline &pipeline)
{
    FramePtr frame = NewFrame();
    double expectedSeconds = -1;
    bool reachedStart = start <= 0;
    while (!stage.LimitReached() && input.NextFrame(frame.get())) {
        int first = 0;
        // Only the audio before the start is trimmed: once the segment has begun, a timestamp
        // that jumps back (joined MPEG or VOB recordings) must not drop what follows.
        if (!reachedStart) {
            const double stamped = input.FrameSeconds(frame.get());
            double at = expectedSeconds;
            if (expectedSeconds < 0)
                at = stamped >= 0 ? stamped : input.ResumeSeconds();
            else if (stamped > expectedSeconds + kTimestampGapSeconds)
                at = stamped;
            expectedSeconds = at + static_cast<double>(frame->nb_samples) / frame->sample_rate;
            first = FirstSampleInSegment(at, frame.get(), start);
            reachedStart = first < frame->nb_samples;
        }
        stage.Push(frame.get(), first);
        av_frame_unref(frame.get());
        pipeline.Pump();
    }
    return reachedStart;
}

// Encrypted audio or a stream that is not what its header says gives a few stray frames at
// most; converting those would report a near-empty file as success. A damaged file still
// converts as long as at least as many frames decode as fail.
void CheckMostAudioDecoded(const InputMedia &input, const std::string &path)
{
    if (input.DecodeErrors() > input.DecodedFrames())
        throw EncoderError("the audio of \"" + path + "\" cannot be decoded (" +
                           std::to_string(input.DecodeErrors()) + " of " +
                           std::to_string(input.DecodeErrors() + input.DecodedFrames()) +
                           " packets failed)");
}

} // namespace

std::string TimeText(double seconds)
{
    const auto whole = static_cast<long long>(std::floor(seconds));
    char text[48];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", whole / 3600, whole / 60 % 60,
                  whole % 60);
    std::string result = text;
    const double fraction = seconds - static_cast<double>(whole);
    if (fraction > 0.0005) {
        std::snprintf(text, sizeof text, "%.3f", fraction);
        result += text + 1;
    }
    return result;
}

namespace {

// One encoding of the input into the output's hidden file, closed but not yet published.
struct EncodedPass
{
    std::unique_ptr<OutputFile> output;
    TranscodeSummary summary;
    double ceilingDb = 0;
    std::optional<double> decodedPeak; // as a player decodes the output, when it was checked
};

struct ParametersDeleter
{
    void operator()(AVCodecParameters *parameters) const { avcodec_parameters_free(&parameters); }
};

// The check of the decoded peaks for limited audio in a lossy codec, written to a file that can
// be encoded again; none where there is nothing to check, or when the output's decoder cannot
// be set up (then evc says so, and keeps the output).
std::unique_ptr<DecodedPeakCheck> PeakCheckFor(const AudioEncoder &encoder,
                                               const AudioSettings &settings, double gain,
                                               const OutputFile &output, ProgressReporter &reporter)
{
    if (gain <= 1.0 || settings.codecName == "pcm_s16le" || !output.WritesHiddenFile())
        return nullptr;
    std::unique_ptr<AVCodecParameters, ParametersDeleter> parameters(avcodec_parameters_alloc());
    if (!parameters)
        throw EncoderError("out of memory");
    encoder.FillParameters(parameters.get());
    try {
        return std::make_unique<DecodedPeakCheck>(parameters.get());
    } catch (const EncoderError &error) {
        reporter.Warning(std::string("the peaks of the output could not be checked: ") +
                         error.what());
        return nullptr;
    }
}

// `ceilingDb`: the limiter's ceiling, or none for the codec's usual one. With `mayGiveUp`, an
// encoding whose decoded peaks pass the limit stops there with PeaksOverLimit.
EncodedPass EncodeOnce(const EncoderOptions &options, const char *muxer,
                       const std::string &codecName, ProgressReporter &reporter,
                       std::optional<double> ceilingDb, bool mayGiveUp)
{
    InputMedia input(options.inputPath);
    // Whether the start lies inside the audio is known only from decoding: container headers
    // often estimate the length, and some are plainly wrong.
    const double start = options.startSeconds.value_or(0.0);

    AudioRequest request;
    request.sampleRate = options.sampleRate.value_or(0);
    request.channels = options.channels.value_or(0);
    request.kbps = options.audioKbps.value_or(0);
    request.sourceSampleRate = input.Decoder()->sample_rate;
    request.sourceChannels = input.Decoder()->ch_layout.nb_channels;
    const AudioSettings settings = FitAudioSettings(codecName, request, EncoderAccepts);

    EncodedPass pass;
    pass.output = std::make_unique<OutputFile>(options.outputPath, muxer, options.overwrite);
    OutputFile &output = *pass.output;
    if (!output.Accepts(CodecIdOf(codecName)))
        throw EncoderError("a " + std::string(muxer) + " file cannot hold " + codecName + " audio");
    std::unique_ptr<AudioEncoder> encoder = OpenAudioEncoder(settings, output.NeedsGlobalHeader());
    output.AddAudioStream(*encoder);
    AVDictionary *tags = CollectTags(input.Format(), input.AudioStream());
    std::unique_ptr<AVDictionary, DictionaryDeleter> ownedTags(tags);
    output.SetTags(tags);
    if (MuxerHoldsCover(muxer)) {
        if (const AVStream *cover = FindCoverPicture(input.Format()))
            output.AddCover(cover);
    }

    const double gain = options.volumePercent.value_or(100) / 100.0;
    // The banner opens the output once; a second encoding has said why it starts.
    if (!ceilingDb)
        reporter.Line(Banner(options, *encoder, settings, gain));
    reporter.Waiting();

    const int64_t maxSamples =
        options.lengthSeconds
            ? static_cast<int64_t>(std::llround(*options.lengthSeconds * encoder->SampleRate()))
            : -1;
    pass.ceilingDb = ceilingDb.value_or(
        LimiterCeilingDb(settings.codecName, encoder->BitRate(), encoder->Channels()));
    const std::unique_ptr<DecodedPeakCheck> check =
        PeakCheckFor(*encoder, settings, gain, output, reporter);
    SampleStage stage(encoder->SampleRate(), encoder->Channels(), encoder->SampleFormat(),
                      encoder->FrameSize(), gain, maxSamples, pass.ceilingDb);
    std::optional<PeaksOverLimit> giveUpAbove;
    if (mayGiveUp)
        giveUpAbove = PeaksOverLimit{std::pow(10.0, kHighestDecodedPeakDb / 20.0), pass.ceilingDb};
    Pipeline pipeline(stage, *encoder, output, reporter, check.get(), giveUpAbove);

    const bool sought = start - kSeekPreRollSeconds >= kShortestSeekSeconds;
    if (sought)
        input.SeekBefore(start - kSeekPreRollSeconds);
    bool reachedStart = DecodeSegment(input, start, stage, pipeline);
    // A search that left the input ending before the start (the Ogg demuxer stops at the end
    // of the chain link it landed in) is not believed: the file is decoded from its beginning.
    if (!reachedStart && sought) {
        input.Rewind();
        reachedStart = DecodeSegment(input, start, stage, pipeline);
    }
    pipeline.Flush();

    CheckMostAudioDecoded(input, options.inputPath);
    if (!pipeline.WroteAudio()) {
        if (!reachedStart && start > 0)
            throw EncoderError("the start " + TimeText(start) + " lies past the end of \"" +
                               options.inputPath + "\"");
        throw EncoderError("no audio could be decoded from \"" + options.inputPath + "\"");
    }
    output.Close();
    pass.summary.seconds = pipeline.Seconds();
    pass.summary.bytes = output.BytesWritten();
    pass.summary.peaksHeldDb = stage.PeaksHeldDb();
    if (check) {
        std::string error;
        pass.decodedPeak = check->Finish(&error);
        // The output is whole; only its check failed, which is no reason to lose it.
        if (!pass.decodedPeak)
            reporter.Warning("the peaks of the output could not be checked: " + error);
    }
    return pass;
}

// The ceiling for another encoding of limited audio whose decoded peaks came too near full
// scale; none when they are fine.
std::optional<double> LowerCeilingDb(std::optional<double> decodedPeak, double ceilingDb)
{
    if (!decodedPeak || ToDb(*decodedPeak) <= kHighestDecodedPeakDb)
        return std::nullopt;
    return ceilingDb - std::max(ToDb(*decodedPeak) - kDecodedPeakTargetDb, kLeastCeilingStepDb);
}

std::string EncodingAgainText(double decodedPeak, double ceilingDb)
{
    char text[160];
    std::snprintf(text, sizeof text,
                  "evc: the output decodes with peaks at %.2f dBFS; encoding it again with the "
                  "limiter's ceiling at %.2f dBFS",
                  ToDb(decodedPeak), ceilingDb);
    return text;
}

} // namespace

TranscodeSummary Transcode(const EncoderOptions &options, ProgressReporter &reporter)
{
    const char *muxer = MuxerForPath(options.outputPath);
    if (!muxer)
        throw EncoderError("cannot tell the output type of \"" + options.outputPath +
                           "\"; use .amr, .aac, .mp3, .ac3, .m4a, .ogg or .wav");
    const std::string codecName =
        options.codecName.empty() ? DefaultCodecForPath(options.outputPath) : options.codecName;
    CheckOutputPath(options);

    // An encoding whose decoded peaks pass the limit is given up as soon as the check sees it,
    // and the next one starts with a lower ceiling; the last one allowed runs to its end.
    std::optional<double> ceilingDb;
    EncodedPass pass;
    for (int encoding = 0;; ++encoding) {
        const bool mayLower = encoding < kLowerCeilingRetries;
        double peak = 0;
        try {
            pass = EncodeOnce(options, muxer, codecName, reporter, ceilingDb, mayLower);
            peak = pass.decodedPeak.value_or(0.0);
            ceilingDb = mayLower ? LowerCeilingDb(pass.decodedPeak, pass.ceilingDb) : std::nullopt;
        } catch (const PeaksOverLimit &over) {
            peak = over.peak;
            ceilingDb = LowerCeilingDb(over.peak, over.ceilingDb)
                            .value_or(over.ceilingDb - kLeastCeilingStepDb);
        }
        if (!ceilingDb)
            break;
        reporter.Line(EncodingAgainText(peak, *ceilingDb));
        // Every encoding writes the same hidden file: the last goes before the next starts.
        pass.output.reset();
    }
    pass.output->Publish();
    reporter.Update(pass.summary.seconds, pass.summary.bytes, true);
    return pass.summary;
}

} // namespace evc
