#include "registry.h"

#include "store/table.h"

namespace esc::report {

ParamValues DialogForm::initialValues() const {
  ParamValues v;
  for (const DialogField& f : fields) {
    v.insert(f.from, f.initial);
    if (!f.to.isEmpty()) v.insert(f.to, QString());
  }
  for (const DialogCheck& c : checks)
    v.insert(c.name, c.initial ? QStringLiteral("1") : QStringLiteral("0"));
  if (choice && !choice->items.isEmpty()) v.insert(choice->name, choice->items.first());
  return v;
}

QStringList DialogForm::names() const {
  QStringList n;
  for (const DialogField& f : fields) {
    n << f.from;
    if (!f.to.isEmpty()) n << f.to;
  }
  for (const DialogCheck& c : checks)
    n << c.name;
  if (choice) n << choice->name;
  return n;
}

QVector<QPair<QString, QString>> DialogForm::aliases() const {
  QVector<QPair<QString, QString>> a;
  for (const DialogField& f : fields) {
    a.push_back({f.from, f.alias});
    if (!f.to.isEmpty()) a.push_back({f.to, f.toAlias});
  }
  for (const DialogCheck& c : checks)
    a.push_back({c.name, c.alias});
  if (choice) a.push_back({choice->name, choice->alias});
  return a;
}

QString DialogForm::nameOf(const QString& option) const {
  for (const auto& [name, alias] : aliases())
    if (option == name || (!alias.isEmpty() && option == alias)) return name;
  return {};
}

QString DialogChoice::itemOf(const QString& given) const {
  bool isNumber = false;
  const int n = given.toInt(&isNumber);
  if (isNumber) return n >= 1 && n <= items.size() ? items[n - 1] : QString();
  const auto plain = [](QString s) { return s.remove('&').trimmed(); };
  for (const QString& item : items)
    if (plain(item).compare(plain(given), Qt::CaseInsensitive) == 0) return item;
  return {};
}

ParamValues withInitials(const std::optional<DialogForm>& form, const ParamValues& given) {
  ParamValues v = form ? form->initialValues() : ParamValues{};
  for (auto it = given.begin(); it != given.end(); ++it)
    v.insert(it.key(), it.value());
  return v;
}

FixedSource recordOf(Table& table, const QString& sourceName) {
  FixedSource s;
  s.name = sourceName;
  for (const FieldDef& f : table.def().fields) {
    s.columns << f.name;
    s.values << table.field(f.name).value();
  }
  return s;
}

const ReportRegistry& ReportRegistry::instance() {
  static const ReportRegistry registry = [] {
    ReportRegistry r;
    // One line per report definition file.
    registerBalanco(r);
    registerPlanoContas(r);
    registerContas(r);
    registerLanctos(r);
    registerHistoric(r);
    registerRazao(r);
    registerJournalBook(r);
    registerRDemResul(r);
    registerBalPatri(r);
    return r;
  }();
  return registry;
}

void ReportRegistry::add(ReportEntry entry) {
  entries_ << std::move(entry);
}

const ReportEntry* ReportRegistry::byId(const QString& id) const {
  for (const ReportEntry& e : entries_)
    if (e.id.compare(id, Qt::CaseInsensitive) == 0) return &e;
  return nullptr;
}

const ReportEntry* ReportRegistry::byButton(const QString& button) const {
  for (const ReportEntry& e : entries_)
    if (e.button == button) return &e;
  return nullptr;
}

} // namespace esc::report
