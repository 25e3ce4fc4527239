#include "incomeStatementUpdate.h"

#include "journal/posting.h"
#include "store/formats.h"

namespace esc {

namespace {

struct Line {
  qint64 rowId;
  QString first, last, sign;
  double balance = 0;
  QVariant accumulated; // left as stored for a line of an unknown sign
};

// The key order of the trial balance, so that sums are added in the sequence the rows are
// kept in and come out the same to the last bit however often the update runs.
const QString inRange =
    QStringLiteral("SELECT NivelDaConta, SaldoAtual, NaturezaDaConta FROM balanco "
                   "WHERE Periodo = ? AND CodCtaConCodCtaCor >= ? AND CodCtaConCodCtaCor <= ? "
                   "ORDER BY CodCtaConCodCtaCor, rowid");

} // namespace

bool IncomeStatementUpdate::run() {
  const auto period =
      ctx_.ui().prompt(QStringLiteral("Atualização"),
                       QStringLiteral("Informe o período para atualizar (AAAAMM):"), QString());
  if (!period) return false;
  return update(*period);
}

bool IncomeStatementUpdate::update(const QString& typed) {
  TDEscrivon& dm = ctx_.dm();
  Ui& ui = ctx_.ui();
  Database& db = dm.database();
  Table& balanco = *dm.TbBalanco;
  Table& lines = *dm.TbDemResul;
  // Stored texts lose their trailing spaces; the period is matched and stamped the same way.
  const QString period = fmt::trimRight(typed);
  try {
    balanco.setOrder(QString());
    ctx_.setSearchText(SearchKind::Balanco, balanco.field("CodCtaConCodCtaCor").asString());
    if (balanco.filtered()) balanco.setFiltered(false);

    // An empty period is no restriction at all: it must not match the rows of a blank period.
    const bool any =
        !period.trimmed().isEmpty() &&
        db.selectValue("SELECT 1 FROM balanco WHERE Periodo = ? LIMIT 1", {period}).isValid();
    if (!any) {
      ui.message(QStringLiteral("Não existem registros para o período informado."));
      return false;
    }
    // A pending line is stored as leaving it would, unless the "Dem.Res." page is typing it:
    // then the update is refused here, before any write.
    lines.checkBrowseMode();

    QVector<Line> todo;
    const int count = lines.recordCount();
    for (const Record& r : lines.rows(0, count)) {
      todo.push_back({r.rowId, lines.valueOf(r, "ContaInicial").toString(),
                      lines.valueOf(r, "ContaFinal").toString(),
                      lines.valueOf(r, "SinalDoGrupo").toString(), 0.0,
                      lines.valueOf(r, "Acumulado")});
    }
    Progress& progress = ui.progress();
    progress.setRange(0, 2 * todo.size());
    progress.setPosition(0);

    // Pass 1: each line's own total. Balances are stored signed on their own account's
    // nature, so a row adds its balance when its nature is the line's and subtracts it when
    // the nature is the other one; the line's nature is that of the first row of the range,
    // usually the range's synthetic account. The letter only repeats the sign.
    int step = 0;
    for (Line& line : todo) {
      const QString start = period + line.first, end = period + line.last;
      Statement st = db.prepare(inRange);
      st.bindAll({period, start, end});
      double sum = 0;
      bool firstRow = true;
      QString nature;
      while (st.step()) {
        if (firstRow) {
          nature = st.text(2);
          firstRow = false;
        }
        if (st.text(0) != QLatin1String("6")) continue;
        const double value = st.real(1);
        if (st.text(2) == nature)
          sum += value;
        else
          sum -= value;
      }
      line.balance = roundAmount(sum);
      progress.setPosition(++step);
    }

    // Pass 2: the running result, in the lines' active order.
    double result = 0;
    Transaction tx(db);
    for (Line& line : todo) {
      QVariant own = line.balance, accumulated = line.accumulated;
      if (line.sign == QLatin1String("+")) {
        accumulated = 0.0;
        result = roundAmount(result + line.balance);
      } else if (line.sign == QLatin1String("-")) {
        accumulated = 0.0;
        result = roundAmount(result - line.balance);
      } else if (line.sign == QLatin1String("=")) {
        accumulated = result;
        own = 0.0;
      } else if (line.sign.trimmed().isEmpty()) {
        accumulated = line.balance;
        own = 0.0;
      }
      db.exec("UPDATE demresul SET SaldoDoGrupo = ?, AnoEMes = ?, Acumulado = ? WHERE rowid = ?",
              {own, period, accumulated, line.rowId});
      progress.setPosition(++step);
    }
    tx.commit();

    // The trial balance stays in its primary order, where the last line's walk left it.
    QVariant stop;
    if (!todo.isEmpty()) {
      const QString end = period + todo.last().last;
      stop =
          db.selectValue("SELECT rowid FROM balanco WHERE Periodo = ? AND CodCtaConCodCtaCor > ? "
                         "ORDER BY CodCtaConCodCtaCor, rowid LIMIT 1",
                         {period, end});
    }
    if (!stop.isValid())
      stop = db.selectValue(todo.isEmpty() ? "SELECT rowid FROM balanco WHERE Periodo = ? "
                                             "ORDER BY CodCtaConCodCtaCor, rowid LIMIT 1"
                                           : "SELECT rowid FROM balanco WHERE Periodo = ? "
                                             "ORDER BY CodCtaConCodCtaCor DESC, rowid DESC LIMIT 1",
                            {period});
    if (stop.isValid()) balanco.gotoBookmark(Bookmark{stop.toLongLong()});
    if (!todo.isEmpty()) lines.last();

    ui.message("Atualização concluída para o período de " + period.mid(4, 2) + "/" +
               period.left(4) + ".");
    progress.reset();
    return true;
  } catch (const StoreError& e) {
    ui.progress().reset();
    if (!e.silent()) ui.error(e.message());
    return false;
  }
}

} // namespace esc
