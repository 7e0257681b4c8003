#pragma once
// Binds the edit fields of a window to the current row of a recordset: values in (load), values
// out (store into the pending row), and the field checks when the focus leaves a field.

#include "engine/Recordset.h"
#include "platform/Prompts.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QWidget;

namespace dialogs {

// The recordset stands on a record, or adds or edits one.
bool onRecord(const engine::Recordset& recordset);

class RecordBinding : public QObject {
    Q_OBJECT
public:
    enum class Kind { Text, Number, Date, Time };

    RecordBinding(engine::Recordset& recordset, platform::Prompts& prompts,
                  QObject* parent = nullptr);

    // A number field shows its value through format (default: "Fixed", 7,50); a date box gets
    // the locale's date mask; a time box gets "##:##" while it has the focus and shows "hh:mm"
    // otherwise; a text field takes at most as many characters as its column holds.
    void bind(QLineEdit* edit, const QString& field, Kind kind,
              std::function<QString(double)> format = {});
    void bind(QCheckBox* box, const QString& field);
    // A list of choices whose items carry the stored values as their data (Qt::UserRole).
    void bind(QComboBox* box, const QString& field);
    // A field shown through format and read back through parse, without mask or check
    // (currency amounts, a date with a display format of its own). parse returns the text
    // itself when it cannot read it, so that saving reports the bad value.
    void bindFormatted(QLineEdit* edit, const QString& field,
                       std::function<QString(const QVariant&)> format,
                       std::function<QVariant(const QString&)> parse);
    // A check of the window's own, run after the field's kind check has passed; true keeps
    // the focus in the field (required fields).
    void setCheck(QLineEdit* edit, std::function<bool(QLineEdit*)> check);

    // The bound recordset stands on a record (see onRecord).
    bool hasRecord() const { return onRecord(recordset_); }
    // Shows the current row (empty fields at EOF or BOF).
    void load();
    // Writes every bound field whose value differs into the recordset's pending row; throws
    // EngineError when the recordset refuses a value.
    void store();
    // Stores the fields into the current record and saves it; nothing without a record. True
    // when the record had pending changes (added or edited) before; throws as store() and the
    // recordset's update do.
    bool save();
    // The value a bound field holds now, as the recordset would store it.
    QVariant widgetValue(const QString& field) const;
    bool isBound(const QString& field) const;

    // Runs the check of a field; true keeps the focus there.
    bool validate(QWidget* field);
    // A field whose check refused the entry when the focus left it, and that has not passed
    // its check since. Buttons of the window do nothing while there is one, as the field's
    // validation comes before the click.
    bool hasRefusedField() const { return !refused_.isNull(); }
    // A button's action that runs only while no field has refused its entry.
    std::function<void()> unlessRefused(std::function<void()> action) const;

    // Set while load() fills the widgets (windows ignore their change signals then).
    bool loading() const { return loading_; }

Q_SIGNALS:
    // The focus left a field and its checks passed (windows that store every field at once).
    void fieldLeft(QWidget* field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Binding {
        Binding(QWidget* w, const QString& f, Kind k, std::function<QString(double)> fmt = {})
            : widget(w), field(f), kind(k), format(std::move(fmt)) {}
        QPointer<QWidget> widget;
        QString field;
        Kind kind;
        std::function<QString(double)> format;
        std::function<QString(const QVariant&)> formatValue; // formatted fields
        std::function<QVariant(const QString&)> parse;       // formatted fields
        std::function<bool(QLineEdit*)> check;
    };
    const Binding* find(const QObject* widget) const;
    Binding* find(const QObject* widget);
    QVariant storedValue(const QString& field) const; // null when there is no current row
    QVariant valueOf(const Binding& b) const;
    void show(const Binding& b, const QVariant& value);

    engine::Recordset& recordset_;
    platform::Prompts& prompts_;
    QList<Binding> bindings_;
    bool loading_ = false;
    QPointer<QWidget> refused_;
};

} // namespace dialogs
