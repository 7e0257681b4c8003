// The prompts seam: the scripted stand-in, the error report, the filter conversion, and a real
// message box answered by its default button.

#include "platform/ErrorReporter.h"
#include "platform/Formats.h"
#include "platform/ScriptedPrompts.h"
#include "platform/Translations.h"
#include "platform/WidgetPrompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFontDialog>
#include <QFontInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

using namespace platform;

Q_DECLARE_METATYPE(platform::Buttons)
Q_DECLARE_METATYPE(platform::Answer)

class TestPrompts : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // The German texts of Qt's standard buttons, as the program installs them at start.
        setLocale(QLocale(QLocale::German, QLocale::Germany));
        installTranslations(*qApp);
        resetLocale();
    }

    void scriptedDefaultAnswers_data() {
        QTest::addColumn<Buttons>("buttons");
        QTest::addColumn<int>("defaultButton");
        QTest::addColumn<Answer>("expected");
        QTest::newRow("ok") << Buttons::Ok << 0 << Answer::Ok;
        QTest::newRow("ok cancel, cancel default") << Buttons::OkCancel << 1 << Answer::Cancel;
        QTest::newRow("yes no") << Buttons::YesNo << 0 << Answer::Yes;
        QTest::newRow("yes no, no default") << Buttons::YesNo << 1 << Answer::No;
        QTest::newRow("yes no cancel, third") << Buttons::YesNoCancel << 2 << Answer::Cancel;
        QTest::newRow("index out of range") << Buttons::YesNo << 5 << Answer::Yes;
    }
    void scriptedDefaultAnswers() {
        QFETCH(Buttons, buttons);
        QFETCH(int, defaultButton);
        QFETCH(Answer, expected);
        ScriptedPrompts prompts;
        QCOMPARE(prompts.ask("Frage", buttons, Icon::Question, "Titel", defaultButton), expected);
    }

    void scriptedRecordsAndAnswersInOrder() {
        ScriptedPrompts prompts;
        prompts.queueAnswer(Answer::No);
        prompts.queueAnswer(Answer::Cancel);
        QCOMPARE(prompts.ask("Soll der Dienst gelöscht werden ?", Buttons::YesNo, Icon::Exclamation,
                             "Löschen", 1),
                 Answer::No);
        QCOMPARE(prompts.ask("Weiter?", Buttons::OkCancel), Answer::Cancel);
        QCOMPARE(prompts.ask("Fertig"), Answer::Ok); // queue empty: the default button

        QCOMPARE(prompts.messages().size(), 3);
        const Message first = prompts.messages().first();
        QCOMPARE(first.title, QString("Löschen"));
        QCOMPARE(first.buttons, Buttons::YesNo);
        QCOMPARE(first.icon, Icon::Exclamation);
        QCOMPARE(first.defaultButton, 1);
        QCOMPARE(prompts.lastMessage().title, QString("Turnova"));
        QCOMPARE(prompts.texts(),
                 QStringList({"Soll der Dienst gelöscht werden ?", "Weiter?", "Fertig"}));

        const FileRequest request{
            "Export", "dienste.xml", ".xml", "/tmp", "XML Dateien (*.xml)|*.xml|", 1};
        prompts.queueFile(QString("/tmp/a.xml"));
        prompts.queueFile(std::nullopt);
        QCOMPARE(prompts.saveFile(request), std::optional<QString>("/tmp/a.xml"));
        QCOMPARE(prompts.openFile(request), std::nullopt);
        QCOMPARE(prompts.openFile(request), std::nullopt); // empty queue cancels
        QCOMPARE(prompts.saveRequests.size(), 1);
        QCOMPARE(prompts.saveRequests.first().defaultName, QString("dienste.xml"));
        QCOMPARE(prompts.openRequests.size(), 2);

        prompts.queueColor(QColor(Qt::red));
        QCOMPARE(prompts.chooseColor(Qt::white), std::optional<QColor>(QColor(Qt::red)));
        QCOMPARE(prompts.chooseColor(Qt::white), std::nullopt);
        QCOMPARE(prompts.colorRequests, QList<QColor>({Qt::white, Qt::white}));
        QCOMPARE(prompts.chooseFont(QFont("Arial")), std::nullopt);
        QCOMPARE(prompts.fontRequests.size(), 1);

        prompts.queueAnswer(Answer::Cancel);
        prompts.clear();
        QVERIFY(prompts.messages().isEmpty() && prompts.openRequests.isEmpty());
        QCOMPARE(prompts.ask("Nochmal", Buttons::OkCancel), Answer::Ok); // queue emptied too
    }

    void errorReport() {
        QCOMPARE(errorReportText(3021, "Kein aktueller Datensatz.", "dbstartcheck Line = 4"),
                 QString("Es ist ein Fehler im Programm aufgetreten\n"
                         "Kein aktueller Datensatz.\n"
                         "Nummer : 3021\n"
                         "Modul : dbstartcheck Line = 4"));
        QCOMPARE(errorReportText(-2147217865, "", "openTable").split('\n').at(2),
                 QString("Nummer : -2147217865"));

        ScriptedPrompts prompts;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("error 70 in importsaved"));
        reportError(prompts, 70, "Zugriff verweigert", "importsaved");
        QCOMPARE(prompts.messages().size(), 1);
        const Message shown = prompts.lastMessage();
        QCOMPARE(shown.text, errorReportText(70, "Zugriff verweigert", "importsaved"));
        QCOMPARE(shown.title, QString("Turnova"));
        QCOMPARE(shown.buttons, Buttons::Ok);
        QCOMPARE(shown.icon, Icon::None);
    }

    void filters_data() {
        QTest::addColumn<QString>("oldFilter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("all and xml") << "Alle Dateien (*.*)|*.*|XML Dateien (*.xml)|*.xml|"
                                     << QStringList{"Alle Dateien (*)", "XML Dateien (*.xml)"};
        QTest::newRow("no closing bar, no pattern in text")
            << "Dienste|*.tns" << QStringList{"Dienste (*.tns)"};
        QTest::newRow("several patterns")
            << "Webseiten (*.htm;*.html)|*.htm;*.html|" << QStringList{"Webseiten (*.htm *.html)"};
        QTest::newRow("other brackets kept")
            << "Sicherung (alt)|*.sav|" << QStringList{"Sicherung (alt) (*.sav)"};
        QTest::newRow("missing pattern") << "Alles|" << QStringList{"Alles (*)"};
        QTest::newRow("empty") << "" << QStringList{};
    }
    void filters() {
        QFETCH(QString, oldFilter);
        QFETCH(QStringList, expected);
        QCOMPARE(qtFilters(oldFilter), expected);
    }

    void widgetMessageBoxDefaultButton_data() {
        QTest::addColumn<int>("defaultButton");
        QTest::addColumn<Answer>("expected");
        QTest::newRow("yes") << 0 << Answer::Yes;
        QTest::newRow("no") << 1 << Answer::No;
    }
    void widgetMessageBoxDefaultButton() {
        QFETCH(int, defaultButton);
        QFETCH(Answer, expected);
        QString title;
        QString text;
        QStringList buttonTexts;
        QTimer closer;
        closer.setInterval(10);
        connect(&closer, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible()) return;
            closer.stop();
            title = box->windowTitle();
            text = box->text();
            for (QAbstractButton* button : box->buttons())
                buttonTexts << button->text().remove('&');
            if (box->defaultButton())
                box->defaultButton()->click();
            else
                box->close();
        });
        closer.start();
        WidgetPrompts prompts;
        QCOMPARE(prompts.ask("Soll der Dienst gelöscht werden ?", Buttons::YesNo, Icon::Exclamation,
                             "Löschen", defaultButton),
                 expected);
        QCOMPARE(title, QString("Löschen"));
        QCOMPARE(text, QString("Soll der Dienst gelöscht werden ?"));
        QCOMPARE(buttonTexts.size(), 2);

        const QString qm = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_de.qm";
        if (!QFile::exists(qm)) QSKIP("Qt's German translations are not installed");
        buttonTexts.sort();
        QCOMPARE(buttonTexts, QStringList({"Ja", "Nein"}));
    }

    // The font dialog starts on the stored font; OK without a change gives it back unchanged,
    // a change is taken.
    void widgetFontDialogRoundTrip() {
        QFont stored(QStringLiteral("Arial"), 11);
        stored.setBold(true);
        QFont shownAtStart;
        int newSize = 0;
        QTimer closer;
        closer.setInterval(10);
        connect(&closer, &QTimer::timeout, this, [&] {
            auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible()) return;
            shownAtStart = dialog->currentFont();
            if (newSize) {
                QFont changed = dialog->currentFont();
                changed.setPointSize(newSize);
                dialog->setCurrentFont(changed);
            }
            dialog->accept();
        });
        closer.start();
        WidgetPrompts prompts;
        QCOMPARE(prompts.chooseFont(stored), std::optional<QFont>(stored));
        QCOMPARE(shownAtStart.family(), QFontInfo(stored).family());
        QCOMPARE(shownAtStart.pointSize(), 11);
        QVERIFY(shownAtStart.bold());
        newSize = 14;
        const std::optional<QFont> changed = prompts.chooseFont(stored);
        QVERIFY(changed.has_value());
        QCOMPARE(changed->pointSize(), 14);
        QCOMPARE(changed->family(), QFontInfo(stored).family());
        closer.stop();
    }
};

QTEST_MAIN(TestPrompts)
#include "test_prompts.moc"
