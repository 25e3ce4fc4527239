#include "periodBooks.h"

#include "bookFixture.h"
#include "journal/posting.h"

#include <QMap>
#include <QSet>
#include <algorithm>
#include <cstring>
#include <random>

namespace esc::test {

namespace {

struct Account {
  QString code, current, nature, level;
};

} // namespace

void fillRandomBook(Database& db, const RandomBook& o) {
  std::mt19937 rng(o.seed);
  auto pick = [&](int n) { return int(rng() % unsigned(n)); };
  auto nature = [&](const QString& group) {
    const int r = pick(10);
    if (r == 0) return QString();
    if (r <= 2) return QString(group == "1" || group == "4" ? "C" : "D"); // the other side
    return QString(group == "1" || group == "4" ? "D" : "C");
  };
  QMap<QString, Account> chart; // by pair, so each pair is made once
  auto add = [&](const QString& code, const QString& current, const QString& nat,
                 const QString& level) {
    chart.insert(code + current, {code, current, nat, level});
  };
  auto ancestors = [&](const QString& code) {
    for (int n = 1; n <= 5; ++n) {
      const QString sc = code.left(n) + QString(6 - n, '0');
      if (!chart.contains(sc + "999")) add(sc, "999", nature(code.left(1)), QString::number(n));
    }
  };
  const QStringList currents = {"999", "0001", "0002", "00000000000015"};
  const QString groups = "1123344566"; // groups 5 and 6 are never summed into the result
  for (int i = 0; i < o.analyticCodes; ++i) {
    QString code(1, groups[pick(groups.size())]);
    for (int d = 0; d < 4; ++d)
      code += QChar('0' + pick(3)); // few digits, so that codes share their synthetic parents
    code += QChar('1' + pick(9));
    const int n = 1 + pick(3);
    for (int c = 0; c < n; ++c)
      add(code, currents[(i + c) % currents.size()], nature(code.left(1)), "6");
    ancestors(code);
    if (pick(6) == 0) {
      // A synthetic account that sorts after some of the analytic rows below it.
      const int level = 1 + pick(5);
      add(code.left(level) + QString(6 - level, '9'), "000", nature(code.left(1)),
          QString::number(level));
    }
    if (pick(8) == 0) // one that shares an analytic account's code
      add(code, "0000", nature(code.left(1)), QString::number(1 + pick(5)));
  }
  add("299999", "999", "C", "6");
  ancestors("299999");
  add("150000", "777", "D", "7"); // neither synthetic nor analytic: only ever read past

  struct Row {
    QString period;
    const Account* a;
  };
  QVector<Row> rows;
  QStringList years = {o.year};
  if (o.nextYear) years << QString::number(o.year.toInt() + 1);
  for (const QString& y : years)
    for (const Account& a : chart) {
      const bool result = a.code == "299999" && a.current == "999";
      for (int m = 1; m <= 12; ++m) {
        const bool keepJanuary = y != o.year && m == 1; // the carry needs it
        if (!result && !keepJanuary && pick(100) < o.missingPercent) continue;
        rows.push_back({y + twoDigits(m), &a});
      }
    }
  std::shuffle(rows.begin(), rows.end(), rng);

  auto amount = [&](bool signedValue) -> QVariant {
    if (o.blankAmounts && pick(50) == 0) return QVariant();
    const int cents = pick(1000000);
    return (signedValue ? cents - 500000 : cents / 2) / 100.0;
  };
  const QStringList letters = {"D", "C", ""};
  Transaction tx(db);
  for (const Account& a : chart)
    addChartAccount(db, a.code, a.current, "CONTA", a.nature.isEmpty() ? "D" : a.nature, a.level);
  for (const Row& r : rows) {
    const Account& a = *r.a;
    db.exec("INSERT INTO balanco VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            {a.code, a.current, r.period, r.period + a.code + a.current, letters[pick(3)],
             amount(true), amount(false), amount(false), amount(true), letters[pick(3)], a.nature,
             a.level});
  }
  if (o.nextYear)
    db.exec("INSERT INTO fechamen VALUES (?, '')", {QString::number(o.year.toInt() + 1)});
  tx.commit();
}

