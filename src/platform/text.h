#pragma once

#include <cstdint>
#include <string>
#include <vector>

// State files are GB18030 on disk (older GBK files read correctly and every
// character round-trips); texts inside the program are UTF-8.
namespace quillet::text {

// GB18030 bytes to UTF-8. Bytes that are not valid GB18030 but are valid
// UTF-8 are taken as UTF-8; otherwise they are read character by character,
// 0x80 as the euro sign (as the Windows code page 936 has it) and each byte
// that starts no character as U+FFFD, so one bad byte costs that byte alone.
std::string fromStateFile(const std::vector<std::uint8_t>& bytes);
// The bytes as UTF-8, each invalid byte replaced by U+FFFD.
std::string fromUtf8(const std::vector<std::uint8_t>& bytes);

// UTF-8 to GB18030; text that cannot be converted is written as UTF-8.
std::vector<std::uint8_t> toStateFile(const std::string& utf8);

}  // namespace quillet::text
