// Picture engine timings on a 24-megapixel photo, each median printed beside
// its budget at the end. Exits non-zero when a figure is over budget.
#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "platform/image/band_pipeline.h"
#include "platform/image/picture.h"
#include "support/budget.h"
#include "support/photo.h"

namespace {

using quillet::image::Bitmap;
using quillet::image::Bytes;

using quillet::bench::kPhotoHeight;
using quillet::bench::kPhotoWidth;
using quillet::bench::photoJpeg;

void readSize(benchmark::State& state) {
  const Bytes& jpeg = photoJpeg();
  for (auto _ : state) benchmark::DoNotOptimize(quillet::image::readSize(jpeg));
}

void decodeForDisplay800(benchmark::State& state) {
  const Bytes& jpeg = photoJpeg();
  for (auto _ : state) benchmark::DoNotOptimize(quillet::image::decodeForDisplay(jpeg, 800, 600));
}

void engineFullDecode(benchmark::State& state) {
  const Bytes& jpeg = photoJpeg();
  for (auto _ : state) benchmark::DoNotOptimize(quillet::image::decode(jpeg));
}

// The decoder the whole operations use: libjpeg's scanline interface, a band
// of rows at a time into small buffers handed to a second thread, which
// here does nothing with them.
void bandDecode(benchmark::State& state) {
  const Bytes& jpeg = photoJpeg();
  quillet::image::detail::BandPlan plan;
  quillet::image::detail::BandWork work;
  work.begin = [](quillet::image::Size) { return true; };
  work.place = [](const quillet::image::detail::Band&) { return true; };
  for (auto _ : state) {
    benchmark::DoNotOptimize(quillet::image::detail::decodeInBands(jpeg, plan, work));
  }
}

// The same work straight on the library: header, buffer, decompress.
void bareTjDecompress2(benchmark::State& state) {
  const Bytes& jpeg = photoJpeg();
  tjhandle handle = tjInitDecompress();
  const auto size = static_cast<unsigned long>(jpeg.size());
  for (auto _ : state) {
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colorspace = 0;
    tjDecompressHeader3(handle, jpeg.data(), size, &width, &height, &subsampling, &colorspace);
    auto* pixels = static_cast<unsigned char*>(
        std::malloc(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3));
    tjDecompress2(handle, jpeg.data(), size, pixels, width, 0, height, TJPF_RGB, 0);
    benchmark::DoNotOptimize(pixels);
    std::free(pixels);
  }
  tjDestroy(handle);
}

}  // namespace

// Medians of five runs each; the whole program stays well under a minute.
BENCHMARK(readSize)
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(0.1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(decodeForDisplay800)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(engineFullDecode)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(bandDecode)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(bareTjDecompress2)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::AddCustomContext("photo", std::to_string(kPhotoWidth) + " x " +
                                           std::to_string(kPhotoHeight) + " JPEG q90, " +
                                           std::to_string(photoJpeg().size() / 1024) + " KiB");
  quillet::bench::MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  const auto& m = reporter.medians;
  if (!m.contains("readSize") || !m.contains("decodeForDisplay800") ||
      !m.contains("engineFullDecode") || !m.contains("bareTjDecompress2") ||
      !m.contains("bandDecode")) {
    return 0;  // a --benchmark_filter run: nothing to judge
  }
  quillet::bench::BudgetTable table("Summary (medians)");
  table.line("readSize 24 MP JPEG:", m.at("readSize") * 1e3, 1000.0, "us", 3);
  table.line("decodeForDisplay 800px:", m.at("decodeForDisplay800"), 120.0, "ms");
  table.note("full decode, engine:", m.at("engineFullDecode"), "ms");
  table.note("full decode, bare tjDecompress2:", m.at("bareTjDecompress2"), "ms");
  table.line("full decode, engine / bare:", m.at("engineFullDecode") / m.at("bareTjDecompress2"),
             1.1, "x", 3);
  table.note("decode in bands, nothing placed:", m.at("bandDecode"), "ms");
  table.line("decode in bands / bare:", m.at("bandDecode") / m.at("bareTjDecompress2"), 1.1, "x",
             3);
  return table.allWithin() ? 0 : 1;
}
