// Throughput of encoding detection and of each converter over 1 MiB of
// Japanese prose (bench/data/prose-sjis.txt, made by make_prose.py: half of
// its bytes in double-byte characters, lines of 20-80 characters, CR LF), in
// MB/s of input (10^6 bytes). In-place converters get a fresh copy of their
// input before each timed run; the copy is not timed.
// Usage: encoding_bench [path of the Shift-JIS sample]
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

// Runs `step` (which may prepare untimed with `pause`) until half a second of
// timed work has passed; returns MB/s over `bytes` per run.
template <class Prepare, class Step>
double Measure(std::size_t bytes, Prepare prepare, Step step) {
  double timed = 0;
  long runs = 0;
  while (timed < 0.5 || runs < 5) {
    prepare();
    const auto start = Clock::now();
    step();
    timed += std::chrono::duration<double>(Clock::now() - start).count();
    ++runs;
  }
  return bytes * static_cast<double>(runs) / timed / 1e6;
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

  std::vector<char> work(ShiftJisToJisCapacity(sjis.size()));
  auto convert = [&](const char* name, const std::string& input, std::size_t (*fn)(char*)) {
    auto load = [&] { std::memcpy(work.data(), input.c_str(), input.size() + 1); };
    std::printf("%-30s %8.0f MB/s\n", name, Measure(input.size(), load, [&] { sink = fn(work.data()); }));
  };
  convert("ShiftJisToEuc", sjis, ShiftJisToEuc);
  convert("ShiftJisToJis", sjis, ShiftJisToJis);
  convert("EucToShiftJis", euc, EucToShiftJis);
  convert("JisToShiftJis", jis, JisToShiftJis);

  std::size_t lost = 0;
  auto loadUtf8 = [&] { std::memcpy(work.data(), utf8.data(), utf8.size()); };
  std::printf("%-30s %8.0f MB/s\n", "Utf8ToShiftJis", Measure(utf8.size(), loadUtf8, [&] {
    sink = Utf8ToShiftJis(work.data(), utf8.size());
  }));
  std::printf("%-30s %8.0f MB/s\n", "Utf8ToShiftJis (counting)", Measure(utf8.size(), loadUtf8, [&] {
    sink = Utf8ToShiftJis(work.data(), utf8.size(), &lost);
  }));
  std::printf("%-30s %8.0f MB/s\n", "ShiftJisToUtf8", Measure(sjis.size(), none, [&] {
    sink = ShiftJisToUtf8(sjis).size();
  }));
  std::printf("%-30s %8.0f MB/s\n", "ShiftJisToUtf8 (counting)", Measure(sjis.size(), none, [&] {
    sink = ShiftJisToUtf8(sjis, &lost).size();
  }));
  return 0;
}
