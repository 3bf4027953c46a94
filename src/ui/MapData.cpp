#include "ui/MapData.h"

#include <QByteArray>
#include <QFile>
#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "charts/WorldMapDrawing.h"

// The picture lives in the resources of a static library: nothing would
// pull their registration in unless it is asked for by name.
static void initMapDataResources() { Q_INIT_RESOURCE(resources); }

namespace nimbrel {
namespace {

struct MapScales {
  std::array<std::unique_ptr<VectorMap>, 3> scales;
  std::array<bool, 3> tried = {};
};

MapScales& mapScales() {
  static MapScales loaded;
  return loaded;
}

}  // namespace

void registerMapResources() {
  static const bool registered = [] {
    initMapDataResources();
    return true;
  }();
  (void)registered;
}

const VectorMap* loadedMapScale(int level) {
  MapScales& all = mapScales();
  if (level < 0) level = 0;
  if (level > 2) level = 2;
  const auto i = static_cast<std::size_t>(level);
  if (!all.tried[i]) {
    all.tried[i] = true;
    registerMapResources();
    static const char* const kFiles[] = {":/map/map110.bin", ":/map/map50.bin", ":/map/map10.bin"};
    QFile file(QString::fromLatin1(kFiles[i]));
    if (file.open(QIODevice::ReadOnly)) {
      const QByteArray bytes = file.readAll();
      auto map = std::make_unique<VectorMap>();
      std::string error;
      if (map->read(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), error))
        all.scales[i] = std::move(map);
      else
        qWarning("world map data %s: %s", kFiles[i], error.c_str());
    }
  }
  // A scale that could not be read gives way to a coarser one.
  for (int l = level; l >= 0; --l)
    if (all.scales[static_cast<std::size_t>(l)]) return all.scales[static_cast<std::size_t>(l)].get();
  return nullptr;
}

std::size_t loadedMapDataBytes() {
  std::size_t bytes = 0;
  for (const auto& scale : mapScales().scales)
    if (scale) bytes += scale->memoryBytes();
  return bytes;
}

}  // namespace nimbrel
