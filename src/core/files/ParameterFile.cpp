#include "files/ParameterFile.h"

#include "files/Cp1250.h"

#include <array>
#include <cstdio>
#include <istream>
#include <iterator>
#include <ostream>
#include <unordered_map>
#include <vector>

namespace zentrova {

namespace {

// How a value is laid out on its line. Numbers take 5 columns and a blank;
// flags are a digit after four blanks (Wide: five blanks; Spaced: four
// blanks, the digit and a blank).
enum class Style : std::uint8_t { Number, Flag, FlagWide, FlagSpaced };

// The extended-monitor check box has a place in the file but not in the image.
constexpr std::uint16_t EXT_MON_SLOT = 0xFFFF;

// `count` consecutive bytes from `first`, each held as (byte + bias) * scale.
struct Run {
    std::uint16_t first;
    std::uint8_t count;
    std::uint8_t scale;
    std::int16_t bias;
    Style style;
};

enum class LineKind : std::uint8_t { Key, Continuation, Empty };

struct Line {
    LineKind kind;
    std::string_view key;
    std::vector<Run> runs;
    std::size_t keyWidth = 13;
};

constexpr std::size_t KEY_WIDTH = 13;

Run num(std::size_t first, std::size_t count = 1, int scale = 1, int bias = 0) {
    return {static_cast<std::uint16_t>(first), static_cast<std::uint8_t>(count),
            static_cast<std::uint8_t>(scale), static_cast<std::int16_t>(bias), Style::Number};
}
Run flag(std::size_t first, Style style = Style::Flag) {
    return {static_cast<std::uint16_t>(first), 1, 1, 0, style};
}

// The file, line by line, in the order the writer writes it.
std::vector<Line> buildLayout() {
    using namespace img;
    std::vector<Line> L;
    const auto key = [&](std::string_view k, std::vector<Run> runs) {
        L.push_back({LineKind::Key, k, std::move(runs)});
    };
    const auto cont = [&](std::vector<Run> runs) {
        L.push_back({LineKind::Continuation, {}, std::move(runs)});
    };
    const auto empty = [&] { L.push_back({LineKind::Empty, {}, {}}); };

    key("BIKE", {num(BIKE)});
    key("LIMITER",
        {num(LIMITER_START, 1, 100), num(LIMITER_IGN, 1, 100), num(LIMITER_INJ, 1, 100)});
    key("RPM", {num(RPM_PULSES), num(RPM_CORR, 1, 1, -100)});
    key("EXT_MON", {flag(EXT_MON_SLOT)});
    key("BASE_ADV", {num(BASE_ADV)});
    key("LOBE", {num(LOBE)});
    L.back().keyWidth = 12;
    key("IAP_TO_TPS", {num(IAP_TO_TPS)});
    key("MODE", {num(MODE)});
    key("ACT_BLOK", {flag(ACT_BLOK), flag(BLOK_ENABLE, Style::FlagWide)});
    key("ACT_CLUTCH", {flag(ACT_CLUTCH)});
    key("ACT_LIM1", {flag(ACT_LIM1)});
    key("ACT_RPM", {flag(ACT_RPM)});
    key("ACT_N2O", {flag(ACT_N2O)});
    empty();

    constexpr std::array<std::string_view, MAP_PAGE_COUNT> RPM_KEYS = {
        "RPM_IGN", "RPM_JET_14A", "RPM_JET_23A", "RPM_JET_B", "RPM_JET_IAP"};
    constexpr std::array<std::string_view, MAP_PAGE_COUNT> MAP_KEYS = {"IGN", "JET_14A", "JET_23A",
                                                                       "JET_B", "JET_IAP"};
    for (std::size_t p = 0; p < MAP_PAGE_COUNT; ++p) {
        key(RPM_KEYS[p], {num(rpmRowOfPage(p), CURVE_LEN, 100)});
        for (std::size_t r = 0; r < MAP_ROWS; ++r) {
            const Run row = num(mapCell(mapOfPage(p), r, 0), MAP_COLS);
            r == 0 ? key(MAP_KEYS[p], {row}) : cont({row});
        }
        cont({});
    }

    key("CYLINDER_CORR", {num(CYLINDER_CORR, CYLINDER_CORR_LEN)});
    cont({});
    key("POSITION_A", {num(POSITION_A_RPM, CURVE_LEN, 100)});
    cont({num(POSITION_A_DEG, CURVE_LEN, 5)});
    cont({num(POSITION_A_REF)});
    key("POSITION_B", {num(POSITION_B_RPM, CURVE_LEN, 100)});
    cont({num(POSITION_B_DEG, CURVE_LEN, 5)});
    cont({num(POSITION_B_REF)});
    key("TPS", {num(TPS_0, 1, 10), num(TPS_100, 1, 10, 250)});
    key("ACCEL", {num(ACCEL_THRESHOLD, 1, 10), num(ACCEL_SIZE, 1, 50)});
    key("START_JET", {num(START_JET)});
    key("COOLING", {num(COOLING)});
    key("WATER_TEMP", {num(WATER_TEMP, WATER_TEMP_LEN)});
    key("AIR_TEMP", {num(AIR_TEMP, AIR_TEMP_LEN)});
    key("CHOKE", {num(CHOKE_TIME, CHOKE_TIME_LEN)});
    cont({num(CHOKE_CORR, CHOKE_CORR_LEN, 1, 100)});
    empty();

    key("SERVO_ENABLE", {flag(SERVO_ENABLE)});
    key("SERVO_HYSTER", {num(SERVO_HYSTER, 1, 5)});
    key("RPM_SERVO", {num(RPM_SERVO, CURVE_LEN, 100)});
    key("VOLT_SERVO", {num(VOLT_SERVO, CURVE_LEN, 20)});
    key("CLUTCH", {num(CLUTCH_TIME, 1, 10), num(CLUTCH_PAUSE, 1, 10)});
    key("PILOT_LIGHT", {num(PILOT_LIGHT, 1, 100)});
    key("N2O", {flag(N2O_ENABLE, Style::FlagSpaced), num(N2O_1), num(N2O_2), num(N2O_DELAY, 1, 100),
                num(N2O_TIME, 1, 100)});
    key("RETARD",
        {num(RETARD_1), num(RETARD_2), num(RETARD_DELAY, 1, 100), num(RETARD_TIME, 1, 100)});
    empty();
    key("DISPLAY", {flag(DISPLAY_TEMP), flag(DISPLAY_GEAR)});
    empty();
    key("TUNING", {num(TUNING_LAMBDA, 1, 10), num(TUNING_HYSTER, 1, 10), num(TUNING_RPM, 1, 10),
                   num(TUNING_TPS), num(TUNING_TIME, 1, 100)});
    empty();
    return L;
}

const std::vector<Line>& Layout() {
    static const std::vector<Line> layout = buildLayout();
    return layout;
}

// Every key with the value slots it reads, continuation lines included.
using KeyTable = std::unordered_map<std::string_view, std::vector<Run>>;

const KeyTable& Keys() {
    static const KeyTable table = [] {
        KeyTable t;
        std::vector<Run>* current = nullptr;
        for (const Line& line : Layout()) {
            if (line.kind == LineKind::Key) {
                current = &t[line.key];
            }
            if (line.kind != LineKind::Empty && current != nullptr) {
                current->insert(current->end(), line.runs.begin(), line.runs.end());
            }
        }
        return t;
    }();
    return table;
}

// ---- writing ----

void appendValue(std::string& out, const Run& run, int value) {
    char buf[16];
    switch (run.style) {
    case Style::Number:
        std::snprintf(buf, sizeof buf, "%5d ", value);
        break;
    case Style::Flag:
        std::snprintf(buf, sizeof buf, "    %c", value != 0 ? '1' : '0');
        break;
    case Style::FlagWide:
        std::snprintf(buf, sizeof buf, "     %c", value != 0 ? '1' : '0');
        break;
    case Style::FlagSpaced:
        std::snprintf(buf, sizeof buf, "    %c ", value != 0 ? '1' : '0');
        break;
    }
    out += buf;
}

void appendLine(std::string& out, const Line& line, const ParameterImage& image, bool extMonitor) {
    if (line.kind == LineKind::Key) {
        out += line.key;
        out.append(line.keyWidth > line.key.size() ? line.keyWidth - line.key.size() : 0, ' ');
    } else if (line.kind == LineKind::Continuation) {
        out.append(KEY_WIDTH, ' ');
    }
    for (const Run& run : line.runs) {
        for (std::size_t i = 0; i < run.count; ++i) {
            const int value = run.first == EXT_MON_SLOT
                                  ? (extMonitor ? 1 : 0)
                                  : (image[run.first + i] + run.bias) * run.scale;
            appendValue(out, run, value);
        }
    }
    out += "\r\n";
}

// ---- reading ----

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

class TokenReader {
public:
    explicit TokenReader(std::string_view text) : text_(text) {}

