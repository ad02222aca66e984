// Fits the preamp, horn and bass-rotor cabinet responses with cascades of
// second-order sections for every supported sample rate, and writes
//   engine/tables/FittedFilterSets.cpp   the float tables the engine binds
//   docs/filters/*.png                   response plots against the targets
//
// Usage: filter_design <source root> [--no-plots]
//
// Each section is a conjugate pole pair and a conjugate zero pair given by
// radius and angle through sigmoids, so poles stay inside the unit circle
// with a fixed margin. The squared dB error on a dense log-frequency grid is
// minimised with Levenberg-Marquardt from several seeded starts; the best
// start is judged with the coefficients rounded to float, as the engine uses
// them. Everything is seeded, so a run reproduces the committed tables.

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

constexpr double pi = 3.14159265358979323846;
constexpr double dbPerNeper = 20.0 / 2.302585092994046; // 20 / ln 10

constexpr int numRates = 6;
constexpr int rates[numRates] { 44100, 48000, 88200, 96000, 176400, 192000 };

// Third-octave targets of the 48000 Hz sets, overall gain included.
constexpr int numBands = 31;
constexpr double bandHz[numBands] { 20, 25, 31.5, 40, 50, 63, 80, 100, 125, 160, 200, 250, 315, 400, 500, 630, 800,
    1000, 1250, 1600, 2000, 2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000, 20000 };
constexpr double preampDb[numBands] { -0.7, -0.7, -0.7, -0.7, -0.6, -0.6, -0.6, -0.5, -0.5, -0.5, -0.6, -0.8, -1.1,
    -1.6, -1.9, -2.3, -2.7, -3.0, -3.2, -3.4, -3.6, -3.9, -4.4, -5.2, -6.2, -7.6, -9.2, -11.4, -13.5, -17.3, -21.0 };
constexpr double bassDb[numBands] { -2.6, -2.6, -2.5, -2.3, -2.2, -1.9, -1.6, -1.3, -0.9, -0.5, -0.2, 0.0, 0.1, 0.0,
    -0.1, -0.8, -2.7, -5.2, -8.4, -16.7, -21.6, -25.0, -30.3, -31.3, -33.1, -35.3, -37.0, -39.7, -42.0, -45.3, -48.1 };
constexpr double hornDb[numBands] { -34.8, -34.8, -34.7, -34.5, -34.3, -33.9, -33.4, -32.7, -31.7, -30.3, -28.6, -26.5,
    -24.0, -20.9, -17.6, -13.7, -9.6, -8.6, -4.0, -6.0, -1.1, -0.6, -3.1, -4.6, -7.4, -14.4, -20.5, -13.5, -22.4, -24.7,
    -27.3 };

struct Point
{
    double hz, db;
};

// Local maxima (peak) and minima of the horn response.
struct Feature
{
    double hz, db;
    bool peak;
};

const Feature hornFeatures[] {
    { 900, -8.5, true },
    { 971, -8.8, false },
    { 1357, -3.4, true },
    { 1585, -6.0, false },
    { 2340, -0.1, true },
    { 3760, -5.3, false },
    { 4070, -4.6, true },
    { 6400, -14.4, false },
    { 6855, -13.7, true },
    { 8350, -23.5, false },
    { 9750, -12.4, true },
    { 11000, -23.5, false },
    { 12160, -22.1, true },
    { 12770, -22.6, false },
    { 13120, -21.9, true },
    { 15220, -28.8, false },
    { 16710, -22.2, true },
};

struct FamilyDesc
{
    const char* name; // table prefix
    const char* title; // plot title
    int sections;
    const double* bands; // third-octave targets
    std::vector<Point> extra; // described points between the bands
    std::vector<Feature> features;
    int restarts48k;
    double tolerance48k; // dB at the third-octave points
};

// ---------------------------------------------------------------------------
// Random numbers: fixed seeds and no library distributions, so every platform
// draws the same values.

struct Rng
{
    uint64_t s;
    explicit Rng (uint64_t seed)
        : s (seed * 0x9E3779B97F4A7C15ull + 1)
    {
    }

    uint64_t next ()
    {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return s;
    }

    double uniform () { return ((double) (next () >> 11) + 0.5) / 9007199254740992.0; }
    double uniform (double a, double b) { return a + (b - a) * uniform (); }
    double normal () { return std::sqrt (-2.0 * std::log (uniform ())) * std::cos (2.0 * pi * uniform ()); }
};

// ---------------------------------------------------------------------------
// Target curve: monotone cubic (PCHIP) through the anchors in dB over log f,
// so every described peak or dip stays a local extremum of the target.

struct Curve
{
    std::vector<double> x, y, m;

