#include "dialogs/frmprop.h"

#include "data/Schema.h"
#include "data/Staffing.h"
#include "dialogs/DialogKeys.h"
#include "engine/Recordset.h"
#include "platform/Colors.h"
#include "platform/Formats.h"
#include "roster/Konstanten.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace dialogs {

QString programVersion(int major, int minor, int revision) {
    return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(revision);
}

} // namespace dialogs

namespace {

// The file name for which the window keeps the database's path and name to itself.
const QString HiddenFileName = QStringLiteral("daten.tnvl");

} // namespace

frmprop::frmprop(data::Session& session, const dialogs::MainWindowLink& main, QWidget* parent)
    : FormDialog(parent), session_(session), main_(main), rs_(session.env.rsEinstellungen),
      binding_(session.env.rsEinstellungen, session.prompts(), this) {
    setObjectName(QStringLiteral("frmprop"));
    setWindowTitle(QStringLiteral("Eigenschaften"));
    setModal(true);

    const auto shown = [this](const char* name) {
        QLineEdit* e = lineEdit(name);
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
        return e;
    };
    Text1 = shown("Text1");
    Command2 = button("Command2", QStringLiteral("Schrift ändern"));
    Text2 = shown("Text2");
    Command1 = button("Command1", QStringLiteral("Schrift ändern"));
    Text3 = lineEdit("Text3");
    Label8 = new QLabel(this);
    Label8->setObjectName(QStringLiteral("Label8"));
    Label8->setAutoFillBackground(true);
    Label8->setFrameShape(QFrame::Panel);
    Label8->setFrameShadow(QFrame::Sunken);
    Label8->setMinimumHeight(22);
    Command3 = button("Command3", QStringLiteral("Farbe ändern"));
    cmdAutorecalc = new QCheckBox(QStringLiteral("Automatisch berechnen:"), this);
    cmdAutorecalc->setObjectName(QStringLiteral("cmdAutorecalc"));
    cmdAutorecalc->setLayoutDirection(Qt::RightToLeft); // the caption before the box
    chkBesetzung = new QCheckBox(QStringLiteral("Besetzung je Schicht im Druck:"), this);
    chkBesetzung->setObjectName(QStringLiteral("chkBesetzung"));
    chkBesetzung->setLayoutDirection(Qt::RightToLeft);
    Text5 = shown("Text5");
    Text6 = shown("Text6");
    Text7 = shown("Text7");
    Text8 = shown("Text8");
    OKButton = button("OKButton", QStringLiteral("OK"));
    OKButton->setDefault(false);

    auto* grid = new QGridLayout;
    int row = 0;
    const auto line = [this, grid, &row](const char* labelName, const QString& caption,
                                         QWidget* field, QWidget* action = nullptr) {
        auto* label = new QLabel(caption, this);
        label->setObjectName(QLatin1String(labelName));
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
        if (action) grid->addWidget(action, row, 2);
        ++row;
        return label;
    };
    line("lblText1", QStringLiteral("Drucker Schriftart:"), Text1, Command2);
    line("lblText2", QStringLiteral("Bildschirm Schriftart:"), Text2, Command1);
    line("lblText3", QStringLiteral("Name der Einrichtung:"), Text3);
    line("lblLabel8", QStringLiteral("Farbe für Wochenenden:"), Label8, Command3);
    grid->addWidget(cmdAutorecalc, row++, 0, 1, 2, Qt::AlignLeft);
    grid->addWidget(chkBesetzung, row++, 0, 1, 2, Qt::AlignLeft);
    line("lblText5", QStringLiteral("Programm Version:"), Text5);
    line("lblText6", QStringLiteral("Datenbank Version:"), Text6);
    QLabel* folderLabel = line("lblText7", QStringLiteral("Pfad:"), Text7);
    QLabel* fileLabel = line("lblText8", QStringLiteral("Datenbank Datei:"), Text8);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(1, 260);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(grid);
    outer->addStretch(1);
    outer->addLayout(buttons);

    binding_.bind(Text3, QStringLiteral("OrgName"), dialogs::RecordBinding::Kind::Text);
    dialogs::installEnterAsTab(this);
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(OKButton, &QPushButton::clicked, this, binding_.unlessRefused([this] { close(); }));

    // Form_Load
    cmdAutorecalc->setChecked(main_.month->autoCalc);
    chkBesetzung->setChecked(data::staffingLinesShown(session_.env.Datenbank));
    Text5->setText(dialogs::programVersion(TURNOVA_VERSION_MAJOR, TURNOVA_VERSION_MINOR,
                                           TURNOVA_VERSION_PATCH));
    Text6->setText(platform::shortDate(data::formatMarker()));
    Text7->setText(session_.location.folder);
    Text8->setText(session_.location.fileName);
    if (session_.location.fileName == HiddenFileName) {
        for (QWidget* w : {static_cast<QWidget*>(Text7), static_cast<QWidget*>(Text8),
                           static_cast<QWidget*>(folderLabel), static_cast<QWidget*>(fileLabel)})
            w->hide();
    }
    binding_.load();
    setfonts();
    showWeekendColor();
}

