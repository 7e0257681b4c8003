#include "platform/WidgetPrompts.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QMessageBox>

namespace platform {

namespace {

QMessageBox::StandardButton standardButton(Answer answer) {
    switch (answer) {
    case Answer::Ok:
        return QMessageBox::Ok;
    case Answer::Cancel:
        return QMessageBox::Cancel;
    case Answer::Yes:
        return QMessageBox::Yes;
    case Answer::No:
        return QMessageBox::No;
    case Answer::Retry:
        return QMessageBox::Retry;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon boxIcon(Icon icon) {
    switch (icon) {
    case Icon::None:
        return QMessageBox::NoIcon;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

std::optional<QString> runFileDialog(QWidget* parent, const FileRequest& request,
                                     QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, request.title, request.startFolder);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    // Saving asks before it overwrites a file (Qt's default, stated here on purpose).
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    QString suffix = request.defaultExtension;
    if (suffix.startsWith(QLatin1Char('.'))) suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    const QStringList filters = qtFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.value(request.filterIndex - 1, filters.first()));
    }
    if (!request.defaultName.isEmpty()) dialog.selectFile(request.defaultName);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return files.first();
}

} // namespace

Answer WidgetPrompts::message(const Message& message) {
    const QList<Answer> answers = buttonAnswers(message.buttons);
    QMessageBox box(boxIcon(message.icon), message.title, message.text, QMessageBox::NoButton,
                    parent_);
    for (Answer answer : answers)
        box.addButton(standardButton(answer));
    box.setDefaultButton(standardButton(defaultAnswer(message)));
    box.exec();
    // Esc and the close box give the escape button Qt picks (Cancel, or No without Cancel).
    const QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
    for (Answer answer : answers) {
        if (standardButton(answer) == clicked) return answer;
    }
    return answers.size() == 1 ? answers.first() : answers.last();
}

std::optional<QString> WidgetPrompts::openFile(const FileRequest& request) {
    return runFileDialog(parent_, request, QFileDialog::AcceptOpen);
}

std::optional<QString> WidgetPrompts::saveFile(const FileRequest& request) {
    return runFileDialog(parent_, request, QFileDialog::AcceptSave);
}

std::optional<QString> WidgetPrompts::chooseFolder(const QString& title,
                                                   const QString& startFolder) {
    const QString folder = QFileDialog::getExistingDirectory(parent_, title, startFolder);
    if (folder.isEmpty()) return std::nullopt;
    return folder;
}

std::optional<QColor> WidgetPrompts::chooseColor(const QColor& initial) {
    const QColor color = QColorDialog::getColor(initial, parent_);
    if (!color.isValid()) return std::nullopt;
    return color;
}

std::optional<QFont> WidgetPrompts::chooseFont(const QFont& initial) {
    QFontDialog dialog(parent_);
    // A family the desktop lacks (the stored "Arial") is shown as the family that stands in for
    // it, so the dialog starts on the stored font and not on the first of its list.
    QFont shown = initial;
    shown.setFamily(QFontInfo(initial).family());
    dialog.setCurrentFont(shown);
    const QFont start = dialog.currentFont();
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QFont chosen = dialog.selectedFont();
    // OK without a change keeps the stored font under its own name
    if (chosen.family() == start.family() && chosen.pointSizeF() == start.pointSizeF() &&
        chosen.bold() == start.bold() && chosen.italic() == start.italic())
        return initial;
    return chosen;
}

} // namespace platform