    explicit Curve (std::vector<Point> pts)
    {
        std::sort (pts.begin (), pts.end (), [] (const Point& a, const Point& b) { return a.hz < b.hz; });
        for (const auto& p : pts)
        {
            x.push_back (std::log (p.hz));
            y.push_back (p.db);
        }
        const size_t n = x.size ();
        std::vector<double> d (n - 1);
        for (size_t i = 0; i + 1 < n; ++i)
            d[i] = (y[i + 1] - y[i]) / (x[i + 1] - x[i]);
        m.assign (n, 0.0);
        m[0] = d[0];
        m[n - 1] = d[n - 2];
        for (size_t i = 1; i + 1 < n; ++i)
        {
            if (d[i - 1] * d[i] <= 0.0)
                continue;
            const double h0 = x[i] - x[i - 1], h1 = x[i + 1] - x[i];
            const double w1 = 2.0 * h1 + h0, w2 = h1 + 2.0 * h0;
            m[i] = (w1 + w2) / (w1 / d[i - 1] + w2 / d[i]);
        }
    }

    double operator() (double hz) const
    {
        const double t = std::log (hz);
        if (t <= x.front ())
            return y.front ();
        if (t >= x.back ())
            return y.back ();
        const size_t i = (size_t) (std::upper_bound (x.begin (), x.end (), t) - x.begin ()) - 1;
        const double h = x[i + 1] - x[i], s = (t - x[i]) / h;
        const double h00 = (1 + 2 * s) * (1 - s) * (1 - s), h10 = s * (1 - s) * (1 - s);
        const double h01 = s * s * (3 - 2 * s), h11 = s * s * (s - 1);
        return h00 * y[i] + h10 * h * m[i] + h01 * y[i + 1] + h11 * h * m[i + 1];
    }
};

// ---------------------------------------------------------------------------
// The model: per section a pole pair and a zero pair, radius = limit * sig(a),
// angle = pi * sig(b); one overall gain in dB.

inline double sigmoid (double v)
{
    return 1.0 / (1.0 + std::exp (-v));
}
inline double logit (double p)
{
    return std::log (p / (1.0 - p));
}

struct Pair
{
    double r, t;
};

struct Design
{
    std::vector<Pair> poles, zeros;
    double gainDb = 0;
};

struct Limits
{
    double poleRadius; // upper bound of every pole radius
    double zeroRadius;
};

struct GridPoint
{
    double w; // rad/sample
    double target; // dB
    double weight;
    bool ceiling; // one-sided: only a response above the target counts
};

struct Problem
{
    std::vector<GridPoint> grid;
    Limits limits;
    int sections;
};

std::vector<double> encode (const Design& d, const Limits& lim)
{
    std::vector<double> p;
    auto clampP = [] (double v) { return std::min (std::max (v, 1e-9), 1.0 - 1e-9); };
    for (size_t k = 0; k < d.poles.size (); ++k)
    {
        p.push_back (logit (clampP (d.poles[k].r / lim.poleRadius)));
        p.push_back (logit (clampP (d.poles[k].t / pi)));
        p.push_back (logit (clampP (d.zeros[k].r / lim.zeroRadius)));
        p.push_back (logit (clampP (d.zeros[k].t / pi)));
    }
    p.push_back (d.gainDb);
    return p;
}

Design decode (const std::vector<double>& p, const Limits& lim)
{
    Design d;
    const size_t n = (p.size () - 1) / 4;
    for (size_t k = 0; k < n; ++k)
    {
        d.poles.push_back ({ lim.poleRadius * sigmoid (p[4 * k]), pi * sigmoid (p[4 * k + 1]) });
        d.zeros.push_back ({ lim.zeroRadius * sigmoid (p[4 * k + 2]), pi * sigmoid (p[4 * k + 3]) });
    }
    d.gainDb = p.back ();
    return d;
}

// 0.5 ln |1 - r e^{j(t-w)}|^2 |1 - r e^{-j(t+w)}|^2 and its derivatives in r and t.
inline void pairTerm (double r, double ct, double st, double cw, double sw, double& L, double& dr, double& dt)
{
    const double cm = ct * cw + st * sw, sm = st * cw - ct * sw;
    const double cp = ct * cw - st * sw, sp = st * cw + ct * sw;
    const double d1 = 1.0 - 2.0 * r * cm + r * r, d2 = 1.0 - 2.0 * r * cp + r * r;
    L = 0.5 * std::log (d1 * d2);
    dr = (r - cm) / d1 + (r - cp) / d2;
    dt = r * sm / d1 + r * sp / d2;
}

