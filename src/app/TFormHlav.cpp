#include "TFormHlav.h"

#include "CGauge.h"
#include "Config.h"
#include "Dialogs.h"
#include "QtSerialPort.h"
#include "Render.h"

#include "app/Startup.h"
#include "image/BikeCatalogue.h"
#include "image/DefaultSet.h"
#include "image/Validate.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>

#include <fstream>

using namespace zentrova;

StartOptions ParseCommandLine(const QStringList& args) {
    StartOptions options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--port") && i + 1 < args.size()) {
            options.portDevice = args[++i];
        } else if (a.startsWith(QLatin1String("--port="))) {
            options.portDevice = a.mid(7);
        } else {
            options.arguments << a;
        }
    }
    return options;
}

TFormHlav::TFormHlav(StartOptions options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)) {
    setObjectName(QStringLiteral("FormHlav"));
    if (options_.dialogs == nullptr) {
        ownDialogs_ = std::make_unique<QtDialogs>();
        options_.dialogs = ownDialogs_.get();
    }
    dialogs_ = options_.dialogs;
    port_ = new QtSerialPort(this);
    link_.setPort(port_);
    engine_ = std::make_unique<TransferEngine>(state_, link_, messages_,
                                               static_cast<TransferListener*>(this));
    engine_->setMonitorHandler([this](FrameView frame) { OnMonitorFrame(frame); });
    portOverrideActive_ = !options_.portDevice.isEmpty();

    CreateDesignedControls();
    FormCreate();
}

TFormHlav::~TFormHlav() = default;

void TFormHlav::CreateDesignedControls() {
    resize(1011, 842);
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(client);
    CreateToolBar(client);
    CreatePages(client);
    CreateMonitorArea(client);
    CreateStatusArea(client);
    CreateMenus();
    CreateOtherPageControls();
    ConnectCommands();
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));

    // Timer1 runs from creation: ticks also arrive while a box is open during
    // start-up, so the tick handler copes with a half-built window.
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(TIMER_INTERVAL_MS);
    connect(Timer1, &QTimer::timeout, this, &TFormHlav::Timer1Timer);
    Timer1->start();
}

void TFormHlav::FormCreate() {
    CreateFurtherControls();
    state_.ComPortIndex = 1;
    state_.image[img::BIKE] = 11;
    BuildDefaultSet(state_);
    CentreOnScreen();
    LoadSettings();
    UpdateBikeDerived(state_);
    engine_->DecodeIdentity(); // the identity texts of the block 0 the image came with
    if (!options_.arguments.isEmpty()) {
        if (auto lang = LanguageFromArgument(options_.arguments.front().toStdString())) {
            state_.LanguageIndex = *lang;
        }
    }
    engine_->LinkWatchdog = 18; // the no-connection label shows until the unit answers
    ValidateImage(state_);
    LoadMessages();
    ShowActivePage();
    OpenPort();
    ApplyCaptions();
    ShowActivePage();
    LabelHlaseni->hide();
    CGaugeProgram->hide();
    LabelEeDataErr->hide();
    DetermineTestMode();
    for (QLabel* l : LabelTest) {
        l->setVisible(state_.TestMode);
    }
}

void TFormHlav::CentreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect s = screen->geometry();
    // Integer division rounding toward zero: a screen smaller than the window
    // gives negative coordinates.
    move((s.width() - width()) / 2, (s.height() - height()) / 2);
}

void TFormHlav::LoadSettings() {
    // No settings file is read yet: the stored port number defaults to
    // ComPortIndex + 0, as for a missing key, and is kept zero-based.
    state_.ComPortIndex = static_cast<std::uint8_t>(state_.ComPortIndex - 1);
}

void TFormHlav::ApplyCaptions() {
    messages_.FillCaptionSlots(state_.LanguageIndex);
    LoadMessages();
}

void TFormHlav::LoadMessages() {
    messages_.LoadMessages(state_.LanguageIndex);
    // While not connected the monitor labels show placeholders in the new
    // language; while connected the next frame rewrites them.
    if (LabelSpojeni != nullptr && !LabelSpojeni->isHidden()) {
        RenderMonitorView(MonitorPlaceholderView(messages_));
    }
}

void TFormHlav::DetermineTestMode() {
    state_.TestMode = false;
    std::ifstream marker(TestMarkerFilePath().toStdString());
    if (marker) {
        state_.TestMode = MarkerEnablesTestMode(marker);
    }
}

void TFormHlav::Timer1Timer() {
    engine_->Tick();
}

QString TFormHlav::CurrentPortDevice() const {
    if (portOverrideActive_) {
        return options_.portDevice;
    }
    return ResolvePortDevice(state_.ComPortIndex + 1, SettingsFilePath(), SystemPortList());
}

void TFormHlav::OpenPort() {
    const QString device = CurrentPortDevice();
    if (!port_->open(device)) {
        QString text = QString::fromStdString(messages_[Msg::TextComOpenError]);
        if (port_->lastError() == QSerialPort::PermissionError) {
            const QString advice = PermissionAdvice(device);
            if (!advice.isEmpty()) {
                text += '\n' + advice;
            }
        }
        dialogs_->Message(this, text);
    }
    UpdatePortMenuTicks();
}

void TFormHlav::ClosePort() {
    port_->close();
}

void TFormHlav::MenuCom1Click(QAction* sender) {
    for (int i = 0; i < PORT_ITEMS; ++i) {
        if (portItems_[static_cast<std::size_t>(i)] == sender) {
            state_.ComPortIndex = static_cast<std::uint8_t>(i);
        }
    }
    portOverrideActive_ = false;
    ClosePort();
    OpenPort();
}

void TFormHlav::UpdatePortMenuTicks() {
    const QStringList listed = SystemPortList();
    for (int i = 0; i < PORT_ITEMS; ++i) {
        QAction* item = portItems_[static_cast<std::size_t>(i)];
        if (item == nullptr) {
            continue;
        }
        item->setChecked(!portOverrideActive_ && i == state_.ComPortIndex);
        const QString device = ResolvePortDevice(i + 1, SettingsFilePath(), listed);
        item->setStatusTip(device.isEmpty() ? QStringLiteral("No device") : device);
    }
}

void TFormHlav::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TFormHlav::FormClose() {
    ClosePort();
    ValidateImage(state_);
}

bool TFormHlav::event(QEvent* event) {
    // The hint handler: the long part of the hovered control's hint goes to the status bar.
    if (event->type() == QEvent::StatusTip) {
        statusBar()->showMessage(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}
