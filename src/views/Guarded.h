#pragma once
// No exception may leave a Qt event handler: the views run their handlers
// through this, and the window stays alive.
#include <QtGlobal>
#include <exception>

namespace nimbrel {

template <typename Handler>
void Guarded(const char* where, Handler&& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    qWarning("%s: %s", where, error.what());
  }
}

}  // namespace nimbrel
