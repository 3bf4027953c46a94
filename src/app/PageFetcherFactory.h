#pragma once
#include <memory>

#include "platform/PageFetcher.h"

namespace nimbrel {

// The fetcher the main frame downloads pages with.
std::unique_ptr<IPageFetcher> MakePageFetcher();

}  // namespace nimbrel
