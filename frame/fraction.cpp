#include "fraction.h"

namespace calc {

namespace {

uint64_t Low64(Wide v) {
  return static_cast<uint64_t>(static_cast<int64_t>(v));
}

// v >= 0 and below 2^64.
bool FitsUint64(Wide v) {
  return (v >> 64) == Wide(0);
}

int CountTrailingZeros(Wide v) {
  const uint64_t low = Low64(v);
  if (low != 0) return __builtin_ctzll(low);
  return 64 + __builtin_ctzll(Low64(v >> 64));
}

Wide Magnitude(Wide v) {
  return v < Wide(0) ? -v : v;
}

}  // namespace

uint64_t Gcd64(uint64_t a, uint64_t b) {
  if (a == 0) return b;
  if (b == 0) return a;
  const int shift = __builtin_ctzll(a | b);
  a >>= __builtin_ctzll(a);
  do {
    b >>= __builtin_ctzll(b);
    if (a > b) {
      const uint64_t t = a;
      a = b;
      b = t;
    }
    b -= a;
  } while (b != 0);
  return a << shift;
}

int32_t Gcd(int32_t a, int32_t b) {
  const uint64_t g = Gcd64(a < 0 ? -int64_t{a} : a, b < 0 ? -int64_t{b} : b);
  // Only 2^31 does not fit; it wraps to INT32_MIN, the old loop's answer.
  return static_cast<int32_t>(static_cast<uint32_t>(g));
}

Wide WideGcd(Wide a, Wide b) {
  if (FitsUint64(a) && FitsUint64(b)) {
    // A divisor of 2^63 or more has no int64_t form; the loop below finds it.
    const uint64_t g = Gcd64(Low64(a), Low64(b));
    if (g <= uint64_t{INT64_MAX}) return Wide(static_cast<int64_t>(g));
  }
  if (a == Wide(0)) return b;
  if (b == Wide(0)) return a;
  const int shift = CountTrailingZeros(a | b);
  a = a >> CountTrailingZeros(a);
  do {
    b = b >> CountTrailingZeros(b);
    if (a > b) {
      const Wide t = a;
      a = b;
      b = t;
    }
    b = b - a;
  } while (b != Wide(0));
  return a << shift;
}

bool ReduceWide(Wide n, Wide d, int64_t& num, int64_t& den) {
  const Wide zero(0);
  if (d == zero) return false;
  if (n == zero) {
    num = 0;
    den = d < zero ? -1 : 1;
    return true;
  }
  const Wide low(INT64_MIN), high(INT64_MAX);
  if (n > low && n <= high && d > low && d <= high) {
    // The common case: everything fits in 64 bits.
    const int64_t n64 = static_cast<int64_t>(n), d64 = static_cast<int64_t>(d);
    const int64_t g = static_cast<int64_t>(Gcd64(static_cast<uint64_t>(n64 < 0 ? -n64 : n64),
                                                 static_cast<uint64_t>(d64 < 0 ? -d64 : d64)));
    num = n64 / g;
    den = d64 / g;
    return true;
  }
  const Wide g = WideGcd(Magnitude(n), Magnitude(d));
  const Wide rn = g == Wide(1) ? n : n / g;
  const Wide rd = g == Wide(1) ? d : d / g;
  if (rn < low || rn > high || rd < low || rd > high) return false;
  num = static_cast<int64_t>(rn);
  den = static_cast<int64_t>(rd);
  return true;
}

bool StoreReduced(Wide n, Wide d, int32_t& num, int32_t& den) {
  int64_t rn = 0;
  int64_t rd = 1;
  if (!ReduceWide(n, d, rn, rd)) return false;
  if (!FitsInt32(rn) || !FitsInt32(rd)) return false;
  num = static_cast<int32_t>(rn);
  den = static_cast<int32_t>(rd);
  return true;
}

bool MakeDenominatorsPositive(FractionMatrix& m, int rows, int cols) {
  for (int i = 1; i <= rows; ++i) {
    for (int j = 1; j <= cols; ++j) {
      if (m.den[i][j] >= 0) continue;
      if (m.den[i][j] == INT32_MIN || m.num[i][j] == INT32_MIN) return false;
      m.num[i][j] = -m.num[i][j];
      m.den[i][j] = -m.den[i][j];
    }
  }
  return true;
}

void ReduceMatrix(FractionMatrix& m, int rows, int cols) {
  for (int i = 1; i <= rows; ++i) {
    for (int j = 1; j <= cols; ++j) {
      // A reduced value never grows, so it always fits again.
      StoreReduced(m.num[i][j], m.den[i][j], m.num[i][j], m.den[i][j]);
    }
  }
}

void FractionMatrix::Clear() {
  for (int i = 0; i <= kMaxOrder; ++i) {
    for (int j = 0; j <= kMaxOrder; ++j) {
      num[i][j] = 0;
      den[i][j] = 1;
    }
  }
  rows = 0;
  cols = 0;
}

}  // namespace calc
