#pragma once
// Texts in failure messages as text, not as bytes. Found by argument-dependent lookup, so every
// test of a program must see the same printers: include this (testsupport.h does).
#include <QString>
#include <QStringList>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os) {
  *os << '{' << l.join("\", \"").prepend('"').append('"').toStdString() << '}';
}