QString firstDifference(const QVector<QVariantList>& a, const QVector<QVariantList>& b) {
  if (a.size() != b.size()) return QStringLiteral("%1 rows against %2").arg(a.size()).arg(b.size());
  for (int i = 0; i < a.size(); ++i) {
    const QVariantList &x = a[i], &y = b[i];
    bool same = x.size() == y.size();
    for (int c = 0; same && c < x.size(); ++c) {
      const bool xd = x[c].typeId() == QMetaType::Double, yd = y[c].typeId() == QMetaType::Double;
      if (xd || yd) {
        const double u = x[c].toDouble(), v = y[c].toDouble();
        same = xd == yd && std::memcmp(&u, &v, sizeof u) == 0;
      } else {
        same = x[c].isNull() == y[c].isNull() && x[c] == y[c];
      }
    }
    if (!same) {
      QStringList xs, ys;
      for (const QVariant& v : x)
        xs << (v.typeId() == QMetaType::Double ? QString::number(v.toDouble(), 'g', 17)
                                               : v.toString());
      for (const QVariant& v : y)
        ys << (v.typeId() == QMetaType::Double ? QString::number(v.toDouble(), 'g', 17)
                                               : v.toString());
      return QStringLiteral("row %1: [%2] against [%3]").arg(i).arg(xs.join("|"), ys.join("|"));
    }
  }
  return {};
}

void failWhen(Database& db, const QString& table, const QString& event, const QString& when) {
  db.execScript(QStringLiteral("CREATE TEMP TRIGGER injected_failure BEFORE %1 ON f_%2.%2 "
                               "WHEN %3 BEGIN SELECT RAISE(ABORT, 'falha simulada'); END")
                    .arg(event, table, when));
}

void stopFailing(Database& db) {
  db.execScript("DROP TRIGGER IF EXISTS temp.injected_failure");
}

// ---------------------------------------------------------------- the routines as written