// Residuals and (optionally) the Jacobian, row-major grid x params.
double residuals (const Problem& pr, const std::vector<double>& p, std::vector<double>& e, std::vector<double>* J)
{
    const size_t np = p.size (), ns = (np - 1) / 4;
    const size_t ng = pr.grid.size ();
    e.assign (ng, 0.0);
    if (J)
        J->assign (ng * np, 0.0);

    struct Sec
    {
        double pr, pct, pst, zr, zct, zst, dprA, dptB, dzrA, dztB;
    };
    std::vector<Sec> sec (ns);
    for (size_t k = 0; k < ns; ++k)
    {
        const double sa = sigmoid (p[4 * k]), sb = sigmoid (p[4 * k + 1]);
        const double sc = sigmoid (p[4 * k + 2]), sd = sigmoid (p[4 * k + 3]);
        auto& s = sec[k];
        s.pr = pr.limits.poleRadius * sa;
        s.pct = std::cos (pi * sb);
        s.pst = std::sin (pi * sb);
        s.zr = pr.limits.zeroRadius * sc;
        s.zct = std::cos (pi * sd);
        s.zst = std::sin (pi * sd);
        s.dprA = pr.limits.poleRadius * sa * (1 - sa);
        s.dptB = pi * sb * (1 - sb);
        s.dzrA = pr.limits.zeroRadius * sc * (1 - sc);
        s.dztB = pi * sd * (1 - sd);
    }

    double cost = 0;
    for (size_t i = 0; i < ng; ++i)
    {
        const auto& g = pr.grid[i];
        const double cw = std::cos (g.w), sw = std::sin (g.w);
        double h = p.back ();
        double* row = J ? J->data () + i * np : nullptr;
        for (size_t k = 0; k < ns; ++k)
        {
            const auto& s = sec[k];
            double Lp, dpr, dpt, Lz, dzr, dzt;
            pairTerm (s.pr, s.pct, s.pst, cw, sw, Lp, dpr, dpt);
            pairTerm (s.zr, s.zct, s.zst, cw, sw, Lz, dzr, dzt);
            h += dbPerNeper * (Lz - Lp);
            if (row)
            {
                row[4 * k] = -dbPerNeper * dpr * s.dprA;
                row[4 * k + 1] = -dbPerNeper * dpt * s.dptB;
                row[4 * k + 2] = dbPerNeper * dzr * s.dzrA;
                row[4 * k + 3] = dbPerNeper * dzt * s.dztB;
            }
        }
        if (row)
            row[np - 1] = 1.0;

        double r = h - g.target;
        if (g.ceiling && r < 0)
        {
            r = 0;
            if (row)
                std::fill (row, row + np, 0.0);
        }
        e[i] = g.weight * r;
        if (row)
            for (size_t j = 0; j < np; ++j)
                row[j] *= g.weight;
        cost += e[i] * e[i];
    }
    return cost;
}

bool cholesky (std::vector<double>& A, size_t n)
{
    for (size_t j = 0; j < n; ++j)
    {
        double d = A[j * n + j];
        for (size_t k = 0; k < j; ++k)
            d -= A[j * n + k] * A[j * n + k];
        if (!(d > 0))
            return false;
        d = std::sqrt (d);
        A[j * n + j] = d;
        for (size_t i = j + 1; i < n; ++i)
        {
            double s = A[i * n + j];
            for (size_t k = 0; k < j; ++k)
                s -= A[i * n + k] * A[j * n + k];
            A[i * n + j] = s / d;
        }
    }
    return true;
}

void choleskySolve (const std::vector<double>& L, size_t n, std::vector<double>& b)
{
    for (size_t i = 0; i < n; ++i)
    {
        double s = b[i];
        for (size_t k = 0; k < i; ++k)
            s -= L[i * n + k] * b[k];
        b[i] = s / L[i * n + i];
    }
    for (size_t i = n; i-- > 0;)
    {
        double s = b[i];
        for (size_t k = i + 1; k < n; ++k)
            s -= L[k * n + i] * b[k];
        b[i] = s / L[i * n + i];
    }
}

double levenbergMarquardt (const Problem& pr, std::vector<double>& p, int maxIterations)
{
    const size_t np = p.size (), ng = pr.grid.size ();
    std::vector<double> e, J, A (np * np), g (np), M, step, trial, et;
    double cost = residuals (pr, p, e, &J);
    double lambda = 1e-2;
    int stalls = 0;

    for (int it = 0; it < maxIterations; ++it)
    {
        std::fill (A.begin (), A.end (), 0.0);
        std::fill (g.begin (), g.end (), 0.0);
        for (size_t i = 0; i < ng; ++i)
        {
            const double* row = J.data () + i * np;
            if (e[i] == 0 && row[np - 1] == 0)
                continue;
            for (size_t a = 0; a < np; ++a)
            {
                const double ra = row[a];
                if (ra == 0)
                    continue;
                g[a] += ra * e[i];
                double* Arow = A.data () + a * np;
                for (size_t b = 0; b <= a; ++b)
                    Arow[b] += ra * row[b];
            }
        }
        for (size_t a = 0; a < np; ++a)
            for (size_t b = 0; b < a; ++b)
                A[b * np + a] = A[a * np + b];

        bool improved = false;
        while (lambda < 1e12)
        {
            M = A;
            for (size_t a = 0; a < np; ++a)
                M[a * np + a] += lambda * (A[a * np + a] + 1e-6);
            if (!cholesky (M, np))
            {
                lambda *= 10;
                continue;
            }
            step = g;
            choleskySolve (M, np, step);
            trial = p;
            for (size_t a = 0; a < np; ++a)
                trial[a] -= step[a];
            const double c = residuals (pr, trial, et, nullptr);
            if (c < cost)
            {
                const double gain = (cost - c) / cost;
                p = trial;
                cost = c;
                lambda = std::max (lambda * 0.3, 1e-9);
                improved = true;
                stalls = gain < 1e-7 ? stalls + 1 : 0;
                break;
            }
            lambda *= 5;
        }
        if (!improved || stalls > 8)
            break;
        cost = residuals (pr, p, e, &J);
    }
    return cost;
}

