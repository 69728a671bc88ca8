// Photo metadata part of metadump.
#include "bench/metadump/dump.h"

namespace qv::metadump {
bool DumpPhoto(const std::string&, std::FILE*) { return false; }
}  // namespace qv::metadump
