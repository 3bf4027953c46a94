#include "services/ReportStoreSettings.h"

#include <cstdlib>

#include "reportstore/ReportStore.h"
#include "services/UserSettings.h"

namespace nimbrel {

std::shared_ptr<ReportStore> openReportStore() {
  ReportStoreOptions options;
  options.openOnFirstUse = true;
  if (const std::unique_ptr<QSettings> stored = openUserSettings()) {
    stored->beginGroup(QStringLiteral("Store"));
    // Text that is no whole number, or one out of range, gives the default.
    bool ok = false;
    const qlonglong days = stored->value(QStringLiteral("RetentionDays")).toLongLong(&ok);
    if (ok) options.retentionDays = retentionDaysOrDefault(days);
    const qlonglong megabytes = stored->value(QStringLiteral("SizeLimitMB")).toLongLong(&ok);
    if (ok) options.sizeLimitBytes = sizeLimitBytesOrDefault(megabytes);
  }
  return std::make_shared<ReportStore>(defaultStorePath(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")),
                                       options);
}

void saveReportStoreLimits(int retentionDays, long long sizeLimitMegabytes) {
  if (const std::unique_ptr<QSettings> stored = openUserSettings()) {
    stored->beginGroup(QStringLiteral("Store"));
    stored->setValue(QStringLiteral("RetentionDays"), retentionDays);
    stored->setValue(QStringLiteral("SizeLimitMB"), sizeLimitMegabytes);
  }
}

}  // namespace nimbrel
