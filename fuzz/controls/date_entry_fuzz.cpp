// Fuzz target of the date entry rules: any typed text under any of the
// date edit's formats gives either no date or a valid one, never a crash
// or a sanitizer report. Input: one byte choosing the format and locale
// order, then the text. Replayed from fuzz/corpus/date_entry by
// replay_date_entry.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "controls/dates/CalendarMonth.h"
#include "controls/dates/DateEntry.h"

using namespace qv::controls;
using namespace qv::engine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const char* const kFormats[] = {"DD/MM/YYYY", "MM/DD/YYYY", "YYYY/MM/DD", "DD/MM/YY", "DD/MMM/YYYY", "YY/MM/DD"};
  static const char* const kLocales[] = {"dd/MM/yyyy", "M/d/yyyy", "yyyy-MM-dd", "gg ee/MM/dd ddd"};
  TDateEntrySettings s;
  s.ThisYear = 2026;
  s.ShortDateFormat = kLocales[(data[0] >> 4) % 4];
  s.FarEast = (data[0] & 0x08) != 0;
  s.TimeAMString = "AM";
  s.CenturyWindow = data[0] & 0x01 ? 0 : 60;
  const std::string_view format = kFormats[(data[0] & 0x07) % 6];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  if (auto d = TryTextToDate(format, text, s)) {
    if (*d != EmptyDate && !DateValueValid(*d)) std::abort();
    // The calendar lays out whatever date the edit may hand it.
    TCalendarMonth c;
    c.SetDate(*d);
    int col = 0, row = 0;
    c.SelectedCell(col, row);
    if (*d != EmptyDate && c.CellDay(col, row) != c.Day()) std::abort();
  }
  return 0;
}
