#include "support/budget.h"

#include <cstdio>

namespace quillet::bench {

void MedianReporter::ReportRuns(const std::vector<Run>& runs) {
  for (const Run& run : runs) {
    if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
      medians[run.run_name.function_name] =
          run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e3;
    }
  }
  ConsoleReporter::ReportRuns(runs);
}

BudgetTable::BudgetTable(const char* title) { std::printf("\n%s\n", title); }

bool BudgetTable::line(const std::string& what, double value, double budget, const char* unit,
                       int digits) {
  const bool ok = value <= budget;
  allWithin_ = allWithin_ && ok;
  std::printf("%-44s %9.*f %s (budget %g %s) %s\n", what.c_str(), digits, value, unit, budget, unit,
              ok ? "OK" : "OVER");
  return ok;
}

void BudgetTable::note(const std::string& what, double value, const char* unit, int digits) {
  std::printf("%-44s %9.*f %s\n", what.c_str(), digits, value, unit);
}

}  // namespace quillet::bench
