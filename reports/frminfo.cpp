#include "reports/frminfo.h"

#include "data/Schema.h"
#include "platform/Formats.h"
#include "platform/ProgramIcon.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

frminfo::frminfo(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frminfo"));
    setWindowTitle(QStringLiteral("Info"));
    auto* outer = new QVBoxLayout(this);
    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::StyledPanel);
    outer->addWidget(Frame1);
    auto* layout = new QVBoxLayout(Frame1);

    const auto label = [this, layout](const char* name, const QString& text) {
        auto* l = new QLabel(text, Frame1);
        l->setObjectName(QLatin1String(name));
        layout->addWidget(l);
        l->installEventFilter(this);
        return l;
    };
    // the program's icon above the maker's name
    Picture1 = label("Picture1", QString());
    Picture1->setPixmap(platform::programIcon().pixmap(64, 64));
    QFont serif(QStringLiteral("Times New Roman"));
    serif.setPointSize(28);
    serif.setBold(true);
    Label1 = label("Label1", QStringLiteral("Karbeno"));
    Label1->setFont(serif);
    serif.setPointSize(16);
    serif.setBold(false);
    Label2 = label("Label2", QStringLiteral("Software"));
    Label2->setFont(serif);
    Label3 = label("Label3", QStringLiteral("Besuchen Sie uns im Internet: www.karbeno.de"));
    Label4 = label("Label4", QString());
    Label4->setText(versionText(TURNOVA_VERSION_MAJOR, TURNOVA_VERSION_MINOR,
                                TURNOVA_VERSION_PATCH));
    Infotext = label("Infotext", QString());
    ProgressBar1 = new QProgressBar(Frame1);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    layout->addWidget(ProgressBar1);
    Label5 = label("Label5", QStringLiteral("Turnova: Dienstpläne für Pflege, Klinik und Feuerwehr"));
    Frame1->installEventFilter(this);
    setMinimumWidth(420);
}

QString frminfo::versionText(int major, int minor, int revision) {
    return QStringLiteral("Programm Version %1.%2.%3\nDatenbank Version vom : %4")
        .arg(major)
        .arg(minor)
        .arg(revision, 4, 10, QLatin1Char('0'))
        .arg(platform::shortDate(data::formatMarker()));
}

void frminfo::status(const QString& text) {
    Infotext->setText(text);
    processEvents();
}

void frminfo::setMaximum(int maximum) { ProgressBar1->setMaximum(qMax(1, maximum)); }

void frminfo::setValue(int value) {
    ProgressBar1->setValue(qBound(ProgressBar1->minimum(), value, ProgressBar1->maximum()));
}

int frminfo::value() const { return ProgressBar1->value(); }

void frminfo::processEvents() {
    if (isVisible())
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void frminfo::mousePressEvent(QMouseEvent* event) {
    QDialog::mousePressEvent(event);
    close();
}

bool frminfo::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        close();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frminfo::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    if (event->key() == Qt::Key_F10) {
        Label5->setText(QStringLiteral("MDAC Version = ") + engineVersion_);
        return;
    }
    QDialog::keyReleaseEvent(event);
}
