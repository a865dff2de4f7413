#pragma once
// Windows only: UTF-8 (the program's text inside) to and from UTF-16 (the wide Windows calls),
// and a system error code as text.
#include <string>

std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);
std::string SystemErrorText(unsigned long code);
