// bench_id3: ID3v2 reading speed and bytes read per file, against mutagen
// reading the same files in one Python batch, timed in the same run.
//
// Generates 1,000 files into a temporary folder: 10-50 frames (v2.3 and
// v2.4, mixed encodings) with a 500 KB picture among them, 1 KiB of padding
// and 5 MB of audio (a sparse tail: neither reader touches the audio); one
// file in ten has no tag at all, as in a real music folder. Warms
// the cache, then reads every file with TID3v2 (best of three passes) and
// with mutagen, compares the seven main fields of both, and prints figures.
//
// Usage: bench_id3 [files] [folder]   (defaults: 1000, a new folder in /tmp)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "base/CodePage.h"
#include "media/ByteSource.h"
#include "media/ID3v2.h"

namespace {

using qv::media::TID3v2;
using Clock = std::chrono::steady_clock;

std::string be32(uint32_t v) { return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }
std::string synchsafe(uint32_t v) {
  return {char((v >> 21) & 0x7F), char((v >> 14) & 0x7F), char((v >> 7) & 0x7F), char(v & 0x7F)};
}
std::string frame(int version, const char* id, const std::string& data) {
  const auto n = static_cast<uint32_t>(data.size());
  return std::string(id, 4) + (version == 3 ? be32(n) : synchsafe(n)) + std::string(2, '\0') + data;
}

// A text in the frame's encoding; the text itself is Latin-1 (cp1252-safe).
std::string encoded(int encoding, const std::string& latin1, bool terminated = false) {
  std::string out(1, char(encoding));
  std::string body;
  switch (encoding) {
    case 0: body = latin1; break;
    case 1:
      body = "\xFF\xFE";
      for (const char c : latin1) body += std::string{c, '\0'};
      break;
    case 2:
      for (const char c : latin1) body += std::string{'\0', c};
      break;
    default:
      body = qv::base::Cp1252ToUtf8(latin1);
  }
  out += body;
  if (terminated) out += (encoding == 1 || encoding == 2) ? std::string(2, '\0') : std::string(1, '\0');
  return out;
}

struct Expected {
  std::string fields[7];  // title artist album track year genre comment (cp1252)
};

std::string makeTag(int index, std::mt19937& rng, const std::string& picture, Expected& e) {
  const int version = index % 2 ? 4 : 3;
  auto pick = [&](int n) { return static_cast<int>(rng() % n); };
  auto enc = [&] { return version == 4 ? pick(4) : pick(2); };
  static const char* genres[] = {"Rock", ("Chanson fran\xE7" "aise"), "Jazz", "Musique du monde", "Pop"};
  e.fields[0] = "Titre n\xB0 " + std::to_string(index) + " \xE9t\xE9";
  e.fields[1] = "Artiste " + std::to_string(index % 37);
  e.fields[2] = "Album \xC0 " + std::to_string(index % 91);
  e.fields[3] = std::to_string(index % 20 + 1) + "/20";
  e.fields[4] = std::to_string(1950 + index % 70);
  e.fields[5] = genres[index % 5];
  e.fields[6] = "Commentaire " + std::to_string(index) + " \xE0 lire";
  std::vector<std::string> frames = {
      frame(version, "TIT2", encoded(enc(), e.fields[0])),
      frame(version, "TPE1", encoded(enc(), e.fields[1])),
      frame(version, "TALB", encoded(enc(), e.fields[2])),
      frame(version, "TRCK", encoded(0, e.fields[3])),
      frame(version, version == 3 ? "TYER" : "TDRC", encoded(0, e.fields[4])),
      frame(version, "TCON", encoded(enc(), e.fields[5])),
  };
  const int ce = enc();
  frames.push_back(frame(version, "COMM", encoded(ce, "", true).insert(1, "fra") + encoded(ce, e.fields[6]).substr(1)));
  const int total = 10 + pick(41);  // 10-50 frames, the picture included
  for (int k = static_cast<int>(frames.size()); k < total - 1; ++k) {
    if (k % 2) {
      frames.push_back(frame(version, "TXXX", encoded(0, "champ " + std::to_string(k), true).append("valeur " + std::to_string(rng() % 100000))));
    } else {
      std::string priv = "owner" + std::to_string(k) + '\0';
      priv.append(20 + pick(180), char('a' + k % 26));
      frames.push_back(frame(version, "PRIV", priv));
    }
  }
  std::string apic = std::string(1, '\0') + "image/jpeg" + '\0' + '\x03' + "Pochette" + '\0' + picture;
  frames.insert(frames.begin() + pick(static_cast<int>(frames.size()) + 1), frame(version, "APIC", apic));
  std::string body;
  for (const auto& f : frames) body += f;
  body.append(1024, '\0');
  return std::string("ID3") + char(version) + '\0' + '\0' + synchsafe(static_cast<uint32_t>(body.size())) + body;
}

uint64_t rchar() {
  std::ifstream io("/proc/self/io");
  std::string key;
  uint64_t value = 0;
  while (io >> key >> value)
    if (key == "rchar:") return value;
  return 0;
}

// Positioned reads straight from the kernel, as TWin32FileSource does on
// Windows (no stdio buffer): what the reader asks for is what is read.
class PreadSource final : public qv::media::TByteSource {
public:
  explicit PreadSource(const std::string& path) : m_fd(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    struct stat st {};
    if (m_fd >= 0 && fstat(m_fd, &st) == 0) m_size = static_cast<uint64_t>(st.st_size);
  }
  ~PreadSource() override {
    if (m_fd >= 0) close(m_fd);
  }
  uint64_t size() const override { return m_size; }

protected:
  bool readAt(uint64_t offset, void* dst, size_t n) override {
    return m_fd >= 0 && pread(m_fd, dst, n, static_cast<off_t>(offset)) == static_cast<ssize_t>(n);
  }

private:
  int m_fd;
  uint64_t m_size = 0;
};

struct Pass {
  double seconds = 0;
  uint64_t bytes = 0;   // bytes the reader asked for
  uint64_t osBytes = 0; // bytes read from the kernel (stdio buffering included)
  std::vector<std::string> lines;
};

template <typename Source>
Pass readAll(const std::vector<std::string>& paths, bool keep) {
  Pass p;
  TID3v2 tag;
  const uint64_t r0 = rchar();
  const auto t0 = Clock::now();
  for (const auto& path : paths) {
    Source src(path);
    if (!tag.LoadId3v2Tag(src)) std::fprintf(stderr, "unreadable: %s\n", path.c_str());
    p.bytes += src.bytesRead();
    if (keep) {
      p.lines.push_back(tag.Title + '\t' + tag.Artist + '\t' + tag.Album + '\t' + tag.TrackString + '\t' + tag.Year +
                        '\t' + tag.Genre + '\t' + tag.Comment);
    }
  }
  p.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
  p.osBytes = rchar() - r0;
  return p;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
  std::string folder;
  if (argc > 2) {
    folder = argv[2];
    std::filesystem::create_directories(folder);
  } else {
    char tmpl[] = "/tmp/qv_id3_bench_XXXXXX";
    if (!mkdtemp(tmpl)) return 1;
    folder = tmpl;
  }
  std::mt19937 rng(1234);
  std::string picture(500 * 1024, '\0');
  for (char& c : picture) c = static_cast<char>(rng());
  const uint64_t audio = 5ull * 1024 * 1024;

  std::vector<std::string> paths;
  std::vector<Expected> expected(count);
  uint64_t keptBytes = 0, tagBytes = 0;
  int tagged = 0;
  const auto g0 = Clock::now();
  for (int i = 0; i < count; ++i) {
    const std::string path = folder + "/piste_" + std::to_string(i) + ".mp3";
    const std::string tag = i % 10 == 9 ? std::string() : makeTag(i, rng, picture, expected[i]);
    tagBytes += tag.size();
    tagged += !tag.empty();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 1;
    std::fwrite(tag.data(), 1, tag.size(), f);
    std::fwrite("\xFF\xFB\x90\x64", 1, 4, f);
    std::fclose(f);
    if (truncate(path.c_str(), static_cast<off_t>(tag.size() + audio)) != 0) return 1;
    paths.push_back(path);
  }
  const double genSeconds = std::chrono::duration<double>(Clock::now() - g0).count();
  {
    std::ofstream list(folder + "/files.txt");
    for (const auto& p : paths) list << p << '\n';
  }
  std::printf("files: %d in %s (%d tagged, tag %.0f KB average, +5 MB sparse audio), written in %.1f s\n", count,
              folder.c_str(), tagged, double(tagBytes) / std::max(tagged, 1) / 1024, genSeconds);

  // Warm the cache for both readers: the whole tag of each file.
  {
    std::vector<char> buf(1 << 20);
    for (const auto& p : paths) {
      FILE* f = std::fopen(p.c_str(), "rb");
      if (f) {
        (void)std::fread(buf.data(), 1, buf.size(), f);
        std::fclose(f);
      }
    }
  }

  // Ours: best of three passes, through stdio and through positioned reads.
  Pass best = readAll<qv::media::TStdioFileSource>(paths, true);
  Pass bestPread = readAll<PreadSource>(paths, false);
  for (int i = 0; i < 2; ++i) {
    Pass p = readAll<qv::media::TStdioFileSource>(paths, false);
    if (p.seconds < best.seconds) best.seconds = p.seconds, best.osBytes = p.osBytes;
    p = readAll<PreadSource>(paths, false);
    if (p.seconds < bestPread.seconds) bestPread = p;
  }
  TID3v2 probe;
  for (const auto& p : paths) {
    qv::media::TStdioFileSource src(p);
    probe.LoadId3v2Tag(src);
    for (const auto& t : probe.Info.FrameTexts) keptBytes += t.size();
  }

  // mutagen, one batch over the same files.
  const std::string script = QV_ID3_MUTAGEN_SCRIPT;
  const std::string outFile = folder + "/mutagen.out", errFile = folder + "/mutagen.err";
  const std::string cmd = "/usr/bin/python3 '" + script + "' '" + folder + "/files.txt' >'" + outFile + "' 2>'" + errFile + "'";
  const auto m0 = Clock::now();
  const int rc = std::system(cmd.c_str());
  const double mutagenWall = std::chrono::duration<double>(Clock::now() - m0).count();
  double mutagenLoop = 0;
  uint64_t mutagenBytes = 0;
  int untagged = 0, refused = 0;
  {
    std::ifstream err(errFile);
    std::string line;
    while (std::getline(err, line)) {
      if (line.rfind("loop_seconds=", 0) == 0) mutagenLoop = std::atof(line.c_str() + 13);
      if (line.rfind("rchar=", 0) == 0) mutagenBytes = std::strtoull(line.c_str() + 6, nullptr, 10);
      if (line.rfind("untagged=", 0) == 0) untagged = std::atoi(line.c_str() + 9);
      if (line.rfind("refused=", 0) == 0) refused = std::atoi(line.c_str() + 8);
    }
  }
  std::vector<std::string> mutagenLines;
  {
    std::ifstream out(outFile, std::ios::binary);
    std::string line;
    while (std::getline(out, line)) mutagenLines.push_back(line);
  }
  int agreeMutagen = 0, agreeGenerated = 0;
  for (int i = 0; i < count; ++i) {
    std::string want = expected[i].fields[0];
    for (int k = 1; k < 7; ++k) want += '\t' + expected[i].fields[k];
    if (best.lines[i] == want) ++agreeGenerated;
    if (i < static_cast<int>(mutagenLines.size()) && mutagenLines[i] == best.lines[i]) ++agreeMutagen;
  }

  std::printf("\n%-28s %12s %14s %20s\n", "reader", "files/s", "time (s)", "bytes read/file");
  std::printf("%-28s %12.0f %14.3f %12.0f (kernel %.0f)\n", "TID3v2, stdio (best of 3)", count / best.seconds,
              best.seconds, double(best.bytes) / count, double(best.osBytes) / count);
  std::printf("%-28s %12.0f %14.3f %12.0f (kernel %.0f)\n", "TID3v2, pread (best of 3)", count / bestPread.seconds,
              bestPread.seconds, double(bestPread.bytes) / count, double(bestPread.osBytes) / count);
  if (rc == 0) {
    std::printf("%-28s %12.0f %14.3f %12.0f\n", "mutagen, loop only", count / mutagenLoop, mutagenLoop,
                double(mutagenBytes) / count);
    std::printf("%-28s %12.0f %14.3f\n", "mutagen, whole process", count / mutagenWall, mutagenWall);
    std::printf("\nspeed-up against mutagen's loop: %.0fx (files without a tag: %d; tags mutagen refused: %d)\n",
                mutagenLoop / best.seconds, untagged, refused);
  } else {
    std::printf("mutagen: failed (exit %d), see %s\n", rc, errFile.c_str());
  }
  std::printf("kept frame bytes per file: %.0f; bytes read beyond them: %.0f (goal < 8192)\n",
              double(keptBytes) / count, double(best.bytes - keptBytes) / count);
  std::printf("seven main fields equal to the generated values: %d/%d; equal to mutagen's: %d/%d\n", agreeGenerated,
              count, agreeMutagen, count);

  if (argc <= 2) std::filesystem::remove_all(folder);
  return agreeGenerated == count && agreeMutagen == count ? 0 : 2;
}
