#include "RotarySpeaker.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define QUARBELL_ROTARY_SSE2 1
#endif

#if QUARBELL_ROTARY_SSE2 && defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define QUARBELL_ROTARY_AVX2 1
#endif

namespace quarbell
{

namespace
{
// 2 pi rounded to float, as the angle has always been scaled.
constexpr double twoPi = 6.2831854820251465;

// One path step of offset: 1.2 ms.
constexpr float pathUnitSeconds = 0.0012f;
constexpr double bassUnitSeconds = 0.0012;

// Moves the newest `history` samples to the front and appends the block, so
// entry i + p holds the input from history - p samples before sample i.
// The newest samples are taken from where the last block really ended, so
// blocks of changing size keep a seamless history; history that was never
// kept (a rate change to longer lines) reads as silence.
inline void updateLine (float* line, int32_t& lineEnd, int history, const float* block, int numSamples) noexcept
{
    if (lineEnd >= history)
    {
        std::memmove (line, line + (lineEnd - history), sizeof (float) * (size_t) history);
    }
    else
    {
        std::memmove (line + (history - lineEnd), line, sizeof (float) * (size_t) lineEnd);
        std::fill (line, line + (history - lineEnd), 0.0f);
    }

    std::memcpy (line + history, block, sizeof (float) * (size_t) numSamples);
    lineEnd = history + numSamples;
}

inline float readTap (const float* line, int i, float p) noexcept
{
    const int q = (int) p;
    const float x0 = line[i + q];
    const float x1 = line[i + q + 1];
    return x0 + (x1 - x0) * (p - (float) q);
}
#if QUARBELL_ROTARY_SSE2
// The twelve paths four at a time. Each path value, tap position and tap is
// the scalar formula lane by lane; only the two sums over the paths are added
// one path after the other, in path order, as they must be.
struct PathLanes
{
    PathLanes (const float* pathGain, float tapRate) noexcept : rate (_mm_set1_ps (tapRate)), rateValue (tapRate)
    {
        for (int k = 0; k < numRotorPaths; ++k)
        {
            const int j = (k + 3) % numRotorPaths;
            lanes[0][k] = rotorPathOffset[k];
            lanes[1][k] = rotorPathOffset[j];
            lanes[2][k] = pathGain[k];
            lanes[3][k] = pathGain[j];
        }

        for (int v = 0; v < 3; ++v)
        {
            offsetLeft[v] = _mm_load_ps (lanes[0] + 4 * v);
            offsetRight[v] = _mm_load_ps (lanes[1] + 4 * v);
            gainLeft[v] = _mm_load_ps (lanes[2] + 4 * v);
            gainRight[v] = _mm_load_ps (lanes[3] + 4 * v);
        }

        for (int h = 0; h < 6; ++h)
        {
            cosK[h] = _mm_loadu_pd (rotorPathCos + 2 * h);
            sinK[h] = _mm_loadu_pd (rotorPathSin + 2 * h);
        }
    }

    // Four interpolated taps of line around sample i at positions p.
    static __m128 readTaps (const float* line, int i, __m128 p) noexcept
    {
        const __m128i q = _mm_cvttps_epi32 (p);
        const __m128 fraction = _mm_sub_ps (p, _mm_cvtepi32_ps (q));
        alignas (16) int32_t index[4];
        _mm_store_si128 (reinterpret_cast<__m128i*> (index), q);
        const float* a = line + i + index[0];
        const float* b = line + i + index[1];
        const float* c = line + i + index[2];
        const float* d = line + i + index[3];
        const __m128 x0 = _mm_setr_ps (a[0], b[0], c[0], d[0]);
        const __m128 x1 = _mm_setr_ps (a[1], b[1], c[1], d[1]);
        return _mm_add_ps (x0, _mm_mul_ps (_mm_sub_ps (x1, x0), fraction));
    }

    void taps (const float* line, int i, double sinTheta, double cosTheta, float& left, float& right) const noexcept
    {
        const __m128d s = _mm_set1_pd (sinTheta), c = _mm_set1_pd (cosTheta);
        const __m128d one = _mm_set1_pd (1.0), half = _mm_set1_pd (0.5);
        const __m128 unit = _mm_set1_ps (pathUnitSeconds);
        alignas (16) float leftTerms[numRotorPaths], rightTerms[numRotorPaths];

        for (int v = 0; v < 3; ++v)
        {
            const __m128d facing0 = _mm_add_pd (_mm_mul_pd (s, cosK[2 * v]), _mm_mul_pd (c, sinK[2 * v]));
            const __m128d facing1 = _mm_add_pd (_mm_mul_pd (s, cosK[2 * v + 1]), _mm_mul_pd (c, sinK[2 * v + 1]));
            const __m128 m = _mm_movelh_ps (_mm_cvtpd_ps (_mm_mul_pd (_mm_add_pd (one, facing0), half)),
                                            _mm_cvtpd_ps (_mm_mul_pd (_mm_add_pd (one, facing1), half)));
            const __m128 w = _mm_mul_ps (m, m);

            const __m128 pLeft = _mm_mul_ps (_mm_mul_ps (_mm_add_ps (offsetLeft[v], m), unit), rate);
            const __m128 pRight = _mm_mul_ps (_mm_mul_ps (_mm_add_ps (offsetRight[v], m), unit), rate);

            _mm_store_ps (leftTerms + 4 * v, _mm_mul_ps (_mm_mul_ps (readTaps (line, i, pLeft), w), gainLeft[v]));
            _mm_store_ps (rightTerms + 4 * v, _mm_mul_ps (_mm_mul_ps (readTaps (line, i, pRight), w), gainRight[v]));
        }

        for (int k = 0; k < numRotorPaths; ++k)
        {
            left += leftTerms[k];
            right += rightTerms[k];
        }
    }

