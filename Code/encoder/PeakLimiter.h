#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace evc {

// Follows the true peak of a signal: the highest level of the waveform between the samples as
// well as at them, as a player's reconstruction filter (and a lossy codec's) draws it. Loud
// masters often peak between two samples a few tenths of a dB above both. The points between
// the samples come from the 4x polyphase interpolator of ITU-R BS.1770, so a frame's figure is
// known kDelay frames after it arrived. Works on blocks, which lets the compiler compute many
// frames' points side by side.
class TruePeakFollower
{
public:
    static constexpr int kDelay = 6;
    static constexpr int kMostFrames = 1024; // per Push

    explicit TruePeakFollower(int channels);

    // Takes up to kMostFrames frames of planar samples (a NaN counts as silence). For each frame
    // i it writes to peaks[i] the true peak around the frame kDelay frames before it: the highest
    // of that frame's own samples and the interpolated points on both sides of it. Delayed()
    // then holds those earlier frames' samples.
    void Push(const float *const *planes, int count, float *peaks);
    // Channel c of the frames whose peaks the last Push gave, in order.
    const float *Delayed(int c) const;

private:
    static constexpr int kTaps = 12;
    static constexpr int kHistory = kTaps - 1;

    int m_channels;
    std::vector<std::vector<float>> m_samples; // per channel: kHistory samples, then the block
    std::vector<float> m_gaps; // per frame of the block, the peak between it and the one before
    float m_previousGap = 0.0f;
    int m_lastCount = 0; // frames of the last Push, behind the history
};

// Raises the level by a gain above 1 without clipping. A look-ahead peak limiter: the gain
// comes down smoothly before a peak that would pass the ceiling, just far enough to keep it
// under, and recovers afterwards, so quiet passages rise by the full gain and loud ones are held.
// The peaks are true peaks (TruePeakFollower), so the waveform stays under the ceiling between
// the samples too. The gain is the same for every channel, which keeps the stereo image. No
// sample ever leaves above the ceiling, and the limiter never cuts a waveform flat (flat tops
// would make lossy codecs overshoot far more). The look-ahead delay is taken out again: the
// output has the input's timing and sample count.
class PeakLimiter
{
public:
    // Receives limited planar float samples.
    using Sink = std::function<void(float *const *planes, int count)>;

    // `ceilingDb`: the highest output level, in dB relative to full scale.
    PeakLimiter(int sampleRate, int channels, double gain, double ceilingDb);

    // Takes `count` planar float samples; what the limiter has ready goes to `sink`.
    void Push(const float *const *planes, int count, const Sink &sink);
    // Passes on the samples the look-ahead still holds.
    void Finish(const Sink &sink);

    // How far, in dB, the loudest peak would have risen above the ceiling (0 when none did).
    double PeaksHeldDb() const;

private:
    void Follow(const float *const *planes, int count, const Sink &sink);
    void Limit(const float *peaks, int count, const Sink &sink);
    double Step(double needed);
    bool Leaves() const;
    void Emit(int count, const Sink &sink);

    static constexpr int kMostPerStep = TruePeakFollower::kMostFrames;

    int m_channels;
    double m_gain;
    double m_ceilingDb;
    double m_ceiling;
    double m_release; // per-sample factor by which the remaining gain reduction decays
    int m_lookAhead;  // frames
    double m_inverseLookAhead;

    TruePeakFollower m_follower;
    int64_t m_followed = 0;     // frames given to the follower
    int64_t m_realFollowed = 0; // of them, frames of the input
    std::vector<float> m_peaks;

    // Stream positions count a lead-in of silence, which lets the first real peak be
    // anticipated like any other.
    int64_t m_position = 0;
    int m_slot = 0; // m_position's place in m_smoothed
    int64_t m_realIn = 0;
    int64_t m_realOut = 0;
    struct Needed
    {
        int64_t position;
        double needed;
    };
    std::vector<Needed> m_minimum; // rising needed gains of the look-ahead, a ring
    size_t m_minimumFront = 0;
    size_t m_minimumCount = 0;
    std::vector<double> m_smoothed; // the last m_lookAhead held gains, a ring
    double m_smoothedSum;
    double m_held = 1.0;
    double m_loudest = 0.0;
    std::vector<std::vector<float>> m_waiting; // per channel, input frames not yet passed on
    int m_waitingCount = 0;
    std::vector<float> m_gains;            // the gains of the frames leaving, in order
    std::vector<std::vector<float>> m_out; // planes for the sink
};

// The ceiling, a true peak in dB, for the output of a codec at a bitrate in bit/s: 1 dB below
// full scale, with room for what the codec adds. 16-bit PCM only rounds. Lossy codecs add noise
// that lifts the decoded peaks of densely limited music above what went in, by an amount that
// depends on the codec and grows as the bitrate per channel falls. Outputs whose peaks still come
// out too high are encoded again with a lower ceiling.
double LimiterCeilingDb(const std::string &codecName, int64_t bitRate, int channels);

} // namespace evc