// ---------------------------------------------------------------------------
// Float sets as the engine stores them, and their response.

struct FloatSet
{
    std::vector<float> sos; // b0 b1 b2 a0 a1 a2 per section
    float gain = 1;
};

FloatSet toFloat (const Design& d)
{
    // Sections in rising pole frequency, so the narrow low poles come first.
    std::vector<size_t> order (d.poles.size ());
    for (size_t k = 0; k < order.size (); ++k)
        order[k] = k;
    std::stable_sort (order.begin (), order.end (), [&] (size_t a, size_t b) { return d.poles[a].t < d.poles[b].t; });

    FloatSet f;
    for (size_t k : order)
    {
        const auto& z = d.zeros[k];
        const auto& q = d.poles[k];
        f.sos.push_back (1.0f);
        f.sos.push_back ((float) (-2.0 * z.r * std::cos (z.t)));
        f.sos.push_back ((float) (z.r * z.r));
        f.sos.push_back (1.0f);
        f.sos.push_back ((float) (-2.0 * q.r * std::cos (q.t)));
        f.sos.push_back ((float) (q.r * q.r));
    }
    f.gain = (float) std::pow (10.0, d.gainDb / 20.0);
    return f;
}

double responseDb (const FloatSet& f, double hz, int rate)
{
    const double w = 2.0 * pi * hz / rate;
    const std::complex<double> z1 = std::polar (1.0, -w), z2 = std::polar (1.0, -2.0 * w);
    double db = 20.0 * std::log10 (std::abs ((double) f.gain));
    for (size_t k = 0; k + 5 < f.sos.size (); k += 6)
    {
        const auto* c = &f.sos[k];
        const auto num = (double) c[0] + (double) c[1] * z1 + (double) c[2] * z2;
        const auto den = (double) c[3] + (double) c[4] * z1 + (double) c[5] * z2;
        db += 20.0 * std::log10 (std::abs (num) / std::abs (den));
    }
    return db;
}

double maxPoleRadius (const FloatSet& f)
{
    double worst = 0;
    for (size_t k = 0; k + 5 < f.sos.size (); k += 6)
    {
        const double a1 = f.sos[k + 4], a2 = f.sos[k + 5];
        const double disc = a1 * a1 - 4.0 * a2;
        if (disc < 0)
            worst = std::max (worst, std::sqrt (a2));
        else
        {
            const double s = std::sqrt (disc);
            worst = std::max ({ worst, std::abs ((-a1 + s) / 2), std::abs ((-a1 - s) / 2) });
        }
    }
    return worst;
}

// Re-centres the overall gain on the float-rounded sections.
void refitGain (FloatSet& f, const Problem& pr, int rate)
{
    double sw = 0, s = 0;
    for (const auto& g : pr.grid)
    {
        if (g.ceiling)
            continue;
        const double hz = g.w * rate / (2.0 * pi);
        s += g.weight * g.weight * (g.target - responseDb (f, hz, rate));
        sw += g.weight * g.weight;
    }
    f.gain = (float) (f.gain * std::pow (10.0, (s / sw) / 20.0));
}

// Float rounding moves the narrow low-frequency poles of the high rates
// noticeably; nudging those coefficients by single float steps recovers most
// of the error. Greedy, deterministic, keeps the radius limit.
double sectionDb (const float* c, double w)
{
    const std::complex<double> z1 = std::polar (1.0, -w), z2 = std::polar (1.0, -2.0 * w);
    const auto num = (double) c[0] + (double) c[1] * z1 + (double) c[2] * z2;
    const auto den = (double) c[3] + (double) c[4] * z1 + (double) c[5] * z2;
    return 20.0 * std::log10 (std::abs (num) / std::abs (den));
}