namespace literal {

// Each walk runs in one transaction only so that it does not flush the disk once per row; the
// values it writes are those of the walk without one.
RollUpResult syntheticUpdate(TDEscrivon& dm, const QString& year) {
  Transaction tx(dm.database());
  Table& t = *dm.TbBalanco;
  auto text = [&](const char* f) { return t.field(f).asString(); };
  auto num = [&](const char* f) { return t.field(f).asFloat(); };
  // The primary order comes first: the January look-up is by the trial balance's key.
  t.setOrder("");
  double carried = 0;
  if (t.findKey({year + "01299999999"})) carried = num("SaldoAnterior");
  RollUpResult out;
  for (int m = 1; m <= 12; ++m) {
    const QString p = year + twoDigits(m);
    double debits = 0, credits = 0;
    t.setFilter("Periodo=" + p);
    t.setFiltered(true);
    if (!t.findKey({p + "299999999"})) {
      out.missingPeriod = p;
      t.setFiltered(false);
      tx.commit();
      return out;
    }
    if (num("SaldoAnterior") != carried) {
      t.edit();
      t.setValue("SaldoAnterior", carried);
      t.post();
    }
    for (const QString group : {"3", "4"}) {
      t.findNearest(p + group);
      while (!t.eof() && text("CodigoContaContabil").startsWith(group)) {
        if (text("NivelDaConta") == "6" &&
            (text("NaturezaDaConta") == "D" || text("NaturezaDaConta") == "C")) {
          debits += num("ValorDebito");
          credits += num("ValorCredito");
        }
        t.next();
      }
    }
    t.findKey({p + "299999999"});
    t.edit();
    debits = roundAmount(debits);
    credits = roundAmount(credits);
    t.setValue("ValorDebito", debits);
    t.setValue("ValorCredito", credits);
    t.setValue("SaldoAtual", roundAmount(carried + credits - debits));
    carried = num("SaldoAtual");
    t.setValue("TipoSaldoAtual", carried >= 0 ? "C" : "D");
    t.post();

    t.first();
    while (!t.eof()) {
      if (text("NivelDaConta") < "6") {
        const Bookmark here = t.bookmark();
        const QString prefix =
            text("CodigoContaContabil").left(qMax(0, text("NivelDaConta").toInt()));
        const QString n = text("NaturezaDaConta");
        double before = 0, now = 0, d = 0, c = 0;
        while (!t.eof()) {
          if (text("NivelDaConta") == "6" && text("CodigoContaContabil").startsWith(prefix)) {
            d += num("ValorDebito");
            c += num("ValorCredito");
            if (text("NaturezaDaConta") == n) {
              before += num("SaldoAnterior");
              now += num("SaldoAtual");
            } else {
              before -= num("SaldoAnterior");
              now -= num("SaldoAtual");
            }
          }
          t.next();
        }
        t.gotoBookmark(here);
        t.edit();
        before = roundAmount(before);
        now = roundAmount(now);
        t.setValue("SaldoAnterior", before);
        t.setValue("SaldoAtual", now);
        t.setValue("ValorDebito", roundAmount(d));
        t.setValue("ValorCredito", roundAmount(c));
        if (n == "C") {
          t.setValue("TipoSaldoAnterior", before >= 0 ? "C" : "D");
          t.setValue("TipoSaldoAtual", now >= 0 ? "C" : "D");
        } else if (n == "D") {
          t.setValue("TipoSaldoAnterior", before >= 0 ? "D" : "C");
          t.setValue("TipoSaldoAtual", now >= 0 ? "D" : "C");
        }
        t.post();
        ++out.syntheticRows;
      }
      t.next();
    }
    t.setFiltered(false);
  }
  tx.commit();
  return out;
}

void openNextYear(TDEscrivon& dm, const QString& year) {
  Transaction tx(dm.database());
  const QString next = QString::number(year.toInt() + 1);
  Table& t = *dm.TbBalanco;
  t.setFilter("Periodo=" + year + "12");
  t.setFiltered(true);
  t.first();
  while (!t.eof()) {
    const Bookmark here = t.bookmark();
    const QString code = t.field("CodigoContaContabil").asString();
    const QString current = t.field("CodigoContaCorrente").asString();
    QString letterBefore = t.field("TipoSaldoAnterior").asString();
    QString letterNow = t.field("TipoSaldoAtual").asString();
    const QString nature = t.field("NaturezaDaConta").asString();
    const QString level = t.field("NivelDaConta").asString();
    double before = roundAmount(t.field("SaldoAnterior").asFloat());
    double now = roundAmount(t.field("SaldoAtual").asFloat());
    if (code.left(1) >= "3") {
      letterBefore = letterNow = nature;
      before = now = 0;
    }
    for (int m = 1; m <= 12; ++m) {
      const QString p = next + twoDigits(m);
      t.insert();
      t.setValue("Periodo", p);
      t.setValue("CodCtaConCodCtaCor", p + code + current);
      t.setValue("CodigoContaContabil", code);
      t.setValue("CodigoContaCorrente", current);
      t.setValue("NaturezaDaConta", nature);
      t.setValue("NivelDaConta", level);
      t.setValue("TipoSaldoAnterior", letterBefore);
      t.setValue("TipoSaldoAtual", letterNow);
      t.setValue("SaldoAnterior", before);
      t.setValue("SaldoAtual", now);
      t.setValue("ValorCredito", 0.0);
      t.setValue("ValorDebito", 0.0);
      t.post();
    }
    t.gotoBookmark(here);
    t.next();
  }
  t.setFiltered(false);
  Table& years = *dm.TbFechamen;
  if (years.findKey({year})) {
    years.edit();
    years.setValue("Situacao", "T");
    years.post();
  }
  years.insert();
  years.setValue("Exercicio", next);
  years.post();
  tx.commit();
}

QString carryForward(TDEscrivon& dm, const QString& year) {
  Transaction tx(dm.database());
  const QString next = QString::number(year.toInt() + 1);
  Table& t = *dm.TbBalanco;
  t.setOrder("");
  t.setFilter("Periodo=" + year + "12");
  t.setFiltered(true);
  t.first();
  while (!t.eof()) {
    const QString n = t.field("NaturezaDaConta").asString();
    double carried = roundAmount(t.field("SaldoAtual").asFloat());
    QString letter = t.field("TipoSaldoAtual").asString();
    const QString code = t.field("CodigoContaContabil").asString();
    const QString pair = code + t.field("CodigoContaCorrente").asString();
    if (code.left(1) >= "3") {
      carried = 0;
      letter = n;
    }
    const Bookmark december = t.bookmark();
    t.setFiltered(false);
    const QString key = next + "01" + pair;
    if (!t.findKey({key})) {
      tx.commit();
      return key;
    }
    t.edit();
    t.setValue("SaldoAnterior", carried);
    t.setValue("TipoSaldoAnterior", letter);
    t.post();
    for (int m = 1; m <= 12; ++m) {
      if (n == "D" || n == "C") {
        t.edit();
        const double before = t.field("SaldoAnterior").asFloat();
        const double d = t.field("ValorDebito").asFloat(), c = t.field("ValorCredito").asFloat();
        const double now = roundAmount(n == "D" ? before + d - c : before + c - d);
        t.setValue("SaldoAtual", now);
        t.setValue("TipoSaldoAtual", now >= 0 ? n : (n == "D" ? "C" : "D"));
        t.post();
        carried = t.field("SaldoAtual").asFloat();
        letter = t.field("TipoSaldoAtual").asString();
      }
      if (m < 12 && t.findKey({next + twoDigits(m + 1) + pair})) {
        t.edit();
        t.setValue("SaldoAnterior", carried);
        t.setValue("TipoSaldoAnterior", letter);
        t.post();
      }
    }
    t.setFiltered(true);
    t.gotoBookmark(december);
    t.next();
  }
  t.setFiltered(false);
  tx.commit();
  return {};
}

} // namespace literal

} // namespace esc::test
