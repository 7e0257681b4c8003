#pragma once
// Prompts for tests and the smoke run: every question is recorded, answers come from queues.
// An empty queue answers a message box with its default button and cancels every dialog.

#include "platform/Prompts.h"

#include <QList>
#include <QQueue>

namespace platform {

class ScriptedPrompts : public Prompts {
public:
    Answer message(const Message& message) override;
    std::optional<QString> openFile(const FileRequest& request) override;
    std::optional<QString> saveFile(const FileRequest& request) override;
    // Answered from the queue of files as well; the start folder is recorded.
    std::optional<QString> chooseFolder(const QString& title, const QString& startFolder) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    std::optional<QFont> chooseFont(const QFont& initial) override;

    void queueAnswer(Answer answer) { answers.enqueue(answer); }
    // One queue for open and save dialogs; nothing = the user cancels.
    void queueFile(std::optional<QString> path) { files.enqueue(std::move(path)); }
    void queueColor(std::optional<QColor> color) { colors.enqueue(std::move(color)); }
    void queueFont(std::optional<QFont> font) { fonts.enqueue(std::move(font)); }

    const QList<Message>& messages() const { return shown; }
    Message lastMessage() const { return shown.isEmpty() ? Message{} : shown.last(); }
    QStringList texts() const;
    // Forgets what was shown and requested and empties the queues.
    void clear();

    // What was asked, in order.
    QList<Message> shown;
    QList<FileRequest> openRequests;
    QList<FileRequest> saveRequests;
    QStringList folderRequests;
    QList<QColor> colorRequests;
    QList<QFont> fontRequests;

    // What will be answered, in order.
    QQueue<Answer> answers;
    QQueue<std::optional<QString>> files;
    QQueue<std::optional<QColor>> colors;
    QQueue<std::optional<QFont>> fonts;
};

} // namespace platform
