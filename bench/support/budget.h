#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace quillet::bench {

// Console output that also keeps each benchmark's median, in milliseconds.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  MedianReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override;
  std::map<std::string, double> medians;
};

// Runs the benchmarks the command line asks for, with one `Fixture` alive
// around all of them and `current` pointing at it; the medians, in ms.
template <class Fixture>
std::map<std::string, double> runWithFixture(int* argc, char** argv, Fixture*& current) {
  benchmark::Initialize(argc, argv);
  MedianReporter reporter;
  {
    Fixture fixture;
    current = &fixture;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    current = nullptr;
  }
  benchmark::Shutdown();
  return reporter.medians;
}

// Prints figures beside their budgets; remembers whether all were within.
class BudgetTable {
 public:
  explicit BudgetTable(const char* title);
  // Prints the figure with OK or OVER; returns whether it was within budget.
  bool line(const std::string& what, double value, double budget, const char* unit, int digits = 1);
  void note(const std::string& what, double value, const char* unit, int digits = 1);
  bool allWithin() const { return allWithin_; }

 private:
  bool allWithin_ = true;
};

}  // namespace quillet::bench
