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
#include <fstream>
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
    facts.firstChannel = std::move(first);
    facts.ok = facts.samples > 0;
    if (!facts.ok)
        facts.error = "no samples decoded";
    return facts;
}

namespace {

// Big-endian writers for the boxes of a minimal 3GP file.
void Put32(std::string *out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out->push_back(char((value >> shift) & 0xFF));
}
void Put16(std::string *out, uint16_t value)
{
    out->push_back(char(value >> 8));
    out->push_back(char(value & 0xFF));
}
std::string Box(const char *type, const std::string &body)
{
    std::string box;
    Put32(&box, uint32_t(8 + body.size()));
    box += std::string(type, 4) + body;
    return box;
}
std::string FullBox(const char *type, uint32_t versionAndFlags, const std::string &body)
{
    std::string head;
    Put32(&head, versionAndFlags);
    return Box(type, head + body);
}
std::string UnityMatrix()
{
    std::string matrix;
    for (uint32_t value : {0x10000u, 0u, 0u, 0u, 0x10000u, 0u, 0u, 0u, 0x40000000u})
        Put32(&matrix, value);
    return matrix;
}

} // namespace

bool GroupAmrFrames(const std::string &amrPath, const std::string &containerPath,
                    int framesPerSample)
{
    // libavformat's muxer refuses AMR packets of several frames, so the file is written here.
    AVFormatContext *rawInput = nullptr;
    if (avformat_open_input(&rawInput, amrPath.c_str(), nullptr, nullptr) < 0)
        return false;
    std::unique_ptr<AVFormatContext, Closer> input(rawInput);
    if (avformat_find_stream_info(input.get(), nullptr) < 0 || input->nb_streams != 1)
        return false;
    const bool wide = input->streams[0]->codecpar->codec_id == AV_CODEC_ID_AMR_WB;
    const uint32_t rate = wide ? 16000 : 8000;
    const uint32_t frameSamples = rate / 50;

    std::string media;
    std::vector<uint32_t> sampleSizes;
    std::vector<uint32_t> sampleFrames;
    std::unique_ptr<AVPacket, Closer> packet(av_packet_alloc());
    while (av_read_frame(input.get(), packet.get()) >= 0) {
        if (sampleFrames.empty() || int(sampleFrames.back()) == framesPerSample) {
            sampleSizes.push_back(0);
            sampleFrames.push_back(0);
        }
        media.append(reinterpret_cast<const char *>(packet->data), size_t(packet->size));
        sampleSizes.back() += uint32_t(packet->size);
        ++sampleFrames.back();
        av_packet_unref(packet.get());
    }
    if (sampleSizes.empty())
        return false;
    uint32_t totalFrames = 0;
    for (uint32_t frames : sampleFrames)
        totalFrames += frames;
    const uint32_t duration = totalFrames * frameSamples;
    const bool is3g2 =
        containerPath.size() > 4 && containerPath.substr(containerPath.size() - 4) == ".3g2";

    std::string ftypBody = is3g2 ? "3g2a" : "3gp4";
    Put32(&ftypBody, 0);
    ftypBody += is3g2 ? "3g2a" : "3gp4";
    ftypBody += "isom";
    const std::string ftyp = Box("ftyp", ftypBody);
    const std::string mdat = Box("mdat", media);

    std::string mvhd(8, '\0');
    Put32(&mvhd, rate);
    Put32(&mvhd, duration);
    Put32(&mvhd, 0x10000);
    Put16(&mvhd, 0x100);
    mvhd += std::string(10, '\0') + UnityMatrix() + std::string(24, '\0');
    Put32(&mvhd, 2);

    std::string tkhd(8, '\0');
    Put32(&tkhd, 1);
    Put32(&tkhd, 0);
    Put32(&tkhd, duration);
    tkhd += std::string(12, '\0');
    Put16(&tkhd, 0x100);
    Put16(&tkhd, 0);
    tkhd += UnityMatrix() + std::string(8, '\0');

    std::string mdhd(8, '\0');
    Put32(&mdhd, rate);
    Put32(&mdhd, duration);
    Put16(&mdhd, 0x55C4); // "und"
    Put16(&mdhd, 0);

    std::string hdlr(4, '\0');
    hdlr += "soun" + std::string(12, '\0') + "SoundHandler" + std::string(1, '\0');

    std::string damr = "test";
    damr += std::string(1, '\0');
    Put16(&damr, wide ? 0xFFFF : 0x81FF);
    damr += std::string(1, '\0');
    damr += char(framesPerSample);
    std::string entry(6, '\0');
    Put16(&entry, 1);
    entry += std::string(8, '\0');
    Put16(&entry, 2);
    Put16(&entry, 16);
    Put32(&entry, 0);
    Put32(&entry, rate << 16);
    entry += Box("damr", damr);
    std::string stsdBody;
    Put32(&stsdBody, 1);
    stsdBody += Box(wide ? "sawb" : "samr", entry);

    // One time entry for the full samples and one for a shorter last sample.
    std::string stts;
    const bool shortLast = sampleFrames.back() != uint32_t(framesPerSample);
    Put32(&stts, shortLast && sampleFrames.size() > 1 ? 2 : 1);
    if (sampleFrames.size() > 1 || !shortLast) {
        Put32(&stts, uint32_t(sampleFrames.size()) - (shortLast ? 1 : 0));
        Put32(&stts, uint32_t(framesPerSample) * frameSamples);
    }
    if (shortLast) {
        Put32(&stts, 1);
        Put32(&stts, sampleFrames.back() * frameSamples);
    }
    std::string stsc;
    for (uint32_t value : {1u, 1u, uint32_t(sampleSizes.size()), 1u})
        Put32(&stsc, value);
    std::string stsz;
    Put32(&stsz, 0);
    Put32(&stsz, uint32_t(sampleSizes.size()));
    for (uint32_t size : sampleSizes)
        Put32(&stsz, size);
    std::string stco;
    Put32(&stco, 1);
    Put32(&stco, uint32_t(ftyp.size() + 8));

    std::string dref;
    Put32(&dref, 1);
    dref += FullBox("url ", 1, "");
    const std::string stbl = Box("stbl", FullBox("stsd", 0, stsdBody) + FullBox("stts", 0, stts) +
                                             FullBox("stsc", 0, stsc) + FullBox("stsz", 0, stsz) +
                                             FullBox("stco", 0, stco));
    const std::string minf = Box("minf", FullBox("smhd", 0, std::string(4, '\0')) +
                                             Box("dinf", FullBox("dref", 0, dref)) + stbl);
    const std::string mdia =
        Box("mdia", FullBox("mdhd", 0, mdhd) + FullBox("hdlr", 0, hdlr) + minf);
    const std::string moov =
        Box("moov", FullBox("mvhd", 0, mvhd) + Box("trak", FullBox("tkhd", 7, tkhd) + mdia));

    std::ofstream file(containerPath, std::ios::binary);
    file << ftyp << mdat << moov;
    return bool(file);
}

