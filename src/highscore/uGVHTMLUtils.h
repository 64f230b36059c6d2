// Text encoders for what goes to the web: HTML entities for the Latin-1 half
// of the code page, and percent-encoding for form values. Both work on the
// program's 8-bit Windows-1252 texts byte by byte.
#pragma once

#include <string>
#include <string_view>

namespace tessum {

// Bytes below 160 stay; 161 to 255 become their HTML 4 entity ("&auml;");
// the no-break space 160 is dropped.
std::string HTMLEncode(std::string_view Text);

// The reverse of HTMLEncode: every "&name;" of the Latin-1 entity set becomes
// its byte; anything else, a lone "&" included, stays as it stands.
std::string HTMLDecode(std::string_view Text);

// Letters A-Z, a-z and digits stay; every other byte becomes "%XX" with two
// upper-case hexadecimal digits.
std::string URLEncode(std::string_view Text);

// Lower case of the Windows-1252 code page: A-Z, the accented capitals
// 192-222 except the multiplication sign, and the capitals of the 128-159 row.
char AnsiLowerChar(char C);
std::string AnsiLowerCase(std::string_view Text);

}  // namespace tessum
