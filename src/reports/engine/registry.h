#pragma once
// The reports the system knows: for each, its dialog's description and the function that
// turns the dialog's values into report definitions with their queries. The "Relatórios"
// page, the generic parameter dialog and escrivon-report all read this one registry, so a
// report added here (see reportModel.h, "How to add a report") is on its button, in its
// dialog and on the command line at once.
#include "reportModel.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>

namespace esc {
class TDEscrivon;
class Table;
} // namespace esc

namespace esc::report {

// "&Vídeo" (the preview window) or "&Impressora" (straight to the default printer).
enum class Output { Video, Printer };

// A dialog's values by field name ("EdBPeriodo" -> "200301"). A check box holds "1" or "0",
// a radio group the text of its selected item. A field not given holds its initial value.
using ParamValues = QHash<QString, QString>;

// One line of a dialog: "Contas Contábeis: De" [from] "até:" [to], or a single field.
struct DialogField {
  QString label; // "Contas Contábeis: De"
  QString from;  // "EdBCon"
  QString to;    // "EdBConAte"; empty for a single field
  QString toLabel = QStringLiteral("até:");
  int maxLength = 0; // 0: no limit
  QString initial;
  bool upperCase = false; // typed letters become capitals
  QString hint;
  // The names a person types on escrivon-report's command line: "conta-de", "conta-ate".
  QString alias, toAlias;

  DialogField named(const QString& fromAlias, const QString& toAliasName = {}) const {
    DialogField f = *this;
    f.alias = fromAlias;
    f.toAlias = toAliasName;
    return f;
  }

  static DialogField range(const QString& label, const QString& from, const QString& to,
                           int maxLength = 0) {
    DialogField f;
    f.label = label;
    f.from = from;
    f.to = to;
    f.maxLength = maxLength;
    return f;
  }
  static DialogField single(const QString& label, const QString& name, int maxLength = 0) {
    return range(label, name, {}, maxLength);
  }
};

struct DialogCheck {
  QString name; // "SaldoZero"
  QString caption;
  bool initial = false;
  QString alias; // "saldo-zero"
};

// The order radio group: `items` in order, the first selected at start.
struct DialogChoice {
  QString name; // "OrdemContas"
  QString caption;
  QStringList items;
  int columns = 2;
  QString alias = QStringLiteral("ordem");
  // The item a command line names: its number (1 for the first), or its text in any letter
  // case, with or without the accelerator's "&". Empty when none matches.
  QString itemOf(const QString& given) const;
};

struct DialogForm {
  QString name;    // window class, "TF_SelBalan"; the instance is named "F_SelBalan"
  QString caption; // "Balancete Contábil"
  QVector<DialogField> fields;
  QVector<DialogCheck> checks;
  std::optional<DialogChoice> choice;
  QString videoButton, printerButton, closeButton; // "ButBVideo", "ButBImpressora", ...
  QString videoHint = QStringLiteral("Emite a listagem em vídeo");
  QString printerHint = QStringLiteral("Emite a listagem diretamente para a Impressora");
  QString closeHint = QStringLiteral("Cancela a emissão de listagens");

  ParamValues initialValues() const;
  // Every name a value may be given under (fields, checks, the choice).
  QStringList names() const;
  // The name a value is kept under for an option given by its readable alias or by that name
  // itself; empty for an option the dialog does not have.
  QString nameOf(const QString& option) const;
  // Each name with its readable alias, in the dialog's order: {"EdBCon", "conta-de"}.
  QVector<QPair<QString, QString>> aliases() const;
};

// A run that the dialog's rules refuse ("Dados informados inválidos. Verifique."): the message
// is shown, nothing is produced, the dialog stays open.
struct Refusal {
  QString message;
};

struct BuildContext {
  TDEscrivon& dm;
  Output output;
};

using Reports = QVector<std::shared_ptr<ReportDefinition>>;

struct ReportEntry {
  QString id;                       // escrivon-report's name for it: "balancete"
  QString button;                   // the page's button: "ButRBContas"
  QString description;              // one line for escrivon-report --list
  std::optional<DialogForm> dialog; // none: the button previews the report at once
  // The reports of one run, in order, from the values as they stand at the click. Throws
  // Refusal for what the dialog refuses.
  std::function<Reports(BuildContext&, const ParamValues&)> build;
};

class ReportRegistry {
public:
  // Every report of the system, registered on first use.
  static const ReportRegistry& instance();

  void add(ReportEntry entry);
  const ReportEntry* byId(const QString& id) const;
  const ReportEntry* byButton(const QString& button) const;
  const QVector<ReportEntry>& entries() const { return entries_; }

private:
  QVector<ReportEntry> entries_;
};

// The values of `form`'s dialog given as a value map: initial values, then `given`.
ParamValues withInitials(const std::optional<DialogForm>& form, const ParamValues& given);

// The current record of `table` (its edit buffer while edited) as a one-row data source
// named `sourceName`, for reports that print a record rather than a query (the terms).
FixedSource recordOf(Table& table, const QString& sourceName);

// Registration of each report (one function per definition file).
void registerBalanco(ReportRegistry& registry);
void registerPlanoContas(ReportRegistry& registry);
void registerContas(ReportRegistry& registry);
void registerLanctos(ReportRegistry& registry);
void registerHistoric(ReportRegistry& registry);
void registerRazao(ReportRegistry& registry);
void registerJournalBook(ReportRegistry& registry);
void registerRDemResul(ReportRegistry& registry);
void registerBalPatri(ReportRegistry& registry);

} // namespace esc::report
