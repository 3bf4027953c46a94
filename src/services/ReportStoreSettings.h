#pragma once
// The report store of this user: its file under the data home and the
// retention and size limit kept with the user's settings.
#include <memory>

namespace nimbrel {

class ReportStore;

// The store, opened (or started) on its first use; what went wrong is in its note. Settings
// group "Store": RetentionDays (1-365, else 30), SizeLimitMB (above 0, else 500).
std::shared_ptr<ReportStore> openReportStore();
// Keeps the limits the user chose for the next runs.
void saveReportStoreLimits(int retentionDays, long long sizeLimitMegabytes);

}  // namespace nimbrel
