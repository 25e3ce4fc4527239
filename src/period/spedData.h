#pragma once
#include "store/database.h"
#include "store/operationResult.h"

#include <QDate>
#include <QMap>
#include <QString>
#include <QVector>
#include <optional>

namespace esc {

// What the digital bookkeeping file (ECD) asks beyond what the book keeps: the entity's
// registrations, the signatories, the nature code of the chart's first two levels and the
// referential code of each analytic account. Kept in tables of their own inside the anchor file
// ESCRIVON.db (sped_*), created the first time they are saved; a book without them reads as
// holding none, so a book made before opens read-only as it did.

// Another registration of the entity (register 0007): the entity's code and the number.
struct SpedRegistration {
  QString entity, number;
};

// A signatory of the books (register J930).
struct SpedSignatory {
  QString name;
  QString cpf;           // CPF (11 digits) or CNPJ (14), without the mask
  QString qualification; // as written, "Contador", "Diretor"
  QString code;          // qualification code: 900 accountant, 203 director, 205 administrator...
  QString crc;           // the accountant's CRC registration
  QString email, phone;
  QString crcUf;       // the CRC's state
  QString crcSequence; // number of the CRC's certificate of good standing
  QDate crcValidity;   // and its validity
  bool legalResponsible = false;
  bool accountant() const { return code == QLatin1String("900"); }
};

struct SpedData {
  QString uf;               // the entity's state, two letters
  QString municipalityCode; // IBGE, seven digits
  QString municipalityName;
  QString nire; // 11 digits; empty when the entity has none
  QDate nireDate;
  QString stateRegistration;     // IE
  QString municipalRegistration; // IM
  QVector<SpedRegistration> otherRegistrations;
  QString referentialChart; // COD_PLAN_REF; empty when no referential chart is used
  // The book's situation, as the opening register states it; the plain values by default.
  QString startSituation = QStringLiteral("0"); // IND_SIT_INI_PER: 0 normal, 1 opening,
                                                // 2 from a merger or split, 3 first obligation
  QString specialSituation;                     // IND_SIT_ESP: empty, or 1 to 5 (split-up,
                                                // merger, incorporation, extinction...)
  QString finality = QStringLiteral("0");       // IND_FIN_ESC: 0 original, 1 substitute
  QString substitutedHash;                      // COD_HASH_SUB: the hash of the substituted file
  QString largeCompany = QStringLiteral("0");   // IND_GRANDE_PORTE: 1 when it is one
  QString chartChanged = QStringLiteral("0");   // IND_MUDANC_PC: 1 when the chart changed
  QVector<SpedSignatory> signatories;
  // COD_NAT of first- and second-level accounts, by account code ("100000", "290000").
  QMap<QString, QString> natures;
  // COD_CTA_REF of analytic accounts, by account pair (code + current account, "111121001").
  QMap<QString, QString> referentialCodes;

  // The nature code of an account: that of its second-level account when set, else that of
  // its first-level account when set, else 01 for group 1, 02 for group 2, 04 for groups 3 to
  // 9; "" for a code of group 0 or not a digit.
  QString natureOf(const QString& accountCode) const;
};

namespace sped {
// The nature codes the file knows: asset, liability, equity, result, memorandum, other.
bool validNature(const QString& code);
bool validUf(const QString& uf);
} // namespace sped

// The data as stored; empty when the book has none yet.
SpedData loadSpedData(Database& db);

// Why `data` cannot be kept (the first fault, said as the user reads it); nothing when it can.
// Only the form of each value is checked here; what the file needs that is missing is said by
// the export.
std::optional<QString> spedDataFault(const SpedData& data);

// Replaces the stored data with `data` in one transaction, creating the tables when missing.
// Refused, with nothing written, for data with a fault. Figures: "signatories".
OperationResult saveSpedData(Database& db, const SpedData& data);

} // namespace esc
