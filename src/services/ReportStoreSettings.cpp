#include "services/ReportStoreSettings.h"

#include <algorithm>
#include <cstdlib>

#include "reportstore/ReportStore.h"
#include "services/UserSettings.h"

namespace nimbrel {

std::shared_ptr<ReportStore> openReportStore() {
  ReportStoreOptions options;
  options.openOnFirstUse = true;
  if (const std::unique_ptr<QSettings> stored = openUserSettings()) {
    stored->beginGroup(QStringLiteral("Store"));
    bool ok = false;
    const int days = stored->value(QStringLiteral("RetentionDays")).toInt(&ok);
    if (ok) options.retentionDays = std::clamp(days, 1, 365);
    const qlonglong megabytes = stored->value(QStringLiteral("SizeLimitMB")).toLongLong(&ok);
    if (ok && megabytes > 0) options.sizeLimitBytes = static_cast<std::uint64_t>(megabytes) << 20;
  }
  return std::make_shared<ReportStore>(defaultStorePath(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")),
                                       options);
}

}  // namespace nimbrel
