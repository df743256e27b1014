// Download benchmark (tools/bench-download runs it): times the download component on a
// large file from the loopback HTTP server against curl's time, and measures how much
// processor time the waiting thread uses while a slow download runs.
//   http_download_bench <port> <folder> <curl-seconds>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "update/http_download_win32.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

double ThreadCpuSeconds() {
  FILETIME created, exited, kernel, user;
  ::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user);
  auto ticks = [](FILETIME t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;
}

struct Run {
  bool ok;
  double wall;
  double cpu;
  long long progressCalls;
};

Run Download(const std::string& url, const std::string& file, bool withProgress) {
  tavi::THttpDownload download;
  download.URL = url;
  download.FileName = file;
  download.BinaryData = true;
  download.WaitThread = true;
  long long calls = 0;
  if (withProgress) {
    download.OnProgress = [&calls](tavi::TObject&, std::int64_t, std::int64_t) { ++calls; };
  }
  const double cpuStart = ThreadCpuSeconds();
  const auto start = Clock::now();
  download.GetFile();
  return {download.Succeeded(), Seconds(Clock::now() - start), ThreadCpuSeconds() - cpuStart,
          calls};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: http_download_bench <port> <folder> <curl-seconds>\n");
    return 2;
  }
  const std::string base = std::string("http://127.0.0.1:") + argv[1];
  const std::string file = std::string(argv[2]) + "\\bench.bin";
  const double curl = std::atof(argv[3]);
  constexpr int kRounds = 3;
  const std::string large = base + "/data?size=20971520";

  std::printf("20 MB from the loopback server, best of %d:\n", kRounds);
  std::printf("  curl                              %7.3f s\n", curl);
  for (const bool withProgress : {true, false}) {
    double best = 1e9;
    for (int i = 0; i < kRounds; ++i) {
      const Run run = Download(large, file, withProgress);
      if (!run.ok) {
        std::fprintf(stderr, "download failed\n");
        return 1;
      }
      best = std::min(best, run.wall);
    }
    // Throughput against curl's: 1.0 is curl's speed, 0.5 half of it.
    std::printf("  component, %-22s %7.3f s  (%.2f x curl's throughput)\n",
                withProgress ? "progress handler" : "no progress handler", best, curl / best);
  }

  // 50 blocks of 10250 bytes, one every 100 ms: about five seconds.
  const Run slow = Download(base + "/data?size=512500&chunk=10250&delay=100", file, true);
  std::printf("5-second download with a progress handler (%lld calls):\n", slow.progressCalls);
  std::printf("  wall %.3f s, waiting thread's processor time %.3f s (%.2f %%)\n", slow.wall,
              slow.cpu, 100.0 * slow.cpu / slow.wall);
  ::DeleteFileA(file.c_str());
  return slow.ok ? 0 : 1;
}
