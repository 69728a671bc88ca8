// Case-insensitive text order of the file list's sort, on cp1252 text, as a
// user of a Western locale expects it: blanks and punctuation before digits
// before letters, accented letters beside their plain letter (accents
// decide only between otherwise equal texts), Æ Œ ß as two letters, and
// hyphens and apostrophes looked at last. Letter case is ignored. The
// order is built in, so natively and under Wine it is the same.
// Tested by tests/engine/Collation_test.cpp.
#pragma once

#include <string>
#include <string_view>

namespace qv::engine {

// Appends text's sort key to out: comparing two keys byte by byte
// (unsigned) orders the texts. Key bytes are never 0.
void AppendCollationKey(std::string_view text, std::string& out);
std::string CollationKey(std::string_view text);
// <0, 0, >0.
int CompareTextCollated(std::string_view a, std::string_view b);

}  // namespace qv::engine
