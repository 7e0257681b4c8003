#pragma once
// What the tests of a window share: the session on a temporary database, the window under test,
// and finding and pressing its controls by name.

#include "data/DataUmgebung.h"
#include "tests/support/TestSession.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace testing {

template <typename Window> class DialogFixture {
protected:
    std::unique_ptr<TestSession> t;
    std::unique_ptr<Window> w;

    // A new session on a database with all tables, on the fixed day today.
    void startSession(const QDate& today) {
        t = std::make_unique<TestSession>(today);
        t->createDatabase();
    }
    // Closes the window, then the session.
    void endSession() {
        w.reset();
        t.reset();
    }

    data::DataUmgebung& env() { return t->env(); }
    platform::ScriptedPrompts& prompts() { return t->prompts; }
    // The window's control of that name; a missing control ends the test program.
    template <typename T> T* child(const char* name) {
        T* c = w->template findChild<T*>(QLatin1String(name));
        if (!c) qFatal("no control %s", name);
        return c;
    }
    QLineEdit* edit(const char* name) { return child<QLineEdit>(name); }
    void click(const char* button) {
        QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
    }
};

} // namespace testing
