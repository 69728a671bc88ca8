// Text forms of the list view's saved settings.
#include "controls/lists/LVSaveSettings.h"

#include <cstdint>

namespace qv::controls {

namespace {
constexpr int kMaxColumnWidth = 16384;
}  // namespace

std::string JoinIntegerList(const std::vector<int>& values) {
  std::string out;
  for (int v : values) {
    out += std::to_string(v);
    out += ',';
  }
  if (!out.empty()) out.pop_back();
  return out;
}

std::optional<int> ParseDecimal(std::string_view text) {
  size_t i = 0, n = text.size();
  while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
  while (n > i && (text[n - 1] == ' ' || text[n - 1] == '\t')) --n;
  bool negative = false;
  if (i < n && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == n) return std::nullopt;
  int64_t value = 0;
  for (; i < n; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > INT64_C(2147483648)) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<int>(value);
}

std::vector<std::optional<int>> SplitIntegerList(std::string_view text, int n) {
  std::vector<std::optional<int>> items;
  while (static_cast<int>(items.size()) < n && !text.empty()) {
    const size_t comma = text.find(',');
    const std::string_view item = comma == std::string_view::npos ? text : text.substr(0, comma);
    items.push_back(ParseDecimal(item));
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
  }
  return items;
}

std::vector<int> IdentityOrder(int n) {
  std::vector<int> order(n > 0 ? static_cast<size_t>(n) : 0);
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  return order;
}

bool IsPermutation(const std::vector<int>& order) {
  std::vector<bool> seen(order.size(), false);
  for (int v : order) {
    if (v < 0 || static_cast<size_t>(v) >= order.size() || seen[v]) return false;
    seen[v] = true;
  }
  return true;
}

std::vector<int> ColumnOrderFromText(std::string_view text, int n) {
  std::vector<int> order = IdentityOrder(n);
  const auto items = SplitIntegerList(text, n);
  for (size_t i = 0; i < items.size(); ++i) order[i] = items[i].value_or(0);
  return IsPermutation(order) ? order : IdentityOrder(n);
}

std::vector<int> ColumnSizesFromText(std::string_view text, const std::vector<int>& current) {
  std::vector<int> sizes = current;
  const auto items = SplitIntegerList(text, static_cast<int>(current.size()));
  if (!items.empty() && items[0] == -1) return current;
  // A negative or huge width is junk, not a width: it keeps the current one.
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i] && *items[i] >= 0 && *items[i] <= kMaxColumnWidth) sizes[i] = *items[i];
  return sizes;
}

int ClampSortColumn(int column, int count) {
  if (column >= count) column = count - 1;
  if (column < 0) column = 0;
  return column;
}

}  // namespace qv::controls
