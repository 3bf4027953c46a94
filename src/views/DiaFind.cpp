#include "views/DiaFind.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "app/MainFrame.h"
#include "platform/qt/DialogUnits.h"
#include "platform/qt/QtText.h"
#include "views/FindCommand.h"

namespace nimbrel {

namespace {

// The dialog's layout in dialog units: left, top, width, height.
struct DluRect {
  int x, y, width, height;
};
constexpr int kDialogWidth = 215;
constexpr int kDialogHeight = 97;
constexpr DluRect kEditRect{39, 39, 137, 14};
constexpr DluRect kOkRect{100, 76, 50, 14};
constexpr DluRect kCancelRect{158, 76, 50, 14};
constexpr DluRect kLabelRect{28, 17, 159, 12};
constexpr DluRect kGroupRect{7, 7, 201, 61};

QFont DialogFont() {
  QFont font(QStringLiteral("MS Shell Dlg"));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(8);
  return font;
}

}  // namespace

CDia_Find::CDia_Find(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Find a station"));
  setModal(true);
  const QFont font = DialogFont();
  setFont(font);
  const DialogBaseUnits units = BaseUnitsOf(font);
  auto place = [&](QWidget* widget, const DluRect& r) {
    widget->setGeometry(DialogRect(units, r.x, r.y, r.width, r.height));
  };

  auto* group = new QGroupBox(this);
  place(group, kGroupRect);
  auto* label = new QLabel(ToQString("Please enter a part of a name or an  ICAO code:"), this);
  label->setTextFormat(Qt::PlainText);  // keeps the two blanks
  place(label, kLabelRect);
  findText = new QLineEdit(this);
  place(findText, kEditRect);
  okButton = new QPushButton(QStringLiteral("OK"), this);
  place(okButton, kOkRect);
  okButton->setDefault(true);
  cancelButton = new QPushButton(QStringLiteral("Abbrechen"), this);
  place(cancelButton, kCancelRect);

  setTabOrder(findText, okButton);
  setTabOrder(okButton, cancelButton);
  connect(okButton, &QPushButton::clicked, this, &CDia_Find::accept);
  connect(cancelButton, &QPushButton::clicked, this, &CDia_Find::reject);

  findText->setText(ToQString(enteredText));
  setFixedSize(DialogRect(units, 0, 0, kDialogWidth, kDialogHeight).size());
  findText->setFocus();
}

void CDia_Find::accept() {
  enteredText = FromQString(findText->text());
  lastFindText = enteredText;
  QDialog::accept();
}

void RunFindCommand(IMainFrame& frame, CStationCatalog& catalogue, const CStationArray& searched) {
  CDia_Find dialog(GetMainFrame());
  if (dialog.exec() != QDialog::Accepted) return;
  FindAndShowStations(frame, catalogue, searched);
}

}  // namespace nimbrel
