#include "views/HtmlView.h"

namespace nimbrel {

CHtmlView_::CHtmlView_() = default;

}  // namespace nimbrel
