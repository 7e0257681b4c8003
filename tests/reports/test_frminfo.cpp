// The about window: the maker's lines in their font, the version text, closing by any click and
// by Esc, and the engine version after F10.

#include "reports/frminfo.h"

#include <QFrame>
#include <QLabel>
#include <QtTest>

#include "platform/Formats.h"

class TestInfo : public QObject {
    Q_OBJECT

    template <typename T> static T* in(QWidget* w, const char* name) {
        T* c = w->findChild<T*>(QLatin1String(name));
        if (!c) qFatal("no control %s", name);
        return c;
    }

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }

    void theVersionText() {
        QCOMPARE(frminfo::versionText(1, 2, 9),
                 QStringLiteral("Programm Version 1.2.0009\nDatenbank Version vom : 29.09.02"));
        QCOMPARE(frminfo::versionText(3, 0, 12345).section(u'\n', 0, 0),
                 QStringLiteral("Programm Version 3.0.12345"));
        frminfo about;
        QCOMPARE(in<QLabel>(&about, "Label4")->text(),
                 frminfo::versionText(TURNOVA_VERSION_MAJOR, TURNOVA_VERSION_MINOR,
                                      TURNOVA_VERSION_PATCH));
        QCOMPARE(about.windowTitle(), QStringLiteral("Info"));
        QCOMPARE(in<QLabel>(&about, "Label1")->text(), QStringLiteral("Karbeno"));
        QCOMPARE(in<QLabel>(&about, "Label2")->text(), QStringLiteral("Software"));
        QCOMPARE(in<QLabel>(&about, "Label1")->font().family(), QStringLiteral("Times New Roman"));
        QCOMPARE(in<QLabel>(&about, "Label2")->font().family(), QStringLiteral("Times New Roman"));
    }

    void anyClickCloses_data() {
        QTest::addColumn<QString>("target");
        for (const char* name : {"", "Frame1", "Label1", "Label2", "Label3", "Label4", "Label5"})
            QTest::newRow(*name ? name : "window") << QString::fromLatin1(name);
    }
    void anyClickCloses() {
        QFETCH(QString, target);
        frminfo about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QWidget* where = target.isEmpty() ? static_cast<QWidget*>(&about)
                                          : about.findChild<QWidget*>(target);
        QVERIFY(where);
        QTest::mouseClick(where, Qt::LeftButton, {}, QPoint(2, 2));
        QTRY_VERIFY(!about.isVisible());
    }

    void escClosesAndF10ShowsTheEngine() {
        frminfo about;
        about.setEngineVersion(QStringLiteral("SQLite 3.40.1"));
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTest::keyClick(&about, Qt::Key_F10);
        QCOMPARE(in<QLabel>(&about, "Label5")->text(), QStringLiteral("MDAC Version = SQLite 3.40.1"));
        QVERIFY(about.isVisible());
        QTest::keyClick(&about, Qt::Key_Escape);
        QTRY_VERIFY(!about.isVisible());
    }
};

QTEST_MAIN(TestInfo)
#include "test_frminfo.moc"
