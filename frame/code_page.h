// The one place where the shell converts text: Windows is spoken to in
// UTF-16, the portable core in code page 936 bytes, whatever code page the
// system itself uses.
#pragma once

#include <string>

// Code page 936 bytes to UTF-16.
std::wstring FromCp936(const std::string& bytes);

// UTF-16 to code page 936 bytes. The minus sign U+2212 and the en dash
// become "-", the no-break and other Unicode spaces (U+00A0, U+2000-U+200B,
// U+202F) a blank; any other character the code page lacks becomes "?", as
// it would on a Chinese system.
std::string ToCp936(const std::wstring& text);

// UTF-16 to UTF-8 (for a saved file).
std::string ToUtf8(const std::wstring& text);

// Every line feed of a result text (LF alone) as CR LF, the line end edits,
// the clipboard and text files expect.
std::wstring WithCrLf(const std::wstring& text);