    __m128 rate;
    __m128 offsetLeft[3], offsetRight[3], gainLeft[3], gainRight[3];
    __m128d cosK[6], sinK[6];
    float rateValue;
    alignas (32) float lanes[4][numRotorPaths]; // left and right offsets, left and right gains
};

#if QUARBELL_ROTARY_AVX2

// Paths 0 ... 7 eight lanes wide with gathered taps, paths 8 ... 11 four wide;
// the same arithmetic lane by lane, and the sums again in path order.
__attribute__ ((target ("avx2"))) void wideTaps (const PathLanes& p, const float* line, int i, double sinTheta,
                                                 double cosTheta, float& left, float& right) noexcept
{
    const __m256d s = _mm256_set1_pd (sinTheta), c = _mm256_set1_pd (cosTheta);
    const __m256d one = _mm256_set1_pd (1.0), half = _mm256_set1_pd (0.5);
    __m128 m[3];

    for (int v = 0; v < 3; ++v)
    {
        const __m256d facing = _mm256_add_pd (_mm256_mul_pd (s, _mm256_loadu_pd (rotorPathCos + 4 * v)),
                                              _mm256_mul_pd (c, _mm256_loadu_pd (rotorPathSin + 4 * v)));
        m[v] = _mm256_cvtpd_ps (_mm256_mul_pd (_mm256_add_pd (one, facing), half));
    }

    alignas (32) float leftTerms[numRotorPaths], rightTerms[numRotorPaths];
    const float* base = line + i;

    {
        const __m256 mm = _mm256_set_m128 (m[1], m[0]);
        const __m256 w = _mm256_mul_ps (mm, mm);
        const __m256 unit = _mm256_set1_ps (pathUnitSeconds), rate = _mm256_set1_ps (p.rateValue);

        for (int side = 0; side < 2; ++side)
        {
            const __m256 pos = _mm256_mul_ps (_mm256_mul_ps (_mm256_add_ps (_mm256_loadu_ps (p.lanes[side]), mm), unit), rate);
            const __m256i q = _mm256_cvttps_epi32 (pos);
            const __m256 fraction = _mm256_sub_ps (pos, _mm256_cvtepi32_ps (q));
            const __m256 x0 = _mm256_i32gather_ps (base, q, 4);
            const __m256 x1 = _mm256_i32gather_ps (base + 1, q, 4);
            const __m256 tap = _mm256_add_ps (x0, _mm256_mul_ps (_mm256_sub_ps (x1, x0), fraction));
            const __m256 term = _mm256_mul_ps (_mm256_mul_ps (tap, w), _mm256_loadu_ps (p.lanes[2 + side]));
            _mm256_store_ps (side == 0 ? leftTerms : rightTerms, term);
        }
    }

    {
        const __m128 w = _mm_mul_ps (m[2], m[2]);
        const __m128 unit = _mm_set1_ps (pathUnitSeconds);
        const __m128 pLeft = _mm_mul_ps (_mm_mul_ps (_mm_add_ps (p.offsetLeft[2], m[2]), unit), p.rate);
        const __m128 pRight = _mm_mul_ps (_mm_mul_ps (_mm_add_ps (p.offsetRight[2], m[2]), unit), p.rate);
        _mm_store_ps (leftTerms + 8, _mm_mul_ps (_mm_mul_ps (PathLanes::readTaps (line, i, pLeft), w), p.gainLeft[2]));
        _mm_store_ps (rightTerms + 8, _mm_mul_ps (_mm_mul_ps (PathLanes::readTaps (line, i, pRight), w), p.gainRight[2]));
    }

    for (int k = 0; k < numRotorPaths; ++k)
    {
        left += leftTerms[k];
        right += rightTerms[k];
    }
}

bool detectAvx2() noexcept
{
    __builtin_cpu_init();
    return __builtin_cpu_supports ("avx2");
}

const bool haveAvx2 = detectAvx2();
#endif
#endif
} // namespace

RotarySpeaker::RotarySpeaker () noexcept
{
    std::copy (std::begin (rotorPathGain), std::end (rotorPathGain), pathGain);
}

void RotarySpeaker::prepare (const SosSet& horn, const SosSet& hornHp, const SosSet& bass) noexcept
{
    hornFilter.bind (horn);
    hornHighPass.bind (hornHp);
    bassFilter.bind (bass);
}

int RotarySpeaker::geometryRate (int sampleRate) noexcept
{
    return std::clamp (sampleRate, 1, maxGeometryRate);
}

int RotarySpeaker::rotorHistory (int sampleRate) noexcept
{
    return (int) (0.0012 * geometryRate (sampleRate) * 4.0 + 1.0);
}

int RotarySpeaker::outputHistory (int sampleRate) noexcept
{
    return (int) (1.0 + 0.0001 * geometryRate (sampleRate));
}

void RotarySpeaker::process (
    float* channel0, float* channel1, int numSamples, int sampleRate, bool on, bool fast, float hornBassMix) noexcept
{
    for (int done = 0; done < numSamples; done += maxBlockSize)
    {
        const int n = std::min (maxBlockSize, numSamples - done);

        if (on)
            processOn (channel0 + done, channel1 + done, n, sampleRate, fast, hornBassMix);
        else
            processBypass (channel0 + done, channel1 + done, n, sampleRate);
    }
}

void RotarySpeaker::processBypass (float* channel0, float* channel1, int numSamples, int sampleRate) noexcept
{
    for (int i = 0; i < numSamples; ++i)
        channel0[i] *= bypassGain;

    updateLine (rightLine, rightLineEnd, outputHistory (sampleRate), channel0, numSamples);
    std::memcpy (channel1, rightLine, sizeof (float) * (size_t) numSamples);
}

void RotarySpeaker::processOn (
    float* channel0, float* channel1, int numSamples, int sampleRate, bool fast, float hornBassMix) noexcept
{
    const int rate = std::max (sampleRate, 1);
    const float tapRate = (float) geometryRate (sampleRate);
    const int history = rotorHistory (sampleRate);

    std::memcpy (hornWork, channel0, sizeof (float) * (size_t) numSamples);
    std::memcpy (bassWork, channel0, sizeof (float) * (size_t) numSamples);

    hornFilter.SosApply ({ hornWork, numSamples, sampleRate });
    hornHighPass.SosApply ({ hornWork, numSamples, sampleRate });
    bassFilter.SosApply ({ bassWork, numSamples, sampleRate });

    updateLine (hornLine, hornLineEnd, history, hornWork, numSamples);
    updateLine (bassLine, bassLineEnd, history, bassWork, numSamples);

#if QUARBELL_ROTARY_SSE2
    const PathLanes paths (pathGain, tapRate);
#endif

    const float speedStep = acceleration / (float) rate;
    float speed = rotorSpeed;
    double horn = hornAngle;
    double bass = bassAngle;

    for (int i = 0; i < numSamples; ++i)
    {
        // The last step may overshoot the target by less than one step.
        if (fast)
        {
            if ((double) speed < fastSpeed)
                speed += speedStep;
        }
        else if ((double) speed > slowSpeed)
        {
            speed -= speedStep;
        }

        const float advance = speed / (float) rate;
        horn += advance;
        bass += bassRatio * advance;

        const double theta = twoPi * horn;
        const double sinTheta = std::sin (theta);
        const double cosTheta = std::cos (theta);

        float left = 0.0f;
        float right = 0.0f;

#if QUARBELL_ROTARY_SSE2
#if QUARBELL_ROTARY_AVX2
        if (haveAvx2)
            wideTaps (paths, hornLine, i, sinTheta, cosTheta, left, right);
        else
#endif
            paths.taps (hornLine, i, sinTheta, cosTheta, left, right);
#else
        float left = 0.0f;
        float right = 0.0f;

        for (int k = 0; k < numRotorPaths; ++k)
        {
            // How squarely the horn faces direction k, from 0 to 1.
            const double facing = sinTheta * rotorPathCos[k] + cosTheta * rotorPathSin[k];
            const float m = (float) ((1.0 + facing) * 0.5);
            const float w = m * m;

            const float pLeft = (rotorPathOffset[k] + m) * pathUnitSeconds * tapRate;
            left += readTap (hornLine, i, pLeft) * w * pathGain[k];

            // The right pick-up hears direction k through the path a quarter turn on.
            const int j = (k + 3) % numRotorPaths;
            const float pRight = (rotorPathOffset[j] + m) * pathUnitSeconds * tapRate;
            right += readTap (hornLine, i, pRight) * w * pathGain[j];
        }

#endif
        hornWork[i] = left;
        rightWork[i] = right;

        const double pBass = (1.0 - std::sin (twoPi * bass)) * 0.5 * bassUnitSeconds * (double) tapRate;
        const int q = (int) pBass;
        const float x0 = bassLine[i + q];
        const float x1 = bassLine[i + q + 1];
        bassWork[i] = x0 + (x1 - x0) * (float) (pBass - (double) q);
    }

    rotorSpeed = speed;
    hornAngle = horn;
    bassAngle = bass;

    updateLine (rightLine, rightLineEnd, outputHistory (sampleRate), rightWork, numSamples);

    const float h = hornBassMix;
    const float bassShare = 1.0f - h;

    for (int i = 0; i < numSamples; ++i)
    {
        channel0[i] = (float) (outputGain * (double) (h * hornWork[i] + bassShare * bassWork[i]));
        channel1[i] = (float) (outputGain * (double) (h * rightLine[i] + bassShare * bassWork[i]));
    }
}

} // namespace quarbell
