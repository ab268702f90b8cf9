#include "PeakLimiter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace evc {
namespace {

// The gain comes down over the 5 ms before a peak and recovers with a time constant of 60 ms:
// quick enough that one loud beat does not duck the music after it, slow enough that the gain
// does not follow the waveform of low notes (which would distort them).
constexpr double kAttackSeconds = 0.005;
constexpr double kReleaseSeconds = 0.060;

double FromDb(double db)
{
    return std::pow(10.0, db / 20.0);
}

// The four phases of the 48-tap interpolator of ITU-R BS.1770, tap by tap: kInterpolator[k][p]
// weighs the sample k samples back for the point of phase p. The points of one new sample lie
// at 1/8, 3/8, 5/8 and 7/8 of the way between the samples 6 and 5 back.
constexpr float kInterpolator[12][4] = {
    {0.0017089843750f, -0.0291748046875f, -0.0189208984375f, -0.0083007812500f},
    {0.0109863281250f, 0.0292968750000f, 0.0330810546875f, 0.0148925781250f},
    {-0.0196533203125f, -0.0517578125000f, -0.0582275390625f, -0.0266113281250f},
    {0.0332031250000f, 0.0891113281250f, 0.1015625000000f, 0.0476074218750f},
    {-0.0594482421875f, -0.1665039062500f, -0.2003173828125f, -0.1022949218750f},
    {0.1373291015625f, 0.4650878906250f, 0.7797851562500f, 0.9721679687500f},
    {0.9721679687500f, 0.7797851562500f, 0.4650878906250f, 0.1373291015625f},
    {-0.1022949218750f, -0.2003173828125f, -0.1665039062500f, -0.0594482421875f},
    {0.0476074218750f, 0.1015625000000f, 0.0891113281250f, 0.0332031250000f},
    {-0.0266113281250f, -0.0582275390625f, -0.0517578125000f, -0.0196533203125f},
    {0.0148925781250f, 0.0330810546875f, 0.0292968750000f, 0.0109863281250f},
    {-0.0083007812500f, -0.0189208984375f, -0.0291748046875f, 0.0017089843750f},
};

// Where the processor has AVX2 and FMA, the interpolator runs in a build of its own for them:
// eight frames at a time instead of four.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__)
#define TQ_WIDE_VECTORS_IF_ANY __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define TQ_WIDE_VECTORS_IF_ANY
#endif

// Raises gaps[i] to the highest interpolated point between the samples 6 and 5 before
// samples[i]; samples[-11] onwards must be readable. The tap loop unrolls, so the compiler
// computes several frames side by side in vector registers.
TQ_WIDE_VECTORS_IF_ANY void RaiseToInterpolatedPeaks(const float *samples, int count, float *gaps)
{
    for (int i = 0; i < count; ++i) {
        float points[4] = {0.0f, 0.0f, 0.0f, 0.0f};
        for (int k = 0; k < 12; ++k)
            for (int p = 0; p < 4; ++p)
                points[p] += kInterpolator[k][p] * samples[i - k];
        const float highest = std::max(std::max(std::fabs(points[0]), std::fabs(points[1])),
                                       std::max(std::fabs(points[2]), std::fabs(points[3])));
        gaps[i] = std::max(gaps[i], highest);
    }
}

} // namespace

TruePeakFollower::TruePeakFollower(int channels)
    : m_channels(channels),
      m_samples(static_cast<size_t>(channels), std::vector<float>(kHistory + kMostFrames, 0.0f)),
      m_gaps(kMostFrames)
{
}

void TruePeakFollower::Push(const float *const *planes, int count, float *peaks)
{
    std::fill_n(m_gaps.data(), count, 0.0f);
    std::fill_n(peaks, count, 0.0f);
    for (int c = 0; c < m_channels; ++c) {
        float *history = m_samples[static_cast<size_t>(c)].data();
        // The last samples of the previous block become the history of this one.
        std::memmove(history, history + m_lastCount, kHistory * sizeof(float));
        float *block = history + kHistory;
        for (int i = 0; i < count; ++i) {
            const float value = planes[c][i];
            // A NaN from a damaged float source would hold the gain down for good: silence.
            block[i] = value == value ? value : 0.0f;
        }
        RaiseToInterpolatedPeaks(block, count, m_gaps.data());
        const float *delayed = block - kDelay;
        for (int i = 0; i < count; ++i)
            peaks[i] = std::max(peaks[i], std::fabs(delayed[i]));
    }
    for (int i = 0; i < count; ++i) {
        const float before = i > 0 ? m_gaps[static_cast<size_t>(i) - 1] : m_previousGap;
        peaks[i] = std::max({peaks[i], m_gaps[static_cast<size_t>(i)], before});
    }
    if (count > 0)
        m_previousGap = m_gaps[static_cast<size_t>(count) - 1];
    m_lastCount = count;
}

