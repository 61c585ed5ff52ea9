// Start-up decrypts every catalogue URL, so DesDecryptHex is timed on
// catalogue-like hex side by side with OpenSSL's DES-ECB doing the same work.
#include <benchmark/benchmark.h>
#include <openssl/des.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "common/AsciiText.h"
#include "common/DesCipher.h"

namespace {

constexpr int kUrls = 1000;

std::vector<std::string> MakeCatalogueHex() {
  static const char* const schemes[] = {"mms://", "rtsp://", "http://", "pnm://"};
  static const char alphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789-_/.";
  std::mt19937 rng(2024);
  std::uniform_int_distribution<std::size_t> length(40, 120);
  std::uniform_int_distribution<std::size_t> pick(0, sizeof alphabet - 2);
  std::vector<std::string> hex;
  for (int i = 0; i < kUrls; ++i) {
    std::string url = schemes[i % 4];
    url += "stream" + std::to_string(i) + ".example-tv.net/live/";
    const std::size_t target = length(rng);
    while (url.size() < target) url += alphabet[pick(rng)];
    url.resize(target);
    hex.push_back(telvanta::DesEncryptHex(url, telvanta::StationKey));
  }
  return hex;
}

const std::vector<std::string>& CatalogueHex() {
  static const std::vector<std::string> hex = MakeCatalogueHex();
  return hex;
}

// The same job done with OpenSSL: hex decode, key set-up, ECB, strip zeros.
std::string OpenSslDecryptHex(const std::string& hex, std::string_view key) {
  std::string data(hex.size() / 2, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) {
    const int high = telvanta::HexDigitValue(hex[2 * i]);
    const int low = telvanta::HexDigitValue(hex[2 * i + 1]);
    if ((high | low) < 0) return {};
    data[i] = static_cast<char>((high << 4) | low);
  }
  DES_cblock keyBlock{};
  std::memcpy(keyBlock, key.data(), std::min<std::size_t>(key.size(), 8));
  DES_key_schedule schedule;
  DES_set_key_unchecked(&keyBlock, &schedule);
  const std::size_t end = data.size() / 8 * 8;
  for (std::size_t i = 0; i < end; i += 8) {
    auto* block = reinterpret_cast<DES_cblock*>(data.data() + i);
    DES_ecb_encrypt(block, block, &schedule, DES_DECRYPT);
  }
  std::size_t size = end;
  while (size > 0 && data[size - 1] == '\0') --size;
  data.resize(size);
  return data;
}

void BM_DesDecryptHex(benchmark::State& state) {
  const auto& hex = CatalogueHex();
  for (auto _ : state) {
    for (const auto& h : hex)
      benchmark::DoNotOptimize(telvanta::DesDecryptHex(h, telvanta::StationKey));
  }
  state.SetItemsProcessed(state.iterations() * kUrls);
}
BENCHMARK(BM_DesDecryptHex);

void BM_OpenSslDesEcbDecryptHex(benchmark::State& state) {
  const auto& hex = CatalogueHex();
  for (auto _ : state) {
    for (const auto& h : hex) benchmark::DoNotOptimize(OpenSslDecryptHex(h, telvanta::StationKey));
  }
  state.SetItemsProcessed(state.iterations() * kUrls);
}
BENCHMARK(BM_OpenSslDesEcbDecryptHex);

// Keeps each benchmark's CPU time per iteration for the summary line; with
// repetitions the median stands for the benchmark.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& run : runs) {
      if (run.error_occurred) continue;
      const std::string name = run.run_name.str();
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        times_[name] = run.GetAdjustedCPUTime();
        medians_.insert(name);
      } else if (run.run_type == Run::RT_Iteration && !medians_.contains(name)) {
        times_[name] = run.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  double Time(const std::string& name) const {
    const auto it = times_.find(name);
    return it == times_.end() ? 0.0 : it->second;
  }

 private:
  std::map<std::string, double> times_;
  std::set<std::string> medians_;
};

bool OutputsAgree() {
  for (const auto& h : CatalogueHex()) {
    if (telvanta::DesDecryptHex(h, telvanta::StationKey) !=
        OpenSslDecryptHex(h, telvanta::StationKey)) {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (!OutputsAgree()) {
    std::fprintf(stderr, "DesDecryptHex and OpenSSL disagree on the catalogue URLs\n");
    return 1;
  }
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double ours = reporter.Time("BM_DesDecryptHex");
  const double openssl = reporter.Time("BM_OpenSslDesEcbDecryptHex");
  if (ours > 0 && openssl > 0) {
    std::printf(
        "DesDecryptHex / OpenSSL DES-ECB on %d catalogue URLs (CPU time): %.2fx (target <= "
        "1.50x)\n",
        kUrls, ours / openssl);
  }
  benchmark::Shutdown();
  return 0;
}
