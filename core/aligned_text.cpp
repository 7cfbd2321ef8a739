#include "aligned_text.h"

#include <algorithm>
#include <vector>

namespace calc {

namespace {

bool IsDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "7", "-3", "9/2", "-1/2".
bool IsNumber(std::string_view s) {
  if (!s.empty() && s[0] == '-') s.remove_prefix(1);
  const size_t slash = s.find('/');
  if (slash == std::string_view::npos) return IsDigits(s);
  return IsDigits(s.substr(0, slash)) && IsDigits(s.substr(slash + 1));
}

}  // namespace

bool TableCells(std::string_view line, std::vector<std::string_view>& cells) {
  cells.clear();
  bool number = false;
  for (size_t p = 0; p < line.size();) {
    if (line[p] == ' ') {
      ++p;
      continue;
    }
    const size_t end = std::min(line.find(' ', p), line.size());
    const std::string_view cell = line.substr(p, end - p);
    if (IsNumber(cell)) {
      number = true;
    } else if (cell != "|") {
      return false;
    }
    cells.push_back(cell);
    p = end;
  }
  return number;
}

namespace {

struct Line {
  std::string_view body;  // without its line end
  std::string_view end;   // "\n", "\r\n" or "" for the last line
  std::vector<std::string_view> cells;
  bool table = false;
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  while (!text.empty()) {
    const size_t lf = text.find('\n');
    Line line;
    line.body = text.substr(0, lf);
    line.end = lf == std::string_view::npos ? "" : "\n";
    if (!line.body.empty() && line.body.back() == '\r') {
      line.body.remove_suffix(1);
      line.end = "\r\n";
    }
    line.table = TableCells(line.body, line.cells);
    lines.push_back(line);
    text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
  }
  return lines;
}

}  // namespace

std::string AlignColumns(std::string_view text) {
  std::vector<Line> lines = SplitLines(text);
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (size_t first = 0; first < lines.size();) {
    if (!lines[first].table) {
      out.append(lines[first].body).append(lines[first].end);
      ++first;
      continue;
    }
    size_t last = first;
    std::vector<size_t> width;
    for (; last < lines.size() && lines[last].table; ++last) {
      const auto& cells = lines[last].cells;
      if (width.size() < cells.size()) width.resize(cells.size());
      for (size_t j = 0; j < cells.size(); ++j) width[j] = std::max(width[j], cells[j].size());
    }
    for (size_t i = first; i < last; ++i) {
      const auto& cells = lines[i].cells;
      for (size_t j = 0; j < cells.size(); ++j) {
        if (j > 0) out += ' ';
        out.append(width[j] - cells[j].size(), ' ').append(cells[j]);
      }
      out.append(lines[i].end);
    }
    first = last;
  }
  return out;
}

}  // namespace calc
