// Text forms of numbers, fractions and matrices in the result boxes and the
// process log.
#pragma once

#include <string>
#include <string_view>

#include "fraction_matrix.h"

namespace calc {

// Appends text to a string through a buffer of its own, one string append
// per buffer: a matrix's text is many short numbers and blanks, and each
// then costs a few stores instead of a string operation. Everything put is
// in the string once the writer is flushed or destroyed.
class TextWriter {
 public:
  explicit TextWriter(std::string& text) : text_(text) {}
  ~TextWriter() { Flush(); }
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;

  void Put(char c) {
    MakeRoom(1);
    buffer_[used_++] = c;
  }
  void Put(std::string_view s);
  // In decimal: a minus for a negative value, no leading zeros.
  void Put(const Integer& v) {
    if (!v.IsSmall()) return PutBig(v);
    MakeRoom(kMaxMachineDecimalLength);
    used_ = WriteDecimal(v.Small(), buffer_ + used_) - buffer_;
  }
  // As stored: "0" when the numerator is 0, the numerator alone when the
  // denominator is 1, otherwise "n/d".
  void Put(const Fraction& f) {
    if (f.num.IsZero()) return Put('0');
    Put(f.num);
    if (f.den.IsOne()) return;
    Put('/');
    Put(f.den);
  }

  // The length of the text with what is buffered.
  size_t Written() const { return text_.size() + used_; }
  // Puts again the `length` bytes from `start` of the text, which must have
  // been flushed.
  void Repeat(size_t start, size_t length);

  void Flush() {
    if (used_ == 0) return;
    text_.append(buffer_, used_);
    used_ = 0;
  }

 private:
  void PutBig(const Integer& v);
  void MakeRoom(size_t n) {
    if (sizeof buffer_ - used_ < n) Flush();
  }

  std::string& text_;
  size_t used_ = 0;
  char buffer_[512];
};

// Appends v in decimal: a minus for a negative value, no leading zeros.
void AppendDecimal(const Integer& v, std::string& text);

// Appends a fraction as stored: "0" when its numerator is 0, the numerator
// alone when the denominator is 1, otherwise "n/d".
void AppendFraction(const Fraction& f, std::string& text);

// Appends rows 1..rows, columns 1..cols: each entry as above followed by a
// blank, each row ended by a line feed alone.
void FormatMatrixText(const FractionMatrix& m, int rows, int cols, std::string& text);

}  // namespace calc