const float *TruePeakFollower::Delayed(int c) const
{
    return m_samples[static_cast<size_t>(c)].data() + kHistory - kDelay;
}

double LimiterCeilingDb(const std::string &codecName, int64_t bitRate, int channels)
{
    // Highest true peak, in dBFS, for each codec at 64 kbit/s per channel and more, from 32, and
    // below. Measured on nine real recordings, seven of them masters near 0 dBFS, looped to 60
    // and 200 s and limited at 200 %, at the presets' bitrates, channels and sample rates. The
    // codecs' noise lifted the decoded peaks by up to 2.8 dB (MP3, Vorbis, AC-3) and 3.7 dB
    // (AAC) over the ceiling; with these ceilings all but one AAC at 48 kbit/s mono stay under
    // the check's limit in one encoding.
    struct Ceilings
    {
        const char *codec;
        double high, middle, low;
    };
    static const Ceilings kCeilings[] = {
        {"mp3", -2.4, -3.4, -4.0}, {"vorbis", -2.6, -3.2, -3.8}, {"ac3", -2.6, -2.8, -4.2},
        {"aac", -3.7, -4.2, -4.8}, {"amr_nb", -2.0, -2.0, -2.0},
    };
    if (codecName == "pcm_s16le")
        return -1.05; // 16-bit PCM only rounds
    const double kbpsPerChannel = static_cast<double>(bitRate) / 1000.0 / std::max(channels, 1);
    for (const Ceilings &ceilings : kCeilings) {
        if (codecName != ceilings.codec)
            continue;
        if (kbpsPerChannel >= 64)
            return ceilings.high;
        return kbpsPerChannel >= 32 ? ceilings.middle : ceilings.low;
    }
    return -3.0;
}

PeakLimiter::PeakLimiter(int sampleRate, int channels, double gain, double ceilingDb)
    : m_channels(channels), m_gain(gain), m_ceilingDb(ceilingDb), m_ceiling(FromDb(ceilingDb)),
      m_release(std::exp(-1.0 / (kReleaseSeconds * sampleRate))),
      m_lookAhead(std::max(1, static_cast<int>(std::lround(kAttackSeconds * sampleRate)))),
      m_inverseLookAhead(1.0 / m_lookAhead), m_follower(channels),
      m_peaks(TruePeakFollower::kMostFrames), m_minimum(static_cast<size_t>(m_lookAhead) + 1),
      m_smoothed(static_cast<size_t>(m_lookAhead), 1.0),
      m_smoothedSum(static_cast<double>(m_lookAhead)),
      m_waiting(static_cast<size_t>(channels),
                std::vector<float>(static_cast<size_t>(m_lookAhead) + kMostPerStep)),
      m_gains(static_cast<size_t>(m_lookAhead) * 2 + kMostPerStep),
      m_out(static_cast<size_t>(channels), std::vector<float>(m_gains.size()))
{
    for (int i = 1; i < m_lookAhead; ++i)
        Step(1.0);
}

void PeakLimiter::Push(const float *const *planes, int count, const Sink &sink)
{
    std::vector<const float *> block(static_cast<size_t>(m_channels));
    for (int at = 0; at < count; at += TruePeakFollower::kMostFrames) {
        const int n = std::min(TruePeakFollower::kMostFrames, count - at);
        for (int c = 0; c < m_channels; ++c)
            block[static_cast<size_t>(c)] = planes[c] + at;
        m_realFollowed += n;
        Follow(block.data(), n, sink);
    }
}

void PeakLimiter::Finish(const Sink &sink)
{
    // The follower's last frames, pushed out by silence.
    const std::vector<float> silence(TruePeakFollower::kDelay, 0.0f);
    const std::vector<const float *> planes(static_cast<size_t>(m_channels), silence.data());
    Follow(planes.data(), TruePeakFollower::kDelay, sink);
    // The look-ahead's last frames, pushed out by silence.
    int leaving = 0;
    while (m_realOut + leaving < m_realIn) {
        const double gain = Step(1.0);
        if (Leaves())
            m_gains[static_cast<size_t>(leaving++)] = static_cast<float>(gain);
    }
    Emit(leaving, sink);
}

