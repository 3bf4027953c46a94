#include "app/NimbrelDoc.h"

#include "app/MainFrame.h"

namespace nimbrel {

void CNimbrelDoc::SetTitle(const std::string& text) {
  title = text;
  emit titleChanged();
}

bool CNimbrelDoc::OnOpenDocument(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  CMainFrame* frame = mainFrame != nullptr ? mainFrame : GetMainFrame();
  if (frame != nullptr) frame->catalogue.FindStations(name, frame->AllStations(), true);
  return false;
}

}  // namespace nimbrel
