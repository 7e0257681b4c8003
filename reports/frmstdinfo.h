#pragma once
// The standard-duties overview "Standarddienst Info": a small tool window beside the roster that
// lists every standard duty by key, with the cell text it produces, in the duty's colour. It is
// the legend of the keys and a drag source: a row dragged onto the roster enters that duty.

#include "data/Session.h"

#include <QPoint>
#include <QWidget>

#include <functional>
#include <optional>

class QLabel;
class QMimeData;
class QTableWidget;

class frmstdinfo : public QWidget {
    Q_OBJECT
public:
    explicit frmstdinfo(data::Session& session, QWidget* parent = nullptr);

    // Rebuilds the list from rsStandarddienste, sorted by key, and fits the window to it.
    void gridpaint();
    // The key of the row last pressed with the left button.
    QString rememberedKey() const { return rememberedKey_; }

    // The drag data of a standard duty's key, and the key carried by drag data.
    static QMimeData* dutyMimeData(const QString& key);
    static std::optional<QChar> dutyKeyOf(const QMimeData* data);

    // Opens the standard-duties editor on the current row of rsStandarddienste; the window
    // repaints afterwards. Set by the main window.
    std::function<void()> openEditor;

Q_SIGNALS:
    // The window was closed.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    // It takes no keys: activated (when shown, or by a drag from it), it hands the activation
    // back to the window it stands beside, so that typed keys reach the roster.
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DataGrid1_MouseDown(const QPoint& at);
    void DataGrid1_DblClick(const QPoint& at);
    void startDrag();
    void fitToGrid();

    data::Session& session_;
    QTableWidget* DataGrid1 = nullptr;
    QLabel* Label1 = nullptr;
    QString rememberedKey_;
    QPoint pressedAt_;
    bool pressed_ = false;
};
