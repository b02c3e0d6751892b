#include "platform/qt/file_filter.h"

namespace quillet::qtui {

QStringList nameFilters(const std::string& filter) {
  QStringList result;
  if (filter.empty()) return result;
  const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
  for (qsizetype i = 0; i < parts.size(); i += 2) {
    const QString description = parts[i].trimmed();
    QString patterns = i + 1 < parts.size() ? parts[i + 1] : QString();
    // Windows separates patterns with semicolons, Qt with spaces.
    QStringList list = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (auto& p : list) p = p.trimmed();
    list.removeAll(QString());
    patterns = list.isEmpty() ? QStringLiteral("*") : list.join(QLatin1Char(' '));
    if (description.isEmpty() && list.isEmpty()) continue;
    const QString inParentheses = QLatin1Char('(') + patterns + QLatin1Char(')');
    // A description that already ends in its patterns is kept as it is.
    result << (description.endsWith(inParentheses) ? description : description + inParentheses);
  }
  return result;
}

}  // namespace quillet::qtui
