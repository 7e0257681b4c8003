#pragma once
// The window "Besetzung" (menu "Prüfung"): per group, the requirements of each shift (a standard
// duty's key or a time window, the kinds of day, the least and most employees, the number or
// share of a qualification); the qualifications of the group's members; and the list of
// qualifications. "Speichern" stores all three in one transaction; Esc leaves the database as it
// was. A bad entry is named in a message, its cell gets the focus, and nothing is stored.

#include "data/Session.h"
#include "data/Staffing.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QPushButton;
class QTabWidget;
class QTableWidget;

class frmBesetzung : public QDialog {
    Q_OBJECT
public:
    frmBesetzung(data::Session& session, int groupNr, QWidget* parent = nullptr);

    // Runs after a save (the roster repaints its marks).
    std::function<void()> saved;

    // The columns of the requirements' table.
    enum Column {
        Schicht,
        Dienst,
        MoFr,
        Sa,
        So,
        Feiertag,
        Mindest,
        Hoechst,
        Qualifikation,
        QualMindest,
        QualAnteil,
        ColumnCount
    };

    // Checks and stores what the window holds; false (after a message) when an entry is bad.
    bool save();

private:
    void load(int groupNr);
    void addRequirementRow(const data::StaffingRequirement& r);
    void fillQualificationCombo(QComboBox* combo, int qualNr) const;
    void refreshQualifications(); // the qualification list into the other two tabs
    void cboGruppe_Change();
    void cmdNeu_Click();
    void cmdLoeschen_Click();
    void cmdQualNeu_Click();
    void cmdQualLoeschen_Click();
    bool fail(int tab, QTableWidget* table, int row, int col, const QString& text);
    int groupNr() const;

    data::Session& session_;
    QList<data::Qualification> qualifications_; // as the third tab holds them
    QHash<int, QSet<int>> held_;                // MaNr -> references into qualifications_
    int nextNewRef_ = -1000;
    int shownGroup_ = 0;
    QComboBox* cboGruppe;
    QTabWidget* tabBesetzung;
    QTableWidget* grdAnforderungen;
    QTableWidget* grdMitarbeiter;
    QTableWidget* grdQualifikationen;
    QPushButton* cmdNeu;
    QPushButton* cmdLoeschen;
    QPushButton* cmdQualNeu;
    QPushButton* cmdQualLoeschen;
    QPushButton* cmdSpeichern;
    QPushButton* cmdAbbrechen;
};