bool ScramblePackets(const std::string &path, const std::string &scrambledPath, double share)
{
    AVFormatContext *rawInput = nullptr;
    if (avformat_open_input(&rawInput, path.c_str(), nullptr, nullptr) < 0)
        return false;
    std::unique_ptr<AVFormatContext, Closer> input(rawInput);
    if (avformat_find_stream_info(input.get(), nullptr) < 0)
        return false;
    AVFormatContext *rawOutput = nullptr;
    if (avformat_alloc_output_context2(&rawOutput, nullptr, nullptr, scrambledPath.c_str()) < 0)
        return false;
    auto freeOutput = [](AVFormatContext *c) {
        if (c->pb)
            avio_closep(&c->pb);
        avformat_free_context(c);
    };
    std::unique_ptr<AVFormatContext, decltype(freeOutput)> output(rawOutput, freeOutput);
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        AVStream *stream = avformat_new_stream(output.get(), nullptr);
        if (!stream || avcodec_parameters_copy(stream->codecpar, input->streams[i]->codecpar) < 0)
            return false;
        stream->codecpar->codec_tag = 0;
        stream->time_base = input->streams[i]->time_base;
    }
    if (avio_open(&output->pb, scrambledPath.c_str(), AVIO_FLAG_WRITE) < 0 ||
        avformat_write_header(output.get(), nullptr) < 0)
        return false;
    std::unique_ptr<AVPacket, Closer> packet(av_packet_alloc());
    uint32_t noise = 12345;
    for (int64_t index = 0; av_read_frame(input.get(), packet.get()) >= 0; ++index) {
        if (std::floor(double(index + 1) * share) > std::floor(double(index) * share) &&
            av_packet_make_writable(packet.get()) >= 0) {
            for (int i = 0; i < packet->size; ++i) {
                noise = noise * 1103515245u + 12345u;
                packet->data[i] = uint8_t(noise >> 16);
            }
        }
        av_packet_rescale_ts(packet.get(), input->streams[packet->stream_index]->time_base,
                             output->streams[packet->stream_index]->time_base);
        if (av_interleaved_write_frame(output.get(), packet.get()) < 0)
            return false;
    }
    return av_write_trailer(output.get()) >= 0;
}

} // namespace evctest
