// The matrix of fractions every tool works on, and the ids the four dialogs
// share.
#pragma once

#include <cstdint>

namespace calc {

constexpr int kMaxOrder = 20;  // rows and columns 1..20 are usable

// Two 21 x 21 arrays (numerators and denominators) addressed from 1; row 0
// and column 0 stay unused so indices read as they do on paper.
struct FractionMatrix {
  int32_t num[kMaxOrder + 1][kMaxOrder + 1];
  int32_t den[kMaxOrder + 1][kMaxOrder + 1];
  int32_t rows;
  int32_t cols;

  // Every entry 0/1, counts 0: the value an entry has when no text gives it.
  void Clear();
};

}  // namespace calc
