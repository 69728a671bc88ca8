// What a list view keeps of its layout between runs, and where: column
// widths, header order, sort column and direction, view style, as decimal
// strings under HKEY_CURRENT_USER\<RegistryKey> in the subkeys "Columns",
// "Sort" and "ViewStyle". The list views read and write the values at fixed
// points (EnhListView, ExtListView); this file holds the settings object and
// the text forms of its values. Tested by
// tests/controls/lists/LVSaveSettings_test.cpp.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv::controls {

class TQsEnhLVSaveSettings {
public:
  virtual ~TQsEnhLVSaveSettings() = default;

  bool AutoSave = false;
  std::string RegistryKey;  // below HKEY_CURRENT_USER; empty = nowhere
  bool SaveColumnSizes = true;
  bool SaveCurrentSort = true;
  bool SaveViewStyle = true;
};

class TQsExtLVSaveSettings : public TQsEnhLVSaveSettings {
public:
  bool SaveColumnOrder = true;
};

// Registry layout: subkeys and value names.
namespace LVSettingsNames {
inline constexpr char kColumns[] = "Columns";
inline constexpr char kOrder[] = "Order";
inline constexpr char kSizes[] = "Sizes";
inline constexpr char kSort[] = "Sort";
inline constexpr char kAscending[] = "Ascending";
inline constexpr char kSortCol[] = "SortCol";
inline constexpr char kViewStyle[] = "ViewStyle";
}  // namespace LVSettingsNames

// "120,80,65": each number followed by ",", the last comma dropped.
std::string JoinIntegerList(const std::vector<int>& values);

// Splits text at "," from the left into at most n items; an item that is
// not a decimal integer (optional blanks and sign) reads as nullopt.
// Missing items are simply not there (the result may be shorter than n).
std::vector<std::optional<int>> SplitIntegerList(std::string_view text, int n);

// A decimal integer (blanks around it allowed, 32-bit range), or nullopt.
std::optional<int> ParseDecimal(std::string_view text);

// The stored "Order" text as a header order for n columns: items that are
// not numbers read as 0, missing items keep their own index; the result is
// used only when it is a permutation of 0..n-1, otherwise the identity
// (a repeated or out-of-range index would corrupt the header).
std::vector<int> ColumnOrderFromText(std::string_view text, int n);
bool IsPermutation(const std::vector<int>& order);
std::vector<int> IdentityOrder(int n);

// The stored "Sizes" text applied to the current widths (display order):
// items that are not numbers (or negative, or above 16384 pixels) keep the
// current width; a first item of -1 leaves every width as it was.
std::vector<int> ColumnSizesFromText(std::string_view text, const std::vector<int>& current);

// Sort column clamped to 0..count-1 (a value at or above the count becomes
// count - 1, then a negative one 0).
int ClampSortColumn(int column, int count);

}  // namespace qv::controls
