// A crafted report store: a store file the program made, changed by the
// input (bytes overwritten, cut or grown, or SQL run on it), opened and used
// as a chart and the weather layer use it. It must not crash, hang or lose
// what it takes afterwards while it says it is open.
#include <sqlite3.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "reportstore/ReportStore.h"

namespace {

namespace fs = std::filesystem;
constexpr std::int64_t kNow = 1789545600;  // 2026-09-16T08:00Z

fs::path scratch() {
  static const fs::path folder = [] {
    std::string pattern = (fs::temp_directory_path() / "nimbrel-fuzz-store-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) __builtin_trap();
    return fs::path(pattern);
  }();
  return folder;
}

std::vector<nimbrel::StoredMetar> reports(const char* station, std::int64_t from, int count) {
  std::vector<nimbrel::StoredMetar> out;
  for (int i = 0; i < count; ++i)
    out.push_back({station, from + i * 1800, std::string(station) + " report " + std::to_string(i),
                   nimbrel::ReportOrigin::kWorldFile, i % 7 == 0});
  return out;
}

// The store as the program leaves it, in one file.
const std::string& madeStore() {
  static const std::string bytes = [] {
    const fs::path file = scratch() / "made.sqlite";
    {
      nimbrel::ReportStore store(file, {}, [] { return kNow; });
      store.putMetars(reports("KJFK", kNow - 40 * 86400, 300));
      store.putMetars(reports("EGLL", kNow - 2 * 86400, 80));
      store.putForecasts(std::vector<nimbrel::StoredForecast>{{"KJFK", kNow - 3600, "TAF KJFK"}});
      store.setAskedSince("KJFK", kNow - 86400);
    }
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }();
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace nimbrel;
  if (size < 1) return 0;
  const std::string base = madeStore();
  const fs::path folder = scratch() / "run";
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  fs::create_directories(folder);
  const fs::path file = folder / "reports.sqlite";
  std::string image = base;
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  // First byte, low two bits: patch bytes, cut, run SQL on the file, or use it as it is.
  switch (data[0] & 3) {
    case 0:
      // Records of four bytes: a 24-bit offset and the byte written there.
      for (std::size_t i = 0; i + 4 <= rest.size(); i += 4) {
        const std::size_t at = (std::size_t(std::uint8_t(rest[i])) << 16 | std::size_t(std::uint8_t(rest[i + 1])) << 8 |
                                std::uint8_t(rest[i + 2])) % (image.size() + 1);
        if (at == image.size()) image.push_back(rest[i + 3]);
        else image[at] = rest[i + 3];
      }
      break;
    case 1:
      image.resize(rest.size() >= 2 ? (std::uint8_t(rest[0]) << 8 | std::uint8_t(rest[1])) % (image.size() + 1) : 0);
      break;
    default:
      break;
  }
  std::ofstream(file, std::ios::binary) << image;
  if ((data[0] & 3) == 2) {
    // The input as SQL on the store's own schema: tables, triggers, rows changed.
    sqlite3* db = nullptr;
    if (sqlite3_open(file.c_str(), &db) == SQLITE_OK) {
      int steps = 0;
      sqlite3_progress_handler(db, 1000, [](void* n) { return ++*static_cast<int*>(n) > 2000 ? 1 : 0; }, &steps);
      sqlite3_exec(db, std::string(rest).c_str(), nullptr, nullptr, nullptr);
    }
    sqlite3_close(db);
  }

  ReportStoreOptions options;
  options.readOnly = data[0] & 4;
  options.sizeLimitBytes = data[0] & 8 ? 16 * 1024 : std::uint64_t{500} << 20;
  options.pruneBatchRows = 50;
  ReportStore store(file, options, [] { return kNow; });
  // What a chart reads and writes.
  store.metars("KJFK", kNow - 10 * 86400, kNow);
  store.newestTime("KJFK");
  store.newestForecast("KJFK");
  store.askedSince("KJFK");
  const std::vector<StoredMetar> fresh = reports("LSZH", kNow - 3600, 3);
  const std::optional<int> put = store.putMetars(fresh);
  store.setAskedSince("LSZH", kNow - 7200);
  // What the weather layer reads and writes.
  store.newestMetars(kNow - 3 * 3600);
  store.putMetars(reports("YSSY", kNow - 600, 1));
  store.counts();
  store.info();
  // Taken while open, kept while open (a small size limit may prune them after).
  // In a file SQLite can read whole (not patched or cut, where damage may go
  // unseen), what was taken is there; a read that finds damage turns it off.
  if ((data[0] & 3) >= 2 && !options.readOnly && put == 3 && store.isOpen()) {
    const std::size_t found = store.metars("LSZH", kNow - 7200, kNow).size();
    if (found != 3 && store.isOpen()) __builtin_trap();
  }
  if (!options.readOnly) store.prune();
  store.takeNote();
  return 0;
}
