#include "analysis/fft.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace {

// One butterfly: t = w x b; b := a - t; a := a + t, on interleaved pairs.
inline void Butterfly(double* a, double* b, double wr, double wi) {
    const double tempr = wr * b[0] - wi * b[1];
    const double tempi = wr * b[1] + wi * b[0];
    b[0] = a[0] - tempr;
    b[1] = a[1] - tempi;
    a[0] += tempr;
    a[1] += tempi;
}

// The lowest `bits` bits of v in reverse order.
std::uint32_t ReverseBits(std::uint32_t v, int bits) {
    v = ((v >> 1) & 0x55555555u) | ((v & 0x55555555u) << 1);
    v = ((v >> 2) & 0x33333333u) | ((v & 0x33333333u) << 2);
    v = ((v >> 4) & 0x0F0F0F0Fu) | ((v & 0x0F0F0F0Fu) << 4);
    v = ((v >> 8) & 0x00FF00FFu) | ((v & 0x00FF00FFu) << 8);
    v = (v >> 16) | (v << 16);
    return bits == 0 ? 0 : v >> (32 - bits);
}

void SwapComplex(double* data, std::uint32_t i, std::uint32_t j) {
    std::swap(data[2 * i], data[2 * j]);
    std::swap(data[2 * i + 1], data[2 * j + 1]);
}

// Bit-reversal reordering. Swapping index by index jumps across the whole
// buffer for every value; instead the index is cut into a high part a, a
// middle part b and a low part c of kSide bits each at the ends, whose
// reverse is (rev c, rev b, rev a). For one middle part and its reverse
// the 2 x 2^(2 kSide) values involved fill only a few kilobytes, so every
// cache line is loaded once and used fully.
void BitReverse(double* data, std::int32_t n) {
    constexpr int kSide = 4;
    int bits = 0;
    while ((std::int32_t{1} << bits) < n) ++bits;
    if (bits < 2 * kSide) {
        for (std::uint32_t i = 0; i < static_cast<std::uint32_t>(n); ++i) {
            const std::uint32_t j = ReverseBits(i, bits);
            if (i < j) SwapComplex(data, i, j);
        }
        return;
    }
    const int middleBits = bits - 2 * kSide;
    const std::uint32_t side = 1u << kSide;
    for (std::uint32_t b = 0; b < (1u << middleBits); ++b) {
        const std::uint32_t reversedB = ReverseBits(b, middleBits);
        if (reversedB < b) continue;  // that pair of blocks was done from its other end
        for (std::uint32_t a = 0; a < side; ++a) {
            const std::uint32_t reversedA = ReverseBits(a, kSide);
            for (std::uint32_t c = 0; c < side; ++c) {
                const std::uint32_t i = (a << (bits - kSide)) | (b << kSide) | c;
                const std::uint32_t j = (ReverseBits(c, kSide) << (bits - kSide)) | (reversedB << kSide) | reversedA;
                if (b != reversedB || i < j) SwapComplex(data, i, j);
            }
        }
    }
}

// The first pass: every twiddle factor is 1, so t = b exactly.
void FirstPass(double* data, std::int32_t n) {
    for (std::int32_t i = 0; i < n; i += 2) {
        double* a = data + 2 * i;
        const double br = a[2];
        const double bi = a[3];
        a[2] = a[0] - br;
        a[3] = a[1] - bi;
        a[0] += br;
        a[1] += bi;
    }
}

// A pass joining halves of h points into blocks of 2h. Each block is swept
// in memory order; one table value serves two butterflies, since the
// twiddle of k + h/2 is the twiddle of k turned by a quarter circle.
void Pass(double* data, std::int32_t n, std::int32_t h, int sign, const double* twiddles) {
    const double* quadrant = twiddles + h;  // complex entry h/2
    const double s = sign;
    const std::int32_t half = h / 2;
    for (std::int32_t block = 0; block < n; block += 2 * h) {
        double* a = data + 2 * block;
        double* b = a + 2 * h;
        for (std::int32_t k = 0; k < half; ++k) {
            const double cr = quadrant[2 * k];
            const double ci = quadrant[2 * k + 1];
            Butterfly(a + 2 * k, b + 2 * k, cr, s * ci);
            Butterfly(a + 2 * (k + half), b + 2 * (k + half), -ci, s * cr);
        }
    }
}

