// Mask lists; see Masks.h.
#include "engine/Masks.h"

#include <algorithm>

#include "engine/TextUtils.h"

namespace qv::engine {

void LoadMaskList(std::string_view maskText, TMaskList& list) {
  list.clear();
  if (maskText.empty()) {
    list.emplace_back("*");
    return;
  }
  // Every ";" ends one piece; a text without a final ";" gets one.
  size_t start = 0;
  while (start < maskText.size()) {
    size_t end = maskText.find(';', start);
    if (end == std::string_view::npos) end = maskText.size();
    list.push_back(AnsiLowerCase(maskText.substr(start, end - start)));
    start = end + 1;
  }
  std::sort(list.begin(), list.end());
}

bool MaskMatchesName(std::string_view name, std::string_view mask) {
  if (mask.empty()) return false;
  if (mask == "*") return true;
  if (mask == "*.*") return name.find('.') != std::string_view::npos;
  // Greedy walk; on a mismatch go back to the last star and let it take one
  // more character. Earlier stars never need to move again, which keeps
  // this O(name x mask) at worst and linear in practice.
  size_t n = 0, m = 0;
  size_t starMask = std::string_view::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || mask[m] == name[n]) && mask[m] != '*') {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starName = n;
    } else if (starMask != std::string_view::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

bool NameMatchesMaskList(std::string_view fileName, const TMaskList& list) {
  if (list.empty()) return true;
  const std::string lower = AnsiLowerCase(fileName);
  const bool noDot = lower.find('.') == std::string::npos;
  const std::string dotted = noDot ? lower + "." : std::string();
  for (const std::string& mask : list) {
    if (MaskMatchesName(lower, mask)) return true;
    if (noDot && MaskMatchesName(dotted, mask)) return true;
  }
  return false;
}

}  // namespace qv::engine