void frmprop::setfonts() {
    QFont print;
    if (dialogs::onRecord(rs_)) {
        print.setFamily(rs_.value(QStringLiteral("PrintFontName")).toString());
        const double size = roster::nullToDouble(rs_.value(QStringLiteral("PrintFontSize")));
        if (size > 0) print.setPointSizeF(size);
        print.setBold(rs_.value(QStringLiteral("PrintFontBold")).toBool());
        print.setItalic(rs_.value(QStringLiteral("PrintFontItalic")).toBool());
        Text1->setText(rs_.value(QStringLiteral("PrintFontName")).toString());
    }
    Text1->setFont(print);
    QFont screen = Text2->font();
    roster::copyFont(main_.screenFont(), screen);
    Text2->setFont(screen);
    Text2->setText(screen.family());
}

void frmprop::showWeekendColor() {
    QPalette palette = Label8->palette();
    palette.setColor(QPalette::Window, platform::fromBgr(main_.month->weekendColor));
    Label8->setPalette(palette);
}

void frmprop::Command1_Click() {
    const std::optional<QFont> chosen = session_.prompts().chooseFont(main_.screenFont());
    if (!chosen) return; // cancelled: nothing changes
    main_.setScreenFont(*chosen);
    setfonts();
}

void frmprop::Command2_Click() {
    if (!dialogs::onRecord(rs_)) return;
    const std::optional<QFont> chosen = session_.prompts().chooseFont(Text1->font());
    if (!chosen) return;
    try {
        rs_.setValue(QStringLiteral("PrintFontName"), chosen->family());
        rs_.setValue(QStringLiteral("PrintFontSize"), chosen->pointSizeF());
        rs_.setValue(QStringLiteral("PrintFontBold"), chosen->bold());
        rs_.setValue(QStringLiteral("PrintFontItalic"), chosen->italic());
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("Command2_Click"));
    }
    setfonts();
}

void frmprop::Command3_Click() {
    const std::optional<QColor> chosen =
        session_.prompts().chooseColor(platform::fromBgr(main_.month->weekendColor));
    if (!chosen) return;
    const quint32 colour = platform::toBgr(*chosen);
    try {
        if (dialogs::onRecord(rs_)) rs_.setValue(QStringLiteral("WoEndeColor"), qint64(colour));
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("Command3_Click"));
    }
    main_.month->weekendColor = colour;
    showWeekendColor();
}

bool frmprop::unload() {
    main_.month->autoCalc = cmdAutorecalc->isChecked();
    try {
        if (chkBesetzung->isChecked() != data::staffingLinesShown(session_.env.Datenbank))
            data::showStaffingLines(session_.env.Datenbank, chkBesetzung->isChecked());
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("frmprop Form_Unload"));
    }
    try {
        if (dialogs::onRecord(rs_)) {
            binding_.store();
            rs_.update();
        }
    } catch (const std::exception& e) {
        // what is stored stays as it was
        data::report(session_, e, QStringLiteral("frmprop Form_Unload"));
        try {
            rs_.cancelUpdate();
        } catch (const std::exception&) {
        }
    }
    const QString orgName =
        dialogs::onRecord(rs_) ? rs_.value(QStringLiteral("OrgName")).toString() : QString();
    if (main_.window) main_.window->setWindowTitle(QStringLiteral("Turnova - ") + orgName);
    return true;
}
