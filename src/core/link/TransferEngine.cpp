#include "link/TransferEngine.h"

#include "image/Validate.h"
#include "link/Identity.h"

#include <algorithm>

namespace zentrova {

namespace {
constexpr std::uint8_t FIRST_SEND_TICK = 4; // a block request goes (again) when TickCount reaches 4
constexpr std::uint8_t MAX_SENDS = 5;       // sends of one request before giving up
constexpr std::uint8_t MONITOR_PERIOD = 6;  // ticks between monitor requests
constexpr std::uint8_t WATCHDOG_LIMIT = 18; // ticks without a frame until "no connection"
constexpr std::size_t LAST_BLOCK = BLOCK_COUNT - 1;
constexpr std::size_t VERIFY_SKIPPED_BYTE = 101; // the unit may change it; never compared
constexpr int SAVE_COUNTDOWN_START = 1200;

std::span<const std::uint8_t, BLOCK_SIZE> dataOf(FrameView reply) {
    return reply.subspan<1, BLOCK_SIZE>();
}
} // namespace

int SavingGaugePosition(std::uint16_t unitSaveCountdown) {
    if (unitSaveCountdown > SAVE_COUNTDOWN_START) {
        return 0;
    }
    return GAUGE_SAVING_MAX * (SAVE_COUNTDOWN_START - unitSaveCountdown) / SAVE_COUNTDOWN_START;
}

TransferEngine::TransferEngine(AppState& state, FrameLink& link, const MessageTable& messages,
                               TransferListener* listener)
    : state_(state), link_(link), messages_(messages), listener_(listener) {
    published_ = status_;
}

// ---- commands -------------------------------------------------------------

void TransferEngine::MenuReadClick() {
    startTransfer(Mode::Read, CODE_READ, Msg::TextRead);
    if (listener_ != nullptr) {
        listener_->ClearFileName();
    }
    publishStatus();
}

void TransferEngine::MenuVerifyClick() {
    if (listener_ != nullptr) {
        listener_->CommitActivePage();
    }
    validateAndShow();
    startTransfer(Mode::Verify, CODE_READ + 1, Msg::TextVerify);
    publishStatus();
}

void TransferEngine::MenuProgramClick() {
    if (listener_ != nullptr) {
        listener_->CommitActivePage();
    }
    validateAndShow();
    StartProgram();
}

void TransferEngine::StartProgram() {
    startTransfer(Mode::Program, CODE_PROGRAM, Msg::TextProgramDevice);
    publishStatus();
}

// No frame is sent here: TransferTick sends the first request when TickCount
// reaches 4, which carries on from monitor mode.
void TransferEngine::startTransfer(Mode mode, std::uint8_t code, Msg text) {
    TransferMode = mode;
    BlockCode = code;
    TryCount = 0;
    setStatusColour(false);
    setStatusText(text);
    status_.textVisible = true;
    status_.gaugePosition = 0;
    status_.gaugeVisible = true;
    StatusCountdown = STATUS_COUNTDOWN_START;
    ProgramDone = false;
}

void TransferEngine::startAutomaticVerify() {
    TransferMode = Mode::Verify;
    BlockCode = CODE_READ + 1;
    TryCount = 1;
    sendBlockRequest();
    setStatusColour(false);
    setStatusText(Msg::TextVerify);
    StatusCountdown = STATUS_COUNTDOWN_START;
    status_.textVisible = true;
    status_.gaugePosition = 0;
}

// ---- the tick -------------------------------------------------------------

void TransferEngine::Tick() {
    link_.PollReply(*this);
    TransferTick();
}

void TransferEngine::TransferTick() {
    const Mode modeAtStart = TransferMode;
    if (modeAtStart == Mode::Monitor) {
        monitorTick();
    } else {
        ++TickCount;
        if (TickCount >= FIRST_SEND_TICK) {
            TickCount = 0;
            ++TryCount;
            if (TryCount > MAX_SENDS) {
                giveUp();
            } else {
                sendBlockRequest();
            }
        }
        if (modeAtStart == Mode::Read) {
            ProgramDone = false;
        }
    }
    countDownStatus();
    superviseConnection();
    publishStatus();
}

void TransferEngine::giveUp() {
    static constexpr Msg ERROR_TEXT[] = {Msg::TextProgramError, Msg::TextProgramError,
                                         Msg::TextVerifyError, Msg::TextReadError};
    setStatusColour(true);
    setStatusText(ERROR_TEXT[static_cast<std::size_t>(TransferMode)]);
    StatusCountdown = STATUS_COUNTDOWN_START;
    if (TransferMode == Mode::Verify) {
        ProgramDone = false;
    }
    // A Read that gives up has kept blocks 1 to 11 aside: the image's
    // parameters stay as they were before the Read.
    TransferMode = Mode::Monitor;
}

void TransferEngine::monitorTick() {
    if (++TickCount >= MONITOR_PERIOD) {
        TickCount = 0;
        link_.SendMonitorRequest();
    }
    if (UnitSaveCountdown > 0) {
        setStatusColour(false);
        setStatusText(Msg::TextSaving);
        StatusCountdown = STATUS_COUNTDOWN_START;
        setGaugeMax(GAUGE_SAVING_MAX);
        status_.gaugePosition = SavingGaugePosition(UnitSaveCountdown);
    } else {
        setGaugeMax(GAUGE_BLOCK_MAX);
        if (ProgramDone) {
            setStatusText(Msg::TextProgramDevice, STATUS_OK_SUFFIX);
            status_.gaugePosition = status_.gaugeMax;
        }
    }
}

void TransferEngine::countDownStatus() {
    if (StatusCountdown > 0 && --StatusCountdown == 0) {
        status_.textVisible = false;
        status_.gaugeVisible = false;
        ProgramDone = false;
    }
}

void TransferEngine::superviseConnection() {
    if (LinkWatchdog < WATCHDOG_LIMIT) {
        ++LinkWatchdog;
        status_.connectionLabelVisible = false;
    } else {
        // While a printout is made the no-connection label stays off the page.
        status_.connectionLabelVisible = !PrintingActive;
    }
    status_.versionLabelVisible = !status_.connectionLabelVisible;
}

void TransferEngine::sendBlockRequest() {
    TickCount = 0;
    link_.SendBlockRequest(BlockCode, TransferMode, state_.image);
}

// ---- replies --------------------------------------------------------------

void TransferEngine::DecodeMonitorFrame(FrameView reply) {
    if (!AcceptMonitorReply(reply)) {
        return;
    }
    LinkWatchdog = 0;
    if (monitorHandler_) {
        monitorHandler_(reply);
    }
}

void TransferEngine::HandleBlockReply(FrameView reply) {
    if (!AcceptBlockReply(reply, BlockCode, TransferMode)) {
        return;
    }
    LinkWatchdog = 0;
    switch (TransferMode) {
    case Mode::Read:
        readReply(reply);
        break;
    case Mode::Verify:
        verifyReply(reply);
        break;
    case Mode::Program:
        programReply(reply);
        break;
    case Mode::Monitor:
        break;
    }
    publishStatus();
}

// The next block: one gauge step, the next code, and its request right away.
void TransferEngine::advance() {
    ++status_.gaugePosition;
    ++BlockCode;
    TryCount = 1;
    sendBlockRequest();
}

void TransferEngine::readReply(FrameView reply) {
    const std::size_t b = blockNumber();
    if (b == 0) {
        state_.image.setBlock(0, dataOf(reply));
        DecodeIdentity();
        if (!checkUnitVersion()) {
            validateAndShow();
            showVersionMismatch();
            return;
        }
    } else {
        std::copy(dataOf(reply).begin(), dataOf(reply).end(), readBlocks_.begin() + b * BLOCK_SIZE);
    }
    if (b < LAST_BLOCK) {
        advance();
        return;
    }
    std::copy(readBlocks_.begin() + BLOCK_SIZE, readBlocks_.end(),
              state_.image.bytes.begin() + BLOCK_SIZE);
    validateAndShow();
    startAutomaticVerify();
}

void TransferEngine::verifyReply(FrameView reply) {
    const std::size_t b = blockNumber();
    const auto data = dataOf(reply);
    for (std::size_t i = 0; i < BLOCK_SIZE; ++i) {
        const std::size_t k = b * BLOCK_SIZE + i;
        if (k != VERIFY_SKIPPED_BYTE && state_.image[k] != data[i]) {
            return; // treated as no reply: the retry rule asks again
        }
    }
    if (b < LAST_BLOCK) {
        advance();
        return;
    }
    status_.gaugePosition = status_.gaugeMax;
    setStatusColour(false);
    setStatusText(Msg::TextVerify, STATUS_OK_SUFFIX);
    StatusCountdown = STATUS_COUNTDOWN_START;
    TransferMode = Mode::Monitor;
}

void TransferEngine::programReply(FrameView reply) {
    const std::size_t b = blockNumber();
    if (b == 0) {
        // The unit answers block 0 with its own identity block.
        state_.image.setBlock(0, dataOf(reply));
        DecodeIdentity();
        validateAndShow();
        if (!checkUnitVersion()) {
            showVersionMismatch();
            return;
        }
        if (!IsBikeSupported(state_.image, state_.image[img::BIKE])) {
            TransferMode = Mode::Monitor;
            showMessage(messages_[Msg::TextWrongBike]);
            return;
        }
    } else if (const auto echo = dataOf(reply);
               !std::equal(echo.begin(), echo.end(), state_.image.block(b).begin())) {
        return; // the echo differs: treated as no reply
    }
    if (b < LAST_BLOCK) {
        advance();
        return;
    }
    ProgramDone = true;
    startAutomaticVerify();
}

bool TransferEngine::checkUnitVersion() {
    if (state_.image[img::UNIT_VERSION] == SUPPORTED_VERSION) {
        return true;
    }
    TransferMode = Mode::Monitor;
    return false;
}

void TransferEngine::showVersionMismatch() {
    showMessage(
        VersionMismatchText(messages_[Msg::TextVersionMismatch], state_.image[img::UNIT_VERSION]));
}

void TransferEngine::DecodeIdentity() {
    UnitIdentityTexts texts = zentrova::DecodeIdentity(state_.image);
    UnitVersionText = std::move(texts.UnitVersionText);
    UnitDateText = std::move(texts.UnitDateText);
    UnitTimeText = std::move(texts.UnitTimeText);
}

// ---- status model and listener ---------------------------------------------

void TransferEngine::setStatusText(Msg slot, const std::string& suffix) {
    status_.textSlot = slot;
    status_.textSuffix = suffix;
    status_.text = messages_[slot] + suffix;
}

void TransferEngine::setGaugeMax(int max) {
    status_.gaugeMax = max;
    status_.gaugePosition = std::min(status_.gaugePosition, max);
}

void TransferEngine::publishStatus() {
    if (status_ == published_) {
        return;
    }
    published_ = status_;
    if (listener_ != nullptr) {
        listener_->StatusChanged(status_);
    }
}

void TransferEngine::showMessage(const std::string& text) {
    publishStatus();
    if (listener_ != nullptr) {
        listener_->ShowMessage(text);
    }
}

void TransferEngine::validateAndShow() {
    ValidateImage(state_);
    if (listener_ != nullptr) {
        listener_->ShowActivePage();
    }
}

} // namespace zentrova
