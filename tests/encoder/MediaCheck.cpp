#include "MediaCheck.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace evctest {
namespace {

struct Closer
{
    void operator()(AVFormatContext *c) const { avformat_close_input(&c); }
    void operator()(AVCodecContext *c) const { avcodec_free_context(&c); }
    void operator()(AVFrame *f) const { av_frame_free(&f); }
    void operator()(AVPacket *p) const { av_packet_free(&p); }
    void operator()(SwrContext *s) const { swr_free(&s); }
};

const char *RawFormatOf(const std::string &path)
{
    const std::string extension = path.substr(path.find_last_of('.') + 1);
    for (const char *raw : {"ac3", "aac", "mp3", "amr"}) {
        if (extension == raw)
            return raw;
    }
    return "";
}

void CopyTags(const AVDictionary *from, std::map<std::string, std::string> *to)
{
    const AVDictionaryEntry *entry = nullptr;
    while ((entry = av_dict_get(from, "", entry, AV_DICT_IGNORE_SUFFIX)))
        (*to)[entry->key] = entry->value;
}

void Analyse(const std::vector<float> &samples, int rate, AudioFacts *facts)
{
    for (size_t i = 0; i < samples.size(); ++i) {
        facts->peak = std::max(facts->peak, double(std::fabs(samples[i])));
        if (facts->firstSoundSeconds < 0 && std::fabs(samples[i]) > 0.05)
            facts->firstSoundSeconds = double(i) / rate;
        if (i > 0 && std::fabs(samples[i] - samples[i - 1]) > 1.5)
            ++facts->signFlips;
    }
    const size_t begin = samples.size() / 10;
    const size_t end = samples.size() - samples.size() / 10;
    double sum = 0;
    int64_t crossings = 0;
    for (size_t i = begin; i < end; ++i) {
        sum += double(samples[i]) * samples[i];
        if (i > begin && (samples[i - 1] < 0) != (samples[i] < 0))
            ++crossings;
    }
    if (end > begin) {
        facts->rms = std::sqrt(sum / double(end - begin));
        facts->frequency = crossings / 2.0 / (double(end - begin) / rate);
    }
}

} // namespace

AudioFacts InspectAudio(const std::string &path)
{
    av_log_set_level(AV_LOG_QUIET);
    AudioFacts facts;
    AVFormatContext *rawFormat = nullptr;
    if (avformat_open_input(&rawFormat, path.c_str(), nullptr, nullptr) < 0) {
        // Raw streams of a few frames are too short for content probing; players go by the
        // extension then.
        const AVInputFormat *byExtension = av_find_input_format(RawFormatOf(path));
        if (!byExtension ||
            avformat_open_input(&rawFormat, path.c_str(), byExtension, nullptr) < 0) {
            facts.error = "cannot open " + path;
            return facts;
        }
    }
    std::unique_ptr<AVFormatContext, Closer> format(rawFormat);
    if (avformat_find_stream_info(format.get(), nullptr) < 0) {
        facts.error = "no stream info";
        return facts;
    }
    facts.container = format->iformat->name;
    CopyTags(format->metadata, &facts.tags);
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        if (format->streams[i]->disposition & AV_DISPOSITION_ATTACHED_PIC)
            facts.hasCover = true;
    }
    const AVCodec *codec = nullptr;
    const int index = av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (index < 0 || !codec) {
        facts.error = "no audio stream";
        return facts;
    }
    AVStream *stream = format->streams[index];
    CopyTags(stream->metadata, &facts.tags);
    facts.codec = avcodec_get_name(stream->codecpar->codec_id);
    facts.sampleRate = stream->codecpar->sample_rate;
    facts.channels = stream->codecpar->ch_layout.nb_channels;

    std::unique_ptr<AVCodecContext, Closer> decoder(avcodec_alloc_context3(codec));
    avcodec_parameters_to_context(decoder.get(), stream->codecpar);
    decoder->pkt_timebase = stream->time_base;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0) {
        facts.error = "cannot open decoder";
        return facts;
    }
    std::unique_ptr<AVPacket, Closer> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, Closer> frame(av_frame_alloc());
    std::unique_ptr<SwrContext, Closer> toFloat;
    std::vector<float> first;

    auto take = [&]() {
        while (avcodec_receive_frame(decoder.get(), frame.get()) >= 0) {
            if (!toFloat) {
                SwrContext *swr = nullptr;
                swr_alloc_set_opts2(&swr, &frame->ch_layout, AV_SAMPLE_FMT_FLTP, frame->sample_rate,
                                    &frame->ch_layout, AVSampleFormat(frame->format),
                                    frame->sample_rate, 0, nullptr);
                toFloat.reset(swr);
                swr_init(swr);
            }
            std::vector<std::vector<float>> planes(size_t(frame->ch_layout.nb_channels),
                                                   std::vector<float>(size_t(frame->nb_samples)));
            std::vector<uint8_t *> pointers;
            for (auto &plane : planes)
                pointers.push_back(reinterpret_cast<uint8_t *>(plane.data()));
            const int got =
                swr_convert(toFloat.get(), pointers.data(), frame->nb_samples,
                            const_cast<const uint8_t **>(frame->extended_data), frame->nb_samples);
            if (got > 0)
                first.insert(first.end(), planes[0].begin(), planes[0].begin() + got);
            for (const auto &plane : planes) {
                for (int i = 0; i < got; ++i)
                    facts.peakAllChannels =
                        std::max(facts.peakAllChannels, double(std::fabs(plane[size_t(i)])));
            }
            facts.samples += frame->nb_samples;
            av_frame_unref(frame.get());
        }
    };
    while (av_read_frame(format.get(), packet.get()) >= 0) {
        if (packet->stream_index == index && avcodec_send_packet(decoder.get(), packet.get()) >= 0)
            take();
        av_packet_unref(packet.get());
    }
    avcodec_send_packet(decoder.get(), nullptr);
    take();
    if (facts.sampleRate <= 0)
        facts.sampleRate = decoder->sample_rate;
    Analyse(first, facts.sampleRate, &facts);
    facts.ok = facts.samples > 0;
    if (!facts.ok)
        facts.error = "no samples decoded";
    return facts;
}

} // namespace evctest
