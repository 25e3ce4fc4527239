#include "scriptedUi.h"

namespace esc {

bool ScriptedUi::confirmDefaultNo(const QString& text) {
  const bool answer = confirm(text);
  said.back().defaultNo = true;
  return answer;
}

bool ScriptedUi::confirm(const QString& text) {
  if (whileAsking) whileAsking();
  said.push_back({"confirm", text});
  if (confirmAnswers.empty()) return false;
  const bool a = confirmAnswers.front();
  confirmAnswers.pop_front();
  return a;
}

std::optional<QString> ScriptedUi::prompt(const QString& title, const QString& label,
                                          const QString& defaultAnswer) {
  said.push_back({"prompt", title});
  lastPromptTitle = title;
  lastPromptLabel = label;
  lastPromptDefault = defaultAnswer;
  if (promptAnswers.empty()) return std::nullopt;
  const bool ok = promptAnswers.front().has_value();
  const QString text = promptAnswers.front().value_or(QString());
  promptAnswers.pop_front();
  if (!ok) return std::nullopt;
  return text;
}

QStringList ScriptedUi::texts() const {
  QStringList out;
  for (const Said& s : said)
    out << s.text;
  return out;
}

QStringList ScriptedUi::texts(const QString& kind) const {
  QStringList out;
  for (const Said& s : said)
    if (s.kind == kind) out << s.text;
  return out;
}

} // namespace esc
