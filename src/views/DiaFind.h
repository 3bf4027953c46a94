#pragma once
// "Find a station": asks for a part of a station's name or ICAO code.
#include <QDialog>
#include <string>

#include "catalog/Station.h"

class QLineEdit;
class QPushButton;

namespace nimbrel {

class IMainFrame;
class CStationCatalog;

class CDia_Find : public QDialog {
  Q_OBJECT

 public:
  // Owned by the main window when there is one.
  explicit CDia_Find(QWidget* parent = nullptr);

  // The edit box's text, read out on OK.
  std::string enteredText;

  QLineEdit* FindTextEdit() const { return findText; }
  QPushButton* OkButton() const { return okButton; }
  QPushButton* CancelButton() const { return cancelButton; }


 public slots:
  void accept() override;

 private:
  QLineEdit* findText = nullptr;
  QPushButton* okButton = nullptr;
  QPushButton* cancelButton = nullptr;
};

// The find command of every window: the dialog, then on OK a search of the
// given list for lastFindText and a "Nearest stations" table of the matches.
void RunFindCommand(IMainFrame& frame, CStationCatalog& catalogue, const CStationArray& searched);

}  // namespace nimbrel
