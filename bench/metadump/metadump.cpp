// metadump <file>...: for each file, a "file=<path>" line, then every value
// the readers give, one "name=value" a line (cp1252 bytes as they are).
#include "bench/metadump/dump.h"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string path = argv[i];
    std::fprintf(stdout, "file=%s\n", path.c_str());
    const bool id3 = qv::metadump::DumpId3(path, stdout);
    const bool photo = qv::metadump::DumpPhoto(path, stdout);
    if (!id3 && !photo) std::fprintf(stdout, "status=no metadata\n");
  }
  return 0;
}
