#include "platform/ViewKind.h"

namespace nimbrel {

int nextViewKind = 1;

}  // namespace nimbrel
