// Mask lists of the folder scan: ";"-separated wildcard masks ("*" any run
// of characters, "?" exactly one), lower-cased, matched against lower-cased
// names. Also used by the shell folder controls.
// Tested by tests/engine/Masks_test.cpp.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qv::engine {

using TMaskList = std::vector<std::string>;

// Splits maskText at every ";" into lower-cased masks (not trimmed: " *.png"
// keeps its blank; empty pieces match nothing), sorted. An empty text
// gives the single mask "*".
void LoadMaskList(std::string_view maskText, TMaskList& list);
// True when one mask matches the name (lower-cased here); an empty list
// matches everything. A name without "." is also tried with a "." appended,
// so "readme" matches "*." and "*.*" as well as "readme".
bool NameMatchesMaskList(std::string_view fileName, const TMaskList& list);
// Both already lower case. Linear matching that backtracks to the last
// star, so "*_?.jpg" matches "img_2_3.jpg".
bool MaskMatchesName(std::string_view lowerName, std::string_view mask);

}  // namespace qv::engine
