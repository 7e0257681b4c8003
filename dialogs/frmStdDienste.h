#pragma once
// The standard-duties editor: the catalogue of standard duties, each bound to one key of the
// keyboard, edited directly on the shared rsStandarddienste; a list that chooses the row, the
// bound fields, a sample of the roster cell, and the printed list.

#include "data/Session.h"
#include "dialogs/FormDialog.h"
#include "dialogs/RecordBinding.h"

class QCheckBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

namespace dialogs {
class RecordList;
}

class frmStdDienste : public dialogs::FormDialog {
    Q_OBJECT
public:
    explicit frmStdDienste(data::Session& session, QWidget* parent = nullptr);

    // The flat-hours field is unavailable for a norm duty (from the record, or from the box).
    void chknorm();
    void chkNormdienst_Click();
    // The row chosen in the list becomes the current record.
    void DataGrid1_RowColChange(engine::Bookmark chosen);
    // A key typed into txtTaste: true lets it in as the duty's key.
    bool txtTaste_KeyPress(const QString& typed);
    bool Txtkurzinfo_Validate();
    void Command3_Click();
    void cmdaddnew_Click();
    void cmddel_Click();
    void cmdPrint_Click();
    void cmdclose_Click();

protected:
    // Saves the current record when the window closes; false keeps the window open.
    bool unload() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    void showSample();
    void showRecord();
    // The flat-hours field takes input, or is greyed out for a norm duty.
    void offerFlatHours(bool offered);
    bool hasRecord() const;

    data::Session& session_;
    engine::Recordset& rs_;
    dialogs::RecordBinding binding_;
    bool discarded_ = false;

    dialogs::RecordList* DataGrid1 = nullptr;
    QLineEdit* txtTaste = nullptr;
    QLineEdit* MaskAnfang = nullptr;
    QLineEdit* MaskEdBox1 = nullptr;
    QLineEdit* txtPause = nullptr;
    QLineEdit* Txtkurzinfo = nullptr;
    QLineEdit* txtNBStunden = nullptr;
    QCheckBox* chkNormdienst = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* txtBemerkung = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* cmdaddnew = nullptr;
    QPushButton* cmddel = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdclose = nullptr;
    QLabel* Label1 = nullptr;
};
