// Construction, channel configuration and parameter setters of the gate engine.
#include "gateengine.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <new>

namespace Quorvane
{

namespace
{

constexpr float kDefaultSampleRate = 44100.0f;

float decibelsToGain(float dB)
{
    return std::pow(10.0f, dB / 20.0f);
}

// Truncation toward zero, saturated at the int range (NaN gives 0).
int truncateToInt(float x)
{
    if (std::isnan(x))
        return 0;
    if (x >= static_cast<float>(INT_MAX))
        return INT_MAX;
    if (x <= static_cast<float>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(x);
}

// Sample counts are rounded by adding 0.5 and truncating.
int nearest(float x)
{
    return truncateToInt(x + 0.5f);
}

int saturatingAdd(int a, int b)
{
    const long long sum = static_cast<long long>(a) + b;
    return static_cast<int>(std::clamp<long long>(sum, INT_MIN, INT_MAX));
}

} // namespace

GateEngine::GateEngine()
{
    // Sensible until the caller configures the rate.
    setSampleRate(kDefaultSampleRate);
}

void GateEngine::setRandomSeed(uint32_t seed)
{
    random_.seed(seed);
}

bool GateEngine::setInputChannels(int count)
{
    if (count < 1)
        return false;
    try
    {
        const size_t keys = static_cast<size_t>(std::max(count, sideChainChannels_));
        std::vector<float> peaks(keys, kSilence);
        std::copy_n(keyPeak_.begin(), std::min(keys, keyPeak_.size()), peaks.begin());
        keyPeak_.swap(peaks);
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
    inputChannels_ = count;
    return true;
}

bool GateEngine::setOutputChannels(int count)
{
    if (count < 1)
        return false;
    try
    {
        std::vector<DetectorState> detectors(static_cast<size_t>(count));
        // Lanes without a channel keep the zeros they start with.
        const size_t groups = (static_cast<size_t>(count) + kLanes - 1) / kLanes;
        std::vector<double> samples(groups * kChunk * kLanes, 0.0);
        std::vector<double> gains(groups * kChunk * kLanes, 0.0);
        std::vector<const float*> keys(static_cast<size_t>(count), nullptr);
        if (!crossover_.setChannels(count))
            return false;
        detectors_.swap(detectors);
        chunkSamples_.swap(samples);
        chunkGains_.swap(gains);
        detectorKeys_.swap(keys);
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
    outputChannels_ = count;
    return true;
}

bool GateEngine::setSideChainChannels(int count)
{
    if (count < 1)
        return false;
    try
    {
        const size_t keys = static_cast<size_t>(std::max(count, inputChannels_));
        std::vector<float> peaks(keys, kSilence);
        keyPeak_.swap(peaks);
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
    sideChainChannels_ = count;
    return true;
}

void GateEngine::setSampleRate(float hz)
{
    if (!(hz > 0.0f) || !std::isfinite(hz))
        return;
    if (hz != sampleRate_)
        crossover_.clearMemory();
    sampleRate_ = hz;
    crossover_.setSampleRate(hz);
    fade_.reset(hz);
    meterInterval_ = truncateToInt(hz * kMeterIntervalMs / 1000.0f);
}

void GateEngine::restart()
{
    crossover_.clearMemory();
    fade_.settle();
}

GateEngine::SignalState GateEngine::signalState() const
{
    SignalState state;
    state.detectors = detectors_;
    state.keyPeak = keyPeak_;
    saveSignalState(state);
    return state;
}

void GateEngine::saveSignalState(SignalState& to) const
{
    if (to.detectors.size() != detectors_.size() || to.keyPeak.size() != keyPeak_.size())
        return;
    std::copy(detectors_.begin(), detectors_.end(), to.detectors.begin());
    std::copy(keyPeak_.begin(), keyPeak_.end(), to.keyPeak.begin());
    to.meters[0] = maxVu_;
    to.meters[1] = minVu_;
    to.meters[2] = maxGate_;
    to.meters[3] = minGate_;
    to.meterCount = meterCount_;
    to.random = random_;
}

void GateEngine::restoreSignalState(const SignalState& from)
{
    if (from.detectors.size() != detectors_.size() || from.keyPeak.size() != keyPeak_.size())
        return;
    std::copy(from.detectors.begin(), from.detectors.end(), detectors_.begin());
    std::copy(from.keyPeak.begin(), from.keyPeak.end(), keyPeak_.begin());
    maxVu_ = from.meters[0];
    minVu_ = from.meters[1];
    maxGate_ = from.meters[2];
    minGate_ = from.meters[3];
    meterCount_ = from.meterCount;
    random_ = from.random;
}

void GateEngine::setBypass(int on)
{
    fade_.requestBypass(on != 0);
}

void GateEngine::setListen(int on)
{
    fade_.requestListen(on != 0);
}

void GateEngine::setChannelLinking(int on)
{
    channelLinking_ = on != 0;
}

void GateEngine::setDucking(int on)
{
    settings_.ducking = on != 0;
}

void GateEngine::setGradualAttack(int on)
{
    settings_.gradualAttack = on != 0;
}

void GateEngine::setOutputLevel(float dB)
{
    outputGain_ = decibelsToGain(dB);
}

void GateEngine::setThreshold(float dB)
{
    settings_.openThreshold = decibelsToGain(dB);
    settings_.closeThreshold = settings_.openThreshold * hysteresisGain_;
}

void GateEngine::setRange(float dB)
{
    settings_.rangeGain = decibelsToGain(dB);
}

void GateEngine::setHysteresis(float dB)
{
    hysteresisGain_ = decibelsToGain(dB);
    settings_.closeThreshold = hysteresisGain_ * settings_.openThreshold;
}

void GateEngine::setAttackGradual(float ms)
{
    const float n = ms * sampleRate_ * kMsToSeconds;
    settings_.gradualStep = std::pow(kMinus60dB, 1.0f / n);
    settings_.gradualSmooth = std::pow(settings_.gradualStep, kSmoothingPower);
}

void GateEngine::setAttackSynth(float ms)
{
    const float n = ms * sampleRate_ * kMsToSeconds;
    const float base = 1.0f - (1.0f - kMinus60dB) / kSynthTarget;
    settings_.synthCoeff = std::pow(base, 1.0f / n);
    settings_.synthSmooth = std::pow(settings_.synthCoeff, kSmoothingPower);
}

void GateEngine::setRelease(float ms)
{
    const float n = ms * sampleRate_ * kMsToSeconds;
    settings_.releaseStep = std::pow(kMinus60dB, 1.0f / n);
    settings_.releaseSmooth = std::pow(settings_.releaseStep, kSmoothingPower);
}

void GateEngine::setHold(float ms)
{
    settings_.holdSamples = nearest(ms * kMsToSeconds * sampleRate_);
}

void GateEngine::setHoldClosed(float ms)
{
    settings_.holdClosedSamples = nearest(ms * kMsToSeconds * sampleRate_);
}

void GateEngine::setBeatSkip(float probability)
{
    settings_.beatSkipProbability = probability;
}

void GateEngine::setAttackDelay(float ms)
{
    settings_.attackDelaySamples = nearest(kMsToSeconds * ms * sampleRate_);
    settings_.truncationEndSamples = saturatingAdd(
        nearest(kMsToSeconds * truncationMs_ * sampleRate_), settings_.attackDelaySamples);
}

void GateEngine::setNoteTruncation(float ms)
{
    truncationMs_ = ms;
    settings_.truncationEndSamples =
        saturatingAdd(nearest(ms * kMsToSeconds * sampleRate_), settings_.attackDelaySamples);
}

} // namespace Quorvane
