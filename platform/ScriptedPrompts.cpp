#include "platform/ScriptedPrompts.h"

#include "platform/Logging.h"

namespace platform {

namespace {

template <typename T> std::optional<T> takeOrCancel(QQueue<std::optional<T>>& queue) {
    return queue.isEmpty() ? std::nullopt : queue.dequeue();
}

} // namespace

Answer ScriptedPrompts::message(const Message& message) {
    shown.append(message);
    if (answers.isEmpty()) return defaultAnswer(message);
    const Answer answer = answers.dequeue();
    if (!buttonAnswers(message.buttons).contains(answer)) {
        // The script is out of step with the boxes the program shows.
        qCWarning(lcPlatform) << "scripted answer" << int(answer)
                              << "is not a button of the box:" << message.text;
    }
    return answer;
}

std::optional<QString> ScriptedPrompts::openFile(const FileRequest& request) {
    openRequests.append(request);
    return takeOrCancel(files);
}

std::optional<QString> ScriptedPrompts::saveFile(const FileRequest& request) {
    saveRequests.append(request);
    return takeOrCancel(files);
}

std::optional<QString> ScriptedPrompts::chooseFolder(const QString&, const QString& startFolder) {
    folderRequests.append(startFolder);
    return takeOrCancel(files);
}

std::optional<QColor> ScriptedPrompts::chooseColor(const QColor& initial) {
    colorRequests.append(initial);
    return takeOrCancel(colors);
}

std::optional<QFont> ScriptedPrompts::chooseFont(const QFont& initial) {
    fontRequests.append(initial);
    return takeOrCancel(fonts);
}

QStringList ScriptedPrompts::texts() const {
    QStringList result;
    for (const Message& message : shown)
        result << message.text;
    return result;
}

void ScriptedPrompts::clear() {
    shown.clear();
    openRequests.clear();
    saveRequests.clear();
    folderRequests.clear();
    colorRequests.clear();
    fontRequests.clear();
    answers.clear();
    files.clear();
    colors.clear();
    fonts.clear();
}

} // namespace platform
