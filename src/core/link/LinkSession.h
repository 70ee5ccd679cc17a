// The link as the programs without a window run it: one image, the English
// messages, the transfer engine and the monitor decoding, with a record of
// what a window would have shown. The caller ticks it every 55 ms.
#pragma once

#include "app/AppState.h"
#include "lang/MessageTable.h"
#include "link/BlockFrame.h"
#include "link/Monitor.h"
#include "link/MonitorFrame.h"
#include "link/TransferEngine.h"

#include <functional>
#include <string>
#include <vector>

namespace zentrova {

// The monitor frame into LiveValues and a view, and the unit's saving
// countdown into the engine; false when the frame is not accepted. The
// N2O label follows the N2O_ENABLE byte that the N2O page's check box shows.
bool DecodeMonitorForEngine(FrameView frame, AppState& state, const MessageTable& messages,
                            bool extendedMonitor, TransferEngine& engine, MonitorView& view);

enum class TransferOutcome { Running, Succeeded, Failed };

class LinkSession : private TransferListener {
public:
    explicit LinkSession(SerialPort& port, std::uint8_t languageIndex = 0);
    LinkSession(const LinkSession&) = delete;
    LinkSession& operator=(const LinkSession&) = delete;

    AppState state;
    MessageTable messages;
    FrameLink link;
    TransferEngine engine;

    // Every accepted monitor frame, parsed, after the live values are kept.
    std::function<void(const MonitorFrame&)> onMonitorFrame;
    // Every change of the status display.
    std::function<void(const TransferStatus&)> onStatus;

    // The commands; each forgets the outcome of the last one.
    void Read();
    void Verify();
    void Program();

    // A transfer ends back in monitor mode: with the verify's success text,
    // or with a red error text or a message box.
    TransferOutcome outcome() const;
    // The error text or message that ended a failed transfer.
    std::string failureText() const;
    const std::vector<std::string>& messagesShown() const { return shown_; }
    std::uint64_t monitorFrames() const { return monitorFrames_; }

private:
    void start();
    void ShowMessage(const std::string& text) override;
    void StatusChanged(const TransferStatus& status) override;
    void monitorFrame(FrameView frame);

    std::vector<std::string> shown_;
    bool started_ = false;
    bool verifyOk_ = false;
    std::uint64_t monitorFrames_ = 0;
};

} // namespace zentrova
