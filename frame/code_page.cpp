#include "code_page.h"

#include <windows.h>

namespace {

constexpr UINT kCoreCodePage = 936;

std::wstring Widen(const std::string& bytes, UINT code_page) {
  if (bytes.empty()) return std::wstring();
  const int size = static_cast<int>(bytes.size());
  std::wstring wide(
      static_cast<size_t>(MultiByteToWideChar(code_page, 0, bytes.data(), size, nullptr, 0)),
      L'\0');
  MultiByteToWideChar(code_page, 0, bytes.data(), size, &wide[0], static_cast<int>(wide.size()));
  return wide;
}

std::string Narrow(const std::wstring& text, UINT code_page) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  std::string bytes(static_cast<size_t>(WideCharToMultiByte(code_page, 0, text.data(), size,
                                                            nullptr, 0, nullptr, nullptr)),
                    '\0');
  WideCharToMultiByte(code_page, 0, text.data(), size, &bytes[0], static_cast<int>(bytes.size()),
                      nullptr, nullptr);
  return bytes;
}

}  // namespace

std::wstring FromCp936(const std::string& bytes) {
  return Widen(bytes, kCoreCodePage);
}

// Characters that pasted text from web pages and documents carries and code
// page 936 lacks or spells otherwise: minus signs become "-" (not "?"), and
// the Unicode spaces a blank.
wchar_t PlainCharacter(wchar_t c) {
  if (c == 0x2212 || c == 0x2013) return L'-';
  if (c == 0x00A0 || (c >= 0x2000 && c <= 0x200B) || c == 0x202F) return L' ';
  return c;
}

std::string ToCp936(const std::wstring& text) {
  std::wstring plain(text);
  for (wchar_t& c : plain) c = PlainCharacter(c);
  return Narrow(plain, kCoreCodePage);
}

std::string ToUtf8(const std::wstring& text) {
  return Narrow(text, CP_UTF8);
}

std::wstring WithCrLf(const std::wstring& text) {
  std::wstring result;
  result.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) result += L'\r';
    result += text[i];
  }
  return result;
}
