#pragma once
// "Find a station": asks for a part of a station's name or ICAO code.
#include <QDialog>
#include <string>

class QLineEdit;
class QPushButton;

namespace nimbrel {

class FindStationDialog : public QDialog {
  Q_OBJECT

 public:
  explicit FindStationDialog(QWidget* parent = nullptr);

  // The edit box's text, read out on OK (Windows-1252 bytes).
  std::string enteredText() const { return m_enteredText; }

  QLineEdit* findTextEdit() const { return findText; }
  QPushButton* okButton() const { return ok; }
  QPushButton* cancelButton() const { return cancel; }

 public slots:
  void accept() override;

 private:
  std::string m_enteredText;
  QLineEdit* findText = nullptr;
  QPushButton* ok = nullptr;
  QPushButton* cancel = nullptr;
};

}  // namespace nimbrel
