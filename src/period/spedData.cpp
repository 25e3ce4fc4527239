#include "spedData.h"

#include "book/taxIds.h"

#include <QRegularExpression>

namespace esc {

namespace {

// The tables, in the anchor file (schema main): the book's own table files stay as they are.
const char* const createSql[] = {
    "CREATE TABLE IF NOT EXISTS main.sped_dados (campo TEXT PRIMARY KEY, valor TEXT NOT NULL)",
    "CREATE TABLE IF NOT EXISTS main.sped_inscricoes (ordem INTEGER PRIMARY KEY, "
    "entidade TEXT NOT NULL, numero TEXT NOT NULL)",
    "CREATE TABLE IF NOT EXISTS main.sped_signatarios (ordem INTEGER PRIMARY KEY, "
    "nome TEXT NOT NULL, cpf TEXT NOT NULL, qualificacao TEXT NOT NULL, codigo TEXT NOT NULL, "
    "crc TEXT NOT NULL, email TEXT NOT NULL, fone TEXT NOT NULL, uf_crc TEXT NOT NULL, "
    "seq_crc TEXT NOT NULL, validade_crc TEXT NOT NULL, resp_legal TEXT NOT NULL)",
    "CREATE TABLE IF NOT EXISTS main.sped_naturezas (conta TEXT PRIMARY KEY, "
    "natureza TEXT NOT NULL)",
    "CREATE TABLE IF NOT EXISTS main.sped_referenciais (par TEXT PRIMARY KEY, "
    "codigo TEXT NOT NULL)",
};

bool hasTable(Database& db, const QString& name) {
  return db.selectValue("SELECT count(*) FROM main.sqlite_master WHERE type = 'table' AND "
                        "name = ?",
                        {name})
             .toInt() > 0;
}

QString isoDate(const QDate& d) {
  return d.isValid() ? d.toString(Qt::ISODate) : QString();
}

// The scalar fields, by their stored names.
struct Field {
  const char* name;
  QString SpedData::*member;
};
const Field fields[] = {
    {"uf", &SpedData::uf},
    {"cod_mun", &SpedData::municipalityCode},
    {"nome_mun", &SpedData::municipalityName},
    {"nire", &SpedData::nire},
    {"ie", &SpedData::stateRegistration},
    {"im", &SpedData::municipalRegistration},
    {"plano_ref", &SpedData::referentialChart},
    {"sit_ini", &SpedData::startSituation},
    {"sit_esp", &SpedData::specialSituation},
    {"finalidade", &SpedData::finality},
    {"hash_sub", &SpedData::substitutedHash},
    {"grande_porte", &SpedData::largeCompany},
    {"mudanca_pc", &SpedData::chartChanged},
};

bool digitsOnly(const QString& s, int size) {
  static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
  return s.size() == size && digits.match(s).hasMatch();
}

} // namespace

QString SpedData::natureOf(const QString& code) const {
  if (code.isEmpty()) return {};
  const QString second = code.left(2).leftJustified(6, '0');
  if (code.size() >= 2 && natures.contains(second)) return natures.value(second);
  const QString first = code.left(1).leftJustified(6, '0');
  if (natures.contains(first)) return natures.value(first);
  const QChar g = code[0];
  if (g == '1') return QStringLiteral("01");
  if (g == '2') return QStringLiteral("02");
  if (g >= '3' && g <= '9') return QStringLiteral("04");
  return {};
}

namespace sped {

bool validNature(const QString& code) {
  static const QStringList known = {"01", "02", "03", "04", "05", "09"};
  return known.contains(code);
}

bool validUf(const QString& uf) {
  static const QStringList known = {"AC", "AL", "AP", "AM", "BA", "CE", "DF", "ES", "GO",
                                    "MA", "MT", "MS", "MG", "PA", "PB", "PR", "PE", "PI",
                                    "RJ", "RN", "RS", "RO", "RR", "SC", "SP", "SE", "TO"};
  return known.contains(uf);
}

} // namespace sped

SpedData loadSpedData(Database& db) {
  SpedData d;
  if (hasTable(db, "sped_dados"))
    for (const QVariantList& r : db.select("SELECT campo, valor FROM main.sped_dados")) {
      const QString name = r[0].toString();
      if (name == QLatin1String("data_nire"))
        d.nireDate = QDate::fromString(r[1].toString(), Qt::ISODate);
      for (const Field& f : fields)
        if (name == QLatin1String(f.name)) d.*f.member = r[1].toString();
    }
  if (hasTable(db, "sped_inscricoes"))
    for (const QVariantList& r :
         db.select("SELECT entidade, numero FROM main.sped_inscricoes ORDER BY ordem"))
      d.otherRegistrations.push_back({r[0].toString(), r[1].toString()});
  if (hasTable(db, "sped_signatarios"))
    for (const QVariantList& r :
         db.select("SELECT nome, cpf, qualificacao, codigo, crc, email, fone, uf_crc, seq_crc, "
                   "validade_crc, resp_legal FROM main.sped_signatarios ORDER BY ordem")) {
      SpedSignatory s;
      s.name = r[0].toString();
      s.cpf = r[1].toString();
      s.qualification = r[2].toString();
      s.code = r[3].toString();
      s.crc = r[4].toString();
      s.email = r[5].toString();
      s.phone = r[6].toString();
      s.crcUf = r[7].toString();
      s.crcSequence = r[8].toString();
      s.crcValidity = QDate::fromString(r[9].toString(), Qt::ISODate);
      s.legalResponsible = r[10].toString() == QLatin1String("S");
      d.signatories.push_back(s);
    }
  if (hasTable(db, "sped_naturezas"))
    for (const QVariantList& r : db.select("SELECT conta, natureza FROM main.sped_naturezas"))
      d.natures.insert(r[0].toString(), r[1].toString());
  if (hasTable(db, "sped_referenciais"))
    for (const QVariantList& r : db.select("SELECT par, codigo FROM main.sped_referenciais"))
      d.referentialCodes.insert(r[0].toString(), r[1].toString());
  return d;
}

std::optional<QString> spedDataFault(const SpedData& d) {
  if (!d.uf.isEmpty() && !sped::validUf(d.uf))
    return QStringLiteral("UF %1 desconhecida.").arg(d.uf);
  if (!d.municipalityCode.isEmpty() && !digitsOnly(d.municipalityCode, 7))
    return QStringLiteral("Código IBGE do município deve ter 7 dígitos.");
  if (!d.nire.isEmpty() && !digitsOnly(d.nire, 11))
    return QStringLiteral("NIRE deve ter 11 dígitos.");
  auto oneOf = [](const QString& value, const QStringList& known) { return known.contains(value); };
  if (!oneOf(d.startSituation, {"0", "1", "2", "3"}))
    return QStringLiteral("Situação no início do período deve ser 0, 1, 2 ou 3.");
  if (!oneOf(d.specialSituation, {"", "1", "2", "3", "4", "5"}))
    return QStringLiteral("Situação especial deve ser vazia ou de 1 a 5.");
  if (!oneOf(d.finality, {"0", "1"}))
    return QStringLiteral("Finalidade da escrituração deve ser 0 (original) ou 1 (substituta).");
  if (d.finality == QLatin1String("1") && d.substitutedHash.trimmed().isEmpty())
    return QStringLiteral("Escrituração substituta sem o hash da escrituração substituída.");
  if (!oneOf(d.largeCompany, {"0", "1"}) || !oneOf(d.chartChanged, {"0", "1"}))
    return QStringLiteral("Grande porte e mudança do plano de contas devem ser 0 ou 1.");
  for (const SpedRegistration& r : d.otherRegistrations)
    if (r.entity.trimmed().isEmpty() || r.number.trimmed().isEmpty())
      return QStringLiteral("Outra inscrição sem código da entidade ou sem número.");
  int responsible = 0;
  for (const SpedSignatory& s : d.signatories) {
    if (s.name.trimmed().isEmpty()) return QStringLiteral("Signatário sem nome.");
    const bool valid = s.cpf.size() == 14 ? book::validCnpj(s.cpf) : book::validCpf(s.cpf);
    if (!valid) return QStringLiteral("CPF/CNPJ %1 do signatário %2 inválido.").arg(s.cpf, s.name);
    if (!digitsOnly(s.code, 3))
      return QStringLiteral("Código de qualificação do signatário %1 deve ter 3 dígitos.")
          .arg(s.name);
    if (!s.crcUf.isEmpty() && !sped::validUf(s.crcUf))
      return QStringLiteral("UF %1 do CRC do signatário %2 desconhecida.").arg(s.crcUf, s.name);
    if (s.legalResponsible) ++responsible;
  }
  if (responsible > 1) return QStringLiteral("Só um signatário pode ser o responsável legal.");
  for (auto it = d.natures.cbegin(); it != d.natures.cend(); ++it) {
    if (!digitsOnly(it.key(), 6) || it.key().mid(2) != QLatin1String("0000"))
      return QStringLiteral("Natureza SPED só se informa para contas de 1º e 2º nível "
                            "(%1).")
          .arg(it.key());
    if (!sped::validNature(it.value()))
      return QStringLiteral("Natureza SPED %1 da conta %2 inválida: use 01, 02, 03, 04, 05 "
                            "ou 09.")
          .arg(it.value(), it.key());
  }
  for (auto it = d.referentialCodes.cbegin(); it != d.referentialCodes.cend(); ++it)
    if (it.value().trimmed().isEmpty() || it.value().contains('|'))
      return QStringLiteral("Código referencial da conta %1 inválido.").arg(it.key());
  return std::nullopt;
}

OperationResult saveSpedData(Database& db, const SpedData& d) {
  if (const auto fault = spedDataFault(d)) return OperationResult::refused(*fault);
  Transaction tx(db);
  for (const char* sql : createSql)
    db.exec(QString::fromLatin1(sql));
  for (const char* table :
       {"sped_dados", "sped_inscricoes", "sped_signatarios", "sped_naturezas", "sped_referenciais"})
    db.exec(QStringLiteral("DELETE FROM main.%1").arg(QLatin1String(table)));
  for (const Field& f : fields)
    db.exec("INSERT INTO main.sped_dados VALUES (?, ?)",
            {QString::fromLatin1(f.name), (d.*f.member).trimmed()});
  db.exec("INSERT INTO main.sped_dados VALUES ('data_nire', ?)", {isoDate(d.nireDate)});
  for (const SpedRegistration& r : d.otherRegistrations)
    db.exec("INSERT INTO main.sped_inscricoes (entidade, numero) VALUES (?, ?)",
            {r.entity.trimmed(), r.number.trimmed()});
  for (const SpedSignatory& s : d.signatories)
    db.exec("INSERT INTO main.sped_signatarios (nome, cpf, qualificacao, codigo, crc, email, "
            "fone, uf_crc, seq_crc, validade_crc, resp_legal) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            {s.name.trimmed(), s.cpf, s.qualification.trimmed(), s.code, s.crc.trimmed(),
             s.email.trimmed(), s.phone.trimmed(), s.crcUf, s.crcSequence.trimmed(),
             isoDate(s.crcValidity), s.legalResponsible ? "S" : "N"});
  for (auto it = d.natures.cbegin(); it != d.natures.cend(); ++it)
    db.exec("INSERT INTO main.sped_naturezas VALUES (?, ?)", {it.key(), it.value()});
  for (auto it = d.referentialCodes.cbegin(); it != d.referentialCodes.cend(); ++it)
    db.exec("INSERT INTO main.sped_referenciais VALUES (?, ?)", {it.key(), it.value().trimmed()});
  tx.commit();
  return OperationResult::done(QStringLiteral("Dados para o SPED gravados."),
                               {{"signatories", d.signatories.size()}});
}

} // namespace esc
