// quillet-picture: the program's picture engine from the command line, for
// scripts and for timing it against other tools. Every output is written
// through a temporary file and renamed into place once whole, so a failed run
// never leaves half a picture. A JPEG is decoded in bands on one thread while
// a second one puts each band in its place in the output file.

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/files.h"
#include "platform/image/bmp_direct.h"
#include "platform/image/gray_levels.h"
#include "platform/image/jpeg_operations.h"
#include "platform/image/picture.h"
#include "platform/image/pixel_rows.h"
#include "platform/image/transform.h"

namespace {

using quillet::image::Bitmap;
using quillet::image::Bytes;

constexpr const char* kUsage =
    "usage: quillet-picture COMMAND ARGUMENTS\n"
    "  size FILE                       print the pixel width and height\n"
    "  to-bmp IN OUT                   write IN as a 24-bit BMP\n"
    "  to-jpeg IN OUT                  write IN as a JPEG, quality 80\n"
    "  flip h|v|hv IN OUT              mirror left-right, top-bottom or both\n"
    "  quarter IN OUT                  turn a quarter clockwise\n"
    "  rotate DEGREES FILL_HEX IN OUT  turn clockwise about the centre; the\n"
    "                                  uncovered corners take FILL_HEX (RRGGBB)\n"
    "  gray N IN OUT                   reduce to N gray levels (2..256), 8-bit BMP\n"
    "IN is a JPEG or BMP file; every OUT but to-jpeg's is a BMP file.\n";

constexpr auto kSynced = quillet::image::OutputFile::Durability::Synced;
constexpr int kBadArguments = 2;
constexpr int kFailed = 1;

int usage(const std::string& why) {
  std::fprintf(stderr, "quillet-picture: %s\n%s", why.c_str(), kUsage);
  return kBadArguments;
}

int failure(const std::string& subject, const std::string& why) {
  std::fprintf(stderr, "quillet-picture: %s: %s\n", subject.c_str(), why.c_str());
  return kFailed;
}

std::optional<Bytes> readInput(const std::string& path, std::string& why) {
  errno = 0;
  auto bytes = quillet::files::read(path);
  if (!bytes) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
      why = "a folder, not a picture";
    } else {
      why = errno != 0 ? std::strerror(errno) : "cannot read the file";
    }
  }
  return bytes;
}

int writeOutput(const std::string& path, const Bytes& bytes) {
  if (bytes.empty()) return failure(path, "nothing to write (the picture is empty)");
  errno = 0;
  if (!quillet::files::writeAtomic(path, bytes)) {
    return failure(path, errno != 0 ? std::strerror(errno) : "cannot write the file");
  }
  return 0;
}

// Decodes IN's bytes; prints why not and returns nothing when it cannot.
std::optional<Bitmap> decoded(const std::string& path, const Bytes& bytes) {
  auto picture = quillet::image::decode(bytes);
  if (!picture) {
    failure(path, picture.error);
    return std::nullopt;
  }
  return std::move(picture.value);
}

int writeBmp(const std::string& path, const Bitmap& bitmap) {
  return writeOutput(path, quillet::image::flipToBmp(bitmap, false, false));
}

// A result, or its reason on stderr.
int writeResult(const std::string& in, const std::string& out,
                const quillet::image::Result<Bytes>& result) {
  if (!result) return failure(in, result.error);
  return writeOutput(out, result.value);
}

bool isJpeg(const Bytes& bytes) {
  return quillet::image::detectFormat(bytes) == quillet::image::Format::Jpeg;
}

int report(const std::string& in, const std::string& out,
           const quillet::image::FileOutcome& outcome) {
  using Failure = quillet::image::FileOutcome::Failure;
  switch (outcome.failure) {
    case Failure::None:
      return 0;
    case Failure::Picture:
      return failure(in, outcome.error);
    case Failure::File:
      return failure(out, outcome.error);
    case Failure::CanvasTooLarge:
      break;
  }
  return failure(in, "the turned picture is too large");
}

int convert(const std::string& in, const std::string& out, bool toJpeg) {
  std::string why;
  const auto bytes = readInput(in, why);
  if (!bytes) return failure(in, why);
  if (toJpeg) return writeResult(in, out, quillet::image::bmpToJpeg(*bytes, 80));
  if (isJpeg(*bytes)) {
    return report(in, out, quillet::image::flipJpegToBmpFile(*bytes, false, false, out, kSynced));
  }
  return writeResult(in, out, quillet::image::jpegToBmp(*bytes));
}