    // The next token without taking it; empty at the end of the text.
    std::string_view Peek() {
        while (pos_ < text_.size() && isBlank(text_[pos_])) {
            ++pos_;
        }
        std::size_t end = pos_;
        while (end < text_.size() && !isBlank(text_[end])) {
            ++end;
        }
        return text_.substr(pos_, end - pos_);
    }
    std::string_view Next() {
        const std::string_view token = Peek();
        pos_ += token.size();
        return token;
    }
    // The next token if it is a decimal integer with an optional sign,
    // reduced modulo 65536; otherwise nothing, and the token stays.
    std::optional<std::uint16_t> NextNumber() {
        const std::optional<std::uint16_t> n = AsNumber(Peek());
        if (n) {
            Next();
        }
        return n;
    }

    static std::optional<std::uint16_t> AsNumber(std::string_view token) {
        const bool negative = !token.empty() && token[0] == '-';
        if (!token.empty() && (token[0] == '-' || token[0] == '+')) {
            token.remove_prefix(1);
        }
        if (token.empty()) {
            return std::nullopt;
        }
        std::uint32_t value = 0;
        for (const char c : token) {
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
            value = (value * 10 + static_cast<std::uint32_t>(c - '0')) & 0xFFFFu;
        }
        return static_cast<std::uint16_t>(negative ? (0x10000u - value) & 0xFFFFu : value);
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

bool findVersion(TokenReader& tokens) {
    while (!tokens.Peek().empty()) {
        if (tokens.Next() == "KORVANTA_KEY") {
            const auto n = tokens.NextNumber();
            if (n && *n == PARAMETER_FILE_VERSION) {
                return true;
            }
        }
    }
    return false;
}

// Reads the values of one key. A value that is missing (the text ends or a
// word stands in its place) leaves its byte and every later one of the key
// unchanged; the word is then looked at as a key of its own.
void readValues(TokenReader& tokens, const std::vector<Run>& runs, ParameterImage& image,
                bool& extMonitor) {
    for (const Run& run : runs) {
        for (std::size_t i = 0; i < run.count; ++i) {
            const auto n = tokens.NextNumber();
            if (!n) {
                return;
            }
            if (run.first == EXT_MON_SLOT) {
                extMonitor = *n != 0;
            } else {
                image[run.first + i] = static_cast<std::uint8_t>(*n / run.scale - run.bias);
            }
        }
    }
}

} // namespace

std::string WriteParameterFile(const ParameterImage& image, const ParameterFileExtras& extras) {
    std::string out;
    out.reserve(12 * 1024);
    char head[32];
    std::snprintf(head, sizeof head, "KORVANTA_KEY   %3d \r\n\r\n", PARAMETER_FILE_VERSION);
    out += head;
    for (const Line& line : Layout()) {
        appendLine(out, line, image, extras.extMonitor);
    }
    out += "VERSIONS\r\n";
    out += "HEX  " + Utf8ToCp1250(extras.unit.UnitDateText) + "  " +
           Utf8ToCp1250(extras.unit.UnitTimeText) + "   " +
           Utf8ToCp1250(extras.unit.UnitVersionText) + "\r\n";
    out += "EXE  " + Utf8ToCp1250(extras.exe.date) + "   " + Utf8ToCp1250(extras.exe.time) + "\r\n";
    return out;
}

void WriteParameterFile(std::ostream& out, const ParameterImage& image,
                        const ParameterFileExtras& extras) {
    out << WriteParameterFile(image, extras);
}

bool ReadParameterFile(std::string_view text, ParameterImage& image, bool& extMonitor) {
    TokenReader tokens(text);
    if (!findVersion(tokens)) {
        return false;
    }
    const KeyTable& keys = Keys();
    while (!tokens.Peek().empty()) {
        const auto it = keys.find(tokens.Next());
        if (it != keys.end()) {
            readValues(tokens, it->second, image, extMonitor);
        }
    }
    return true;
}

bool ReadParameterFile(std::istream& in, ParameterImage& image, bool& extMonitor) {
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return ReadParameterFile(text, image, extMonitor);
}

std::optional<FileValue> FileValueOf(std::size_t byte) {
    static const auto table = [] {
        std::array<std::optional<FileValue>, IMAGE_SIZE> t{};
        for (const auto& [key, runs] : Keys()) {
            for (const Run& run : runs) {
                for (std::size_t i = 0; run.first != EXT_MON_SLOT && i < run.count; ++i) {
                    t[run.first + i] = FileValue{run.scale, run.bias, run.style != Style::Number};
                }
            }
        }
        return t;
    }();
    return byte < IMAGE_SIZE ? table[byte] : std::nullopt;
}

BuildStamp ProgramBuildStamp() {
    return {__DATE__, __TIME__};
}

} // namespace zentrova
