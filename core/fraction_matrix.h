// The matrix of fractions every tool works on.
#pragma once

#include <utility>

#include "fraction.h"

namespace calc {

constexpr int kMaxOrder = 20;  // rows and columns 1..20 are usable

// Up to 20 x 20 fractions addressed from 1, as on paper: m(i, j) is the
// entry in row i, column j; row 0 and column 0 stay unused.
struct FractionMatrix {
  Fraction entry[kMaxOrder + 1][kMaxOrder + 1];
  int rows = 0;
  int cols = 0;

  Fraction& operator()(int i, int j) { return entry[i][j]; }
  const Fraction& operator()(int i, int j) const { return entry[i][j]; }

  void SwapRows(int a, int b) { std::swap(entry[a], entry[b]); }

  // Every entry 0/1, counts 0: the value an entry has when no text gives it.
  void Clear() {
    for (auto& row : entry) {
      for (Fraction& f : row) {
        // Mostly 0/1 already: look before writing.
        if (!f.num.IsZero()) f.num = Integer(0);
        if (!f.den.IsOne()) f.den = Integer(1);
      }
    }
    rows = 0;
    cols = 0;
  }
};

}  // namespace calc
