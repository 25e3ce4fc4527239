#pragma once
#include <QString>

namespace esc {

// The user manual's place relative to the program's directory: the same in the build tree
// (build/src/escrivon, build/share/doc/escrivon/) and in an installation (bin/, share/doc/).
inline constexpr const char* manualRelativePath = "../share/doc/escrivon/manual.html";
// Where the Debian package installs it: the manual of a program that runs from elsewhere (a
// build tree without its copy, a program copied alone) when the package is installed.
inline constexpr const char* installedManualPath = "/usr/share/doc/escrivon/manual.html";

// The document "&Ajuda" opens: the organization's own "Escrivon.doc" in the default
// directory when there is one, else the user manual shipped with the program, else
// `installedManual` when given and present; empty when none exists.
QString helpDocument(const QString& defaultDirectory, const QString& programDirectory,
                     const QString& installedManual = {});

} // namespace esc
