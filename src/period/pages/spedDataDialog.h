#pragma once
#include "period/spedData.h"
#include "ui/mainContext.h"

#include <QDialog>
#include <QLineEdit>
#include <QTableWidget>

namespace esc {

// "Dados para o SPED": what the digital bookkeeping file needs that the book does not keep -
// the entity's registrations, the signatories, the nature code of the chart's first two levels,
// the analytic accounts' referential codes and the other registrations - typed once and kept in
// the book. The opening register's indicators are set with escrivon-cli dados-sped.
class SpedDataDialog : public QDialog {
  Q_OBJECT
public:
  SpedDataDialog(MainContext& ctx, QWidget* parent = nullptr);

  // Keeps what the dialog shows and closes it; refused input is said and nothing is written.
  bool save();

  QLineEdit* uf;
  QLineEdit* municipalityCode;
  QLineEdit* municipalityName;
  QLineEdit* nire;
  QLineEdit* nireDate; // DD/MM/AAAA, empty when none
  QLineEdit* stateRegistration;
  QLineEdit* municipalRegistration;
  QLineEdit* referentialChart;
  // One row per signatory, the columns of `signatoryColumns`.
  QTableWidget* signatories;
  // One row per first- or second-level account: code, name, nature code.
  QTableWidget* natures;
  // One row per analytic account pair: pair, name, referential code.
  QTableWidget* referentials;
  // One row per other registration (0007): entity code, number.
  QTableWidget* registrations;

  enum SignatoryColumn {
    Name,
    Cpf,
    Qualification,
    Code,
    Crc,
    CrcUf,
    CrcSequence,
    CrcValidity,
    Email,
    Phone,
    LegalResponsible,
    SignatoryColumns
  };

private:
  void showData(const SpedData& d);
  void addSignatory(const SpedSignatory& s);
  // The data as typed; an error text in `fault` for a date that is not one.
  SpedData typed(QString& fault) const;

  MainContext& ctx_;
  SpedData loaded_;
};

// Opens the dialog on the book of `ctx`; a store failure is said. True when the data were saved.
bool editSpedData(MainContext& ctx, QWidget* parent);

} // namespace esc