template <class T>
bool parseWhole(std::string_view text, T& value) {
  const char* end = text.data() + text.size();
  auto [at, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && at == end && !text.empty();
}

std::optional<double> parseDegrees(const std::string& text) {
  if (text.empty()) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

// RRGGBB, optionally after "#" or "0x", into the engine's 0x00BBGGRR.
std::optional<std::uint32_t> parseFill(std::string_view text) {
  if (text.starts_with('#')) {
    text.remove_prefix(1);
  } else if (text.starts_with("0x") || text.starts_with("0X")) {
    text.remove_prefix(2);
  }
  std::uint32_t rgb = 0;
  if (text.size() != 6) return std::nullopt;
  const char* end = text.data() + text.size();
  auto [at, ec] = std::from_chars(text.data(), end, rgb, 16);
  if (ec != std::errc() || at != end) return std::nullopt;
  return ((rgb >> 16) & 0xFFu) | (rgb & 0xFF00u) | ((rgb & 0xFFu) << 16);
}

int size(const std::string& path) {
  const auto size = quillet::image::readSizeFile(path);
  if (!size) return failure(path, size.error);
  std::printf("%d %d\n", size.value.width, size.value.height);
  return 0;
}

int flip(const std::string& how, const std::string& in, const std::string& out) {
  const bool horizontal = how == "h" || how == "hv";
  const bool vertical = how == "v" || how == "hv";
  if (!horizontal && !vertical) return usage("flip takes h, v or hv, not '" + how + "'");
  std::string why;
  const auto bytes = readInput(in, why);
  if (!bytes) return failure(in, why);
  if (isJpeg(*bytes)) {
    return report(in, out,
                  quillet::image::flipJpegToBmpFile(*bytes, horizontal, vertical, out, kSynced));
  }
  const auto bitmap = decoded(in, *bytes);
  if (!bitmap) return kFailed;
  return writeOutput(out, quillet::image::flipToBmp(*bitmap, horizontal, vertical));
}

int quarter(const std::string& in, const std::string& out) {
  std::string why;
  const auto bytes = readInput(in, why);
  if (!bytes) return failure(in, why);
  if (isJpeg(*bytes)) {
    return report(in, out, quillet::image::quarterTurnJpegToBmpFile(*bytes, true, out, kSynced));
  }
  const auto bitmap = decoded(in, *bytes);
  if (!bitmap) return kFailed;
  return writeBmp(out, quillet::image::quarterTurn(*bitmap));
}

int rotate(const std::string& degreesText, const std::string& fillText, const std::string& in,
           const std::string& out) {
  const auto degrees = parseDegrees(degreesText);
  if (!degrees) return usage("DEGREES must be a number, not '" + degreesText + "'");
  const auto fill = parseFill(fillText);
  if (!fill) return usage("FILL_HEX must be six hex digits RRGGBB, not '" + fillText + "'");
  std::string why;
  const auto bytes = readInput(in, why);
  if (!bytes) return failure(in, why);
  if (isJpeg(*bytes)) {
    return report(in, out,
                  quillet::image::rotateJpegToBmpFile(*bytes, *degrees, *fill, out, kSynced));
  }
  const auto bitmap = decoded(in, *bytes);
  if (!bitmap) return kFailed;
  // Streamed in bands: a turned 24 MP photo is twice its size in memory.
  const auto canvas = quillet::image::rotatedSize({bitmap->width, bitmap->height}, *degrees);
  const Bytes head = quillet::image::detail::bmp24Header(canvas.width, canvas.height);
  if (head.empty()) return failure(in, "the turned picture is too large");
  const auto rows = static_cast<std::uint64_t>(canvas.height);
  quillet::image::OutputFile file(
      out, head.size() + quillet::image::detail::bmpRowStride(canvas.width) * rows, kSynced);
  std::uint64_t written = 0;
  const bool whole = quillet::image::rotateToBmpStream(
      *bitmap, *degrees, *fill, [&](quillet::image::ByteView piece) {
        const bool ok = file.writeAt(written, piece);
        written += piece.size();
        return ok;
      });
  if (!file.ok() || (whole && !file.commit())) return failure(out, file.failure());
  return whole ? 0 : failure(in, "the turned picture is too large");
}

int gray(const std::string& levelsText, const std::string& in, const std::string& out) {
  int levels = 0;
  if (!parseWhole(levelsText, levels)) {
    return usage("N must be a whole number, not '" + levelsText + "'");
  }
  std::string why;
  const auto bytes = readInput(in, why);
  if (!bytes) return failure(in, why);
  if (isJpeg(*bytes)) {
    return report(in, out, quillet::image::grayJpegToBmpFile(*bytes, levels, out, kSynced));
  }
  return writeResult(in, out, quillet::image::applyGrayLevels(*bytes, levels));
}

int run(const std::vector<std::string>& a) {
  if (a.empty()) return usage("no command given");
  const std::string& command = a[0];
  const auto need = [&](std::size_t count) { return a.size() == count + 1; };
  const auto wrongCount = [&] { return usage("wrong number of arguments for " + command); };
  if (command == "size") return need(1) ? size(a[1]) : wrongCount();
  if (command == "to-bmp") return need(2) ? convert(a[1], a[2], false) : wrongCount();
  if (command == "to-jpeg") return need(2) ? convert(a[1], a[2], true) : wrongCount();
  if (command == "flip") return need(3) ? flip(a[1], a[2], a[3]) : wrongCount();
  if (command == "quarter") return need(2) ? quarter(a[1], a[2]) : wrongCount();
  if (command == "rotate") return need(4) ? rotate(a[1], a[2], a[3], a[4]) : wrongCount();
  if (command == "gray") return need(3) ? gray(a[1], a[2], a[3]) : wrongCount();
  if (command == "-h" || command == "--help" || command == "help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  return usage("unknown command '" + command + "'");
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  return run(arguments);
}
