#pragma once
// The main window started as a user starts it: no lock keys on, `typed` keyed into the real
// password dialog and "OK" clicked.
#include "mainwindow/tf_Escrivon.h"

#include <QTest>

namespace esc::test {

inline void typePasswordOnStart(TF_Escrivon& w, const QString& typed = "ESCRIVON") {
  w.lockKeys = [] { return std::optional<LockKeys>(); };
  w.runPasswordDialog = [typed](TF_Senha& d) {
    QTest::keyClicks(d.EditSenha, typed);
    d.ButSenhaOk->click();
    return d.result();
  };
}

} // namespace esc::test
