// Value formatting of the photo reader: TIFF type sizes, the numeric value of
// raw bytes, decode lists, rational texts, and a locale-free subset of the
// printf directives the tag tables use ("%5.2f", "F%0.1f", "%s mm", "%d").
// The EXIF/GPS value formatters live in TagFormatters.cpp.
// Tested by tests/media/TagFormat_test.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "media/ByteSource.h"
#include "media/TagEntry.h"

namespace qv::media {

// Bytes of one component of TIFF type 0..12; 0 for type 0 and above 12.
uint32_t TiffTypeSize(uint32_t type);

// The bytes as one unsigned number in the given order, low 32 bits kept as a
// signed value (so 1- and 2-byte values are never negative).
int32_t RawInt(std::string_view bytes, ByteOrder order);

// Integer types: RawInt of all bytes; rationals: numerator / denominator (0
// when the denominator is 0); FLOAT and DOUBLE: the IEEE value; others 0.
double NumericTagValue(std::string_view raw, uint32_t type, ByteOrder order);

// Components joined by ", " (at most 128), decoded through the decode list,
// then passed through the format text (see FormatOneValue).
std::string FormatTagValue(std::string_view raw, uint32_t type, std::string_view decodeList,
                           std::string_view formatText, ByteOrder order);

// "1:Normal,3:Rotated 180" looked up by key; entries must follow a comma
// directly, so in "1:A, 2:B" only 1 is found. Empty when not listed.
std::string DecodeListLookup(std::string_view list, std::string_view key);

// "n/d" or "w n/d" as a number; 0 for anything that does not convert.
double RationalValue(std::string_view text);

// The format text with its first directive replaced: %s takes `text`, a
// numeric directive takes `number`. Flags '-' and '0', width and precision
// are honoured; the decimal separator is always '.'.
std::string FormatOneValue(std::string_view format, double number, std::string_view text = {});

// `value` with `decimals` digits after '.', left-padded with spaces to `width`.
std::string FixedText(double value, int decimals, int width = 0);

// Whole decimal text to int64 ("12", "-3"); false for anything else.
bool ParseInteger(std::string_view text, int64_t& value);

// Value formatters of the main and GPS tables.
std::string FormatExposureTime(const TFormatInput& in);
std::string FormatComponentsConfiguration(const TFormatInput& in);
std::string FormatShutterSpeed(const TFormatInput& in);
std::string FormatFlash(const TFormatInput& in);
std::string FormatUserComment(const TFormatInput& in);
std::string FormatXpText(const TFormatInput& in);
std::string FormatGpsCoordinate(const TFormatInput& in);
std::string FormatGpsTime(const TFormatInput& in);

// The UserComment value: its 8-byte character code decides how the rest is
// read ("UNICODE": UTF-16 in the given order, else bytes); trimmed of spaces
// and control characters at both ends.
std::string UserCommentText(std::string_view raw, ByteOrder order);

// Keeps the first 50 characters and turns those below 32 into '.'.
std::string PrintableText(std::string_view text);

}  // namespace qv::media
