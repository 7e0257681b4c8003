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
class QLineEdit;
class QWidget;

namespace dialogs {

class RecordBinding : public QObject {
    Q_OBJECT
public:
    enum class Kind { Text, Number, Date, Time };

    RecordBinding(engine::Recordset& recordset, platform::Prompts& prompts,
                  QObject* parent = nullptr);

    // A number field shows its value through format (default: "Fixed", 7,50); a date box gets
    // the locale's date mask; a time box gets "##:##" while it has the focus and shows "hh:mm"
    // otherwise.
    void bind(QLineEdit* edit, const QString& field, Kind kind,
              std::function<QString(double)> format = {});
    void bind(QCheckBox* box, const QString& field);

    // Shows the current row (empty fields at EOF or BOF).
    void load();
    // Writes every bound field whose value differs into the recordset's pending row; throws
    // EngineError when the recordset refuses a value.
    void store();
    // The value a bound field holds now, as the recordset would store it.
    QVariant widgetValue(const QString& field) const;
    bool isBound(const QString& field) const;

    // Runs the check of a field; true keeps the focus there.
    bool validate(QWidget* field);

    // Set while load() fills the widgets (windows ignore their change signals then).
    bool loading() const { return loading_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Binding {
        QPointer<QWidget> widget;
        QString field;
        Kind kind;
        std::function<QString(double)> format;
    };
    const Binding* find(const QObject* widget) const;
    QVariant valueOf(const Binding& b) const;
    void show(const Binding& b, const QVariant& value);

    engine::Recordset& recordset_;
    platform::Prompts& prompts_;
    QList<Binding> bindings_;
    bool loading_ = false;
};

} // namespace dialogs
