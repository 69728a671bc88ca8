// metadump: prints every value the media readers give for a file, one
// "name=value" a line. Each reader family has its own dump routine.
#pragma once

#include <cstdio>
#include <string>

namespace qv::metadump {

// Each returns false when the file is not of its kind (nothing printed).
bool DumpId3(const std::string& path, std::FILE* out);
bool DumpPhoto(const std::string& path, std::FILE* out);

}  // namespace qv::metadump
