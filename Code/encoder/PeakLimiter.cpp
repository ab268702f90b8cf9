#include "PeakLimiter.h"

#include <algorithm>
#include <cmath>

namespace evc {
namespace {

// The gain comes down over the 5 ms before a peak and recovers with a time constant of 60 ms:
// quick enough that one loud beat does not duck the music after it, slow enough that the gain
// does not follow the waveform of low notes (which would distort them).
constexpr double kAttackSeconds = 0.005;
constexpr double kReleaseSeconds = 0.060;
// Samples handed to the sink at a time.
constexpr int kOutputBlock = 1024;

double FromDb(double db)
{
    return std::pow(10.0, db / 20.0);
}

// Four floats worked on as one (GCC and Clang vector extension): the four points between two
// samples are computed side by side.
typedef float Float4 __attribute__((vector_size(16)));

// The four phases of the 48-tap interpolator of ITU-R BS.1770, tap by tap: lane p of entry k
// weighs the sample k samples back for the point of phase p. The points of one new sample lie
// at 1/8, 3/8, 5/8 and 7/8 of the way between the samples 6 and 5 back.
const Float4 kInterpolator[12] = {
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

} // namespace

TruePeakFollower::TruePeakFollower(int channels)
    : m_channels(channels), m_history(static_cast<size_t>(channels) * 2 * kTaps, 0.0f)
{
}

double TruePeakFollower::Push(const float *frame, float *delayed)
{
    m_newest = m_newest + 1 == kTaps ? 0 : m_newest + 1;
    double ownPeak = 0.0;
    double gapPeak = 0.0;
    for (int c = 0; c < m_channels; ++c) {
        float *history = m_history.data() + static_cast<size_t>(c) * 2 * kTaps;
        history[m_newest] = frame[c];
        history[m_newest + kTaps] = frame[c];
        // window[0] is the newest sample, window[k] the one k back.
        const float *window = history + m_newest + kTaps;
        // Three sums of four taps each, so the additions need not wait for one another.
        Float4 sums[3] = {};
        for (int k = 0; k < kTaps; k += 3) {
            sums[0] += kInterpolator[k] * *(window - k);
            sums[1] += kInterpolator[k + 1] * *(window - k - 1);
            sums[2] += kInterpolator[k + 2] * *(window - k - 2);
        }
        const Float4 points = sums[0] + sums[1] + sums[2];
        const Float4 negated = -points;
        const Float4 magnitudes = points > negated ? points : negated;
        const float highest = std::max(std::max(magnitudes[0], magnitudes[1]),
                                       std::max(magnitudes[2], magnitudes[3]));
        gapPeak = std::max(gapPeak, static_cast<double>(highest));
        delayed[c] = *(window - kDelay);
        ownPeak = std::max(ownPeak, static_cast<double>(std::fabs(delayed[c])));
    }
    const double peak = std::max({ownPeak, gapPeak, m_previousGap});
    m_previousGap = gapPeak;
    return peak;
}

double LimiterCeilingDb(const std::string &codecName, int64_t bitRate, int channels)
{
    // Highest true peak, in dBFS, for each codec at 64 kbit/s per channel and more, from 32, and
    // below. Measured on six loud real recordings looped (masters near 0 dBFS, limited at
    // 200 %), the decoded peaks rose over the ceiling by up to 1.7 dB for MP3, 1.6 for Vorbis
    // and 1.4 for AC-3 at 64 kbit/s per channel, and about 2 dB at 40; each ceiling keeps such
    // music under the check's limit with a few tenths of a dB to spare. The AAC encoder throws
    // single peaks 2.2 to 3 dB over at 64 and up to 4 at 48 on some music, and lower ceilings
    // do not stop them; its ceiling costs no more level than it must (a mean rise of about 3 dB
    // at 200 %), and the check catches the rest.
    struct Ceilings
    {
        const char *codec;
        double high, middle, low;
    };
    static const Ceilings kCeilings[] = {
        {"mp3", -2.4, -3.0, -3.6}, {"vorbis", -2.6, -3.2, -3.8}, {"ac3", -2.6, -2.8, -3.4},
        {"aac", -3.0, -3.6, -4.2}, {"amr_nb", -2.0, -2.0, -2.0},
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
      m_followerOut(static_cast<size_t>(channels), 0.0f),
      m_delay(static_cast<size_t>(m_lookAhead) * static_cast<size_t>(channels), 0.0f),
      m_minimum(static_cast<size_t>(m_lookAhead) + 1),
      m_smoothed(static_cast<size_t>(m_lookAhead), 1.0),
      m_smoothedSum(static_cast<double>(m_lookAhead)),
      m_out(static_cast<size_t>(channels), std::vector<float>(kOutputBlock))
{
    const std::vector<float> silence(static_cast<size_t>(channels), 0.0f);
    for (int i = 1; i < m_lookAhead; ++i)
        Step(silence.data(), 0.0, false);
}

// One frame into the true-peak follower; the frame it hands back, with its peak, goes on into
// the limiter once it is a frame of the input (the follower's first ones are its own silence).
void PeakLimiter::Follow(const float *frame, const Sink &sink)
{
    const double peak = m_follower.Push(frame, m_followerOut.data());
    const int64_t delayedIndex = m_followed - TruePeakFollower::kDelay;
    ++m_followed;
    if (delayedIndex < 0 || delayedIndex >= m_realFollowed)
        return;
    Step(m_followerOut.data(), peak, true);
    Emit(sink);
}

// One frame (a sample of every channel) in. The gain it needs is the ceiling over its peak;
// the gain applied to a frame is the mean of the held gains over the look-ahead that follows
// it, and each of those is at most the needed gain of every frame in its own look-ahead, this
// frame included. So the applied gain never exceeds what the frame needs, and it changes as a
// ramp over the look-ahead instead of a jump.
void PeakLimiter::Step(const float *frame, double peak, bool real)
{
    const size_t slot = static_cast<size_t>(m_slot);
    for (int c = 0; c < m_channels; ++c)
        m_delay[slot * static_cast<size_t>(m_channels) + static_cast<size_t>(c)] = frame[c];
    peak *= m_gain;
    m_loudest = std::max(m_loudest, peak);
    const double needed = peak > m_ceiling ? m_ceiling / peak : 1.0;

    // The rising needed gains of the look-ahead, in a ring of m_lookAhead entries: a newer,
    // lower one makes every higher one before it irrelevant.
    while (m_minimumCount > 0 && m_minimum[Back()].needed >= needed)
        --m_minimumCount;
    m_minimum[Wrap(m_minimumFront + m_minimumCount)] = {m_position, needed};
    ++m_minimumCount;
    if (m_minimum[m_minimumFront].position <= m_position - m_lookAhead) {
        m_minimumFront = Wrap(m_minimumFront + 1);
        --m_minimumCount;
    }

    // Held gain of the frame m_lookAhead - 1 back: the lowest needed gain of its look-ahead,
    // recovering towards 1 no faster than the release allows.
    m_held = std::min(m_minimum[m_minimumFront].needed, 1.0 - (1.0 - m_held) * m_release);
    m_smoothedSum += m_held - m_smoothed[slot];
    m_smoothed[slot] = m_held;
    if (real)
        ++m_realIn;
    ++m_position;
    m_slot = m_slot + 1 == m_lookAhead ? 0 : m_slot + 1;
}

size_t PeakLimiter::Wrap(size_t index) const
{
    return index >= m_minimum.size() ? index - m_minimum.size() : index;
}

size_t PeakLimiter::Back() const
{
    return Wrap(m_minimumFront + m_minimumCount - 1);
}

void PeakLimiter::Emit(const Sink &sink)
{
    // The frame leaving now entered m_lookAhead - 1 steps ago; the lead-in's frames stay.
    const int64_t leaving = m_position - m_lookAhead;
    if (leaving < m_lookAhead - 1)
        return;
    const size_t slot = static_cast<size_t>(m_slot); // where `leaving` was stored
    // Rounding could leave the ramp a hair above the needed gain; never above the ceiling.
    const double gain = m_gain * std::min(1.0, m_smoothedSum * m_inverseLookAhead);
    for (int c = 0; c < m_channels; ++c) {
        const double value =
            m_delay[slot * static_cast<size_t>(m_channels) + static_cast<size_t>(c)] * gain;
        m_out[static_cast<size_t>(c)][static_cast<size_t>(m_outCount)] =
            static_cast<float>(std::clamp(value, -m_ceiling, m_ceiling));
    }
    ++m_realOut;
    if (++m_outCount == kOutputBlock)
        Deliver(sink);
}

void PeakLimiter::Deliver(const Sink &sink)
{
    if (m_outCount == 0)
        return;
    std::vector<float *> planes;
    for (auto &plane : m_out)
        planes.push_back(plane.data());
    sink(planes.data(), m_outCount);
    m_outCount = 0;
}

void PeakLimiter::Push(const float *const *planes, int count, const Sink &sink)
{
    std::vector<float> frame(static_cast<size_t>(m_channels));
    for (int i = 0; i < count; ++i) {
        for (int c = 0; c < m_channels; ++c) {
            const float value = planes[c][i];
            // A NaN from a damaged float source would hold the gain down for good: silence.
            frame[static_cast<size_t>(c)] = std::isnan(value) ? 0.0f : value;
        }
        ++m_realFollowed;
        Follow(frame.data(), sink);
    }
    Deliver(sink);
}

void PeakLimiter::Finish(const Sink &sink)
{
    const std::vector<float> silence(static_cast<size_t>(m_channels), 0.0f);
    for (int i = 0; i < TruePeakFollower::kDelay; ++i)
        Follow(silence.data(), sink);
    while (m_realOut < m_realIn) {
        Step(silence.data(), 0.0, false);
        Emit(sink);
    }
    Deliver(sink);
}

double PeakLimiter::PeaksHeldDb() const
{
    if (m_loudest <= m_ceiling)
        return 0.0;
    return 20.0 * std::log10(m_loudest) - m_ceilingDb;
}

} // namespace evc
