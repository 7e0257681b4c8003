#pragma once
// The data environment: the one connection "Datenbank" and the fifteen named commands with their
// recordsets, shared by every window from start-up to shutdown. Executing a command (re)opens
// its recordset; the parameters of the SQL commands are bound by position.

#include "engine/Connection.h"
#include "engine/Recordset.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

namespace data {

class DataUmgebung : public QObject {
    Q_OBJECT
public:
    enum class Kind { Table, Sql };
    struct Command {
        QString name;
        Kind kind;
        QString text;           // the table name or the SQL text
        QStringList parameters; // in the order the caller passes them
        engine::Recordset* recordset;
    };

    explicit DataUmgebung(QObject* parent = nullptr);
    ~DataUmgebung() override;

    engine::Connection Datenbank;

    engine::Recordset rsMitarbeiter;
    engine::Recordset rsDienstzeiten;
    engine::Recordset rsStandarddienste;
    engine::Recordset rsEinstellungen;
    engine::Recordset rsFeiertage;
    engine::Recordset rsStatistik;
    engine::Recordset rsGruppen;
    engine::Recordset rsGpZuordnung;
    engine::Recordset rsJahreswerte;
    engine::Recordset rsStundSum;
    engine::Recordset rsStundSumGrp;
    engine::Recordset rsDienst;
    engine::Recordset rsMaDienste;
    engine::Recordset rssortMa;
    engine::Recordset rsMaNachGrp;
    engine::Recordset rsStatMa;

    // Opens the connection on the database file (closing an open one first).
    void open(const QString& path);
    // Closes every recordset and the connection.
    void close();
    bool isOpen() const { return Datenbank.isOpen(); }

    const QList<Command>& commands() const { return commands_; }
    const Command& command(const QString& name) const; // without regard to case
    engine::Recordset& recordset(const QString& commandName);
    bool hasCommand(const QString& commandName) const;

    // Executes a named command: its recordset is closed and opened again on the table or the
    // SQL text with the values bound by position.
    engine::Recordset& execute(const QString& commandName, const QVariantList& values = {});

    // The SQL commands with typed arguments.
    engine::Recordset& StundSum(const QDate& start, const QDate& stop);
    // StundSum for the members of one group (the roster's sums row)
    engine::Recordset& StundSumGrp(const QDate& start, const QDate& stop, int gruppe);
    engine::Recordset& Dienst(const QDate& anf, const QDate& end, int pos, int gprNr);
    engine::Recordset& MaDienste(const QDate& anf, const QDate& end, int nr);
    engine::Recordset& sortMa();
    engine::Recordset& MaNachGrp(int eingabe);
    engine::Recordset& StatMa(int maNummer, int suchJahr);

    // The employee and day of a duty written or deleted with statements, not through
    // rsDienstzeiten.
    struct DutyDay {
        int maNr = 0;
        QDate day;
    };

Q_SIGNALS:
    // Duties were written or deleted with statements (the block commands), inside the
    // transaction that wrote them; the change hooks take them as changes of rsDienstzeiten.
    void dutiesWritten(const QList<data::DataUmgebung::DutyDay>& duties);
    // Holidays were added with statements (a table file), the earliest on `earliest`; the change
    // hooks take them as new rows of rsFeiertage.
    void holidaysWritten(const QDate& earliest);

private:
    QList<Command> commands_;
};

} // namespace data
