// The main window: owns the program state and renders it. The logic lives in
// the core; the handlers here wire widgets to it.
#pragma once

#include "app/AppState.h"
#include "lang/MessageTable.h"
#include "link/BlockFrame.h"
#include "link/Monitor.h"
#include "link/TransferEngine.h"

#include <QMainWindow>
#include <QStringList>

#include <array>
#include <memory>

class CGauge;
class Dialogs;
class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QTabWidget;
class QTimer;
class QtSerialPort;

struct StartOptions {
    QStringList arguments;      // command-line words after the program name, --port removed
    QString portDevice;         // --port DEVICE: open this device for the run
    Dialogs* dialogs = nullptr; // null: the real boxes
};

// Splits the command line (without the program name) into options.
StartOptions ParseCommandLine(const QStringList& argumentsWithoutProgram);

class TFormHlav : public QMainWindow, private zentrova::TransferListener {
    Q_OBJECT
public:
    explicit TFormHlav(StartOptions options, QWidget* parent = nullptr);
    ~TFormHlav() override;

    zentrova::AppState& state() { return state_; }
    const zentrova::MessageTable& messages() const { return messages_; }
    QtSerialPort& serialPort() { return *port_; }
    zentrova::FrameLink& link() { return link_; }
    zentrova::TransferEngine& engine() { return *engine_; }

    // Handlers, by their design names.
    void Timer1Timer();
    void OpenPort();
    void ClosePort();
    void MenuCom1Click(QAction* sender);
    void LoadMessages();
    // The editor's exchange with the image; the editor pages come later, so
    // only the unit identity texts of the Other page are shown for now.
    void CommitActivePage() override;
    void ShowActivePage() override;

    static constexpr int PORT_ITEMS = 20;
    static constexpr int TIMER_INTERVAL_MS = 55;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void FormCreate();
    void FormClose();
    void CreateDesignedControls();
    void CreateToolBar(QWidget* client);
    void CreatePages(QWidget* client);
    void CreateStatusArea(QWidget* client);
    void CreateMonitorArea(QWidget* client);
    void CreateMenus();
    void CreateFurtherControls();
    void CentreOnScreen();
    void LoadSettings();
    void ApplyCaptions();
    void DetermineTestMode();
    void ConnectCommands();
    void OnMonitorFrame(zentrova::FrameView frame);
    void RenderMonitorView(const zentrova::MonitorView& view);
    void RenderTransferStatus(const zentrova::TransferStatus& status);
    void CreateOtherPageControls();

    // TransferListener
    void ShowMessage(const std::string& text) override;
    void ClearFileName() override;
    void StatusChanged(const zentrova::TransferStatus& status) override;
    void UpdatePortMenuTicks();
    QString CurrentPortDevice() const;
    QAction* addMenuItem(QMenu* menu, const QString& name, const QString& caption);

    StartOptions options_;
    std::unique_ptr<Dialogs> ownDialogs_;
    Dialogs* dialogs_ = nullptr;

    zentrova::AppState state_;
    zentrova::MessageTable messages_;
    QtSerialPort* port_ = nullptr;
    zentrova::FrameLink link_;
    std::unique_ptr<zentrova::TransferEngine> engine_;
    bool portOverrideActive_ = false;

    QTimer* Timer1 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QLabel* LabelHlaseni = nullptr;
    CGauge* CGaugeProgram = nullptr;
    QLabel* LabelSpojeni = nullptr;
    QLabel* LabelVersion = nullptr;
    QLabel* LabelEeDataErr = nullptr;
    std::array<QLabel*, 8> LabelTest{};
    QLabel* LabelFile2 = nullptr;
    std::array<QLabel*, 3> LabelVerze{}; // version, date, time
    QCheckBox* CheckBoxExtMonitor = nullptr;
    QMenu* MenuCom = nullptr;
    std::array<QAction*, PORT_ITEMS> portItems_{};
};
