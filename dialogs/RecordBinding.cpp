#include "dialogs/RecordBinding.h"

#include "dialogs/FieldChecks.h"
#include "engine/DateValue.h"
#include "platform/Formats.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTimer>

namespace dialogs {

RecordBinding::RecordBinding(engine::Recordset& recordset, platform::Prompts& prompts,
                             QObject* parent)
    : QObject(parent), recordset_(recordset), prompts_(prompts) {}

void RecordBinding::bind(QLineEdit* edit, const QString& field, Kind kind,
                         std::function<QString(double)> format) {
    if (kind == Kind::Number && !format) format = [](double v) { return platform::fixed(v); };
    if (kind == Kind::Date) edit->setInputMask(dateBoxMask());
    if (kind == Kind::Text && recordset_.isOpen()) {
        // a text field takes no more than its column holds
        const int index = recordset_.fieldIndex(field);
        if (index >= 0 && recordset_.fieldInfo(index).width > 0)
            edit->setMaxLength(recordset_.fieldInfo(index).width);
    }
    bindings_ << Binding{edit, field, kind, std::move(format)};
    edit->installEventFilter(this);
}

void RecordBinding::bind(QCheckBox* box, const QString& field) {
    bindings_ << Binding{box, field, Kind::Text, {}};
}

void RecordBinding::bind(QComboBox* box, const QString& field) {
    bindings_ << Binding{box, field, Kind::Text, {}};
}

const RecordBinding::Binding* RecordBinding::find(const QObject* widget) const {
    for (const Binding& b : bindings_) {
        if (b.widget == widget) return &b;
    }
    return nullptr;
}

RecordBinding::Binding* RecordBinding::find(const QObject* widget) {
    for (Binding& b : bindings_) {
        if (b.widget == widget) return &b;
    }
    return nullptr;
}

void RecordBinding::bindFormatted(QLineEdit* edit, const QString& field,
                                  std::function<QString(const QVariant&)> format,
                                  std::function<QVariant(const QString&)> parse) {
    Binding b(edit, field, Kind::Text);
    b.formatValue = std::move(format);
    b.parse = std::move(parse);
    bindings_ << b;
    edit->installEventFilter(this);
}

void RecordBinding::setCheck(QLineEdit* edit, std::function<bool(QLineEdit*)> check) {
    if (Binding* b = find(edit)) b->check = std::move(check);
}

bool RecordBinding::isBound(const QString& field) const {
    for (const Binding& b : bindings_) {
        if (b.field.compare(field, Qt::CaseInsensitive) == 0) return true;
    }
    return false;
}

void RecordBinding::show(const Binding& b, const QVariant& value) {
    if (auto* box = qobject_cast<QCheckBox*>(b.widget.data())) {
        box->setChecked(value.toBool());
        return;
    }
    if (auto* combo = qobject_cast<QComboBox*>(b.widget.data())) {
        combo->setCurrentIndex(value.isNull() ? -1 : combo->findData(value));
        return;
    }
    auto* edit = qobject_cast<QLineEdit*>(b.widget.data());
    if (!edit) return;
    if (b.formatValue) {
        edit->setText(value.isNull() ? QString() : b.formatValue(value));
        return;
    }
    switch (b.kind) {
    case Kind::Text:
        edit->setText(value.toString());
        break;
    case Kind::Number:
        edit->setText(value.isNull() ? QString() : b.format(value.toDouble()));
        break;
    case Kind::Date:
        edit->setText(value.isNull()
                          ? QString()
                          : engine::toDate(value).toString(platform::dateDisplayPattern()));
        break;
    case Kind::Time:
        if (!edit->hasFocus()) edit->setInputMask(QString());
        edit->setText(value.isNull() ? QString()
                                     : platform::timeText(engine::toDateTime(value).time()));
        break;
    }
}

bool onRecord(const engine::Recordset& recordset) {
    return recordset.isOpen() && (recordset.isEditing() || (!recordset.eof() && !recordset.bof()));
}

bool RecordBinding::save() {
    if (!hasRecord()) return false;
    store();
    const bool pending = recordset_.isEditing();
    recordset_.update();
    return pending;
}

std::function<void()> RecordBinding::unlessRefused(std::function<void()> action) const {
    return [this, action = std::move(action)] {
        if (!hasRefusedField()) action();
    };
}

void RecordBinding::load() {
    loading_ = true;
    const bool current = hasRecord();
    for (const Binding& b : std::as_const(bindings_)) {
        if (!b.widget) continue;
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
    if (auto* box = qobject_cast<QCheckBox*>(b.widget.data())) return box->isChecked();
    if (auto* combo = qobject_cast<QComboBox*>(b.widget.data()))
        return combo->currentIndex() < 0 ? QVariant() : combo->currentData();
    auto* edit = qobject_cast<QLineEdit*>(b.widget.data());
    if (!edit) return {};
    const QString text = edit->displayText();
    if (b.parse) {
        // the text as it was shown keeps the stored value (no rounding to the shown places)
        const QVariant stored = storedValue(b.field);
        if (!stored.isNull() && text == b.formatValue(stored)) return stored;
        return text.trimmed().isEmpty() ? QVariant() : b.parse(text);
    }
    switch (b.kind) {
    case Kind::Text: {
        // an empty required text stays empty, so that saving refuses it
        const int index = recordset_.fieldIndex(b.field);
        if (edit->text().isEmpty() && index >= 0 && recordset_.fieldInfo(index).notNull)
            return QVariant();
        return edit->text();
    }
    case Kind::Number: {
        if (text.trimmed().isEmpty()) return 0.0;
        const QVariant stored = storedValue(b.field);
        if (!stored.isNull() && text == b.format(stored.toDouble())) return stored;
        bool ok = false;
        const double v = platform::parseNumber(text, &ok);
        return ok ? QVariant(v) : QVariant(text);
    }
    case Kind::Date: {
        if (isEmptyMaskText(text)) return QVariant();
        const QDate d = platform::parseDate(text);
        return d.isValid() ? engine::dateVariant(d) : QVariant(text);
    }
    case Kind::Time: {
        if (text.isEmpty() || isEmptyMaskText(text)) return QVariant();
        const QTime t = platform::parseTime(text);
        if (!t.isValid()) return QVariant(text);
        // keep the extra day of an end after midnight when the time itself did not change
        const QVariant stored = storedValue(b.field);
        if (!stored.isNull() && engine::toDateTime(stored).time() == t) return stored;
        return engine::dateVariant(engine::dayNumber(t));
    }
    }
    return {};
}

QVariant RecordBinding::storedValue(const QString& field) const {
    try {
        return recordset_.value(field);
    } catch (const engine::EngineError&) {
        return QVariant();
    }
}

QVariant RecordBinding::widgetValue(const QString& field) const {
    for (const Binding& b : bindings_) {
        if (b.field.compare(field, Qt::CaseInsensitive) == 0 && b.widget) return valueOf(b);
    }
    return {};
}

void RecordBinding::store() {
    for (const Binding& b : std::as_const(bindings_)) {
        if (!b.widget) continue;
        const QVariant v = valueOf(b);
        QVariant old;
        try {
            old = recordset_.value(b.field);
        } catch (const engine::EngineError&) {
        }
        // an empty text where nothing was stored is no change
        const bool emptyText = v.typeId() == QMetaType::QString && v.toString().isEmpty();
        const bool same = (v.isNull() && old.isNull()) || (emptyText && old.isNull()) ||
                          (!v.isNull() && !old.isNull() && v == old);
        if (!same) recordset_.setValue(b.field, v);
    }
}

bool RecordBinding::validate(QWidget* field) {
    const Binding* b = find(field);
    auto* edit = qobject_cast<QLineEdit*>(field);
    if (!b || !edit) return false;
    bool refuse = false;
    if (!b->parse) {
        switch (b->kind) {
        case Kind::Number:
            refuse = CheckNumberField(edit, prompts_);
            break;
        case Kind::Date:
            refuse = CheckDateField(edit, prompts_);
            break;
        case Kind::Time:
            refuse = CheckTimeField(edit, prompts_);
            break;
        case Kind::Text:
            break;
        }
    }
    if (!refuse && b->check) refuse = b->check(edit);
    if (refuse)
        refused_ = field;
    else if (refused_ == field)
        refused_ = nullptr;
    return refuse;
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
            // Another window or a pop-up taking the focus for a while does not leave the field.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
                return QObject::eventFilter(watched, event);
            if (validate(edit)) {
                QPointer<QLineEdit> keep(edit);
                QTimer::singleShot(0, edit, [keep] {
                    if (keep) keep->setFocus();
                });
            } else {
                if (b->kind == Kind::Time) {
                    const QString shown = edit->displayText();
                    edit->setInputMask(QString());
                    edit->setText(isEmptyMaskText(shown) ? QString() : shown);
                }
                Q_EMIT fieldLeft(edit);
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace dialogs
