#include "render/CachedTextPainter.h"

namespace nimbrel {

CachedTextPainter::Cache& CachedTextPainter::cache() {
  static Cache shared;
  return shared;
}

}  // namespace nimbrel