void polishInFloat (FloatSet& f, const Problem& pr)
{
    const size_t ng = pr.grid.size ();
    const int sections = (int) f.sos.size () / 6;
    std::vector<std::vector<double>> part ((size_t) sections, std::vector<double> (ng));
    std::vector<double> total (ng, 0.0);
    for (int k = 0; k < sections; ++k)
        for (size_t i = 0; i < ng; ++i)
        {
            part[(size_t) k][i] = sectionDb (&f.sos[(size_t) (6 * k)], pr.grid[i].w);
            total[i] += part[(size_t) k][i];
        }

    // Cost with the best overall gain for the given section sum.
    auto evaluate = [&] (const std::vector<double>& sum, double& gainDb)
    {
        double sw = 0, s = 0;
        for (size_t i = 0; i < ng; ++i)
            if (!pr.grid[i].ceiling)
            {
                const double w2 = pr.grid[i].weight * pr.grid[i].weight;
                s += w2 * (pr.grid[i].target - sum[i]);
                sw += w2;
            }
        gainDb = s / sw;
        double c = 0;
        for (size_t i = 0; i < ng; ++i)
        {
            double r = sum[i] + gainDb - pr.grid[i].target;
            if (pr.grid[i].ceiling && r < 0)
                r = 0;
            c += pr.grid[i].weight * pr.grid[i].weight * r * r;
        }
        return c;
    };

    double gainDb = 0;
    double cost = evaluate (total, gainDb);
    const double lowAngle = 2.0 * pi * 0.03;
    std::vector<double> trial (ng), trialPart (ng);

    for (int sweep = 0; sweep < 10; ++sweep)
    {
        bool changed = false;
        for (int k = 0; k < sections; ++k)
        {
            float* c = &f.sos[(size_t) (6 * k)];
            const double poleAngle
                = std::acos (std::min (1.0, std::max (-1.0, -c[4] / (2.0 * std::sqrt (std::abs (c[5]) + 1e-30)))));
            if (poleAngle > lowAngle)
                continue;
            for (int idx : { 1, 2, 4, 5 })
                for (float dir : { 1.0f, -1.0f })
                    for (int step = 0; step < 64; ++step)
                    {
                        const float saved = c[idx];
                        c[idx] = std::nextafter (saved, dir * 4.0f);
                        FloatSet one;
                        one.sos.assign (c, c + 6);
                        if (maxPoleRadius (one) > pr.limits.poleRadius)
                        {
                            c[idx] = saved;
                            break;
                        }
                        for (size_t i = 0; i < ng; ++i)
                        {
                            trialPart[i] = sectionDb (c, pr.grid[i].w);
                            trial[i] = total[i] - part[(size_t) k][i] + trialPart[i];
                        }
                        double g = 0;
                        const double tc = evaluate (trial, g);
                        if (!(tc < cost * (1.0 - 1e-9)))
                        {
                            c[idx] = saved;
                            break;
                        }
                        total = trial;
                        part[(size_t) k] = trialPart;
                        cost = tc;
                        gainDb = g;
                        changed = true;
                    }
        }
        if (!changed)
            break;
    }
    f.gain = (float) std::pow (10.0, gainDb / 20.0);
}

// Local extremum of the kind asked for within +-5 % of the frequency, level
// closest to the described one; returns the level error (large if none).
double featureError (const FloatSet& f, const Feature& ft, int rate, double* foundHz = nullptr)
{
    const int steps = 400;
    const double lo = ft.hz * 0.95, hi = ft.hz * 1.05;
    std::vector<double> db (steps + 1);
    for (int i = 0; i <= steps; ++i)
        db[i] = responseDb (f, lo * std::pow (hi / lo, (double) i / steps), rate);
    double best = 1e9;
    for (int i = 1; i < steps; ++i)
    {
        const bool isExtremum
            = ft.peak ? (db[i] >= db[i - 1] && db[i] > db[i + 1]) : (db[i] <= db[i - 1] && db[i] < db[i + 1]);
        if (isExtremum && std::abs (db[i] - ft.db) < best)
        {
            best = std::abs (db[i] - ft.db);
            if (foundHz)
                *foundHz = lo * std::pow (hi / lo, (double) i / steps);
        }
    }
    return best;
}

struct Scores
{
    double bandError = 0; // worst third-octave error (dB)
    double featureError = 0; // worst feature level error, 1e9 if one is missing
    double cost = 0; // weighted squared error of the float set
    double radius = 0;
};

Scores score (const FloatSet& f, const FamilyDesc& fam, const Problem& pr, int rate)
{
    Scores s;
    for (int b = 0; b < numBands; ++b)
        s.bandError = std::max (s.bandError, std::abs (responseDb (f, bandHz[b], rate) - fam.bands[b]));
    for (const auto& ft : fam.features)
        s.featureError = std::max (s.featureError, featureError (f, ft, rate));
    for (const auto& g : pr.grid)
    {
        double r = responseDb (f, g.w * rate / (2.0 * pi), rate) - g.target;
        if (g.ceiling && r < 0)
            r = 0;
        s.cost += g.weight * g.weight * r * r;
    }
    s.radius = maxPoleRadius (f);
    return s;
}

// Lower is better: meeting the tolerances first, then the plain error.
double rank (const Scores& s, double tolerance)
{
    const double featurePenalty = s.featureError > 1.5 ? 1e4 + std::min (s.featureError, 100.0) * 1e3 : 0.0;
    const double bandPenalty = s.bandError > tolerance ? 1e3 * s.bandError : 0.0;
    return featurePenalty + bandPenalty + s.cost;
}

// ---------------------------------------------------------------------------

