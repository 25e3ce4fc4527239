#pragma once
#include "journal/ofxImport.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace esc {

class Database;

// What importing a bank statement needs: the file and what its transactions are booked
// against.
struct OfxImportChoice {
  QString path;
  OfxImportOptions options;
};

// "Importar extrato": the OFX file, the bank's account, the counterpart and the standard
// description. The accounts offered are the analytic ones of the chart; a choice is made by
// picking from the lists.
class OfxImportDialog : public QDialog {
  Q_OBJECT
public:
  OfxImportDialog(Database& db, QWidget* parent = nullptr);
  OfxImportChoice choice() const;

private:
  void browse();

  QLineEdit* file_;
  QComboBox *bank_, *counter_, *historico_;
};

} // namespace esc
