#include "util/regional.h"

#include <langinfo.h>
#include <locale.h>

#include <charconv>
#include <system_error>

namespace corvanel {

namespace {

// Rounds the plain decimal text `digits` ("123.4567...", no sign) half up to `decimals`
// places; the text must hold more places than that.
std::string RoundHalfUp(const std::string& digits, int decimals) {
  const auto point = digits.find('.');
  std::string kept = digits.substr(0, point) + digits.substr(point + 1, decimals);
  const bool round_up = digits[point + 1 + decimals] >= '5';
  if (round_up) {
    int i = static_cast<int>(kept.size()) - 1;
    while (i >= 0 && kept[i] == '9') kept[i--] = '0';
    if (i >= 0) {
      ++kept[i];
    } else {
      kept.insert(0, 1, '1');
    }
  }
  return kept;  // integer part and fraction without the point
}

std::shared_ptr<void> WrapLocale(locale_t locale) {
  return std::shared_ptr<void>(locale, [](void* l) { freelocale(static_cast<locale_t>(l)); });
}

}  // namespace

RegionalSettings::RegionalSettings(std::string decimal_separator, std::string date_format,
                                   std::string time_format, std::shared_ptr<void> locale)
    : decimal_separator_(std::move(decimal_separator)),
      date_format_(std::move(date_format)),
      time_format_(std::move(time_format)),
      locale_(std::move(locale)) {}

RegionalSettings RegionalSettings::Classic() {
  return RegionalSettings(".", "%m/%d/%y", "%H:%M:%S", nullptr);
}

std::unique_ptr<RegionalSettings> RegionalSettings::ForLocale(const std::string& name) {
  locale_t locale = newlocale(LC_ALL_MASK, name.c_str(), static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) return nullptr;
  std::string separator = nl_langinfo_l(RADIXCHAR, locale);
  std::string date_format = nl_langinfo_l(D_FMT, locale);
  std::string time_format = nl_langinfo_l(T_FMT, locale);
  if (separator.empty()) separator.assign(1, '.');
  return std::unique_ptr<RegionalSettings>(new RegionalSettings(
      std::move(separator), std::move(date_format), std::move(time_format), WrapLocale(locale)));
}

RegionalSettings RegionalSettings::FromEnvironment() {
  tzset();  // file times are shown in the zone that TZ names
  if (auto settings = ForLocale("")) return *settings;
  return Classic();
}

std::string RegionalSettings::FormatFixed(float value, int decimals) const {
  // A float's exact decimal expansion has at most 149 places; 160 shows all of it.
  char buffer[512];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                    std::chars_format::fixed, 160);
  const std::string kept = RoundHalfUp(std::string(buffer, result.ptr), decimals);
  const auto integer_digits = kept.size() - decimals;
  return kept.substr(0, integer_digits) + decimal_separator_ + kept.substr(integer_digits);
}

std::string RegionalSettings::FormatDateTime(std::time_t time) const {
  std::tm parts{};
  localtime_r(&time, &parts);
  parts.tm_sec -= parts.tm_sec % 2;  // DOS time stamps keep even seconds
  const bool midnight = parts.tm_hour == 0 && parts.tm_min == 0 && parts.tm_sec == 0;
  const std::string format = midnight ? date_format_ : date_format_ + " " + time_format_;
  char text[256];
  const std::size_t length = locale_ ? strftime_l(text, sizeof text, format.c_str(), &parts,
                                                  static_cast<locale_t>(locale_.get()))
                                     : std::strftime(text, sizeof text, format.c_str(), &parts);
  return std::string(text, length);
}

}  // namespace corvanel
