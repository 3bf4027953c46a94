#include "app/PageFetcherFactory.h"

#include "observations/CurlPageFetcher.h"

namespace nimbrel {

std::unique_ptr<IPageFetcher> MakePageFetcher() { return std::make_unique<CCurlPageFetcher>(); }

}  // namespace nimbrel