Problem makeProblem (const FamilyDesc& fam, int rate)
{
    std::vector<Point> anchors;
    for (int b = 0; b < numBands; ++b)
        anchors.push_back ({ bandHz[b], fam.bands[b] });
    for (const auto& p : fam.extra)
        anchors.push_back (p);
    for (const auto& ft : fam.features)
        anchors.push_back ({ ft.hz, ft.db });
    // Features replace the band point at the same frequency, if any.
    std::sort (anchors.begin (), anchors.end (), [] (const Point& a, const Point& b) { return a.hz < b.hz; });
    std::vector<Point> unique;
    for (const auto& a : anchors)
        if (unique.empty () || std::abs (std::log (a.hz / unique.back ().hz)) > 0.004)
            unique.push_back (a);
        else
            unique.back () = a;
    const Curve curve (unique);

    Problem pr;
    pr.sections = fam.sections;
    // Poles no narrower than about 4 Hz: keeps the float-rounded low poles
    // clear of the unit circle at the high rates.
    pr.limits.poleRadius = std::exp (-2.0 * pi * 4.0 / rate);
    pr.limits.zeroRadius = 1.0;

    const double nyquist = rate / 2.0;
    auto add = [&] (double hz, double target, double weight, bool ceiling) {
        pr.grid.push_back ({ 2.0 * pi * hz / rate, target, weight, ceiling });
    };

    const int perOctave = 36;
    for (double hz = 10.0; hz < 20000.0 * 1.0001; hz *= std::pow (2.0, 1.0 / perOctave))
        add (hz, curve (hz), hz < 20.0 ? 0.3 : 1.0, false);
    for (int b = 0; b < numBands; ++b)
        add (bandHz[b], fam.bands[b], 3.0, false);
    for (const auto& p : fam.extra)
        add (p.hz, p.db, 3.0, false);
    for (const auto& ft : fam.features)
        add (ft.hz, ft.db, 4.0, false);
    // Above 20 kHz the response may fall freely but must not rise again.
    for (double hz = 20000.0 * std::pow (2.0, 1.0 / 12); hz < 0.97 * nyquist; hz *= std::pow (2.0, 1.0 / 12))
        add (hz, fam.bands[numBands - 1] + 1.0, 1.0, true);
    return pr;
}

Design randomStart (const FamilyDesc& fam, int rate, Rng& rng, const Limits& lim)
{
    Design d;
    const double lo = std::log (30.0), hi = std::log (std::min (22000.0, 0.45 * rate));
    const int n = fam.sections;
    for (int k = 0; k < n; ++k)
    {
        const double f = std::exp (lo + (hi - lo) * (k + rng.uniform (0.1, 0.9)) / n);
        const double t = std::min (2.0 * pi * f / rate, 0.98 * pi);
        const double q = std::exp (rng.uniform (std::log (0.6), std::log (4.0)));
        const double r = std::min (std::max (1.0 - t / (2.0 * q), 0.2), lim.poleRadius * 0.999);
        const double tz = std::min (t * std::exp (0.08 * rng.normal ()), 0.98 * pi);
        const double rz = std::min (std::max (r + 0.3 * (1.0 - r) * rng.normal (), 0.1), 0.9999);
        d.poles.push_back ({ r, t });
        d.zeros.push_back ({ rz, tz });
    }
    d.gainDb = fam.bands[numBands / 2];
    return d;
}

// The same analogue poles and zeros at another rate (matched z-transform).
Design transfer (const Design& from, int fromRate, int toRate, const Limits& lim)
{
    const double s = (double) fromRate / toRate;
    auto map = [&] (Pair p, double limit)
    {
        Pair q { std::pow (p.r, s), p.t * s };
        q.t = std::min (q.t, 0.99 * pi);
        q.r = std::min (q.r, limit * 0.9999);
        return q;
    };
    Design d;
    for (size_t k = 0; k < from.poles.size (); ++k)
    {
        d.poles.push_back (map (from.poles[k], lim.poleRadius));
        d.zeros.push_back (map (from.zeros[k], lim.zeroRadius));
    }
    d.gainDb = from.gainDb;
    return d;
}

struct Result
{
    Design design;
    FloatSet set;
    Scores scores;
};

Result fitRate (const FamilyDesc& fam, int rate, const Design* warm, int warmRate, int restarts, uint64_t seed)
{
    const Problem pr = makeProblem (fam, rate);
    Rng rng (seed);
    Result best;
    double bestRank = 1e300;

    for (int attempt = 0; attempt < restarts; ++attempt)
    {
        Design start = (warm && attempt == 0) ? transfer (*warm, warmRate, rate, pr.limits)
                                              : randomStart (fam, rate, rng, pr.limits);
        auto p = encode (start, pr.limits);
        levenbergMarquardt (pr, p, 400);
        Result r;
        r.design = decode (p, pr.limits);
        r.set = toFloat (r.design);
        refitGain (r.set, pr, rate);
        r.scores = score (r.set, fam, pr, rate);
        const double rk = rank (r.scores, fam.tolerance48k);
        std::fprintf (stderr, "  %s %6d start %2d: bands %.3f dB, features %.3f dB, cost %.2f, radius %.7f\n", fam.name,
            rate, attempt, r.scores.bandError, std::min (r.scores.featureError, 99.0), r.scores.cost, r.scores.radius);
        if (rk < bestRank)
        {
            bestRank = rk;
            best = r;
        }
    }
    polishInFloat (best.set, pr);
    best.scores = score (best.set, fam, pr, rate);
    std::fprintf (stderr, "  %s %6d polished: bands %.3f dB, features %.3f dB, cost %.2f, radius %.7f\n", fam.name,
        rate, best.scores.bandError, std::min (best.scores.featureError, 99.0), best.scores.cost, best.scores.radius);
    return best;
}

