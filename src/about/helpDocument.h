#pragma once
#include <QString>

namespace esc {

// The user manual's place relative to the program's directory: the same in the build tree
// (build/src/escrivon, build/share/doc/escrivon/) and in an installation (bin/, share/doc/).
inline constexpr const char* manualRelativePath = "../share/doc/escrivon/manual.html";

// The document "&Ajuda" opens: the organization's own "Escrivon.doc" in the default
// directory when there is one, else the user manual shipped with the program; empty when
// neither exists.
QString helpDocument(const QString& defaultDirectory, const QString& programDirectory);

} // namespace esc
