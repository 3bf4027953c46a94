#include "ui/FindStationDialog.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "services/QtText.h"

namespace nimbrel {

FindStationDialog::FindStationDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("Find a station"));
  setModal(true);

  auto* group = new QGroupBox(this);
  auto* label = new QLabel(tr("Please enter a part of a name or an  ICAO code:"), group);
  label->setTextFormat(Qt::PlainText);  // keeps the two blanks
  findText = new QLineEdit(group);
  findText->setMinimumWidth(200);
  auto* groupLayout = new QVBoxLayout(group);
  groupLayout->addWidget(label);
  groupLayout->addWidget(findText);

  // The standard buttons' words as Qt's translation for the user's language
  // gives them, like every other dialog's.
  ok = new QPushButton(QCoreApplication::translate("QPlatformTheme", "OK"), this);
  ok->setDefault(true);
  cancel = new QPushButton(QCoreApplication::translate("QPlatformTheme", "Cancel"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  setTabOrder(findText, ok);
  setTabOrder(ok, cancel);
  connect(ok, &QPushButton::clicked, this, &FindStationDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &FindStationDialog::reject);
  findText->setFocus();
}

void FindStationDialog::accept() {
  m_enteredText = fromQString(findText->text());
  QDialog::accept();
}

}  // namespace nimbrel