// ---------------------------------------------------------------------------
// Output

void writeTable (FILE* out, const FamilyDesc& fam, int rate, const FloatSet& f)
{
    std::fprintf (out, "static const float %s_SOS%d[%d] = {\n", fam.name, rate, 6 * fam.sections);
    for (size_t k = 0; k < f.sos.size (); k += 6)
        std::fprintf (out, "    %.9g, %.9g, %.9g, %.9g, %.9g, %.9g,\n", f.sos[k], f.sos[k + 1], f.sos[k + 2],
            f.sos[k + 3], f.sos[k + 4], f.sos[k + 5]);
    std::fprintf (out, "};\n\nstatic const float %s_G%d[%d] = {\n   ", fam.name, rate, fam.sections + 1);
    for (int k = 0; k < fam.sections; ++k)
        std::fprintf (out, " 1.0f,%s", (k % 12 == 11) ? "\n   " : "");
    std::fprintf (out, " %.9g,\n};\n\n", f.gain);
}

bool writeSource (const std::string& path, const std::vector<FamilyDesc>& fams,
    const std::vector<std::array<FloatSet, numRates>>& sets)
{
    FILE* out = std::fopen (path.c_str (), "w");
    if (!out)
        return false;
    std::fprintf (out,
        "// Generated by tools/filter_design; do not edit by hand.\n"
        "// Cascades fitted to the preamp, horn and bass-rotor responses, one set per rate.\n\n"
        "#include \"FilterSets.h\"\n\nnamespace quarbell\n{\n\nnamespace\n{\n\n");
    for (size_t i = 0; i < fams.size (); ++i)
        for (int r = 0; r < numRates; ++r)
            writeTable (out, fams[i], rates[r], sets[i][r]);
    std::fprintf (out, "} // namespace\n\nSosSet fittedFilterSet (FilterFamily family, int rateIndex) noexcept\n{\n");
    for (size_t i = 0; i < fams.size (); ++i)
    {
        std::string lower = fams[i].name;
        for (auto& c : lower)
            c = (char) std::tolower (c);
        std::fprintf (out, "    static const SosSet %s[%d] {\n", lower.c_str (), numRates);
        for (int r = 0; r < numRates; ++r)
            std::fprintf (out, "        { %s_SOS%d, %s_G%d, %d },\n", fams[i].name, rates[r], fams[i].name, rates[r],
                fams[i].sections);
        std::fprintf (out, "    };\n");
    }
    std::fprintf (out,
        "\n    switch (family)\n    {\n"
        "        case FilterFamily::preamp:\n            return preamp[rateIndex];\n"
        "        case FilterFamily::horn:\n            return horn[rateIndex];\n"
        "        case FilterFamily::bass:\n            return bass[rateIndex];\n"
        "        case FilterFamily::lowCut:\n        case FilterFamily::hornHighPass:\n            break;\n    }\n\n"
        "    return {};\n}\n\n} // namespace quarbell\n");
    std::fclose (out);
    return true;
}

