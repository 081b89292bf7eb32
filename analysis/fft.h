#pragma once
#include <atomic>
#include <cstdint>

// In-place radix-2 decimation-in-time FFTs on interleaved doubles (real part
// of complex value k at 2k, imaginary part at 2k + 1). With sign +1 the
// result is X[k] = sum over m of x[m] e^(+2 pi i m k / n); sign -1 gives the
// other direction. Nothing is scaled.
//
// Both transforms run pass by pass: before every pass (the first included)
// they test `cancel` and return at once when it is non-zero; after every
// pass they add 1 to `passes`. The bit-reversal reordering before the first
// pass always completes. A complete transform of n points adds exactly
// log2 n. Neither allocates; both run on whatever thread calls them (the
// transform worker in this program) and touch only `data` and the table.

// Fills the twiddle table used by both transforms: `count` complex values
// (2 x count doubles), count a power of two >= 1. For h = 2, 4, ..., count,
// complex entries h/2 ... h - 1 hold e^(+i pi k / h) for k = 0 ... h/2 - 1
// (the first quadrant of the circle that stage h needs); entry 0 is 1.
// Calls sin and cos count/4 + 1 times each. Runs on the user-interface
// thread, before the worker starts.
void FillTwiddles(double* table, std::int32_t count);

// Complex transform of n complex values (2n doubles), n a power of two >= 1.
// `twiddles` comes from FillTwiddles with a count of at least n / 2.
// Makes log2 n passes.
void ComplexFft(double* data, std::int32_t n, int sign, std::atomic<std::int32_t>& passes,
                const std::atomic<std::uint8_t>& cancel, const double* twiddles);

// Transform of n real values data[0 ... n-1], n a power of two >= 2, packed
// as n/2 complex values: a complex transform of n/2 points followed by one
// pass that splits it into the n/2 + 1 bins of the real input, so log2 n
// passes in all. Result, in place over the same n doubles: data[0] = X[0],
// data[1] = X[n/2] (both real), and for 0 < k < n/2 the complex X[k] at
// data[2k], data[2k+1]. X[n-k] is the conjugate of X[k].
// `twiddles` comes from FillTwiddles with a count of at least n / 2.
void RealFft(double* data, std::int32_t n, int sign, std::atomic<std::int32_t>& passes,
             const std::atomic<std::uint8_t>& cancel, const double* twiddles);

// Magnitude |X[bin]| of a RealFft result of n points, for 0 <= bin < n.
double RealFftMagnitude(const double* data, std::int32_t n, std::int32_t bin);
