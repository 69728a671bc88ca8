// The main, GPS and marker tables, built once on first use.
#include "media/TagTables.h"

#include <algorithm>
#include <array>
#include <vector>

#include "media/TagFormat.h"

namespace qv::media {

namespace {

struct TRow {
  uint16_t tag;
  const char* name;
  const char* description;
  const char* decode;
  const char* format;
  TTagFormatter formatter;
};

constexpr TRow kExifRows[] = {
    {0x0001, "InteroperabilityIndex", "", "", "", nullptr},  // 0
    {0x0002, "InteroperabilityVersion", "", "", "", nullptr},  // 1
    {0x000B, "ACDComment", "", "", "", nullptr},  // 2
    {0x00FE, "NewSubfileType", "", "", "", nullptr},  // 3
    {0x00FF, "SubfileType", "", "", "", nullptr},  // 4
    {0x0100, "ImageWidth", "", "", "", nullptr},  // 5
    {0x0101, "ImageLength", "", "", "", nullptr},  // 6
    {0x0102, "BitsPerSample", "", "", "", nullptr},  // 7
    {0x0103, "Compression", "", "6:Jpeg,3:Uncompressed,1:TIFF", "", nullptr},  // 8
    {0x0106, "PhotometricInterpretation", "", "1:Monochrome, 2:RGB, 6:YCbCr", "", nullptr},  // 9
    {0x010A, "FillOrder", "", "", "", nullptr},  // 10
    {0x010D, "DocumentName", "", "", "", nullptr},  // 11
    {0x010E, "ImageDescription", "", "", "", nullptr},  // 12
    {0x010F, "Make", "", "", "", nullptr},  // 13
    {0x0110, "Model", "", "", "", nullptr},  // 14
    {0x0111, "StripOffsets", "", "", "", nullptr},  // 15
    {0x0112, "Orientation", "", "1:Normal,3:Rotated 180\xB0"",6:CounterClockwise 90\xB0"",8:Clockwise 90\xB0""", "", nullptr},  // 16
    {0x0115, "SamplesPerPixel", "", "", "", nullptr},  // 17
    {0x0116, "RowsPerStrip", "", "", "", nullptr},  // 18
    {0x0117, "StripByteCounts", "", "", "", nullptr},  // 19
    {0x0118, "MinSampleValue", "", "", "", nullptr},  // 20
    {0x0119, "MaxSampleValue", "", "", "", nullptr},  // 21
    {0x011A, "XResolution", "", "", "%5.2f", nullptr},  // 22
    {0x011B, "YResolution", "", "", "%5.2f", nullptr},  // 23
    {0x011C, "PlanarConfiguration", "", "", "", nullptr},  // 24
    {0x011D, "PageName", "", "", "", nullptr},  // 25
    {0x011E, "XPosition", "", "", "", nullptr},  // 26
    {0x011F, "YPosition", "", "", "", nullptr},  // 27
    {0x0120, "FreeOffsets", "", "", "", nullptr},  // 28
    {0x0121, "FreeByteCounts", "", "", "", nullptr},  // 29
    {0x0122, "GrayReponseUnit", "", "", "", nullptr},  // 30
    {0x0123, "GrayReponseCurve", "", "", "", nullptr},  // 31
    {0x0124, "T4Options", "", "", "", nullptr},  // 32
    {0x0125, "T6Options", "", "", "", nullptr},  // 33
    {0x0128, "ResolutionUnit", "", "1:None Specified,2:Inch,3:Centimeter", "", nullptr},  // 34
    {0x0129, "PageNumber", "", "", "", nullptr},  // 35
    {0x012D, "TransferFunction", "", "", "", nullptr},  // 36
    {0x0131, "Software", "", "", "", nullptr},  // 37
    {0x0132, "DateTime", "", "", "", nullptr},  // 38
    {0x013B, "Artist", "", "", "", nullptr},  // 39
    {0x013C, "HostComputer", "", "", "", nullptr},  // 40
    {0x013D, "Predictor", "", "", "", nullptr},  // 41
    {0x013E, "WhitePoint", "", "", "", nullptr},  // 42
    {0x013F, "PrimaryChromaticities", "", "", "", nullptr},  // 43
    {0x0140, "ColorMap", "", "", "", nullptr},  // 44
    {0x0141, "HalfToneHints", "", "", "", nullptr},  // 45
    {0x0142, "TileWidth", "", "", "", nullptr},  // 46
    {0x0143, "TileLength", "", "", "", nullptr},  // 47
    {0x0144, "TileOffsets", "", "", "", nullptr},  // 48
    {0x0145, "TileByteCounts", "", "", "", nullptr},  // 49
    {0x014A, "SubIFDs", "", "", "", nullptr},  // 50
    {0x014C, "InkSet", "", "", "", nullptr},  // 51
    {0x014D, "InkNames", "", "", "", nullptr},  // 52
    {0x014E, "NumberOfInks", "", "", "", nullptr},  // 53
    {0x0150, "DotRange", "", "", "", nullptr},  // 54
    {0x0151, "TargetPrinter", "", "", "", nullptr},  // 55
    {0x0152, "ExtraSample", "", "", "", nullptr},  // 56
    {0x0153, "SampleFormat", "", "", "", nullptr},  // 57
    {0x0154, "SMinSampleValue", "", "", "", nullptr},  // 58
    {0x0155, "SMaxSampleValue", "", "", "", nullptr},  // 59
    {0x0156, "TransferRange", "", "", "", nullptr},  // 60
    {0x0157, "ClipPath", "", "", "", nullptr},  // 61
    {0x0158, "XClipPathUnits", "", "", "", nullptr},  // 62
    {0x0159, "YClipPathUnits", "", "", "", nullptr},  // 63
    {0x015A, "Indexed", "", "", "", nullptr},  // 64
    {0x015B, "JPEGTables", "", "", "", nullptr},  // 65
    {0x015F, "OPIProxy", "", "", "", nullptr},  // 66
    {0x0200, "JPEGProc", "", "", "", nullptr},  // 67
    {0x0201, "JPEGInterchangeFormat", "", "", "", nullptr},  // 68
    {0x0202, "JPEGInterchangeFormatLength", "", "", "", nullptr},  // 69
    {0x0203, "JPEGRestartInterval", "", "", "", nullptr},  // 70
    {0x0205, "JPEGLosslessPredictors", "", "", "", nullptr},  // 71
    {0x0206, "JPEGPointTransforms", "", "", "", nullptr},  // 72
    {0x0207, "JPEGQTables", "", "", "", nullptr},  // 73
    {0x0208, "JPEGDCTables", "", "", "", nullptr},  // 74
    {0x0209, "JPEGACTables", "", "", "", nullptr},  // 75
    {0x0211, "YCbCrCoefficients", "", "", "", nullptr},  // 76
    {0x0212, "YCbCrSubSampling", "", "", "", nullptr},  // 77
    {0x0213, "YCbCrPositioning", "", "1:Centered,2:Co-sited", "", nullptr},  // 78
    {0x0214, "ReferenceBlackWhite", "", "", "", nullptr},  // 79
    {0x02BC, "ExtensibleMetadataPlatform", "", "", "", nullptr},  // 80
    {0x0301, "Gamma", "", "", "", nullptr},  // 81
    {0x0302, "ICCProfileDescriptor", "", "", "", nullptr},  // 82
    {0x0303, "SRGBRenderingIntent", "", "", "", nullptr},  // 83
    {0x0304, "ImageTitle", "", "", "", nullptr},  // 84
    {0x1000, "RelatedImageFileFormat", "", "", "", nullptr},  // 85
    {0x1001, "RelatedImageWidth", "", "", "", nullptr},  // 86
    {0x1002, "RelatedImageHeight", "", "", "", nullptr},  // 87
    {0x5001, "ResolutionXUnit", "", "", "", nullptr},  // 88
    {0x5002, "ResolutionYUnit", "", "", "", nullptr},  // 89
    {0x5003, "ResolutionXLengthUnit", "", "", "", nullptr},  // 90
    {0x5004, "ResolutionYLengthUnit", "", "", "", nullptr},  // 91
    {0x5005, "PrintFlags", "", "", "", nullptr},  // 92
    {0x5006, "PrintFlagsVersion", "", "", "", nullptr},  // 93
    {0x5007, "PrintFlagsCrop", "", "", "", nullptr},  // 94
    {0x5008, "PrintFlagsBleedWidth", "", "", "", nullptr},  // 95
    {0x5009, "PrintFlagsBleedWidthScale", "", "", "", nullptr},  // 96
    {0x500A, "HalftoneLPI", "", "", "", nullptr},  // 97
    {0x500B, "HalftoneLPIUnit", "", "", "", nullptr},  // 98
    {0x500C, "HalftoneDegree", "", "", "", nullptr},  // 99
    {0x500D, "HalftoneShape", "", "", "", nullptr},  // 100
    {0x500E, "HalftoneMisc", "", "", "", nullptr},  // 101
    {0x500F, "HalftoneScreen", "", "", "", nullptr},  // 102
    {0x5010, "JPEGQuality", "", "", "", nullptr},  // 103
    {0x5011, "GridSize", "", "", "", nullptr},  // 104
    {0x5012, "ThumbnailFormat", "", "", "", nullptr},  // 105
    {0x5013, "ThumbnailWidth", "", "", "", nullptr},  // 106
    {0x5014, "ThumbnailHeight", "", "", "", nullptr},  // 107
    {0x5015, "ThumbnailColorDepth", "", "", "", nullptr},  // 108
    {0x5016, "ThumbnailPlanes", "", "", "", nullptr},  // 109
    {0x5017, "ThumbnailRawBytes", "", "", "", nullptr},  // 110
    {0x5018, "ThumbnailSize", "", "", "", nullptr},  // 111
    {0x5019, "ThumbnailCompressedSize", "", "", "", nullptr},  // 112
    {0x501A, "ColorTransferFunction", "", "", "", nullptr},  // 113
    {0x501B, "ThumbnailData", "", "", "", nullptr},  // 114
    {0x5020, "ThumbnailImageWidth", "", "", "", nullptr},  // 115
    {0x5021, "ThumbnailImageHeight", "", "", "", nullptr},  // 116
    {0x5022, "ThumbnailBitsPerSample", "", "", "", nullptr},  // 117
    {0x5023, "ThumbnailCompression", "", "", "", nullptr},  // 118
    {0x5024, "ThumbnailPhotometricInterp", "", "", "", nullptr},  // 119
    {0x5025, "ThumbnailImageDescription", "", "", "", nullptr},  // 120
    {0x5026, "ThumbnailEquipMake", "", "", "", nullptr},  // 121
    {0x5027, "ThumbnailEquipModel", "", "", "", nullptr},  // 122
    {0x5028, "ThumbnailStripOffsets", "", "", "", nullptr},  // 123
    {0x5029, "ThumbnailOrientation", "", "", "", nullptr},  // 124
    {0x502A, "ThumbnailSamplesPerPixel", "", "", "", nullptr},  // 125
    {0x502B, "ThumbnailRowsPerStrip", "", "", "", nullptr},  // 126
    {0x502C, "ThumbnailStripBytesCount", "", "", "", nullptr},  // 127
    {0x502D, "ThumbnailResolutionX", "", "", "", nullptr},  // 128
    {0x502E, "ThumbnailResolutionY", "", "", "", nullptr},  // 129
    {0x502F, "ThumbnailPlanarConfig", "", "", "", nullptr},  // 130
    {0x5030, "ThumbnailResolutionUnit", "", "", "", nullptr},  // 131
    {0x5031, "ThumbnailTransferFunction", "", "", "", nullptr},  // 132
    {0x5032, "ThumbnailSoftwareUsed", "", "", "", nullptr},  // 133
    {0x5033, "ThumbnailDateTime", "", "", "", nullptr},  // 134
    {0x5034, "ThumbnailArtist", "", "", "", nullptr},  // 135
    {0x5035, "ThumbnailWhitePoint", "", "", "", nullptr},  // 136
    {0x5036, "ThumbnailPrimaryChromaticities", "", "", "", nullptr},  // 137
    {0x5037, "ThumbnailYCbCrCoefficients", "", "", "", nullptr},  // 138
    {0x5038, "ThumbnailYCbCrSubsampling", "", "", "", nullptr},  // 139
    {0x5039, "ThumbnailYCbCrPositioning", "", "", "", nullptr},  // 140
    {0x503A, "ThumbnailRefBlackWhite", "", "", "", nullptr},  // 141
    {0x503B, "ThumbnailCopyRight", "", "", "", nullptr},  // 142
    {0x5090, "LuminanceTable", "", "", "", nullptr},  // 143
    {0x5091, "ChrominanceTable", "", "", "", nullptr},  // 144
    {0x5100, "FrameDelay", "", "", "", nullptr},  // 145
    {0x5101, "LoopCount", "", "", "", nullptr},  // 146
    {0x5110, "PixelUnit", "", "", "", nullptr},  // 147
    {0x5111, "PixelPerUnitX", "", "", "", nullptr},  // 148
    {0x5112, "PixelPerUnitY", "", "", "", nullptr},  // 149
    {0x5113, "PaletteHistogram", "", "", "", nullptr},  // 150
    {0x800D, "ImageID", "", "", "", nullptr},  // 151
    {0x80E3, "Matteing", "", "", "", nullptr},  // 152
    {0x80E4, "DataType", "", "", "", nullptr},  // 153
    {0x80E5, "ImageDepth", "", "", "", nullptr},  // 154
    {0x80E6, "TileDepth", "", "", "", nullptr},  // 155
    {0x828D, "CFARepeatPatternDim", "", "", "", nullptr},  // 156
    {0x828E, "CFAPattern", "", "", "", nullptr},  // 157
    {0x828F, "BatteryLevel", "", "", "", nullptr},  // 158
    {0x8298, "Copyright", "", "", "", nullptr},  // 159
    {0x829A, "ExposureTime", "", "", "", FormatExposureTime},  // 160
    {0x829D, "FNumber", "", "", "F%0.1f", nullptr},  // 161
    {0x83BB, "IPTC/NAA", "IPTC/NAA", "", "", nullptr},  // 162
    {0x84E3, "IT8RasterPadding", "", "", "", nullptr},  // 163
    {0x84E5, "IT8ColorTable", "", "", "", nullptr},  // 164
    {0x8649, "ImageResourceInformation", "", "", "", nullptr},  // 165
    {0x8769, "ExifOffset", "", "", "", nullptr},  // 166
    {0x8773, "InterColorProfile", "", "", "", nullptr},  // 167
    {0x8822, "ExposureProgram", "", "0:Unidentified,1:Manual,2:Normal,3:Aperture priority,4:Shutter priority,5:Creative(slow),6:Action(high-speed),7:Portrait mode,8:Landscape mode", "", nullptr},  // 168
    {0x8824, "SpectralSensitivity", "", "", "", nullptr},  // 169
    {0x8825, "GPSInfo", "", "", "", nullptr},  // 170
    {0x8827, "ISOSpeedRatings", "", "", "", nullptr},  // 171
    {0x8828, "OECF", "", "", "", nullptr},  // 172
    {0x8829, "Interlace", "", "", "", nullptr},  // 173
    {0x882A, "TimeZoneOffset", "", "", "", nullptr},  // 174
    {0x882B, "SelfTimerMode", "", "", "", nullptr},  // 175
    {0x9000, "ExifVersion", "", "", "", nullptr},  // 176
    {0x9003, "DateTimeOriginal", "", "", "", nullptr},  // 177
    {0x9004, "DateTimeDigitized", "", "", "", nullptr},  // 178
    {0x9101, "ComponentsConfiguration", "", "", "", FormatComponentsConfiguration},  // 179
    {0x9102, "CompressedBitsPerPixel", "", "", "", nullptr},  // 180
    {0x9201, "ShutterSpeedValue", "", "", "", FormatShutterSpeed},  // 181
    {0x9202, "ApertureValue", "", "", "F%0.1f", nullptr},  // 182
    {0x9203, "BrightnessValue", "", "", "", nullptr},  // 183
    {0x9204, "ExposureBiasValue", "", "", "", nullptr},  // 184
    {0x9205, "MaxApertureValue", "", "", "F%0.1f", nullptr},  // 185
    {0x9206, "SubjectDistance", "", "", "", nullptr},  // 186
    {0x9207, "MeteringMode", "", "0:Unknown,1:Average,2:Center,3:Spot,4:MultiSpot,5:MultiSegment,6:Partial", "", nullptr},  // 187
    {0x9208, "LightSource", "", "0:Unidentified,1:Daylight,2:Fluorescent,3:Tungsten,10:Flash,17:Std A,18:Std B,19:Std C", "", nullptr},  // 188
    {0x9209, "Flash", "", "", "", FormatFlash},  // 189
    {0x920A, "FocalLength", "", "", "%5.2f mm", nullptr},  // 190
    {0x920B, "FlashEnergy", "", "", "", nullptr},  // 191
    {0x920C, "SpatialFrequencyResponse", "", "", "", nullptr},  // 192
    {0x920D, "Noise", "", "", "", nullptr},  // 193
    {0x920E, "FocalPlaneXResolution", "", "", "", nullptr},  // 194
    {0x920F, "FocalPlaneYResolution", "", "", "", nullptr},  // 195
    {0x9210, "FocalPlaneResolutionUnit", "", "1:None Specified,2:Inch,3:Centimeter", "", nullptr},  // 196
    {0x9211, "ImageNumber", "", "", "", nullptr},  // 197
    {0x9212, "SecurityClassification", "", "", "", nullptr},  // 198
    {0x9213, "ImageHistory", "", "", "", nullptr},  // 199
    {0x9214, "SubjectLocation", "", "", "", nullptr},  // 200
    {0x9215, "ExposureIndex", "", "", "", nullptr},  // 201
    {0x9216, "TIFF/EPStandardID", "", "", "", nullptr},  // 202
    {0x9217, "SensingMethod", "", "", "", nullptr},  // 203
    {0x923F, "StoNits", "", "", "", nullptr},  // 204
    {0x927C, "MakerNote", "", "", "", nullptr},  // 205
    {0x9286, "UserComment", "", "", "", FormatUserComment},  // 206
    {0x9290, "SubSecTime", "", "", "", nullptr},  // 207
    {0x9291, "SubSecTimeOriginal", "", "", "", nullptr},  // 208
    {0x9292, "SubSecTimeDigitized", "", "", "", nullptr},  // 209
    {0x953C, "ImageSourceData", "", "", "", nullptr},  // 210
    {0x9C9B, "Title", "", "", "", FormatXpText},  // 211
    {0x9C9C, "Comments", "", "", "", FormatXpText},  // 212
    {0x9C9D, "Author", "", "", "", FormatXpText},  // 213
    {0x9C9E, "Keywords", "", "", "", FormatXpText},  // 214
    {0x9C9F, "Subject", "", "", "", FormatXpText},  // 215
    {0xA000, "FlashPixVersion", "", "", "", nullptr},  // 216
    {0xA001, "ColorSpace", "", "0:sBW,1:sRGB", "", nullptr},  // 217
    {0xA002, "ExifImageWidth", "", "", "", nullptr},  // 218
    {0xA003, "ExifImageLength", "", "", "", nullptr},  // 219
    {0xA004, "RelatedSoundFile", "", "", "", nullptr},  // 220
    {0xA005, "InteroperabilityOffset", "", "", "", nullptr},  // 221
    {0xA20B, "FlashEnergy", "", "", "", nullptr},  // 222
    {0xA20C, "SpatialFrequencyResponse", "", "", "", nullptr},  // 223
    {0xA20E, "FocalPlaneXResolution", "", "", "", nullptr},  // 224
    {0xA20F, "FocalPlaneYResolution", "", "", "", nullptr},  // 225
    {0xA210, "FocalPlaneResolutionUnit", "", "1:None Specified,2:Inch,3:Centimeter", "", nullptr},  // 226
    {0xA211, "ImageNumber", "", "", "", nullptr},  // 227
    {0xA212, "SecurityClassification", "", "", "", nullptr},  // 228
    {0xA213, "ImageHistory", "", "", "", nullptr},  // 229
    {0xA214, "SubjectLocation", "", "", "", nullptr},  // 230
    {0xA215, "ExposureIndex", "", "", "", nullptr},  // 231
    {0xA216, "TIFF/EPStandardID", "TIFF/EPStandardID", "", "", nullptr},  // 232
    {0xA217, "SensingMethod", "", "0:Unknown,1:MonochromeArea,2:OneChipColorArea,3:TwoChipColorArea,4:ThreeChipColorArea,5:ColorSequentialArea,6:MonochromeLinear,7:TriLinear,8:ColorSequentialLinear", "", nullptr},  // 233
    {0xA300, "FileSource", "", "1:Unknown,3:Digital Still Camera", "", nullptr},  // 234
    {0xA301, "SceneType", "", "0:Unknown,1:Directly Photographed", "", nullptr},  // 235
    {0xA302, "CFAPattern", "", "", "", nullptr},  // 236
    {0xA401, "CustomRendered", "", "0:Normal process,1:Custom process", "", nullptr},  // 237
    {0xA402, "ExposureMode", "", "0:Auto,1:Manual,2:Auto bracket", "", nullptr},  // 238
    {0xA403, "WhiteBalance", "", "0:Auto,1:Manual", "", nullptr},  // 239
    {0xA404, "DigitalZoomRatio", "", "", "", nullptr},  // 240
    {0xA405, "FocalLengthin35mmFilm", "Focal Length in 35mm Film", "", "%5.2f mm", nullptr},  // 241
    {0xA406, "SceneCaptureType", "", "0:Standard,1:Landscape,2:Portrait,3:Night scene", "", nullptr},  // 242
    {0xA407, "GainControl", "", "0:None,1:Low gain up,2:High gain up,3:Low gain down,4:High gain down", "", nullptr},  // 243
    {0xA408, "Contrast", "", "0:Normal,1:Soft,2:Hard", "", nullptr},  // 244
    {0xA409, "Saturation", "", "0:Normal,1:Low,2:High", "", nullptr},  // 245
    {0xA40A, "Sharpness", "", "0:Normal,1:Soft,2:Hard", "", nullptr},  // 246
    {0xA40B, "DeviceSettingDescription", "", "", "", nullptr},  // 247
    {0xA40C, "SubjectDistanceRange", "", "0:Unknown,1:Macro,2:Close view,3:Distant view", "", nullptr},  // 248
    {0xA420, "ImageUniqueID", "", "0:Close view,1:Distant view", "", nullptr},  // 249
    {0x0000, "Unknown", "", "", "", nullptr},  // 250
};
static_assert(std::size(kExifRows) == 251);

constexpr TRow kGpsRows[] = {
    {0x0000, "GPSVersionID", "", "", "", nullptr},
    {0x0001, "GPSLatitudeRef", "", "", "", nullptr},
    {0x0002, "GPSLatitude", "", "", "", FormatGpsCoordinate},
    {0x0003, "GPSLongitudeRef", "", "", "", nullptr},
    {0x0004, "GPSLongitude", "", "", "", FormatGpsCoordinate},
    {0x0005, "GPSAltitudeRef", "", "0:Sealevel", "", nullptr},
    {0x0006, "GPSAltitude", "", "", "", nullptr},
    {0x0007, "GPSTimeStamp", "", "", "", FormatGpsTime},
    {0x0008, "GPSSatellites", "", "", "", nullptr},
    {0x0009, "GPSStatus", "", "", "", nullptr},
    {0x000A, "GPSMeasureMode", "", "", "", nullptr},
    {0x000B, "GPSDOP", "", "", "", nullptr},
    {0x000C, "GPSSpeedRef", "", "", "", nullptr},
    {0x000D, "GPSSpeed", "", "", "", nullptr},
    {0x000E, "GPSTrackRef", "", "", "", nullptr},
    {0x000F, "GPSTrack", "", "", "", nullptr},
    {0x0010, "GPSImageDirectionRef", "", "", "", nullptr},
    {0x0011, "GPSImageDirection", "", "", "", nullptr},
    {0x0012, "GPSMapDatum", "", "", "", nullptr},
    {0x0013, "GPSDestLatitudeRef", "", "", "", nullptr},
    {0x0014, "GPSDestLatitude", "", "", "", FormatGpsCoordinate},
    {0x0015, "GPSDestLongitudeRef", "", "", "", nullptr},
    {0x0016, "GPSDestLongitude", "", "", "", FormatGpsCoordinate},
    {0x0017, "GPSDestBearingkRef", "", "", "", nullptr},
    {0x0018, "GPSDestBearing", "", "", "", nullptr},
    {0x0019, "GPSDestDistanceRef", "", "", "", nullptr},
    {0x001A, "GPSDestDistance", "", "", "", nullptr},
    {0x001B, "GPSProcessingMode", "", "", "", nullptr},
    {0x001C, "GPSAreaInformation", "", "", "", nullptr},
    {0x001D, "GPSDateStamp", "", "", "", nullptr},
    {0x001E, "GPSDifferential", "", "", "", nullptr},
};
static_assert(std::size(kGpsRows) == 31);

struct TMarkerRow {
  uint16_t tag;
  const char* description;
};
constexpr TMarkerRow kMarkerRows[] = {
    {0xC0, "Baseline"}, {0xC1, "Extended sequential"}, {0xC2, "Progressive"}, {0xC3, "Lossless"},
    {0xC4, "Define Huffman table"}, {0xC5, "Differential sequential"},
    {0xC6, "Differential progressive"}, {0xC7, "Differential lossless"},
    {0xC9, "Extended sequential, arithmetic coding"}, {0xCA, "Progressive, arithmetic coding"},
    {0xCB, "Lossless, arithmetic coding"}, {0xCD, "Differential sequential, arithmetic coding"},
    {0xCC, "Define arithmetic coding conditioning"},
    {0xCE, "Differential progressive, arithmetic coding"},
    {0xCF, "Differential lossless, arithmetic coding"}, {0xD8, "Start of Image"},
    {0xD9, "End of Image"}, {0xDA, "Start of Scan"}, {0xDB, "Define quantization table"},
    {0xDC, "Define number of lines"}, {0xDD, "Restart interoperability definition"},
    {0xDE, "Define hierarchical progression"}, {0xDF, "Expand reference component"},
    {0xE0, "JPG marker"}, {0xE1, "Exif Data"}, {0xE2, "Exif Extended Data"}, {0xFE, "Comment"},
    {0xED, "IPTC data"}, {0xEE, "Photoshop data"}, {0x00, "Unknown"},
};
static_assert(std::size(kMarkerRows) == 30);

TTagEntry EntryOf(const TRow& r) {
  TTagEntry e;
  e.Tag = r.tag;
  e.Name = r.name;
  e.Description = *r.description ? std::string(r.description) : DescriptionFromName(r.name);
  e.DecodeList = r.decode;
  e.FormatText = r.format;
  e.Formatter = r.formatter;
  return e;
}

struct TTables {
  std::vector<TTagEntry> exif, gps, markers;
  std::vector<std::pair<uint16_t, uint16_t>> byTag;  // (tag, row), sorted, last row wins

