// Throughput of encoding detection and of each converter over 1 MiB of
// Japanese prose (bench/data/prose-sjis.txt, made by make_prose.py: half of
// its bytes in double-byte characters, lines of 20-80 characters, CR LF), in
// MB/s of input (10^6 bytes). In-place converters get a fresh copy of their
// input before each timed run; the copy is not timed.
// Usage: encoding_bench [path of the Shift-JIS sample]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "document/encoding.h"

namespace {

using Clock = std::chrono::steady_clock;

// The sample beside this source file; a Unix path reaches Wine through Z:.
std::string DefaultSamplePath() {
  std::string path = __FILE__;
  path.resize(path.find_last_of("/\\") + 1);
  path += "data/prose-sjis.txt";
  return path[0] == '/' ? "Z:" + path : path;
}

std::string ReadFile(const std::string& path) {
  std::string data;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    char chunk[65536];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) data.append(chunk, n);
    std::fclose(f);
  }
  return data;
}

// Runs `step` (after an untimed `prepare`) until half a second of timed work
// and at least five runs have passed; returns MB/s over `bytes` for the median
// run, which other work on a shared machine disturbs least.
template <class Prepare, class Step>
double Measure(std::size_t bytes, Prepare prepare, Step step) {
  std::vector<double> seconds;
  double timed = 0;
  while (timed < 0.5 || seconds.size() < 5) {
    prepare();
    const auto start = Clock::now();
    step();
    seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    timed += seconds.back();
  }
  std::nth_element(seconds.begin(), seconds.begin() + seconds.size() / 2, seconds.end());
  return bytes / seconds[seconds.size() / 2] / 1e6;
}

volatile std::size_t sink;

}  // namespace

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : DefaultSamplePath();
  const std::string sjis = ReadFile(path);
  if (sjis.empty()) {
    std::printf("cannot read %s\n", path.c_str());
    return 1;
  }
  std::string euc = sjis, jis = sjis;
  euc.resize(ShiftJisToEucCapacity(sjis.size()));
  euc.resize(ShiftJisToEuc(&euc[0]));
  jis.resize(ShiftJisToJisCapacity(sjis.size()));
  jis.resize(ShiftJisToJis(&jis[0]));
  const std::string utf8 = ShiftJisToUtf8(sjis);
  std::printf("input: %zu bytes Shift-JIS (EUC-JP %zu, JIS %zu, UTF-8 %zu)\n", sjis.size(), euc.size(),
              jis.size(), utf8.size());

  auto none = [] {};
  auto detect = [&](const char* name, const std::string& text, DetectionCode expected) {
    if (DetectEncoding(text.c_str()) != expected) std::printf("unexpected detection of %s\n", name);
    std::printf("%-30s %8.0f MB/s\n", name, Measure(text.size(), none, [&] {
      sink = static_cast<std::size_t>(DetectEncoding(text.c_str()));
    }));
  };
  detect("DetectEncoding (Shift-JIS)", sjis, DetectionCode::ShiftJis);
  detect("DetectEncoding (EUC-JP)", euc, DetectionCode::EucJp);
  detect("DetectEncoding (JIS, 1st ESC)", jis, DetectionCode::Jis);
  detect("DetectEncoding (UTF-8)", utf8, DetectionCode::Utf8);
  // ASCII up to a last byte A0: all five tests walk the whole text.
  std::string worst(sjis.size() - 1, 'x');
  worst += '\xA0';
  detect("DetectEncoding (worst case)", worst, DetectionCode::Undetermined);

  // Each converter with and without the count of what it loses; the count
  // must be zero for this text, and the result must match the other side.
  std::vector<char> work(ShiftJisToJisCapacity(sjis.size()));

  auto check = [&](const char* name, const char* result, std::size_t length, const std::string& expected) {
    if (std::string(result, length) != expected) std::printf("%s: result differs from the sample\n", name);
  };
  auto inPlace = [&](const char* name, const std::string& input, const std::string& expected, auto fn,
                     bool counts = true) {
    auto load = [&] { std::memcpy(work.data(), input.data(), input.size() + 1); };
    std::size_t lost = 0, length = 0;
    const double plain = Measure(input.size(), load, [&] { length = fn(work.data(), nullptr); });
    check(name, work.data(), length, expected);
    if (!counts) {
      std::printf("%-30s %8.0f MB/s\n", name, plain);
      return;
    }
    const double counting = Measure(input.size(), load, [&] { length = fn(work.data(), &lost); });
    check(name, work.data(), length, expected);
    std::printf("%-30s %8.0f MB/s %8.0f MB/s counting%s\n", name, plain, counting, lost ? " (lost some)" : "");
  };
  std::printf("%-30s %13s %8s\n", "converter", "plain", "counting");
  inPlace("ShiftJisToEuc", sjis, euc, [](char* b, std::size_t* lost) { return ShiftJisToEuc(b, lost); });
  inPlace("ShiftJisToJis", sjis, jis, [](char* b, std::size_t* lost) { return ShiftJisToJis(b, lost); });
  // Loading counts nothing: what it cannot read becomes the geta mark.
  inPlace("EucToShiftJis", euc, sjis, [](char* b, std::size_t*) { return EucToShiftJis(b); }, false);
  inPlace("JisToShiftJis", jis, sjis, [](char* b, std::size_t*) { return JisToShiftJis(b); }, false);
  inPlace("Utf8ToShiftJis", utf8, sjis,
          [&](char* b, std::size_t* lost) { return Utf8ToShiftJis(b, utf8.size(), lost); });

  std::size_t lost = 0;
  std::string back;
  const double plain = Measure(sjis.size(), none, [&] { back = ShiftJisToUtf8(sjis); });
  check("ShiftJisToUtf8", back.data(), back.size(), utf8);
  const double counting = Measure(sjis.size(), none, [&] { back = ShiftJisToUtf8(sjis, &lost); });
  std::printf("%-30s %8.0f MB/s %8.0f MB/s counting%s\n", "ShiftJisToUtf8", plain, counting,
              lost ? " (lost some)" : "");
  return 0;
}
