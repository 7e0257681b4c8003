#pragma once
// Where long procedures report their progress: the start window's status line and progress
// bar while the program starts, the main window's progress bar afterwards.

#include <QString>

namespace data {

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void status(const QString& text) = 0; // status line; may be ignored
    virtual void setMaximum(int maximum) = 0;
    virtual void setValue(int value) = 0;
    virtual int value() const = 0;
    // Lets the windows repaint between steps of a long procedure.
    virtual void processEvents() {}
};

// Reports nowhere; for procedures run without a window.
class NullProgress final : public ProgressSink {
public:
    void status(const QString&) override {}
    void setMaximum(int) override {}
    void setValue(int v) override { value_ = v; }
    int value() const override { return value_; }

private:
    int value_ = 0;
};

} // namespace data
