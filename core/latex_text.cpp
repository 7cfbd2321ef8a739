#include "latex_text.h"

#include <algorithm>
#include <vector>

#include "aligned_text.h"

namespace calc {

namespace {

// A number of a table: "-\frac{3}{2}", "7".
void PutNumber(std::string_view cell, std::string& out) {
  const size_t slash = cell.find('/');
  if (slash == std::string_view::npos) {
    out.append(cell);
    return;
  }
  std::string_view num = cell.substr(0, slash);
  if (num[0] == '-') {
    out += '-';
    num.remove_prefix(1);
  }
  out.append("\\frac{").append(num).append("}{").append(cell.substr(slash + 1)).append("}");
}

// Lines first..last-1 of a table, as one matrix in display math.
void PutTable(const std::vector<std::vector<std::string_view>>& rows, std::string& out) {
  size_t columns = 0, bar_after = 0;  // numbers per row; the bar after that many, 0 for none
  for (const auto& cells : rows) {
    size_t numbers = 0;
    for (std::string_view cell : cells) {
      if (cell == "|") {
        if (bar_after == 0) bar_after = numbers;
      } else {
        ++numbers;
      }
    }
    columns = std::max(columns, numbers);
  }
  out += "\\[\n";
  if (bar_after == 0) {
    out += "\\begin{pmatrix}\n";
  } else {
    out.append("\\left(\\begin{array}{").append(bar_after, 'c').append("|");
    out.append(columns - std::min(columns, bar_after), 'c').append("}\n");
  }
  for (size_t i = 0; i < rows.size(); ++i) {
    bool first = true;
    for (std::string_view cell : rows[i]) {
      if (cell == "|") continue;
      if (!first) out += " & ";
      PutNumber(cell, out);
      first = false;
    }
    out += i + 1 < rows.size() ? " \\\\\n" : "\n";
  }
  out += bar_after == 0 ? "\\end{pmatrix}\n" : "\\end{array}\\right)\n";
  out += "\\]\n";
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The run after p that a power or a root takes: "-1", "T", "33".
size_t RunEnd(std::string_view line, size_t p) {
  size_t end = p;
  if (end < line.size() && line[end] == '-') ++end;
  if (end < line.size() && line[end] == 'T') return end + 1;
  while (end < line.size() && IsDigit(line[end])) ++end;
  return end;
}

// A text line with its symbols in inline math and the characters LaTeX
// reserves escaped.
void PutTextLine(std::string_view line, std::string& out) {
  struct Symbol {
    const char* bytes;  // code page 936
    const char* latex;
  };
  static constexpr Symbol kSymbols[] = {
      {"\xA6\xCB", "\\lambda"}, {"\xA6\xCE", "\\xi"},     {"\xA6\xC7", "\\eta"},
      {"\xA1\xC0", "\\pm"},     {"\xA1\xD6", "\\approx"}, {"\xA1\xA4", "\\cdot"},
  };
  for (size_t p = 0; p < line.size();) {
    const auto b = static_cast<unsigned char>(line[p]);
    if (b >= 0x81 && p + 1 < line.size()) {
      const std::string_view pair = line.substr(p, 2);
      const auto symbol = std::find_if(std::begin(kSymbols), std::end(kSymbols),
                                       [&](const Symbol& s) { return pair == s.bytes; });
      if (symbol != std::end(kSymbols)) {
        out.append("$").append(symbol->latex).append("$");
      } else if (pair == "\xA1\xCC") {  // √ and the number under it
        const size_t end = RunEnd(line, p + 2);
        out.append("$\\sqrt{").append(line.substr(p + 2, end - p - 2)).append("}$");
        p = end;
        continue;
      } else {
        out.append(pair);
      }
      p += 2;
      continue;
    }
    const char c = line[p];
    if (c == '^') {
      const size_t end = RunEnd(line, p + 1);
      out.append("$^{").append(line.substr(p + 1, end - p - 1)).append("}$");
      p = end;
      continue;
    }
    switch (c) {
      case '#':
      case '$':
      case '%':
      case '&':
      case '_':
      case '{':
      case '}':
        out += '\\';
        out += c;
        break;
      case '\\':
        out += "\\textbackslash{}";
        break;
      case '~':
        out += "\\textasciitilde{}";
        break;
      case '<':
      case '>':
      case '|':
        out.append("$").append(1, c).append("$");
        break;
      default:
        out += c;
    }
    ++p;
  }
}

}  // namespace

std::string LatexText(std::string_view text) {
  std::string out;
  std::vector<std::vector<std::string_view>> table;
  std::vector<std::string_view> cells;
  while (!text.empty() || !table.empty()) {
    const size_t lf = text.find('\n');
    std::string_view line = text.substr(0, lf);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const bool more = !text.empty();
    if (more && TableCells(line, cells)) {
      table.push_back(cells);
    } else {
      if (!table.empty()) PutTable(table, out);
      table.clear();
      if (!more) break;
      if (!line.empty()) {
        PutTextLine(line, out);
        out += "\\\\\n";
      } else {
        out += "\n";
      }
    }
    text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
  }
  return out;
}

}  // namespace calc
