#include "defaultname.h"

#include <QDateTime>
#include <array>

namespace {
// The operator's files carry the same month names on every machine.
constexpr std::array<const char*, 12> kMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
} // namespace

QString
DefaultFileName(const QString& testString, qint64 secondsSinceEpoch, const QString& extension) {
    const QDateTime local = QDateTime::fromSecsSinceEpoch(secondsSinceEpoch);
    const QDate date = local.date();
    const QTime time = local.time();
    const auto twoDigits = [](int value) {
        return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
    };
    return testString + QStringLiteral(" - ") + QLatin1String(kMonthNames.at(date.month() - 1)) +
           QLatin1Char(' ') + twoDigits(date.day()) + QStringLiteral(", ") +
           twoDigits(time.hour()) + QLatin1Char('.') + twoDigits(time.minute()) + QLatin1Char('.') +
           extension;
}