// Frames through the follower; those it hands back with their peaks, once they are frames of
// the input (the follower's first ones are its own silence), wait in the look-ahead.
void PeakLimiter::Follow(const float *const *planes, int count, const Sink &sink)
{
    m_follower.Push(planes, count, m_peaks.data());
    const int64_t firstDelayed = m_followed - TruePeakFollower::kDelay;
    m_followed += count;
    const int first = static_cast<int>(std::max<int64_t>(0, -firstDelayed));
    const int end = static_cast<int>(std::min<int64_t>(count, m_realFollowed - firstDelayed));
    if (first >= end)
        return;
    for (int c = 0; c < m_channels; ++c) {
        const float *delayed = m_follower.Delayed(c);
        std::copy(delayed + first, delayed + end,
                  m_waiting[static_cast<size_t>(c)].data() + m_waitingCount);
    }
    m_waitingCount += end - first;
    Limit(m_peaks.data() + first, end - first, sink);
}

// The frames just added to the waiting ones, by their peaks: the gain each needs is the ceiling
// over its peak. The frames whose gain is then known leave.
void PeakLimiter::Limit(const float *peaks, int count, const Sink &sink)
{
    int leaving = 0;
    for (int i = 0; i < count; ++i) {
        const double peak = peaks[i] * m_gain;
        m_loudest = std::max(m_loudest, peak);
        const double gain = Step(peak > m_ceiling ? m_ceiling / peak : 1.0);
        if (Leaves())
            m_gains[static_cast<size_t>(leaving++)] = static_cast<float>(gain);
    }
    m_realIn += count;
    Emit(leaving, sink);
}

// One frame's needed gain in. The gain applied to a frame is the mean of the held gains over
// the look-ahead that follows it, and each of those is at most the needed gain of every frame
// in its own look-ahead, this frame included. So the applied gain never exceeds what the frame
// needs, and it changes as a ramp over the look-ahead instead of a jump. Returns the gain of
// the frame that entered m_lookAhead - 1 steps ago.
double PeakLimiter::Step(double needed)
{
    // The rising needed gains of the look-ahead, in a ring of m_lookAhead + 1 entries: a newer,
    // lower one makes every higher one before it irrelevant.
    const size_t size = m_minimum.size();
    const auto wrap = [size](size_t index) { return index >= size ? index - size : index; };
    while (m_minimumCount > 0 &&
           m_minimum[wrap(m_minimumFront + m_minimumCount - 1)].needed >= needed)
        --m_minimumCount;
    m_minimum[wrap(m_minimumFront + m_minimumCount)] = {m_position, needed};
    ++m_minimumCount;
    if (m_minimum[m_minimumFront].position <= m_position - m_lookAhead) {
        m_minimumFront = wrap(m_minimumFront + 1);
        --m_minimumCount;
    }

    // Held gain of the frame m_lookAhead - 1 back: the lowest needed gain of its look-ahead,
    // recovering towards 1 no faster than the release allows.
    m_held = std::min(m_minimum[m_minimumFront].needed, 1.0 - (1.0 - m_held) * m_release);
    const size_t slot = static_cast<size_t>(m_slot);
    m_smoothedSum += m_held - m_smoothed[slot];
    m_smoothed[slot] = m_held;
    ++m_position;
    m_slot = m_slot + 1 == m_lookAhead ? 0 : m_slot + 1;
    // Rounding could leave the ramp a hair above the needed gain; Emit clamps to the ceiling.
    return m_gain * std::min(1.0, m_smoothedSum * m_inverseLookAhead);
}

// Whether the frame whose gain the last Step gave is one of the input; the lead-in's stay.
bool PeakLimiter::Leaves() const
{
    return m_position - m_lookAhead >= m_lookAhead - 1;
}

// The `count` oldest waiting frames leave at the gains of m_gains.
void PeakLimiter::Emit(int count, const Sink &sink)
{
    if (count == 0)
        return;
    const float ceiling = static_cast<float>(m_ceiling);
    std::vector<float *> planes(static_cast<size_t>(m_channels));
    for (int c = 0; c < m_channels; ++c) {
        float *waiting = m_waiting[static_cast<size_t>(c)].data();
        float *out = m_out[static_cast<size_t>(c)].data();
        for (int i = 0; i < count; ++i)
            out[i] = std::clamp(waiting[i] * m_gains[static_cast<size_t>(i)], -ceiling, ceiling);
        std::copy(waiting + count, waiting + m_waitingCount, waiting);
        planes[static_cast<size_t>(c)] = out;
    }
    m_waitingCount -= count;
    m_realOut += count;
    sink(planes.data(), count);
}

double PeakLimiter::PeaksHeldDb() const
{
    if (m_loudest <= m_ceiling)
        return 0.0;
    return 20.0 * std::log10(m_loudest) - m_ceilingDb;
}

} // namespace evc
