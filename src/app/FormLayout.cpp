// The designed controls of the main window, at their designed places
// (pixels of the client area).
#include "CGauge.h"
#include "Render.h"
#include "TFormHlav.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>

namespace {

using zentrova::MonitorColour;
const QColor RED = ColourOf(MonitorColour::Red);
const QColor AQUA = ColourOf(MonitorColour::Cyan);
const QColor MAGENTA = ColourOf(MonitorColour::Magenta);
const QColor BLUE = ColourOf(MonitorColour::Blue);
const QColor LIME = ColourOf(MonitorColour::Green);
const QColor DESKTOP(58, 110, 165);
const QColor NAVY(0, 0, 128);

QLabel* makeLabel(QWidget* parent, const QString& name, int x, int y, int w, int h,
                  bool bold = false) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(x, y, w, h);
    if (bold) {
        QFont f = label->font();
        f.setBold(true);
        f.setPixelSize(h - 4);
        label->setFont(f);
    }
    return label;
}

// A hint "short|long": the short part is the tooltip, the long part goes to
// the status bar; a hint without "|" serves for both.
void setHint(QWidget* w, const QString& hint) {
    const qsizetype bar = hint.indexOf('|');
    w->setToolTip(bar < 0 ? hint : hint.left(bar));
    w->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}

struct LabelPlace {
    const char* name;
    int x, y;
    bool bold;
};

struct GaugePlace {
    const char* name;
    int x, y, w;
    QColor bar;
};

} // namespace

void TFormHlav::CreateToolBar(QWidget* client) {
    auto* box = new QGroupBox(client);
    box->setObjectName(QStringLiteral("GroupBoxToolBar"));
    box->setGeometry(3, -4, 461, 46);
    struct Glyph {
        const char* name;
        int x, w, h;
        QStyle::StandardPixmap icon;
        const char* hint;
    } glyphs[] = {
        {"SpeedButton6", 12, 24, 23, QStyle::SP_FileIcon, "New"},
        {"SpeedButton5", 48, 24, 23, QStyle::SP_DialogOpenButton, "Open"},
        {"SpeedButton7", 84, 24, 23, QStyle::SP_DialogSaveButton, "Save"},
        {"SpeedButtonPrint", 120, 24, 23, QStyle::SP_FileDialogDetailedView, "Print"},
        {"SpeedButtonZpet", 156, 23, 22, QStyle::SP_ArrowBack, "Undo"},
        {"SpeedButtonZnovu", 192, 23, 22, QStyle::SP_ArrowForward, "Redo"},
    };
    for (const auto& g : glyphs) {
        auto* b = new QToolButton(box);
        b->setObjectName(QString::fromLatin1(g.name));
        b->setGeometry(g.x, 13, g.w, g.h);
        b->setIcon(style()->standardIcon(g.icon));
        b->setAutoRaise(true);
        setHint(b, QString::fromLatin1(g.hint));
        b->setEnabled(false); // the file, print and history commands are not built yet
    }
    struct Text {
        const char* name;
        int x, w;
        const char* caption;
        const char* hint;
    } texts[] = {
        {"ButtonRead", 224, 57, "&Read", "Read|Reading parametrs from ignition"},
        {"ButtonVerify", 290, 65, "&Verify", "Verify"},
        {"ButtonProgram", 364, 81, "&Program", "Program"},
    };
    for (const auto& t : texts) {
        auto* b = new QPushButton(QString::fromLatin1(t.caption), box);
        b->setObjectName(QString::fromLatin1(t.name));
        b->setGeometry(t.x, 12, t.w, 25);
        setHint(b, QString::fromLatin1(t.hint));
    }

    LabelSpojeni = makeLabel(client, QStringLiteral("LabelSpojeni"), 492, 6, 280, 19, true);
    LabelSpojeni->setText(QStringLiteral("No connection with PC"));
    SetBackground(LabelSpojeni, RED);
    LabelVersion = makeLabel(client, QStringLiteral("LabelVersion"), 492, 6, 280, 19, true);
    LabelVersion->hide();

    auto* logo = makeLabel(client, QStringLiteral("ImageLogo2"), 786, -1, 200, 44, true);
    logo->setText(QStringLiteral("ZENTROVA"));
    logo->setAlignment(Qt::AlignCenter);
    QFont logoFont = logo->font(); // the word fits its 200-pixel box
    logoFont.setPixelSize(30);
    logo->setFont(logoFont);
}

