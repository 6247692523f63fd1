#pragma once

#include <string>
#include <string_view>

// Number and date texts as the operator reads and types them: decimal comma, dot as the
// thousands separator, dates day/month/year.

// Formats with a pattern of the kind "#,##0.00", "#,##0.0", "#,#0.0", "0.00", "0": a ","
// before the decimal point turns on thousands grouping, the "0"s after it are the decimals
// always written, "#"s after it decimals written when not zero, the "0"s before it the least
// number of integer digits. Rounds half away from zero on the decimal text, so 2.675 gives
// "2,68". An empty pattern gives the shortest text that reads back as the same value.
// Examples: FormatFloat("#,##0.00", 1234567.891) == "1.234.567,89";
// FormatFloat("#,##0.00", -1234.5) == "-1.234,50".
std::string FormatFloat(std::string_view pattern, double value);

// Reads a number typed by the operator. The comma is the decimal separator; dots may only
// separate groups of three integer digits ("1.234.567,8"), so "1234.5" is refused rather than
// guessed. Blanks around the text and a leading "-" or "+" are accepted. An empty text is not
// a number (ok false, 0 returned); callers that read empty as zero say so themselves.
double TextToFloat(std::string_view text, bool& ok);

// Days since 30/12/1899 (the zero date) from a calendar date; false for an impossible date.
bool TryEncodeDate(int year, int month, int day, double& days);
// Days since 30/12/1899 from a calendar date; throws DataSetError for an impossible date.
double EncodeDate(int year, int month, int day);
// Calendar date of a day count (the fraction, the time of day, is ignored).
void DecodeDate(double days, int& year, int& month, int& day);
// Today's date on this machine, without the time of day.
double Today();

// Formats a date with "dd", "d", "mm", "m", "yyyy", "yy", "hh", "nn", "ss"; other characters
// are copied. FormatDate("dd/mm/yyyy", 0) == "30/12/1899".
std::string FormatDate(std::string_view pattern, double days);

// Reads "dd/mm/yyyy" (one-digit day and month accepted, a two-digit year means 20yy below 50
// and 19yy from 50); false for anything else or an impossible date, days untouched.
bool TryParseDate(std::string_view text, double& days);
