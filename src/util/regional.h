// The user's regional formats, read from the POSIX locale environment: the decimal
// separator and the short date and long time formats. Both front ends use this one
// module so that the GUI and the CLI write the same report text.
#pragma once

#include <ctime>
#include <memory>
#include <string>

namespace corvanel {

class RegionalSettings {
 public:
  // The formats of the environment's locale (LC_ALL, LC_NUMERIC / LC_TIME, LANG);
  // the C locale's when the environment names none or one that is not installed.
  static RegionalSettings FromEnvironment();
  // The formats of one named locale, e.g. "de_DE.UTF-8"; nullptr when not installed.
  static std::unique_ptr<RegionalSettings> ForLocale(const std::string& name);
  // The C locale: '.', "%m/%d/%y", "%H:%M:%S".
  static RegionalSettings Classic();

  const std::string& DecimalSeparator() const { return decimal_separator_; }

  // value in fixed-point with exactly `decimals` digits after the separator, rounded
  // half up on the value's exact decimal expansion.
  std::string FormatFixed(float value, int decimals) const;

  // Short date, a blank and long time of a file time in local time, at the two-second
  // resolution of a DOS time stamp. At exactly midnight only the date is written.
  std::string FormatDateTime(std::time_t time) const;

 private:
  RegionalSettings(std::string decimal_separator, std::string date_format, std::string time_format,
                   std::shared_ptr<void> locale);

  std::string decimal_separator_;
  std::string date_format_;
  std::string time_format_;
  std::shared_ptr<void> locale_;  // locale_t used for strftime_l; null for the C locale
};

}  // namespace corvanel