void TFormHlav::CreatePages(QWidget* client) {
    PageControl1 = new QTabWidget(client);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(4, 42, 990, 440);
    const char* mapCaptions[] = {"Advance", "Inj-14A", "Inj-23A", "Inj-B", "Inj-IAP"};
    for (int p = 0; p < 5; ++p) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("TabSheet_Map%1").arg(p));
        PageControl1->addTab(page, QString::fromLatin1(mapCaptions[p]));
    }
    struct Page {
        const char* name;
        const char* caption;
    } pages[] = {
        {"TabSheet_Poloha", "Position"},    {"TabSheet_Servo", "Servo"},
        {"TabSheet_Ruzne", "Other"},        {"TabSheet_Korekce", "Corrections"},
        {"TabSheet_Gas", "N2O Controller"}, {"TabSheet_Ladeni", "Tuning"},
    };
    for (const auto& p : pages) {
        auto* page = new QWidget;
        page->setObjectName(QString::fromLatin1(p.name));
        PageControl1->addTab(page, QString::fromLatin1(p.caption));
    }
    PageControl1->setTabVisible(10, false); // the Tuning tab is hidden by design
    PageControl1->setCurrentIndex(6);       // the Servo page is the designed active page
}

void TFormHlav::CreateStatusArea(QWidget* client) {
    LabelHlaseni = makeLabel(client, QStringLiteral("LabelHlaseni"), 13, 647, 230, 17, true);
    CGaugeProgram = new CGauge(QStringLiteral("CGaugeProgram"), AQUA, client);
    CGaugeProgram->setGeometry(13, 671, 220, 15);
    CGaugeProgram->setMaxValue(11);
}

void TFormHlav::CreateMonitorArea(QWidget* client) {
    static const LabelPlace labels[] = {
        {"LabelRpm", 12, 486, true},
        {"LabelTpsMon", 12, 532, true},
        {"LabelLambda", 12, 578, false},
        {"LabelVoda", 260, 486, false},
        {"LabelVzduch", 260, 531, false},
        {"LabelPodtlak", 260, 554, false},
        {"LabelTlak", 260, 576, false},
        {"LabelNapeti", 260, 599, false},
        {"LabelMon_Ign", 260, 622, false},
        {"LabelSnimacCkps", 260, 644, false},
        {"LabelSnimacCmps", 260, 667, false},
        {"LabelGear", 260, 690, false},
        {"LabelMon_Jet_14A", 504, 486, false},
        {"LabelMon_Jet_23A", 504, 508, false},
        {"LabelMon_Jet_14B", 504, 531, false},
        {"LabelMon_Jet_23B", 504, 553, false},
        {"LabelMaxInjProcent", 504, 576, false},
        {"LabelMon_PolohaA", 504, 621, false},
        {"LabelMon_PolohaB", 504, 643, false},
        {"LabelN2oEnable", 504, 666, false},
        {"LabelServoPoz", 752, 510, false},
        {"LabelServoMer", 752, 532, false},
        {"LabelBlocking1", 752, 555, false},
        {"LabelBlocking2", 752, 577, false},
        {"LabelTacho_Lambda", 752, 600, false},
        {"LabelClutchMon", 752, 622, false},
        {"LabelMonOmez1", 752, 645, false},
        {"LabelMonPilotLight", 752, 667, false},
        {"LabelClazeniMon", 752, 690, false},
    };
    for (const auto& l : labels) {
        makeLabel(client, QString::fromLatin1(l.name), l.x, l.y, 240, l.bold ? 19 : 16, l.bold);
    }
    static const GaugePlace gauges[] = {
        {"CGaugeRpm", 13, 509, 220, MAGENTA}, {"CGaugeTps", 13, 555, 220, DESKTOP},
        {"CGaugeLambda", 13, 601, 220, NAVY}, {"CGaugeVoda", 260, 508, 220, AQUA},
        {"CGaugeDuty", 504, 598, 213, BLUE},
    };
    for (const auto& g : gauges) {
        auto* gauge = new CGauge(QString::fromLatin1(g.name), g.bar, client);
        gauge->setGeometry(g.x, g.y, g.w, 15);
    }
    const QColor stripes[] = {BLUE, LIME, RED};
    const int stripeX[] = {13, 85, 158};
    for (int i = 0; i < 3; ++i) {
        auto* stripe = new QWidget(client);
        stripe->setObjectName(QStringLiteral("ShapeLambda%1").arg(i + 1));
        stripe->setGeometry(stripeX[i], 627, 73, 6);
        SetBackground(stripe, stripes[i]);
    }
    LabelEeDataErr = makeLabel(client, QStringLiteral("LabelEeDataErr"), 13, 697, 230, 19, true);
    LabelEeDataErr->setText(QStringLiteral("Programmed data error!"));
    SetBackground(LabelEeDataErr, RED);
    const int testX[] = {16, 137, 258, 379, 500, 621, 742, 864};
    for (int i = 0; i < 8; ++i) {
        LabelTest[static_cast<std::size_t>(i)] =
            makeLabel(client, QStringLiteral("LabelTest%1").arg(i + 1), testX[i], 726, 118, 16);
    }
}

