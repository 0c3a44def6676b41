#pragma once
// The host's clock with the operator's regional time and date formats taken from the
// system locale.

#include "ui/Clock.h"

#include <QLocale>
#include <QString>
#include <optional>
#include <string>

namespace linvar {

// A locale's long time format ("h:mm:ss AP t") as a clock pattern ("h:nn:ss AM/PM");
// nothing when the format holds something the clock patterns cannot say.
std::optional<std::string> clockTimePattern(const QString& localeFormat);
// A locale's short date format ("M/d/yy") as a clock pattern ("m/d/yy").
std::optional<std::string> clockDatePattern(const QString& localeFormat);
// Both, each falling back to the default pattern when it cannot be converted.
RegionalFormats regionalFormats(const QLocale& locale);

class QtClock : public SystemClock {
public:
    explicit QtClock(const QLocale& locale = QLocale::system()) {
        setFormats(regionalFormats(locale));
    }
};

} // namespace linvar
