#pragma once

namespace jet {

// The characters of bytes 0x80..0xFF in a Windows single-byte code page
// (874 and 1250 to 1258), or nullptr for a code page without a table. Bytes
// below 0x80 are ASCII in all of them.
const char16_t* codePageHighHalf(int codePage);

// Whether Jet keeps text in this code page: the Windows ANSI code pages and
// the DOS ones of older files; 0 where the file doesn't say. Any other
// number in a header is damage.
bool isJetCodePage(int codePage);

}  // namespace jet
