#include "dialogs/RecordBinding.h"

#include "dialogs/FieldChecks.h"
#include "engine/DateValue.h"
#include "platform/Formats.h"

#include <QCheckBox>
#include <QEvent>
#include <QLineEdit>
#include <QTimer>

namespace dialogs {

RecordBinding::RecordBinding(engine::Recordset& recordset, platform::Prompts& prompts,
                             QObject* parent)
    : QObject(parent), recordset_(recordset), prompts_(prompts) {}

void RecordBinding::bind(QLineEdit* edit, const QString& field, Kind kind,
                         std::function<QString(double)> format) {
    if (kind == Kind::Number && !format)
        format = [](double v) { return platform::fixed(v); };
    if (kind == Kind::Date)
        edit->setInputMask(dateBoxMask());
    bindings_ << Binding{edit, field, kind, std::move(format)};
    edit->installEventFilter(this);
}

void RecordBinding::bind(QCheckBox* box, const QString& field) {
    bindings_ << Binding{box, field, Kind::Text, {}};
}

const RecordBinding::Binding* RecordBinding::find(const QObject* widget) const {
    for (const Binding& b : bindings_) {
        if (b.widget == widget)
            return &b;
    }
    return nullptr;
}

bool RecordBinding::isBound(const QString& field) const {
    for (const Binding& b : bindings_) {
        if (b.field.compare(field, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void RecordBinding::show(const Binding& b, const QVariant& value) {
    if (auto* box = qobject_cast<QCheckBox*>(b.widget.data())) {
        box->setChecked(value.toBool());
        return;
    }
    auto* edit = qobject_cast<QLineEdit*>(b.widget.data());
    if (!edit)
        return;
    switch (b.kind) {
    case Kind::Text:
        edit->setText(value.toString());
        break;
    case Kind::Number:
        edit->setText(value.isNull() ? QString() : b.format(value.toDouble()));
        break;
    case Kind::Date:
        edit->setText(value.isNull() ? QString()
                                     : engine::toDate(value).toString(platform::dateDisplayPattern()));
        break;
    case Kind::Time:
        if (!edit->hasFocus())
            edit->setInputMask(QString());
        edit->setText(value.isNull() ? QString() : platform::timeText(engine::toDateTime(value).time()));
        break;
    }
}

void RecordBinding::load() {
    loading_ = true;
    const bool current = recordset_.isOpen() && (recordset_.isEditing() || (!recordset_.eof() && !recordset_.bof()));
    for (const Binding& b : std::as_const(bindings_)) {
        if (!b.widget)
            continue;
        QVariant v;
        if (current) {
            try {
                v = recordset_.value(b.field);
            } catch (const engine::EngineError&) {
            }
        }
        show(b, v);
    }
    loading_ = false;
}

QVariant RecordBinding::valueOf(const Binding& b) const {
    if (auto* box = qobject_cast<QCheckBox*>(b.widget.data()))
        return box->isChecked();
    auto* edit = qobject_cast<QLineEdit*>(b.widget.data());
    if (!edit)
        return {};
    const QString text = edit->displayText();
    switch (b.kind) {
    case Kind::Text:
        return edit->text();
    case Kind::Number: {
        if (text.trimmed().isEmpty())
            return 0.0;
        bool ok = false;
        const double v = platform::parseNumber(text, &ok);
        return ok ? QVariant(v) : QVariant(text);
    }
    case Kind::Date: {
        if (isEmptyMaskText(text))
            return QVariant();
        const QDate d = platform::parseDate(text);
        return d.isValid() ? engine::dateVariant(d) : QVariant(text);
    }
    case Kind::Time: {
        if (text.isEmpty() || isEmptyMaskText(text))
            return QVariant();
        const QTime t = platform::parseTime(text);
        if (!t.isValid())
            return QVariant(text);
        // keep the extra day of an end after midnight when the time itself did not change
        const QVariant stored = recordset_.value(b.field);
        if (!stored.isNull() && engine::toDateTime(stored).time() == t)
            return stored;
        return engine::dateVariant(engine::dayNumber(t));
    }
    }
    return {};
}

QVariant RecordBinding::widgetValue(const QString& field) const {
    for (const Binding& b : bindings_) {
        if (b.field.compare(field, Qt::CaseInsensitive) == 0 && b.widget)
            return valueOf(b);
    }
    return {};
}

void RecordBinding::store() {
    for (const Binding& b : std::as_const(bindings_)) {
        if (!b.widget)
            continue;
        const QVariant v = valueOf(b);
        QVariant old;
        try {
            old = recordset_.value(b.field);
        } catch (const engine::EngineError&) {
        }
        const bool same = (v.isNull() && old.isNull()) ||
                          (!v.isNull() && !old.isNull() && v == old);
        if (!same)
            recordset_.setValue(b.field, v);
    }
}

bool RecordBinding::validate(QWidget* field) {
    const Binding* b = find(field);
    auto* edit = qobject_cast<QLineEdit*>(field);
    if (!b || !edit)
        return false;
    switch (b->kind) {
    case Kind::Number:
        return CheckNumberField(edit, prompts_);
    case Kind::Date:
        return CheckDateField(edit, prompts_);
    case Kind::Time:
        return CheckTimeField(edit, prompts_);
    case Kind::Text:
        break;
    }
    return false;
}

bool RecordBinding::eventFilter(QObject* watched, QEvent* event) {
    const Binding* b = find(watched);
    if (b) {
        auto* edit = qobject_cast<QLineEdit*>(watched);
        if (event->type() == QEvent::FocusIn && b->kind == Kind::Time) {
            const QString shown = edit->text();
            edit->setInputMask(QString::fromLatin1(TimeMask));
            edit->setText(shown);
            edit->selectAll();
        } else if (event->type() == QEvent::FocusOut) {
            if (validate(edit)) {
                QPointer<QLineEdit> keep(edit);
                QTimer::singleShot(0, edit, [keep] {
                    if (keep)
                        keep->setFocus();
                });
            } else if (b->kind == Kind::Time) {
                const QString shown = edit->displayText();
                edit->setInputMask(QString());
                edit->setText(isEmptyMaskText(shown) ? QString() : shown);
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace dialogs
