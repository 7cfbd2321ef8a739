// The one exact elimination every program runs, with the points in which
// the programs differ as named options. It comes in two forms that give the
// same values: on fractions (the step-by-step form the programs show, and
// the fastest while values are small), and fraction-free on the integer
// matrix whose rows are cleared of their denominators (the fastest for large
// values).
#pragma once

#include <functional>

#include "fraction_matrix.h"

namespace calc {

// Where the pivots are looked for.
enum class PivotWalk {
  // The pivot row advances once per pivot found; a column with nothing to
  // pivot on is skipped and the pivot row stays (row echelon form, rank).
  kEchelon,
  // Step p pivots on entry (p, p); a column with nothing to pivot on ends
  // its step with no row eliminated, and the next step goes on (the
  // step-by-step determinant).
  kDiagonal,
};

// How a zero pivot is repaired when a lower row has a non-zero entry in its
// column (the first such row is taken).
enum class PivotRepair {
  kAddLowerRow,   // the lower row is added to the pivot row
  kExchangeRows,  // the two rows change places (the determinant's sign flips)
};

// What happens to a row whose entry in the pivot column is already 0.
enum class ZeroMultiplierRow {
  kLeave,   // it stays as it is, in the form it had
  kReduce,  // its entries are rewritten in reduced form, as if eliminated
};

struct EliminationOptions {
  PivotWalk walk = PivotWalk::kEchelon;
  PivotRepair repair = PivotRepair::kAddLowerRow;
  ZeroMultiplierRow zero_multiplier_row = ZeroMultiplierRow::kLeave;
  // Also clear the pivot column above each pivot (Gauss-Jordan).
  bool clear_above = false;
  // Pivots are looked for in columns 1..pivot_cols only (0: every column);
  // the row operations always span all columns.
  int pivot_cols = 0;
  // Stop as soon as an entry leaves 32-bit parts (for callers that have a
  // faster road for large values).
  bool stop_beyond_32_bits = false;
};

// The rows a calculation works on, each addressed from column 1. A row
// exchange swaps two pointers, so the rows may live anywhere.
struct RowSet {
  Fraction* row[kMaxOrder + 1] = {};
  int rows = 0;
  int cols = 0;

  Fraction& operator()(int i, int j) const { return row[i][j]; }
};

// Rows 1..rows, columns 1..cols of m.
RowSet RowsOf(FractionMatrix& m, int rows, int cols);

struct EliminationResult {
  int rank = 0;                       // pivots found
  int exchanges = 0;                  // row exchanges made
  bool stopped = false;               // stop_beyond_32_bits ended the elimination early
  int pivot_col[kMaxOrder + 1] = {};  // per pivot row 1..rank: its column
};

// What one step of an elimination did.
struct Step {
  int row = 0;         // the pivot row
  int col = 0;         // the column looked at
  bool found = false;  // a pivot was found (else the column had none)
  // The lower row that repaired a zero pivot (added to the pivot row or
  // exchanged with it, as the options say); 0 when none was needed.
  int repaired_from = 0;
};

// Called after each step, with the rows as they stand.
using StepObserver = std::function<void(const Step& step)>;

// Eliminates below (and with clear_above, above) each pivot, exactly. The
// diagonal walk takes steps 1..rows-1; the echelon walk runs until the rows
// or the pivot columns run out.
EliminationResult Eliminate(RowSet& rows, const EliminationOptions& options,
                            const StepObserver& after_step = nullptr);

// The product of the entries (1, 1)..(n, n), reduced.
Fraction DiagonalProduct(const RowSet& rows, int n);

// The determinant of rows and columns 1..n of m, exact, by whichever
// elimination is faster for its values.
Fraction Determinant(const FractionMatrix& m, int n);

// An integer matrix with up to 2 * kMaxOrder columns, addressed from 1: the
// work space of the fraction-free elimination.
struct IntegerRows {
  Integer entry[kMaxOrder + 1][2 * kMaxOrder + 1];
  int rows = 0;
  int cols = 0;
  Integer& operator()(int i, int j) { return entry[i][j]; }
  const Integer& operator()(int i, int j) const { return entry[i][j]; }
};

// The least common multiple of the denominators of rows and columns 1..n
// of m.
Integer DenominatorLcm(const FractionMatrix& m, int n);

// Fills rows 1..n, columns 1..cols of out with m's rows, each multiplied by
// the least common multiple of its denominators (kept in scale[i]), so that
// every entry is an integer.
void ClearDenominators(const FractionMatrix& m, int n, int cols, IntegerRows& out, Integer scale[]);

struct FractionFreeResult {
  int rank = 0;
  int pivot_col[kMaxOrder + 1] = {};  // per pivot row 1..rank
  bool odd_exchanges = false;
  Integer last_pivot{1};  // the determinant of the pivot rows and columns
  // Per pivot row k: the pivot before it (1 for the first). With the
  // integer rows B_i = s_i times the fraction rows at the start, pivot row
  // k of the step-by-step fraction elimination is B_k / (s_k row_divisor[k]).
  Integer row_divisor[kMaxOrder + 1];
};

// Fraction-free elimination in Bareiss' form: every entry stays an integer,
// a minor of the matrix, and each step divides exactly by the pivot before
// it. Pivots are looked for in columns 1..pivot_cols (echelon walk). A zero
// pivot is repaired as `repair` says: an exchange leaves scale as it is (it
// keeps naming the original rows); adding a lower row updates the repaired
// row's scale. With jordan the rows above each pivot are cleared too; every
// pivot row then holds last_pivot in its pivot column and 0 in the other
// pivot columns. after_step, when given, is called after each column looked
// at, as Eliminate calls it.
FractionFreeResult EliminateFractionFree(IntegerRows& r, Integer scale[], int pivot_cols,
                                         bool jordan, PivotRepair repair,
                                         const StepObserver& after_step = nullptr);

}  // namespace calc