// X[k] and X[n/2 - k] of the real input from the packed transform Z of n/2
// points: E = (Z[k] + conj Z[n/2-k]) / 2 and O = (Z[k] - conj Z[n/2-k]) / 2i
// are the transforms of the even and odd samples, X[k] = E + w O and
// X[n/2-k] = conj(E - w O) with w = e^(sign 2 pi i k / n).
void SplitPair(double* data, std::int32_t n, std::int32_t k, double wr, double wi) {
    double* z = data + 2 * k;
    double* c = data + 2 * (n / 2 - k);
    const double er = 0.5 * (z[0] + c[0]);
    const double ei = 0.5 * (z[1] - c[1]);
    const double orr = 0.5 * (z[1] + c[1]);
    const double oi = -0.5 * (z[0] - c[0]);
    const double tr = wr * orr - wi * oi;
    const double ti = wr * oi + wi * orr;
    z[0] = er + tr;
    z[1] = ei + ti;
    c[0] = er - tr;
    c[1] = ti - ei;
}

void SplitPass(double* data, std::int32_t n, int sign, const double* twiddles) {
    const double z0 = data[0];
    const double z1 = data[1];
    data[0] = z0 + z1;
    data[1] = z0 - z1;
    const double* quadrant = twiddles + n / 2;  // e^(i pi k / (n/2)), k < n/4
    const double s = sign;
    for (std::int32_t k = 1; k < n / 4; ++k) SplitPair(data, n, k, quadrant[2 * k], s * quadrant[2 * k + 1]);
    // Bin n/4 pairs with itself: E = Re Z, O = Im Z and w = sign x i, so
    // X[n/4] = Re Z + i sign Im Z.
    if (n >= 4) data[2 * (n / 4) + 1] *= s;
}

}  // namespace

void FillTwiddles(double* table, std::int32_t count) {
    table[0] = 1.0;
    table[1] = 0.0;
    if (count < 2) return;
    // The largest quadrant: angles pi k / count for k < count / 2. Above an
    // eighth of the circle cosine and sine swap roles, so only the lower
    // half needs sin and cos.
    double* top = table + count;
    const std::int32_t quarter = count / 4;
    for (std::int32_t k = 0; k <= quarter && k < count / 2; ++k) {
        const double angle = std::numbers::pi * (static_cast<double>(k) / count);
        top[2 * k] = std::cos(angle);
        top[2 * k + 1] = std::sin(angle);
    }
    for (std::int32_t k = quarter + 1; k < count / 2; ++k) {
        top[2 * k] = top[2 * (count / 2 - k) + 1];
        top[2 * k + 1] = top[2 * (count / 2 - k)];
    }
    // Each smaller quadrant is every other value of the next larger one.
    for (std::int32_t h = count / 2; h >= 2; h /= 2) {
        const double* larger = table + 2 * h;
        double* quadrant = table + h;
        for (std::int32_t k = 0; k < h / 2; ++k) {
            quadrant[2 * k] = larger[4 * k];
            quadrant[2 * k + 1] = larger[4 * k + 1];
        }
    }
}

void ComplexFft(double* data, std::int32_t n, int sign, std::atomic<std::int32_t>& passes,
                const std::atomic<std::uint8_t>& cancel, const double* twiddles) {
    BitReverse(data, n);
    for (std::int32_t h = 1; h < n; h *= 2) {
        // Relaxed: the flag publishes no data, it only asks us to stop.
        if (cancel.load(std::memory_order_relaxed) != 0) return;
        if (h == 1) {
            FirstPass(data, n);
        } else {
            Pass(data, n, h, sign, twiddles);
        }
        passes.fetch_add(1, std::memory_order_relaxed);
    }
}

void RealFft(double* data, std::int32_t n, int sign, std::atomic<std::int32_t>& passes,
             const std::atomic<std::uint8_t>& cancel, const double* twiddles) {
    ComplexFft(data, n / 2, sign, passes, cancel, twiddles);
    if (cancel.load(std::memory_order_relaxed) != 0) return;
    SplitPass(data, n, sign, twiddles);
    passes.fetch_add(1, std::memory_order_relaxed);
}

double RealFftMagnitude(const double* data, std::int32_t n, std::int32_t bin) {
    if (bin == 0) return std::fabs(data[0]);
    if (bin == n / 2) return std::fabs(data[1]);
    const std::int32_t k = bin < n / 2 ? bin : n - bin;
    const double re = data[2 * k];
    const double im = data[2 * k + 1];
    return std::sqrt(re * re + im * im);
}