void writePlot (const std::string& docs, const FamilyDesc& fam, const std::array<FloatSet, numRates>& sets)
{
    const std::string base = docs + "/" + fam.title;
    const std::string dat = base + ".dat", tgt = base + "-targets.dat", gp = base + ".gp";
    FILE* d = std::fopen (dat.c_str (), "w");
    for (double hz = 10.0; hz <= 96000.0; hz *= std::pow (2.0, 1.0 / 96))
    {
        std::fprintf (d, "%g", hz);
        for (int r = 0; r < numRates; ++r)
            std::fprintf (d, hz < 0.5 * rates[r] ? " %.4f" : " NaN",
                hz < 0.5 * rates[r] ? responseDb (sets[r], hz, rates[r]) : 0.0);
        std::fprintf (d, "\n");
    }
    std::fclose (d);
    FILE* t = std::fopen (tgt.c_str (), "w");
    for (int b = 0; b < numBands; ++b)
        std::fprintf (t, "%g %g 0\n", bandHz[b], fam.bands[b]);
    for (const auto& p : fam.extra)
        std::fprintf (t, "%g %g 1\n", p.hz, p.db);
    for (const auto& ft : fam.features)
        std::fprintf (t, "%g %g %d\n", ft.hz, ft.db, ft.peak ? 2 : 3);
    std::fclose (t);

    FILE* g = std::fopen (gp.c_str (), "w");
    std::fprintf (g,
        "set terminal pngcairo size 1100,650 font 'sans,10'\nset output '%s.png'\n"
        "set title '%s filter: float coefficient sets at each rate against the targets'\n"
        "set logscale x\nset xrange [10:96000]\nset grid xtics ytics mxtics\n"
        "set xlabel 'Hz'\nset ylabel 'dB'\nset key bottom left\n"
        "plot ",
        base.c_str (), fam.title);
    for (int r = 0; r < numRates; ++r)
        std::fprintf (g, "'%s' using 1:%d with lines lw 1.5 title '%d Hz', ", dat.c_str (), r + 2, rates[r]);
    std::fprintf (g,
        "'%s' using 1:($3==0?$2:NaN) with points pt 7 ps 0.8 lc rgb 'black' title 'third-octave target', "
        "'%s' using 1:($3==1?$2:NaN) with points pt 5 ps 0.8 lc rgb 'black' title 'described point', "
        "'%s' using 1:($3==2?$2:NaN) with points pt 9 ps 1.2 lc rgb 'black' title 'peak', "
        "'%s' using 1:($3==3?$2:NaN) with points pt 11 ps 1.2 lc rgb 'black' title 'dip'\n",
        tgt.c_str (), tgt.c_str (), tgt.c_str (), tgt.c_str ());
    std::fclose (g);
    const std::string cmd = "gnuplot '" + gp + "'";
    if (std::system (cmd.c_str ()) != 0)
        std::fprintf (stderr, "gnuplot failed for %s\n", fam.title);
    std::remove (dat.c_str ());
    std::remove (tgt.c_str ());
    std::remove (gp.c_str ());
}

} // namespace

int main (int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf (stderr, "usage: filter_design <source root> [--no-plots] [--quick]\n");
        return 2;
    }
    const std::string root = argv[1];
    bool plots = true, quick = false;
    for (int i = 2; i < argc; ++i)
    {
        plots = plots && std::string (argv[i]) != "--no-plots";
        quick = quick || std::string (argv[i]) == "--quick";
    }

    std::vector<FamilyDesc> fams {
        { "PREAMP", "preamp", 25, preampDb, { { 140, -0.5 }, { 990, -3.0 } }, {}, 6, 1.0 },
        { "HORN", "horn", 30, hornDb, {}, std::vector<Feature> (std::begin (hornFeatures), std::end (hornFeatures)), 16,
            1.5 },
        { "BASS", "bass", 25, bassDb, { { 310, 0.06 }, { 820, -3.0 } }, {}, 6, 1.0 },
    };

    std::vector<std::array<FloatSet, numRates>> sets (fams.size ());
    for (size_t i = 0; i < fams.size (); ++i)
    {
        const auto& fam = fams[i];
        const int i48 = 1;
        const int restarts = quick ? 2 : fam.restarts48k;
        const Result r48 = fitRate (fam, 48000, nullptr, 0, restarts, 1000 + i);
        sets[i][i48] = r48.set;
        Design byRate[numRates];
        byRate[i48] = r48.design;

        // Each other rate starts from the nearest fitted rate below it.
        const int from[numRates] { 1, -1, 1, 1, 2, 3 };
        for (int r : { 0, 2, 3, 4, 5 })
        {
            const Result rr
                = fitRate (fam, rates[r], &byRate[from[r]], rates[from[r]], quick ? 1 : 4, 2000 + 10 * i + r);
            sets[i][r] = rr.set;
            byRate[r] = rr.design;
        }

        std::printf ("%s\n", fam.name);
        for (int r = 0; r < numRates; ++r)
        {
            const Scores s = score (sets[i][r], fam, makeProblem (fam, rates[r]), rates[r]);
            double vs48 = 0;
            for (int b = 0; b < numBands; ++b)
                if (bandHz[b] >= 500)
                    vs48 = std::max (vs48,
                        std::abs (responseDb (sets[i][r], bandHz[b], rates[r])
                            - responseDb (sets[i][i48], bandHz[b], 48000)));
            std::printf ("  %6d Hz: worst third-octave error %.3f dB, worst feature %.3f dB, "
                         "vs 48000 above 500 Hz %.3f dB, max pole radius %.8f\n",
                rates[r], s.bandError, std::min (s.featureError, 99.0), vs48, s.radius);
        }
        std::fflush (stdout);
    }

    const std::string source = root + "/engine/tables/FittedFilterSets.cpp";
    if (!writeSource (source, fams, sets))
    {
        std::fprintf (stderr, "cannot write %s\n", source.c_str ());
        return 1;
    }
    std::printf ("wrote %s\n", source.c_str ());

    if (plots)
        for (size_t i = 0; i < fams.size (); ++i)
            writePlot (root + "/docs/filters", fams[i], sets[i]);
    return 0;
}
