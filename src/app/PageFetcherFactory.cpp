#include "app/PageFetcherFactory.h"

namespace nimbrel {

// Until the HTTP fetcher is in, pages come back empty (no data).
namespace {
class CNoPageFetcher : public IPageFetcher {
 public:
  std::string FetchUrl(const std::string&, int) override { return {}; }
};
}  // namespace

std::unique_ptr<IPageFetcher> MakePageFetcher() { return std::make_unique<CNoPageFetcher>(); }

}  // namespace nimbrel
