#pragma once
// The seam between the program and the desktop's message boxes and common dialogs. Windows and
// procedures ask through this interface; the program answers with real Qt dialogs
// (WidgetPrompts), the tests with a script that records every question (ScriptedPrompts).

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace platform {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class Icon { None, Information, Exclamation, Critical, Question };
enum class Answer { Ok, Cancel, Yes, No, Retry };

struct Message {
    QString text;
    QString title = QStringLiteral("Turnova");
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
    // Index of the default button among the box's buttons (0 = first: OK or Yes).
    int defaultButton = 0;
};

// A file dialog as the old common dialog described it: default file name, default extension
// (".xml"), start folder, and a filter list "Text|pattern|Text|pattern|" with the entry
// (1-based) that is selected.
struct FileRequest {
    QString title;
    QString defaultName;
    QString defaultExtension;
    QString startFolder;
    QString filter;
    int filterIndex = 1;
};

class Prompts {
public:
    virtual ~Prompts() = default;
    virtual Answer message(const Message& message) = 0;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> openFile(const FileRequest& request) = 0;
    virtual std::optional<QString> saveFile(const FileRequest& request) = 0;
    // The chosen folder, or nothing when the user cancelled.
    virtual std::optional<QString> chooseFolder(const QString& title,
                                                const QString& startFolder) = 0;
    virtual std::optional<QColor> chooseColor(const QColor& initial) = 0;
    virtual std::optional<QFont> chooseFont(const QFont& initial) = 0;

    // Convenience for the common case of a box with text, buttons and icon.
    Answer ask(const QString& text, Buttons buttons = Buttons::Ok, Icon icon = Icon::None,
               const QString& title = QStringLiteral("Turnova"), int defaultButton = 0) {
        return message(Message{text, title, buttons, icon, defaultButton});
    }
};

// Qt's filter syntax ("Alle Dateien (*.*);;XML Dateien (*.xml)") from the old one
// ("Alle Dateien (*.*)|*.*|XML Dateien (*.xml)|*.xml|").
QStringList qtFilters(const QString& oldFilter);

// The buttons of a box in the order shown (OK, Cancel / Yes, No, Cancel / Retry, Cancel).
QList<Answer> buttonAnswers(Buttons buttons);
// The answer of the box's default button (the first button when the index is out of range).
Answer defaultAnswer(const Message& message);

} // namespace platform
