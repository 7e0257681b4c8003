#pragma once
// The duty entry dialog: one duty record of the current row of rsDienstzeiten in full (day,
// employee, times, break, flat hours, short text, remark, extra counters, colour). Only
// "Speichern und Schließen" saves; every other way of closing discards the changes. Choosing
// another employee moves the duty to him.

#include "data/Session.h"
#include "dialogs/FormDialog.h"
#include "dialogs/RecordBinding.h"

class QComboBox;
class QLineEdit;
class QPushButton;

class frmDiensteingabe : public dialogs::FormDialog {
    Q_OBJECT
public:
    // The duty must be the current row of rsDienstzeiten.
    explicit frmDiensteingabe(data::Session& session, QWidget* parent = nullptr);

    bool txtKurzinfo_Validate();
    void Command1_Click();
    void cmddel_Click();
    void cmdClose_Click();

protected:
    // Discards whatever is pending; false keeps the window open.
    bool unload() override;

private:
    void buildControls();
    void Diensteingabe_Load();
    void showSample();

    data::Session& session_;
    engine::Recordset& rs_;
    dialogs::RecordBinding binding_;

    QLineEdit* MaskTag = nullptr;
    QComboBox* DataCombo1 = nullptr;
    QLineEdit* MaskAnfang = nullptr;
    QLineEdit* MaskEnde = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* txtKurzinfo = nullptr;
    QLineEdit* txtBemerkung = nullptr;
    QLineEdit* txts1 = nullptr;
    QLineEdit* txts2 = nullptr;
    QLineEdit* Text4 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* cmddel = nullptr;
    QPushButton* cmdClose = nullptr;
};
