#include "spedCommands.h"

#include "store/formats.h"
#include "usage.h"

namespace esc::cli {

namespace {

const QString command = QStringLiteral("dados-sped");

// The entity's fields by the names the command line gives them.
struct Field {
  const char* key;
  QString SpedData::*member;
};
const Field fields[] = {
    {"uf", &SpedData::uf},
    {"municipio", &SpedData::municipalityCode},
    {"nome-municipio", &SpedData::municipalityName},
    {"nire", &SpedData::nire},
    {"ie", &SpedData::stateRegistration},
    {"im", &SpedData::municipalRegistration},
    {"plano-referencial", &SpedData::referentialChart},
    {"situacao-inicio", &SpedData::startSituation},
    {"situacao-especial", &SpedData::specialSituation},
    {"finalidade", &SpedData::finality},
    {"hash-substituida", &SpedData::substitutedHash},
    {"grande-porte", &SpedData::largeCompany},
    {"mudanca-plano", &SpedData::chartChanged},
};

QDate dateArgument(const QString& key, const QString& text) {
  if (text.isEmpty()) return {};
  const QDate d = QDate::fromString(text, QStringLiteral("dd/MM/yyyy"));
  if (!d.isValid()) throw UsageError{"data inválida (dd/mm/aaaa) em " + key + ": " + text, command};
  return d;
}

// NOME;CPF;QUALIFICACAO;CODIGO;CRC;EMAIL;FONE;UF_CRC;SEQ_CRC;VALIDADE_CRC;S|N
SpedSignatory signatory(const QString& key, const QString& text) {
  const QStringList p = text.split(';');
  if (p.size() != 11 || (p[10] != "S" && p[10] != "N"))
    throw UsageError{key + " deve ter 11 partes separadas por \";\", a última S ou N", command};
  SpedSignatory s;
  s.name = p[0];
  s.cpf = p[1];
  s.qualification = p[2];
  s.code = p[3];
  s.crc = p[4];
  s.email = p[5];
  s.phone = p[6];
  s.crcUf = p[7];
  s.crcSequence = p[8];
  s.crcValidity = dateArgument(key, p[9]);
  s.legalResponsible = p[10] == "S";
  return s;
}

} // namespace

void writeSpedData(const SpedData& d, QTextStream& out) {
  for (const Field& f : fields)
    out << f.key << "=" << d.*f.member << "\n";
  out << "data-nire=" << fmt::date(d.nireDate) << "\n";
  QStringList registrations;
  for (const SpedRegistration& r : d.otherRegistrations)
    registrations << r.entity + ":" + r.number;
  out << "inscricoes=" << registrations.join(',') << "\n";
  for (int i = 0; i < d.signatories.size(); ++i) {
    const SpedSignatory& s = d.signatories[i];
    out << "signatario." << i + 1 << "="
        << QStringList{s.name,
                       s.cpf,
                       s.qualification,
                       s.code,
                       s.crc,
                       s.email,
                       s.phone,
                       s.crcUf,
                       s.crcSequence,
                       fmt::date(s.crcValidity),
                       s.legalResponsible ? "S" : "N"}
               .join(';')
        << "\n";
  }
  for (auto it = d.natures.cbegin(); it != d.natures.cend(); ++it)
    out << "natureza." << it.key() << "=" << it.value() << "\n";
  for (auto it = d.referentialCodes.cbegin(); it != d.referentialCodes.cend(); ++it)
    out << "referencial." << it.key() << "=" << it.value() << "\n";
}

void applySpedAssignments(SpedData& d, const QStringList& assignments) {
  for (const QString& a : assignments) {
    const qsizetype eq = a.indexOf('=');
    if (eq <= 0) throw UsageError{"esperava CAMPO=VALOR: " + a, command};
    const QString key = a.left(eq), value = a.mid(eq + 1).trimmed();
    bool known = false;
    for (const Field& f : fields)
      if (key == QLatin1String(f.key)) {
        d.*f.member = key == QLatin1String("uf") ? value.toUpper() : value;
        known = true;
      }
    if (known) continue;
    if (key == "data-nire") {
      d.nireDate = dateArgument(key, value);
    } else if (key == "inscricoes") {
      d.otherRegistrations.clear();
      for (const QString& r : value.split(',', Qt::SkipEmptyParts)) {
        const QStringList p = r.split(':');
        if (p.size() != 2) throw UsageError{"inscrição deve ser ENTIDADE:NUMERO: " + r, command};
        d.otherRegistrations.push_back({p[0].trimmed(), p[1].trimmed()});
      }
    } else if (key.startsWith("signatario.")) {
      bool number = false;
      const int n = key.mid(11).toInt(&number);
      if (!number || n < 1 || n > d.signatories.size() + 1)
        throw UsageError{"signatário deve ser de 1 a " + QString::number(d.signatories.size() + 1) +
                             ": " + key,
                         command};
      if (value.isEmpty()) {
        if (n <= d.signatories.size()) d.signatories.removeAt(n - 1);
      } else if (n > d.signatories.size()) {
        d.signatories.push_back(signatory(key, value));
      } else {
        d.signatories[n - 1] = signatory(key, value);
      }
    } else if (key.startsWith("natureza.")) {
      if (value.isEmpty())
        d.natures.remove(key.mid(9));
      else
        d.natures.insert(key.mid(9), value);
    } else if (key.startsWith("referencial.")) {
      if (value.isEmpty())
        d.referentialCodes.remove(key.mid(12));
      else
        d.referentialCodes.insert(key.mid(12), value);
    } else {
      throw UsageError{"campo desconhecido: " + key, command};
    }
  }
}

} // namespace esc::cli
