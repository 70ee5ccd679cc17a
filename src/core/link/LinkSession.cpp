#include "link/LinkSession.h"

namespace zentrova {

bool DecodeMonitorForEngine(FrameView frame, AppState& state, const MessageTable& messages,
                            bool extendedMonitor, TransferEngine& engine, MonitorView& view) {
    const MonitorInputs in{state.image, messages, state.ChokeOutput, extendedMonitor,
                           state.image[img::N2O_ENABLE] != 0};
    if (!DecodeMonitorFrame(frame, in, state.live, view)) {
        return false;
    }
    engine.UnitSaveCountdown = state.live.UnitSaveCountdown;
    return true;
}

LinkSession::LinkSession(SerialPort& port, std::uint8_t languageIndex)
    : link(&port), engine(state, link, messages, this) {
    state.LanguageIndex = languageIndex;
    messages.LoadMessages(languageIndex);
    messages.FillCaptionSlots(languageIndex);
    engine.setMonitorHandler([this](FrameView f) { monitorFrame(f); });
}

void LinkSession::monitorFrame(FrameView frame) {
    MonitorView view;
    if (!DecodeMonitorForEngine(frame, state, messages, false, engine, view)) {
        return;
    }
    ++monitorFrames_;
    if (onMonitorFrame) {
        onMonitorFrame(ParseMonitorFields(frame));
    }
}

void LinkSession::start() {
    shown_.clear();
    verifyOk_ = false;
    started_ = true;
}

void LinkSession::Read() {
    start();
    engine.MenuReadClick();
}

void LinkSession::Verify() {
    start();
    engine.MenuVerifyClick();
}

void LinkSession::Program() {
    start();
    engine.MenuProgramClick();
}

TransferOutcome LinkSession::outcome() const {
    if (!started_ || engine.TransferMode != TransferMode::Monitor) {
        return TransferOutcome::Running;
    }
    const bool failed = !shown_.empty() || engine.status().red || !verifyOk_;
    return failed ? TransferOutcome::Failed : TransferOutcome::Succeeded;
}

std::string LinkSession::failureText() const {
    if (!shown_.empty()) {
        return shown_.back();
    }
    return engine.status().red ? engine.status().text : std::string();
}

void LinkSession::ShowMessage(const std::string& text) {
    shown_.push_back(text);
}

void LinkSession::StatusChanged(const TransferStatus& status) {
    if (status.textSlot == Msg::TextVerify && status.textSuffix == STATUS_OK_SUFFIX &&
        !status.red) {
        verifyOk_ = true;
    }
    if (onStatus) {
        onStatus(status);
    }
}

} // namespace zentrova
