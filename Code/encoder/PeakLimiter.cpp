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

} // namespace

double LimiterCeilingDb(const std::string &codecName, int64_t bitRate, int channels)
{
    if (codecName == "pcm_s16le")
        return -1.05;
    if (codecName == "amr_nb")
        return -2.0;
    const double kbpsPerChannel = static_cast<double>(bitRate) / 1000.0 / std::max(channels, 1);
    if (kbpsPerChannel >= 64)
        return -1.4;
    if (kbpsPerChannel >= 32)
        return -2.0;
    return -2.8;
}

PeakLimiter::PeakLimiter(int sampleRate, int channels, double gain, double ceilingDb)
    : m_channels(channels), m_gain(gain), m_ceilingDb(ceilingDb), m_ceiling(FromDb(ceilingDb)),
      m_release(std::exp(-1.0 / (kReleaseSeconds * sampleRate))),
      m_lookAhead(std::max(1, static_cast<int>(std::lround(kAttackSeconds * sampleRate)))),
      m_delay(static_cast<size_t>(m_lookAhead) * static_cast<size_t>(channels), 0.0f),
      m_smoothed(static_cast<size_t>(m_lookAhead), 1.0),
      m_smoothedSum(static_cast<double>(m_lookAhead)),
      m_out(static_cast<size_t>(channels), std::vector<float>(kOutputBlock))
{
    const std::vector<float> silence(static_cast<size_t>(channels), 0.0f);
    for (int i = 1; i < m_lookAhead; ++i)
        Step(silence.data(), false);
}

// One frame (a sample of every channel) in. The gain it needs is the ceiling over its peak;
// the gain applied to a frame is the mean of the held gains over the look-ahead that follows
// it, and each of those is at most the needed gain of every frame in its own look-ahead, this
// frame included. So the applied gain never exceeds what the frame needs, and it changes as a
// ramp over the look-ahead instead of a jump.
void PeakLimiter::Step(const float *frame, bool real)
{
    const size_t slot = static_cast<size_t>(m_position % m_lookAhead);
    double peak = 0.0;
    for (int c = 0; c < m_channels; ++c) {
        peak = std::max(peak, std::fabs(static_cast<double>(frame[c])));
        m_delay[slot * static_cast<size_t>(m_channels) + static_cast<size_t>(c)] = frame[c];
    }
    peak *= m_gain;
    m_loudest = std::max(m_loudest, peak);
    const double needed = peak > m_ceiling ? m_ceiling / peak : 1.0;

    while (!m_minimum.empty() && m_minimum.back().second >= needed)
        m_minimum.pop_back();
    m_minimum.emplace_back(m_position, needed);
    while (m_minimum.front().first <= m_position - m_lookAhead)
        m_minimum.pop_front();

    // Held gain of the frame m_lookAhead - 1 back: the lowest needed gain of its look-ahead,
    // recovering towards 1 no faster than the release allows.
    m_held = std::min(m_minimum.front().second, 1.0 - (1.0 - m_held) * m_release);
    m_smoothedSum += m_held - m_smoothed[slot];
    m_smoothed[slot] = m_held;
    if (real)
        ++m_realIn;
    ++m_position;
}

void PeakLimiter::Emit(const Sink &sink)
{
    // The frame leaving now entered m_lookAhead - 1 steps ago; the lead-in's frames stay.
    const int64_t leaving = m_position - m_lookAhead;
    if (leaving < m_lookAhead - 1)
        return;
    const size_t slot = static_cast<size_t>(leaving % m_lookAhead);
    // Rounding could leave the ramp a hair above the needed gain; never above the ceiling.
    const double gain = m_gain * std::min(1.0, m_smoothedSum / m_lookAhead);
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
        Step(frame.data(), true);
        Emit(sink);
    }
    Deliver(sink);
}

void PeakLimiter::Finish(const Sink &sink)
{
    const std::vector<float> silence(static_cast<size_t>(m_channels), 0.0f);
    while (m_realOut < m_realIn) {
        Step(silence.data(), false);
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
