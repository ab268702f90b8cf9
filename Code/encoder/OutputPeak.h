#pragma once

#include "AvResources.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace evc {

// Decodes the packets of an output as they are written, on a thread of its own beside the
// encoding, and keeps the highest absolute sample the decoder gives back (1.0 being full scale):
// what a player of the file will get. The check costs no time on a machine with a core to
// spare; only when it falls far behind does Feed wait for it.
class DecodedPeakCheck
{
public:
    // `parameters` describe the encoded stream (codec, configuration). Throws EncoderError when
    // no decoder can read it.
    explicit DecodedPeakCheck(const AVCodecParameters *parameters);
    ~DecodedPeakCheck();
    DecodedPeakCheck(const DecodedPeakCheck &) = delete;
    DecodedPeakCheck &operator=(const DecodedPeakCheck &) = delete;

    // Queues a reference to one encoded packet.
    void Feed(const AVPacket *packet);
    // The highest sample decoded so far; the check runs a little behind the packets fed.
    double PeakSoFar() const { return m_peak.load(std::memory_order_relaxed); }
    // Waits until every packet fed is decoded. Returns the peak, or none with the reason in
    // `error` when the packets could not be decoded.
    std::optional<double> Finish(std::string *error);

private:
    void Run();
    bool Decode(const AVPacket *packet);
    void Fail(const std::string &reason);

    CodecContextPtr m_decoder;
    FramePtr m_frame;
    std::mutex m_mutex;
    std::condition_variable m_packetsReady; // a batch is queued, or the input ended
    std::condition_variable m_roomFreed;    // the queue has room again, or the check failed
    std::deque<PacketPtr> m_queue;
    bool m_ended = false;
    bool m_failed = false;
    std::string m_error;
    std::atomic<double> m_peak{0.0}; // written by the check's thread only
    std::thread m_thread;
};

} // namespace evc
