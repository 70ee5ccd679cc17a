// The transfers between the tool and the unit: Read (followed by an automatic
// verify), Verify and Program (followed by an automatic verify), the monitor
// request pacing between them, resends and give-up, the status display and
// the connection watchdog. Driven by one call to Tick() every 55 ms; the
// commands run between ticks and only set the state, the first request of a
// transfer goes out from the tick.
#pragma once

#include "app/AppState.h"
#include "lang/MessageTable.h"
#include "link/BlockFrame.h"
#include "link/TransferStatus.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace zentrova {

// The window side of a transfer. Every call has an empty default.
class TransferListener {
public:
    virtual ~TransferListener() = default;
    // A modal message box is due. The engine calls this as the last step of
    // its handling, with the transfer already back in monitor mode, so ticks
    // delivered while the box is open find a consistent state.
    virtual void ShowMessage(const std::string& text) { (void)text; }
    // Editor page shown -> image.
    virtual void CommitActivePage() {}
    // Image -> editor page shown (also the identity texts on the Other page).
    virtual void ShowActivePage() {}
    // LabelFile2 := "" (a Read replaces whatever file the image came from).
    virtual void ClearFileName() {}
    // The status model changed since the last call.
    virtual void StatusChanged(const TransferStatus& status) { (void)status; }
};

class TransferEngine : public ReplySink {
public:
    using Mode = zentrova::TransferMode;
    using MonitorHandler = std::function<void(FrameView)>;

    // The engine works on state.image and sends through link; texts come from
    // messages at the moment they are shown. All three must outlive the engine.
    TransferEngine(AppState& state, FrameLink& link, const MessageTable& messages,
                   TransferListener* listener = nullptr);

    void setListener(TransferListener* listener) { listener_ = listener; }
    // Receives every accepted monitor frame (after LinkWatchdog := 0). The
    // decoder behind it is expected to set UnitSaveCountdown from the frame.
    void setMonitorHandler(MonitorHandler handler) { monitorHandler_ = std::move(handler); }

    // The three commands (buttons, menu items and F7/F8/F9 share them).
    void MenuReadClick();
    void MenuVerifyClick();
    void MenuProgramClick();
    // A program transfer without the editor steps (also started by undo, redo
    // and history recording when programming after change is ticked).
    void StartProgram();

    // One timer tick: PollReply, then TransferTick.
    void Tick();
    void TransferTick();

    // ReplySink: what PollReply hands over.
    void HandleBlockReply(FrameView reply) override;
    void DecodeMonitorFrame(FrameView reply) override;

    // Rebuilds the three identity texts from image block 0.
    void DecodeIdentity();

    const TransferStatus& status() const { return status_; }
    std::uint8_t blockNumber() const { return static_cast<std::uint8_t>(BlockOfCode(BlockCode)); }

    // Transfer state.
    Mode TransferMode = Mode::Monitor;
    std::uint8_t BlockCode = 0;
    std::uint8_t TickCount = 0;
    std::uint8_t TryCount = 0;
    int StatusCountdown = 0;
    std::uint8_t LinkWatchdog = 18; // no frame seen yet: the no-connection label shows
    bool ProgramDone = false;
    bool PrintingActive = false;         // set by printing while a printout is made
    std::uint16_t UnitSaveCountdown = 0; // from the latest monitor frame
    std::string UnitVersionText;
    std::string UnitDateText;
    std::string UnitTimeText;

private:
    void startTransfer(Mode mode, std::uint8_t code, Msg text);
    void startAutomaticVerify();
    void sendBlockRequest();
    void advance();
    void giveUp();
    void readReply(FrameView reply);
    void verifyReply(FrameView reply);
    void programReply(FrameView reply);
    // False, back in monitor mode, when the unit's identity block names
    // another firmware version.
    bool checkUnitVersion();
    void showVersionMismatch();
    void monitorTick();
    void countDownStatus();
    void superviseConnection();

    void setStatusText(Msg slot, const std::string& suffix = {});
    void setStatusColour(bool red) { status_.red = red; }
    void setGaugeMax(int max);
    void publishStatus();
    void showMessage(const std::string& text);
    void validateAndShow();

    AppState& state_;
    FrameLink& link_;
    const MessageTable& messages_;
    TransferListener* listener_;
    MonitorHandler monitorHandler_;
    TransferStatus status_;
    TransferStatus published_;
    // A Read collects blocks 1 to 11 here and puts them into the image only
    // when block 11 has arrived: a Read that gives up or stops on another
    // firmware version leaves the parameters as they were.
    std::array<std::uint8_t, IMAGE_SIZE> readBlocks_{};
};

// Gauge position while the unit stores data: 100 * (1200 - n) / 1200, 0 above 1200.
int SavingGaugePosition(std::uint16_t unitSaveCountdown);

} // namespace zentrova
