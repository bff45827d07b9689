// Texts stored in part files are Windows-1252 so that sets move between
// systems; inside the program every text is UTF-8. Length limits of the file
// formats count characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Windows-1252 bytes to UTF-8. The five bytes that code page leaves undefined
// map to the C1 control of the same value.
std::string Cp1252ToUtf8(std::string_view bytes);
// UTF-8 to Windows-1252; a character without a Windows-1252 form becomes "_".
std::string Utf8ToCp1252(std::string_view text);
// Number of characters in a UTF-8 text.
size_t Utf8Length(std::string_view text);
// The first `count` characters of a UTF-8 text.
std::string Utf8Left(std::string_view text, size_t count);
