#include "observations/Observation.h"

#include <stdexcept>

namespace nimbrel {

void ClearObservation(CObservation& observation) { observation = CObservation{}; }

void CopyObservation(CObservation& destination, const CObservation& source) {
  if (&destination != &source) destination = source;
}

int CObservationArray::Add(const CObservation& observation) {
  items.push_back(observation);
  return GetSize() - 1;
}

const CObservation& CObservationArray::GetAt(int index) const {
  if (index < 0 || index >= GetSize()) throw std::out_of_range("observation index out of range");
  return items[static_cast<std::size_t>(index)];
}

CObservation& CObservationArray::ElementAt(int index) {
  if (index < 0 || index >= GetSize()) throw std::out_of_range("observation index out of range");
  return items[static_cast<std::size_t>(index)];
}

}  // namespace nimbrel
