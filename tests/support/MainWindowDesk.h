#pragma once
// The real main window on a new database in a temporary desk, for the tests that drive it: start
// and close, the data environment, and statements with values bound as p0, p1, ...

#include "engine/Recordset.h"
#include "shell/frmTurnova.h"
#include "tests/support/TestDesk.h"

#include <QTest>

#include <memory>

namespace testing {

class MainWindowDesk {
protected:
    std::unique_ptr<TestDesk> desk;
    std::unique_ptr<frmTurnova> w;

    // Starts the window on the day today with a new database of that name in the desk's folder
    // (the creation question answered Yes), shows it and forgets the prompts of the start.
    bool startWindow(const QDate& today, const QString& fileName = QStringLiteral("plan.tnv")) {
        desk = std::make_unique<TestDesk>(today);
        desk->prompts.queueAnswer(platform::Answer::Yes);
        w = std::make_unique<frmTurnova>(desk->services);
        if (!w->Turnova_Load(desk->dir.filePath(fileName))) return false;
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get())) return false;
        desk->prompts.clear();
        return true;
    }
    void closeWindow() {
        if (w) w->close();
        w.reset();
        desk.reset();
    }

    data::DataUmgebung& env() { return w->session().env; }
    void exec(const QString& sql, const QVariantList& values = {}) {
        env().Datenbank.execute(sql, values, names(values.size()));
    }
    // The first column of the first row; null when there is none.
    QVariant scalar(const QString& sql, const QVariantList& values = {}) {
        engine::Recordset rs;
        rs.openSql(env().Datenbank, sql, values, names(values.size()));
        return rs.eof() ? QVariant() : rs.value(0);
    }

private:
    static QStringList names(qsizetype count) {
        QStringList list;
        for (qsizetype i = 0; i < count; ++i) list << QStringLiteral("p%1").arg(i);
        return list;
    }
};

} // namespace testing
