#pragma once
// The program's answers to Prompts: real Qt message boxes and common dialogs, owned by the
// window set as parent. The only place that uses QMessageBox, QFileDialog, QColorDialog and
// QFontDialog.

#include "platform/Prompts.h"

#include <QPointer>
#include <QWidget>

namespace platform {

class WidgetPrompts : public Prompts {
public:
    explicit WidgetPrompts(QWidget* parent = nullptr) : parent_(parent) {}

    void setParent(QWidget* parent) { parent_ = parent; }
    QWidget* parent() const { return parent_; }

    Answer message(const Message& message) override;
    std::optional<QString> openFile(const FileRequest& request) override;
    std::optional<QString> saveFile(const FileRequest& request) override;
    std::optional<QString> chooseFolder(const QString& title, const QString& startFolder) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    std::optional<QFont> chooseFont(const QFont& initial) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace platform
