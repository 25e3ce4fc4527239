#include "ecdReader.h"

#include <QDate>
#include <QSet>

namespace esc::test {

namespace {

// Fields of each register in layout 9, REG included, and the register each child belongs to.
struct Layout {
  int fields;
  const char* parent; // "" for a register of its block's first level
  int rank;           // order of the first-level registers in the file
};
const QHash<QString, Layout>& layouts() {
  static const QHash<QString, Layout> all = {
      {"0000", {23, "", 1}},     {"0001", {2, "", 2}},     {"0007", {3, "", 3}},
      {"0990", {2, "", 4}},      {"I001", {2, "", 10}},    {"I010", {3, "", 11}},
      {"I030", {12, "", 12}},    {"I050", {8, "", 13}},    {"I051", {3, "I050", 0}},
      {"I052", {3, "I050", 0}},  {"I075", {3, "", 14}},    {"I150", {3, "", 15}},
      {"I155", {9, "I150", 0}},  {"I200", {6, "", 16}},    {"I250", {9, "I200", 0}},
      {"I350", {2, "", 17}},     {"I355", {5, "I350", 0}}, {"I990", {2, "", 18}},
      {"J001", {2, "", 20}},     {"J005", {5, "", 21}},    {"J100", {12, "J005", 0}},
      {"J150", {13, "J005", 0}}, {"J900", {8, "", 22}},    {"J930", {12, "J900", 0}},
      {"J990", {2, "", 23}},     {"9001", {2, "", 30}},    {"9900", {3, "", 31}},
      {"9990", {2, "", 32}},     {"9999", {2, "", 33}},
  };
  return all;
}

QString where(const EcdLine& l) {
  return QStringLiteral("linha %1 (%2)").arg(l.number).arg(l.reg());
}

// A balance with its letter, debit positive.
qint64 signedOf(const EcdLine& l, int value, int letter) {
  return l.at(letter) == QLatin1String("D") ? l.cents(value) : -l.cents(value);
}

} // namespace

qint64 EcdLine::cents(int field) const {
  const QString t = at(field);
  const int comma = int(t.indexOf(','));
  if (comma < 0 || t.size() - comma != 3) return -1;
  return t.left(comma).toLongLong() * 100 + t.mid(comma + 1).toLongLong();
}

QVector<const EcdLine*> EcdFile::all(const QString& reg) const {
  QVector<const EcdLine*> out;
  for (const EcdLine& l : lines)
    if (l.reg() == reg) out << &l;
  return out;
}

const EcdLine* EcdFile::first(const QString& reg) const {
  for (const EcdLine& l : lines)
    if (l.reg() == reg) return &l;
  return nullptr;
}

EcdFile readEcd(const QByteArray& bytes) {
  EcdFile f;
  if (!bytes.endsWith("\r\n")) f.faults << "o arquivo não termina em CR LF";
  const QList<QByteArray> raw = bytes.split('\n');
  for (int i = 0; i + 1 < raw.size(); ++i) {
    QByteArray b = raw[i];
    EcdLine l;
    l.number = i + 1;
    if (!b.endsWith('\r')) f.faults << QStringLiteral("linha %1 sem CR").arg(i + 1);
    b.chop(1);
    const QString text = QString::fromLatin1(b);
    if (!text.startsWith('|') || !text.endsWith('|') || text.size() < 3) {
      f.faults << QStringLiteral("linha %1 sem | nas pontas").arg(i + 1);
      continue;
    }
    l.fields = text.mid(1, text.size() - 2).split('|');
    const auto layout = layouts().constFind(l.reg());
    if (layout == layouts().constEnd())
      f.faults << where(l) + ": registro desconhecido";
    else if (l.fields.size() != layout->fields)
      f.faults << where(l) + QStringLiteral(": %1 campos, o leiaute tem %2")
                                 .arg(l.fields.size())
                                 .arg(layout->fields);
    f.lines << l;
  }

  // Order and hierarchy: first-level registers in rank order (a register may repeat), each
  // child right after its parent or a sibling.
  int rank = 0;
  QString open;
  for (const EcdLine& l : f.lines) {
    const auto layout = layouts().constFind(l.reg());
    if (layout == layouts().constEnd()) continue;
    const QString parent = QString::fromLatin1(layout->parent);
    if (!parent.isEmpty()) {
      if (open != parent) f.faults << where(l) + ": fora de um " + parent;
      continue;
    }
    if (layout->rank < rank) f.faults << where(l) + ": fora de ordem";
    rank = layout->rank;
    open = l.reg();
  }

  // Counts: each block's x990, every 9900, the file's 9999 and the terms.
  QHash<QString, int> perRegister;
  QHash<QChar, int> perBlock;
  for (const EcdLine& l : f.lines) {
    ++perRegister[l.reg()];
    ++perBlock[l.reg()[0]];
  }
  for (const char* closing : {"0990", "I990", "J990", "9990"}) {
    const EcdLine* l = f.first(closing);
    if (!l || l->at(2).toInt() != perBlock.value(QChar(closing[0])))
      f.faults << QStringLiteral("%1 não conta as linhas do bloco (%2)")
                      .arg(closing)
                      .arg(perBlock.value(QChar(closing[0])));
  }
  QHash<QString, int> declared;
  for (const EcdLine* l : f.all("9900"))
    declared[l->at(2)] += l->at(3).toInt();
  if (declared != perRegister) f.faults << "os 9900 não contam cada registro";
  const QString total = QString::number(f.lines.size());
  const EcdLine* last = f.first("9999");
  if (!last || last->at(2) != total) f.faults << "9999 não conta as linhas do arquivo";
  const EcdLine* opening = f.first("I030");
  if (!opening || opening->at(5) != total) f.faults << "I030 não conta as linhas do arquivo";
  const EcdLine* closingTerm = f.first("J900");
  if (!closingTerm || closingTerm->at(6) != total)
    f.faults << "J900 não conta as linhas do arquivo";
  return f;
}

void checkBookkeeping(EcdFile& f) {
  // I050: superiors earlier, of a lower level.
  QHash<QString, int> levels;
  for (const EcdLine* l : f.all("I050")) {
    const QString sup = l->at(7);
    const int level = l->at(5).toInt();
    if (level == 1 ? !sup.isEmpty() : (!levels.contains(sup) || levels[sup] >= level))
      f.faults << where(*l) + ": conta superior " + sup + " inexistente ou de nível não inferior";
    levels.insert(l->at(6), level);
  }

  // I200 against its I250; the I250 sums per month and account.
  QHash<QString, qint64> debits, credits; // "MM account"
  const EcdLine* header = nullptr;
  qint64 d = 0, c = 0;
  auto closeHeader = [&]() {
    if (header && (header->cents(4) != d || header->cents(4) != c))
      f.faults << where(*header) + ": valor difere dos débitos ou dos créditos das partidas";
  };
  for (const EcdLine& l : f.lines) {
    if (l.reg() == "I200") {
      closeHeader();
      header = &l;
      d = c = 0;
    } else if (l.reg() == "I250" && header) {
      const QString key = header->at(3).mid(2, 2) + " " + l.at(2);
      if (l.at(5) == "D") {
        d += l.cents(4);
        debits[key] += l.cents(4);
      } else {
        c += l.cents(4);
        credits[key] += l.cents(4);
      }
    }
  }
  closeHeader();

  // I155: each month's arithmetic, continuity, and the movements against the I250 sums.
  QHash<QString, qint64> carried; // account -> closing so far, debit positive
  QString month;
  QSet<QString> seen;
  auto endMonth = [&]() {
    for (auto it = carried.cbegin(); it != carried.cend(); ++it)
      if (!seen.contains(it.key()) && it.value() != 0 && !month.isEmpty())
        f.faults << "I155 da conta " + it.key() + " falta no mês " + month;
    seen.clear();
  };
  int movementLines = 0;
  for (const EcdLine& l : f.lines) {
    if (l.reg() == "I150") {
      endMonth();
      month = l.at(2).mid(2, 2);
    } else if (l.reg() == "I155") {
      const QString account = l.at(2);
      seen.insert(account);
      const qint64 opening = signedOf(l, 4, 5), closing = signedOf(l, 8, 9);
      if (opening + l.cents(6) - l.cents(7) != closing)
        f.faults << where(l) + ": saldo final difere do inicial mais o movimento";
      if (opening != carried.value(account))
        f.faults << where(l) + ": saldo inicial difere do final do mês anterior";
      carried[account] = closing;
      const QString key = month + " " + account;
      if (l.cents(6) != debits.value(key) || l.cents(7) != credits.value(key))
        f.faults << where(l) + ": movimento difere das partidas do mês";
      ++movementLines;
    }
  }
  endMonth();
  // Every I250 sum has its I155.
  int withEntries = 0;
  QSet<QString> keys;
  for (auto it = debits.cbegin(); it != debits.cend(); ++it)
    keys.insert(it.key());
  for (auto it = credits.cbegin(); it != credits.cend(); ++it)
    keys.insert(it.key());
  withEntries = int(keys.size());
  if (withEntries > movementLines) f.faults << "partidas em contas sem I155 no mês";

  // J100: assets = liabilities + equity, on the first level.
  qint64 assets = 0, liabilities = 0;
  for (const EcdLine* l : f.all("J100"))
    if (l->at(4) == "1") (l->at(6) == "A" ? assets : liabilities) += signedOf(*l, 10, 11);
  if (assets != -liabilities)
    f.faults << QStringLiteral("J100: ativo %1 difere de passivo e patrimônio líquido %2")
                    .arg(assets)
                    .arg(-liabilities);
}

} // namespace esc::test
