#pragma once

#include <optional>
#include <string>
#include <string_view>

// The texts a spreadsheet program shows for cells that a file stores as
// values, shared by the workbook readers.
namespace mofeng::app {

// A number as the general format shows it: at most 15 significant digits,
// '.' as the decimal point whatever the locale ("0.1", "45413", "1e+20").
std::string NumberCellText(double value);

// A number a percent format shows: the value times 100 in the general form,
// then "%" (0.0345 is "3.45%").
std::string PercentCellText(double value);

// A date serial number (days since 1899-12-30, or since 1904-01-01 in a
// 1904 workbook; a fraction is the time of day) as "2024/5/1" or
// "2024/5/1 13:05:00"; nullopt outside years 1900 to 9999.
std::optional<std::string> SerialDateText(double serial, bool date1904 = false);

// An ISO date or date-time ("2024-05-01", "2024-05-01T13:05:00",
// "2024-05-01 13:05:00.5") in the same form; other texts come back unchanged.
std::string IsoDateText(std::string_view iso);

// True for a number format code that shows a date (it has a year, month or
// day letter outside quotes, brackets and escapes).
bool IsDateFormatCode(std::string_view code);

// True for a number format code that shows a percentage ('%' outside
// quotes, brackets and escapes) and no date.
bool IsPercentFormatCode(std::string_view code);
// Built-in number formats 9 and 10 ("0%", "0.00%").
bool IsBuiltinPercentFormat(int id);

// Built-in number formats 14-22 and 45-47 of the spreadsheet file formats show dates or times.
bool IsBuiltinDateFormat(int id);

}  // namespace mofeng::app