QAction* TFormHlav::addMenuItem(QMenu* menu, const QString& name, const QString& caption) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    return a;
}

void TFormHlav::CreateMenus() {
    QMenuBar* bar = menuBar();
    auto menu = [&](const char* name, const char* caption) {
        QMenu* m = bar->addMenu(QString::fromUtf8(caption));
        m->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Action"));
        return m;
    };
    // Items whose commands are not built yet are present but disabled.
    auto item = [&](QMenu* m, const char* name, const char* caption, QKeySequence key = {},
                    bool enabled = false) {
        QAction* a = addMenuItem(m, QString::fromLatin1(name), QString::fromUtf8(caption));
        a->setShortcut(key);
        a->setEnabled(enabled);
        return a;
    };
    QMenu* file = menu("MenuFile", "&File");
    item(file, "MenuNew", "&New", QKeySequence(Qt::CTRL | Qt::Key_N));
    item(file, "MenuOpen", "&Open", QKeySequence(Qt::Key_F3));
    item(file, "MenuSave", "&Save", QKeySequence(Qt::Key_F2));
    item(file, "MenuPrint", "&Print");
    file->addSeparator();
    QAction* exit = item(file, "MenuExit", "E&xit", {}, true);
    connect(exit, &QAction::triggered, this, &QWidget::close);

    MenuCom = menu("MenuCom", "&Com");

    QMenu* device = menu("MenuDevice", "&Ignition");
    item(device, "MenuRead", "&Read", QKeySequence(Qt::Key_F7));
    item(device, "MenuVerify", "&Verify", QKeySequence(Qt::Key_F8));
    item(device, "MenuProgram", "&Program", QKeySequence(Qt::Key_F9));

    QMenu* jet = menu("Menu_Jet123Mode", "Jet 14-23");
    item(jet, "Menu_Jet123Normal", "Separate");
    item(jet, "Menu_Jet123Coupled", "Coupled");
    item(jet, "Menu_Jet123Stejny", "14 = 23");

    QMenu* tools = menu("MenuTools", "Tools");
    item(tools, "MenuZpet", "Undo", QKeySequence(Qt::CTRL | Qt::Key_Z));
    item(tools, "MenuZnovu", "Redo", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z));
    item(tools, "MenuToolsMinus", "Minus");
    item(tools, "MenuToolsPlus", "Plus");

    QMenu* language = menu("MenuLanguage", "&Language");
    item(language, "MenuEnglish", "&English");
    item(language, "MenuGerman", "&German");
    item(language, "MenuFrench", "&French");
    item(language, "MenuCzech", "&Czech");

    QMenu* help = menu("MenuHelp", "&Help");
    item(help, "MenuContens", "&Contents...", QKeySequence(Qt::Key_F1));
    item(help, "MenuAbout", "&About...");
}

void TFormHlav::CreateFurtherControls() {
    for (int i = 0; i < PORT_ITEMS; ++i) {
        QAction* a = addMenuItem(MenuCom, QStringLiteral("MenuCom%1").arg(i + 1),
                                 QStringLiteral("Com %1").arg(i + 1));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, a] { MenuCom1Click(a); });
        portItems_[static_cast<std::size_t>(i)] = a;
    }
}