  TTables() {
    for (const TRow& r : kExifRows) exif.push_back(EntryOf(r));
    for (const TRow& r : kGpsRows) gps.push_back(EntryOf(r));
    for (const TMarkerRow& m : kMarkerRows) {
      TTagEntry e;
      e.Tag = m.tag;
      e.Description = m.description;
      markers.push_back(std::move(e));
    }
    for (size_t i = 0; i + 1 < exif.size(); ++i) byTag.emplace_back(exif[i].Tag, uint16_t(i));
    std::stable_sort(byTag.begin(), byTag.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
  }
};

const TTables& Tables() {
  static const TTables t;
  return t;
}

}  // namespace

std::span<const TTagEntry> ExifTagTable() { return Tables().exif; }
std::span<const TTagEntry> GpsTagTable() { return Tables().gps; }
std::span<const TTagEntry> MarkerTable() { return Tables().markers; }

const TTagEntry& LookupTagRow(uint16_t tag, TIfdKind kind) {
  const TTables& t = Tables();
  if (kind == TIfdKind::Gps) return tag < t.gps.size() ? t.gps[tag] : t.exif.back();
  auto it = std::upper_bound(t.byTag.begin(), t.byTag.end(), tag,
                             [](uint16_t v, const auto& p) { return v < p.first; });
  if (it == t.byTag.begin() || std::prev(it)->first != tag) return t.exif.back();
  return t.exif[std::prev(it)->second];
}

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = char(x + 32);
    if (y >= 'A' && y <= 'Z') y = char(y + 32);
    if (x != y) return false;
  }
  return true;
}

int TagTableIndexByName(std::string_view name) {
  const auto rows = ExifTagTable();
  for (size_t i = 0; i + 1 < rows.size(); ++i)
    if (SameTextAscii(rows[i].Name, name)) return int(i);
  return -1;
}

std::string DescriptionFromName(std::string_view name) {
  std::string out;
  if (name.empty()) return out;
  out += name[0];
  bool prevCapital = true;
  for (size_t i = 1; i < name.size(); ++i) {
    const char c = name[i];
    if (c >= 'A' && c <= 'Z') {
      if (!prevCapital) out += ' ';
      prevCapital = true;
    } else {
      prevCapital = false;
    }
    out += c;
  }
  return out;
}

}  // namespace qv::media
