#include "platform/text.h"

#include <iconv.h>

#include <cerrno>

namespace quillet::text {

namespace {

// Converts all of `in` or nothing: a partial conversion would lose text.
bool convert(const char* to, const char* from, const std::string& in, std::string& out) {
  iconv_t cd = ::iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  out.assign(in.size() * 4 + 16, '\0');
  char* src = const_cast<char*>(in.data());
  std::size_t srcLeft = in.size();
  char* dst = out.data();
  std::size_t dstLeft = out.size();
  std::size_t r = ::iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  bool ok = r != static_cast<std::size_t>(-1) && srcLeft == 0;
  if (ok) ok = ::iconv(cd, nullptr, nullptr, &dst, &dstLeft) != static_cast<std::size_t>(-1);
  ::iconv_close(cd);
  if (!ok) return false;
  out.resize(out.size() - dstLeft);
  return true;
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Keeps valid UTF-8 as it is and replaces each invalid byte with U+FFFD.
std::string sanitizeUtf8(const std::string& in) {
  std::string out;
  out.reserve(in.size());
  std::size_t i = 0;
  while (i < in.size()) {
    auto b = static_cast<unsigned char>(in[i]);
    std::size_t len = b < 0x80           ? 1
                      : (b >> 5) == 0x6  ? 2
                      : (b >> 4) == 0xE  ? 3
                      : (b >> 3) == 0x1E ? 4
                                         : 0;
    bool valid = len > 0 && i + len <= in.size();
    char32_t c = len == 1 ? b : len == 2 ? (b & 0x1Fu) : len == 3 ? (b & 0x0Fu) : (b & 0x07u);
    for (std::size_t k = 1; valid && k < len; ++k) {
      auto t = static_cast<unsigned char>(in[i + k]);
      if ((t & 0xC0) != 0x80) valid = false;
      c = (c << 6) | (t & 0x3Fu);
    }
    if (valid) {
      const char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
      valid = c >= minimum[len] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
    }
    if (valid) {
      out.append(in, i, len);
      i += len;
    } else {
      appendUtf8(out, 0xFFFD);
      ++i;
    }
  }
  return out;
}

bool isUtf8(const std::string& in) { return sanitizeUtf8(in) == in; }

// GB18030 one character at a time: a byte that starts no character costs
// that byte alone, and the text around it survives. 0x80 is the euro sign in
// the code page of the Windows versions whose files we read, though GB18030
// itself has no such byte.
std::string fromGb18030Leniently(const std::string& in) {
  iconv_t cd = ::iconv_open("UTF-8", "GB18030");
  if (cd == reinterpret_cast<iconv_t>(-1)) return sanitizeUtf8(in);
  std::string out;
  out.reserve(in.size() * 3 / 2 + 16);
  char* src = const_cast<char*>(in.data());
  std::size_t srcLeft = in.size();
  char chunk[4096];
  while (srcLeft > 0) {
    char* dst = chunk;
    std::size_t dstLeft = sizeof chunk;
    std::size_t r = ::iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    const int error = errno;
    out.append(chunk, static_cast<std::size_t>(dst - chunk));
    if (r != static_cast<std::size_t>(-1) || error == E2BIG || srcLeft == 0) continue;
    appendUtf8(out, static_cast<unsigned char>(*src) == 0x80 ? char32_t{0x20AC} : 0xFFFD);
    ++src;
    --srcLeft;
    ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  ::iconv_close(cd);
  return out;
}

}  // namespace

std::string fromStateFile(const std::vector<std::uint8_t>& bytes) {
  std::string in(bytes.begin(), bytes.end());
  std::string out;
  if (convert("UTF-8", "GB18030", in, out)) return out;
  // Written by an editor that saves UTF-8.
  if (isUtf8(in)) return in;
  return fromGb18030Leniently(in);
}

std::string fromUtf8(const std::vector<std::uint8_t>& bytes) {
  return sanitizeUtf8(std::string(bytes.begin(), bytes.end()));
}

std::vector<std::uint8_t> toStateFile(const std::string& utf8) {
  std::string out;
  if (!convert("GB18030", "UTF-8", utf8, out)) out = utf8;
  return {out.begin(), out.end()};
}

}  // namespace quillet::text
