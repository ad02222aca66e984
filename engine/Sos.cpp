#include "Sos.h"

#include <cmath>
#include <cstddef>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define QUARBELL_SOS_SSE2 1
#endif

#if QUARBELL_SOS_SSE2 && defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define QUARBELL_SOS_AVX2 1
#endif

namespace quarbell
{

namespace
{
// Clears state values too small to matter (the size at which (v + 1) - 1
// would vanish), so no denormal builds up in the recursion. Larger values
// keep full float precision: rounding the state to a fixed grid next to 1
// leaves a dead band in which the narrow low-frequency poles hold a
// constant offset for ever (about 2e-3 at the output of the 30 Hz low cut)
// instead of decaying.
constexpr float stateFlushLimit = 0x1p-25f;

inline float flushTinyState (float v) noexcept
{
    return std::abs (v) <= stateFlushLimit ? 0.0f : v;
}

// One section over a whole block, one sample after the other.
void runSection (float* data, int n, const float* c, float& z1, float& z2) noexcept
{
    const float b0 = c[0], b1 = c[1], b2 = c[2], a1 = c[4], a2 = c[5];
    float s1 = z1, s2 = z2;

    for (int j = 0; j < n; ++j)
    {
        const float x = data[j];
        float y = b0 * x + s1;

        if (std::abs ((double) y) < 1e-10)
            y = 0.0f;

        const float next1 = (b1 * x + s2) - a1 * y;
        const float next2 = b2 * x - a2 * y;
        s1 = flushTinyState (next1);
        s2 = flushTinyState (next2);
        data[j] = y;
    }

    z1 = s1;
    z2 = s2;
}

#if QUARBELL_SOS_SSE2
// The float comparison equivalent to |y| < 1e-10 made in double: 1e-10 is no
// float, so |y| lies below it exactly when it lies below the next float up.
float outputFlushLimit() noexcept
{
    float limit = (float) 1e-10;

    if ((double) limit < 1e-10)
        limit = std::nextafter (limit, 1.0f);

    return limit;
}

const float outputLimit = outputFlushLimit();

// Lays the coefficients and states of a cascade out for a wavefront of
// Vectors vectors of Width lanes: section s goes to vector s % Vectors, lane
// s / Vectors. Rows: b0, b1, b2, a1, a2, z1, z2.
template <size_t Vectors, size_t Width>
void packSections (const float* coefficients, int sections, const float* z1, const float* z2,
                   float (&lanes)[7][Vectors][Width]) noexcept
{
    for (int s = 0; s < sections; ++s)
    {
        const float* c = coefficients + 6 * s;
        const auto g = (size_t) s % Vectors, l = (size_t) s / Vectors;
        lanes[0][g][l] = c[0];
        lanes[1][g][l] = c[1];
        lanes[2][g][l] = c[2];
        lanes[3][g][l] = c[4];
        lanes[4][g][l] = c[5];
        lanes[5][g][l] = z1[s];
        lanes[6][g][l] = z2[s];
    }
}

// A pass runs up to 4 * G sections of the cascade at once as a wavefront:
// section s works on sample t - s at step t, fed with the output section
// s - 1 produced one step earlier. The recursions of the sections are
// independent, so they overlap instead of each waiting on its own latency;
// every section still does exactly the scalar arithmetic, in the same order.
// Section s sits in vector s % G, lane s / G, so a vector's input is the
// previous vector's output and only vector 0 needs a lane shift.
template <int G> class Wavefront
{
public:
    Wavefront (const float* coefficients, int sections, float* z1In, float* z2In) noexcept
        : width (sections), z1 (z1In), z2 (z2In)
    {
        alignas (16) float lanes[7][(size_t) G][4] {};
        packSections (coefficients, sections, z1, z2, lanes);

        for (int g = 0; g < G; ++g)
        {
            b0[g] = _mm_load_ps (lanes[0][g]);
            b1[g] = _mm_load_ps (lanes[1][g]);
            b2[g] = _mm_load_ps (lanes[2][g]);
            a1[g] = _mm_load_ps (lanes[3][g]);
            a2[g] = _mm_load_ps (lanes[4][g]);
            s1[g] = _mm_load_ps (lanes[5][g]);
            s2[g] = _mm_load_ps (lanes[6][g]);
            y[g] = _mm_setzero_ps();
            section[g] = _mm_setr_epi32 (g, g + G, g + 2 * G, g + 3 * G);
        }
    }

    void run (float* data, int n) noexcept
    {
        const int steps = n + width - 1;
        const int lead = width - 1; // steps until the last section has input
        int t = 0;

        // Filling: the later sections have no sample yet.
        for (; t < steps && (t < lead || t >= n); ++t)
            step<true> (data, n, t);

        // Every section busy.
        for (; t < n; ++t)
            step<false> (data, n, t);

        // Draining: the earlier sections are done.
        for (; t < steps; ++t)
            step<true> (data, n, t);

        alignas (16) float lanes[2][(size_t) G][4];

        for (int g = 0; g < G; ++g)
        {
            _mm_store_ps (lanes[0][g], s1[g]);
            _mm_store_ps (lanes[1][g], s2[g]);
        }

        for (int s = 0; s < width; ++s)
        {
            z1[s] = lanes[0][s % G][s / G];
            z2[s] = lanes[1][s % G][s / G];
        }
    }

private:
    template <bool masked> inline void step (float* data, int n, int t) noexcept
    {
        const __m128 absMask = _mm_castsi128_ps (_mm_set1_epi32 (0x7fffffff));
        const __m128 yLimit = _mm_set1_ps (outputLimit);
        const __m128 stateLimit = _mm_set1_ps (stateFlushLimit);

        __m128 x[(size_t) G];
        const float input = (! masked || t < n) ? data[t] : 0.0f;
        const __m128 shifted = _mm_castsi128_ps (_mm_slli_si128 (_mm_castps_si128 (y[G - 1]), 4));
        x[0] = _mm_move_ss (shifted, _mm_set_ss (input));

        for (int g = 1; g < G; ++g)
            x[g] = y[g - 1];

        for (int g = 0; g < G; ++g)
        {
            __m128 out = _mm_add_ps (_mm_mul_ps (b0[g], x[g]), s1[g]);
            out = _mm_andnot_ps (_mm_cmplt_ps (_mm_and_ps (out, absMask), yLimit), out);

            __m128 next1 = _mm_sub_ps (_mm_add_ps (_mm_mul_ps (b1[g], x[g]), s2[g]), _mm_mul_ps (a1[g], out));
            __m128 next2 = _mm_sub_ps (_mm_mul_ps (b2[g], x[g]), _mm_mul_ps (a2[g], out));
            next1 = _mm_andnot_ps (_mm_cmple_ps (_mm_and_ps (next1, absMask), stateLimit), next1);
            next2 = _mm_andnot_ps (_mm_cmple_ps (_mm_and_ps (next2, absMask), stateLimit), next2);

            if (masked)
            {
                // Section s holds sample t - s: only 0 <= t - s < n updates its state.
                const __m128i sample = _mm_sub_epi32 (_mm_set1_epi32 (t), section[g]);
                const __m128i active = _mm_andnot_si128 (_mm_cmplt_epi32 (sample, _mm_setzero_si128()),
                                                         _mm_cmplt_epi32 (sample, _mm_set1_epi32 (n)));
                const __m128 keep = _mm_castsi128_ps (active);
                next1 = _mm_or_ps (_mm_and_ps (keep, next1), _mm_andnot_ps (keep, s1[g]));
                next2 = _mm_or_ps (_mm_and_ps (keep, next2), _mm_andnot_ps (keep, s2[g]));
            }

            s1[g] = next1;
            s2[g] = next2;
            y[g] = out;
        }

        const int done = t - (width - 1);

        if (! masked || (done >= 0 && done < n))
        {
            alignas (16) float lanes[4];
            _mm_store_ps (lanes, y[(width - 1) % G]);
            data[done] = lanes[(width - 1) / G];
        }
    }

    const int width;
    float* z1;
    float* z2;
    static constexpr size_t vectors = (size_t) G;
    __m128 b0[vectors], b1[vectors], b2[vectors], a1[vectors], a2[vectors], s1[vectors], s2[vectors], y[vectors];
    __m128i section[vectors];
};

template <int G> void runPass (float* data, int n, const float* c, int sections, float* z1, float* z2) noexcept
{
    Wavefront<G> (c, sections, z1, z2).run (data, n);
}
#endif

#if QUARBELL_SOS_AVX2
// The same wavefront eight lanes wide, for processors that have AVX2 (no FMA:
// every product is rounded before its sum, exactly as in the scalar code).
#define QUARBELL_AVX2 __attribute__ ((target ("avx2")))

template <int G> class WideWavefront
{
public:
    QUARBELL_AVX2 WideWavefront (const float* coefficients, int sections, float* z1In, float* z2In) noexcept
        : width (sections), z1 (z1In), z2 (z2In)
    {
        alignas (32) float lanes[7][vectors][8] {};
        packSections (coefficients, sections, z1, z2, lanes);

        for (size_t g = 0; g < vectors; ++g)
        {
            b0[g] = _mm256_load_ps (lanes[0][g]);
            b1[g] = _mm256_load_ps (lanes[1][g]);
            b2[g] = _mm256_load_ps (lanes[2][g]);
            a1[g] = _mm256_load_ps (lanes[3][g]);
            a2[g] = _mm256_load_ps (lanes[4][g]);
            s1[g] = _mm256_load_ps (lanes[5][g]);
            s2[g] = _mm256_load_ps (lanes[6][g]);
            y[g] = _mm256_setzero_ps();
            const int first = (int) g;
            section[g] = _mm256_setr_epi32 (first, first + G, first + 2 * G, first + 3 * G, first + 4 * G,
                                            first + 5 * G, first + 6 * G, first + 7 * G);
        }
    }

    QUARBELL_AVX2 void run (float* data, int n) noexcept
    {
        const int steps = n + width - 1;
        const int lead = width - 1;
        int t = 0;

        for (; t < steps && (t < lead || t >= n); ++t)
            step<true> (data, n, t);

        for (; t < n; ++t)
            step<false> (data, n, t);

        for (; t < steps; ++t)
            step<true> (data, n, t);

        alignas (32) float lanes[2][vectors][8];

        for (size_t g = 0; g < vectors; ++g)
        {
            _mm256_store_ps (lanes[0][g], s1[g]);
            _mm256_store_ps (lanes[1][g], s2[g]);
        }

        for (int s = 0; s < width; ++s)
        {
            z1[s] = lanes[0][s % G][s / G];
            z2[s] = lanes[1][s % G][s / G];
        }
    }

private:
    template <bool masked> QUARBELL_AVX2 inline __attribute__ ((always_inline)) void step (float* data, int n, int t) noexcept
    {
        const __m256 absMask = _mm256_castsi256_ps (_mm256_set1_epi32 (0x7fffffff));
        const __m256 yLimit = _mm256_set1_ps (outputLimit);
        const __m256 stateLimit = _mm256_set1_ps (stateFlushLimit);
        const __m256i up = _mm256_setr_epi32 (7, 0, 1, 2, 3, 4, 5, 6);

        __m256 x[vectors];
        const float input = (! masked || t < n) ? data[t] : 0.0f;
        x[0] = _mm256_blend_ps (_mm256_permutevar8x32_ps (y[vectors - 1], up), _mm256_set1_ps (input), 1);

        for (size_t g = 1; g < vectors; ++g)
            x[g] = y[g - 1];

        for (size_t g = 0; g < vectors; ++g)
        {
            __m256 out = _mm256_add_ps (_mm256_mul_ps (b0[g], x[g]), s1[g]);
            out = _mm256_andnot_ps (_mm256_cmp_ps (_mm256_and_ps (out, absMask), yLimit, _CMP_LT_OQ), out);

            __m256 next1 = _mm256_sub_ps (_mm256_add_ps (_mm256_mul_ps (b1[g], x[g]), s2[g]), _mm256_mul_ps (a1[g], out));
            __m256 next2 = _mm256_sub_ps (_mm256_mul_ps (b2[g], x[g]), _mm256_mul_ps (a2[g], out));
            next1 = _mm256_andnot_ps (_mm256_cmp_ps (_mm256_and_ps (next1, absMask), stateLimit, _CMP_LE_OQ), next1);
            next2 = _mm256_andnot_ps (_mm256_cmp_ps (_mm256_and_ps (next2, absMask), stateLimit, _CMP_LE_OQ), next2);

            if (masked)
            {
                const __m256i sample = _mm256_sub_epi32 (_mm256_set1_epi32 (t), section[g]);
                const __m256i active = _mm256_andnot_si256 (_mm256_cmpgt_epi32 (_mm256_setzero_si256(), sample),
                                                            _mm256_cmpgt_epi32 (_mm256_set1_epi32 (n), sample));
                const __m256 keep = _mm256_castsi256_ps (active);
                next1 = _mm256_blendv_ps (s1[g], next1, keep);
                next2 = _mm256_blendv_ps (s2[g], next2, keep);
            }

            s1[g] = next1;
            s2[g] = next2;
            y[g] = out;
        }

        const int done = t - (width - 1);

        if (! masked || (done >= 0 && done < n))
        {
            alignas (32) float lanes[8];
            _mm256_store_ps (lanes, y[(size_t) ((width - 1) % G)]);
            data[done] = lanes[(width - 1) / G];
        }
    }

    static constexpr size_t vectors = (size_t) G;
    const int width;
    float* z1;
    float* z2;
    __m256 b0[vectors], b1[vectors], b2[vectors], a1[vectors], a2[vectors], s1[vectors], s2[vectors], y[vectors];
    __m256i section[vectors];
};

template <int G> QUARBELL_AVX2 void runWidePass (float* data, int n, const float* c, int sections, float* z1, float* z2) noexcept
{
    WideWavefront<G> (c, sections, z1, z2).run (data, n);
}

bool detectAvx2() noexcept
{
    // Runs from a static initialiser, possibly before the runtime's own detection.
    __builtin_cpu_init();
    return __builtin_cpu_supports ("avx2");
}

const bool haveAvx2 = detectAvx2();
#endif

} // namespace

void Sos::bind (const SosSet& set) noexcept
{
    coefficients = set.coefficients;
    gains = set.gains;
    sectionCount = set.sectionCount;

    for (int i = 0; i < maxSections; ++i)
        z1[i] = z2[i] = 0.0f;
}

void Sos::SosApply (Frame frame) noexcept
{
    float* data = frame.samples;
    const int n = frame.numSamples;

    if (n > 0)
    {
#if QUARBELL_SOS_AVX2
        if (haveAvx2 && sectionCount > 4)
        {
            // Passes of up to 32 sections.
            for (int first = 0; first < sectionCount; first += 32)
            {
                const int count = sectionCount - first < 32 ? sectionCount - first : 32;
                const float* c = coefficients + 6 * first;

                if (count <= 8)
                    runWidePass<1> (data, n, c, count, z1 + first, z2 + first);
                else if (count <= 16)
                    runWidePass<2> (data, n, c, count, z1 + first, z2 + first);
                else if (count <= 24)
                    runWidePass<3> (data, n, c, count, z1 + first, z2 + first);
                else
                    runWidePass<4> (data, n, c, count, z1 + first, z2 + first);
            }
        }
        else
#endif
        {
#if QUARBELL_SOS_SSE2
        // Passes of up to 16 sections, each a wavefront over the block.
        constexpr int passSections = 16;

        for (int first = 0; first < sectionCount; first += passSections)
        {
            const int count = sectionCount - first < passSections ? sectionCount - first : passSections;
            const float* c = coefficients + 6 * first;

            if (count == 1)
                runSection (data, n, c, z1[first], z2[first]);
            else if (count <= 4)
                runPass<1> (data, n, c, count, z1 + first, z2 + first);
            else if (count <= 8)
                runPass<2> (data, n, c, count, z1 + first, z2 + first);
            else if (count <= 12)
                runPass<3> (data, n, c, count, z1 + first, z2 + first);
            else
                runPass<4> (data, n, c, count, z1 + first, z2 + first);
        }
#else
        for (int section = 0; section < sectionCount; ++section)
            runSection (data, n, coefficients + 6 * section, z1[section], z2[section]);
#endif
        }
    }

    if (gains == nullptr)
        return;

    const float g = gains[sectionCount];

    if (g != 1.0f)
        for (int j = 0; j < n; ++j)
            data[j] *= g;
}

} // namespace quarbell
