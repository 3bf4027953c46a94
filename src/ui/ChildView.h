#pragma once
// What the frame's commands ask of the active child window, whatever it
// shows: each view says which commands it takes and carries them out.
#include <QCoreApplication>
#include <string>

#include "catalog/Station.h"
#include "services/QtText.h"

class QPainter;

namespace nimbrel {

class Chart;

// "Ready", in the user's language: what the status bar says with nothing to tell.
inline std::string readyText() { return fromQString(QCoreApplication::translate("MainWindow", "Ready")); }

class ChildView {
 public:
  enum class Command { kPrint, kFind, kParameters };

  virtual ~ChildView() = default;

  virtual bool offers(Command command) const = 0;
  // Draws the view on a printer's page.
  virtual void print(QPainter&) {}
  // The stations "Find station" searches: the view's own, or null for the
  // whole catalogue.
  virtual const StationList* ownStations() const { return nullptr; }
  // The chart the Parameters dialog sets up, if the view has one.
  virtual Chart* parametersChart() const { return nullptr; }
  // What the status bar says while this view is in front.
  virtual std::string statusText() const { return readyText(); }
};

}  // namespace nimbrel
