#include "entryChecks.h"

#include "book/keys.h"
#include "book/texts.h"
#include "store/database.h"
#include "store/formats.h"

#include <algorithm>
#include <cmath>

namespace esc {

QString documentNumber(const QString& typed) {
  const QString number = fmt::trimRight(typed);
  if (number.isEmpty() || number.size() >= 5) return typed;
  for (const QChar c : number)
    if (c < u'0' || c > u'9') return typed;
  return number.rightJustified(5, '0');
}

bool usableDocumentNumber(const QString& number) {
  const QString n = fmt::trimRight(number);
  return !n.isEmpty() && !n.contains(' ') && !n.contains('\'');
}

QString invalidDocumentNumber(const QString& typed) {
  return "'" + typed + "' não é um número de documento válido.";
}

std::optional<qint64> firstNewDocument(Database& db, qint64 count, QString& refusal) {
  const QVariant highest =
      db.selectValue("SELECT NumeroDocumento FROM lancamen "
                     "ORDER BY NumeroDocumento COLLATE ESCI DESC, rowid DESC LIMIT 1");
  qint64 first = 1;
  if (highest.isValid()) {
    bool ok = false;
    first = highest.toString().trimmed().toLongLong(&ok) + 1;
    if (!ok) {
      refusal = invalidDocumentNumber(highest.toString());
      return std::nullopt;
    }
  }
  if (first + count - 1 > 99999) {
    refusal = invalidDocumentNumber(QString::number(first + count - 1).rightJustified(5, '0'));
    return std::nullopt;
  }
  return first;
}

std::optional<QString> BookLookups::pairLevel(const QString& pair) {
  const QString key = fmt::trimRight(pair);
  auto it = levels_.constFind(key);
  if (it != levels_.constEnd()) return *it;
  const auto rows =
      db_.select("SELECT NivelDaConta FROM contas WHERE CodCtaConCodCtaCor = ? "
                 "ORDER BY CodigoContaContabil, NomeContaContabil, CodigoContaCorrente, "
                 "NomeContaCorrente, rowid LIMIT 1",
                 {key});
  return levels_[key] =
             rows.isEmpty() ? std::nullopt : std::optional(rows.first().value(0).toString());
}

bool BookLookups::historicoExists(const QString& code) {
  const QString key = fmt::trimRight(code);
  auto it = historicos_.constFind(key);
  if (it != historicos_.constEnd()) return *it;
  return historicos_[key] =
             db_.selectValue("SELECT 1 FROM historic WHERE CodigoHistorico = ? LIMIT 1", {key})
                 .isValid();
}

bool BookLookups::balanceRowExists(const QString& key) {
  auto it = balanceRows_.constFind(key);
  if (it != balanceRows_.constEnd()) return *it;
  return balanceRows_[key] =
             db_.selectValue("SELECT 1 FROM balanco WHERE CodCtaConCodCtaCor = ?", {key}).isValid();
}

void BookLookups::preload(const QString& year) {
  // The first row of each pair in the chart's primary order, as pairLevel reads it.
  Statement chart = db_.query("SELECT CodCtaConCodCtaCor, NivelDaConta FROM contas "
                              "ORDER BY CodigoContaContabil, NomeContaContabil, "
                              "CodigoContaCorrente, NomeContaCorrente, rowid");
  while (chart.step()) {
    const QString pair = fmt::trimRight(chart.text(0));
    if (!levels_.contains(pair)) levels_.insert(pair, chart.text(1));
  }
  Statement historicos = db_.query("SELECT CodigoHistorico FROM historic");
  while (historicos.step())
    historicos_.insert(fmt::trimRight(historicos.text(0)), true);
  Statement january =
      db_.query("SELECT CodCtaConCodCtaCor FROM balanco WHERE Periodo = ?", {year + "01"});
  while (january.step())
    balanceRows_.insert(january.text(0), true);
}

void BookLookups::clear() {
  levels_.clear();
  historicos_.clear();
  balanceRows_.clear();
}

namespace {

// The message of a saving check that fails on `e`; nothing when it passes.
std::optional<QString> savingFailure(EntryCheck check, BookLookups& lookups, const EntryFields& e) {
  using C = EntryCheck;
  switch (check) {
  case C::YearSelected:
    if (e.year.isEmpty()) return book::text::noYearSelected;
    break;
  case C::AccountCode:
    if (e.account.trimmed().size() < 6) return book::text::accountSixDigits;
    break;
  case C::CurrentAccountCode:
    if (e.current.trimmed().size() < 3) return book::text::accountThreeDigits;
    break;
  case C::HistoricoCode:
    if (e.historico.trimmed().size() < 4) return book::text::historicoFourDigits;
    break;
  case C::EntryType:
    if (e.type != QLatin1String("D") && e.type != QLatin1String("C"))
      return book::text::entryTypeDC;
    break;
  case C::DateText:
    if (e.dateText.trimmed().size() < 8) return book::text::dateEightCharacters;
    break;
  case C::DocumentLength:
    if (e.document.trimmed().size() < 5)
      return QStringLiteral("Número do documento tem de ter 5 caracteres.");
    break;
  case C::DocumentUsable:
    if (!usableDocumentNumber(e.document)) return invalidDocumentNumber(e.document);
    break;
  case C::Amount:
    if (!(e.amount > 0)) return book::text::amountAboveZero;
    break;
  case C::PairAnalytic:
    // A pair missing from the chart is PairOnChart's to say.
    if (const auto level = lookups.pairLevel(book::accountPair(e.account, e.current));
        level && *level < QLatin1String("6"))
      return QStringLiteral("Conta especificada é sintética. Não pode receber lançamentos.");
    break;
  case C::PairOnChart:
    if (!lookups.pairLevel(book::accountPair(e.account, e.current)))
      return book::text::currentAccountUnknown;
    break;
  case C::HistoricoOnFile:
    if (!lookups.historicoExists(e.historico)) return book::text::historicoUnknown;
    break;
  case C::DateValid:
    if (!e.date) return "'" + e.dateShown + "' não é uma data válida.";
    break;
  default: // the checks of processing a document
    break;
  }
  return std::nullopt;
}

QString processedText(int processed) {
  if (processed == 1)
    return QStringLiteral("Existe 1 lançamento já processado.Documento não pode ser reprocessado.");
  return "Existem " + QString::number(processed) + " lançamentos já processados." +
         "Documento não pode ser reprocessado.";
}

} // namespace

QVector<EntryFailure> savingFailures(BookLookups& lookups, const EntryFields& entry,
                                     EntryCheck first, EntryCheck last, Stop stop,
                                     std::initializer_list<EntryCheck> skipped) {
  QVector<EntryFailure> failures;
  for (int c = int(first); c <= int(last); ++c) {
    const auto check = EntryCheck(c);
    if (std::find(skipped.begin(), skipped.end(), check) != skipped.end()) continue;
    if (auto text = savingFailure(check, lookups, entry)) {
      failures << EntryFailure{check, *text};
      if (stop == Stop::AtFirst) break;
    }
  }
  return failures;
}

std::optional<EntryFailure> firstSavingFailure(BookLookups& lookups, const EntryFields& entry,
                                               EntryCheck first, EntryCheck last) {
  const auto failures = savingFailures(lookups, entry, first, last, Stop::AtFirst);
  if (failures.isEmpty()) return std::nullopt;
  return failures.first();
}

DocumentVerdict documentFailures(BookLookups& lookups, const QString& year,
                                 const QVector<DocumentEntry>& entries, Stop stop) {
  DocumentVerdict v;
  // Records a failure; true when the checks stop there.
  auto fail = [&](EntryCheck check, const QString& text, qint64 entry = 0) {
    v.failures << EntryFailure{check, text, entry};
    return stop == Stop::AtFirst;
  };
  if (entries.isEmpty()) {
    fail(EntryCheck::DocumentHasEntries,
         QStringLiteral("Documento inválido. Não contém lançamentos para processar."));
    return v;
  }
  const QString firstDate = entries.first().date;
  // No year selected never matches, whatever the entry's date.
  if ((year.trimmed().isEmpty() || firstDate.mid(8, 2) != year.mid(2, 2)) &&
      fail(EntryCheck::DocumentInYear,
           QStringLiteral("Data do Documento não confere com o exercício para o qual o sistema "
                          "está selecionado.")))
    return v;

  int processed = 0;
  bool entriesPassed = true;
  for (int i = 0; i < entries.size(); ++i) {
    const DocumentEntry& e = entries[i];
    bool entryFailed = false;
    auto failEntry = [&](EntryCheck check, const QString& text) {
      entryFailed = true;
      entriesPassed = false;
      return fail(check, text, e.rowId);
    };
    // The key carries the year selected when the entry was saved. Posted in another year, the
    // entry would move this year's trial balance while the running balances of its own year
    // were rewritten.
    if (book::entryKeyYear(e.key) != year &&
        failEntry(EntryCheck::EntryInYear, "Lançamento " + e.key +
                                               " pertence a outro exercício, não ao exercício " +
                                               year + " selecionado."))
      return v;
    const QString pair = e.account + e.current;
    ++v.accountsLookedUp;
    const auto level = lookups.pairLevel(pair);
    if (!level) {
      if (failEntry(EntryCheck::PairRegistered,
                    "Conta " + pair + " não cadastrada. Operação cancelada"))
        return v;
    } else if (*level < QLatin1String("6") &&
               failEntry(EntryCheck::PairPostable,
                         "Conta " + pair + " é sintética." + "Não pode receber lançamentos.")) {
      return v;
    }
    const QString january = book::balanceKey(year, QStringLiteral("01"), e.account, e.current);
    if (!lookups.balanceRowExists(january) &&
        failEntry(EntryCheck::JanuaryRow, "Contas " + book::balanceKeyAccount(january) + " " +
                                              book::balanceKeyCurrent(january) +
                                              " não cadastradas para este exercicio."))
      return v;
    // An entry that got this far counts in the status and the totals, whatever follows.
    if (!entryFailed) {
      if (e.status == QLatin1String("P")) ++processed;
      if (e.type == QLatin1String("D"))
        v.debits = addToTotal(v.debits, e.amount);
      else if (e.type == QLatin1String("C"))
        v.credits = addToTotal(v.credits, e.amount);
    }
    if (e.date != firstDate &&
        failEntry(EntryCheck::SameDate, "Data do lançamento n. " + QString::number(i + 1) +
                                            " diverge do lançamento n. 1"))
      return v;
    // An entry neither debit nor credit would count in neither total and could not be
    // posted; "&Gravar" refuses it with this message, so processing does too.
    if (e.type != QLatin1String("D") && e.type != QLatin1String("C") &&
        failEntry(EntryCheck::PostedType, book::text::entryTypeDC))
      return v;
  }
  v.totalsKnown = entriesPassed;
  if (processed > 0 && fail(EntryCheck::NoneProcessed, processedText(processed))) return v;
  if (v.totalsKnown && v.credits != v.debits)
    fail(EntryCheck::Balanced, "Documento inválido. Soma de Créditos: " + totalText(v.credits) +
                                   " - Débitos: " + totalText(v.debits));
  return v;
}

std::optional<EntryFailure> monthRowFailure(const DocumentEntry& entry, const QString& key,
                                            bool exists, const QString& nature) {
  if (!exists)
    return EntryFailure{EntryCheck::MonthRowExists,
                        "Erro. Chave " + key + " não localizada no balancete.", entry.rowId};
  if (nature != QLatin1String("D") && nature != QLatin1String("C"))
    return EntryFailure{EntryCheck::MonthRowNature,
                        "Erro. Chave " + key + " do balancete sem natureza D ou C.", entry.rowId};
  return std::nullopt;
}

QString processedEntriesText(int processed) {
  return processedText(processed);
}

double addToTotal(double total, double amount) {
  return std::round(total + amount * 10000.0);
}

QString totalText(double total) {
  return fmt::general(total / 10000.0);
}

} // namespace esc
