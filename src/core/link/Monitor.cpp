#include "link/Monitor.h"

#include "image/BikeCatalogue.h"
#include "link/Identity.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace zentrova {

namespace {

using F = MonitorFrame;
using C = MonitorColour;

[[gnu::format(printf, 1, 2)]] std::string Fmt(const char* format, ...) {
    char buf[256];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    return n < 0 ? std::string() : std::string(buf, std::min<std::size_t>(n, sizeof buf - 1));
}

int Gauge100(long long v) {
    return static_cast<int>(std::clamp<long long>(v, 0, 100));
}

// Intake and ambient pressure counts: below 105 is a sensor error, above 1006
// too, except on the bikes whose sensor reads that high.
bool PressureCountBad(std::uint16_t count, std::uint8_t bike) {
    return count < 105 || (count > 1006 && !TraitsOf(bike).acceptsHighIap);
}

// Corrections travel as 16-bit two's complement.
double Tenths(std::uint16_t v) {
    return static_cast<std::int16_t>(v) * 0.1;
}

// A label whose text is a prefix, " - " and a state word, coloured when the flag is set.
struct StateLabel {
    std::string_view name;
    std::optional<Msg> slot;  // the prefix from the message table ...
    std::string_view literal; // ... or a fixed one
    std::uint16_t F::*flag;
    C whenSet;
    Msg wordSet = Msg::TextYes, wordClear = Msg::TextNo;
    bool shownOnlyWithN2o = false; // updated always, visible while N2O is enabled
};

const StateLabel STATE_LABELS[] = {
    {"LabelSnimacCkps",
     Msg::TextPickupCkps,
     {},
     &F::CkpsSignal,
     C::Green,
     Msg::TextRunning,
     Msg::TextNoSignal},
    {"LabelSnimacCmps",
     Msg::TextPickupCmps,
     {},
     &F::CmpsSignal,
     C::Green,
     Msg::TextRunning,
     Msg::TextNoSignal},
    {"LabelBlocking1", Msg::TextFallSensor, {}, &F::FallSensorOn, C::Red},
    {"LabelBlocking2", Msg::TextBlocking, {}, &F::BlockingOn, C::Red},
    {"LabelClutchMon", std::nullopt, "Clutch master", &F::ClutchMasterOn, C::Green},
    {"LabelMonOmez1", Msg::TextStartLimiter, {}, &F::StartLimiterOn, C::White},
    // The prefix becomes the choke text when the output drives a choke.
    {"LabelMonPilotLight", Msg::TextGearShiftLight, {}, &F::PilotLightOn, C::Yellow},
    {"LabelClazeniMon", Msg::TextCooling, {}, &F::CoolingOn, C::White},
    {"LabelN2oEnable", std::nullopt, "N2O", &F::N2oOn, C::Green, Msg::TextYes, Msg::TextNo, true},
};

struct JetLabel {
    std::string_view name;
    const char* output;
    std::uint16_t F::*time;
};
const JetLabel JET_LABELS[] = {
    {"LabelMon_Jet_14A", "14A", &F::Inj14A},
    {"LabelMon_Jet_23A", "23A", &F::Inj23A},
    {"LabelMon_Jet_14B", "14B", &F::Inj14B},
    {"LabelMon_Jet_23B", "23B", &F::Inj23B},
};

// A label that prints one frame value through its format.
struct ValueLabel {
    std::string_view name;
    const char* format;
    std::uint16_t F::*value;
};
// The trailing percent sign is a literal one; values are signed tenths.
const ValueLabel CORRECTION_LABELS[] = {
    {"LabelKorVoda", "TW correction = %4.1f %%", &F::TwCorr},
    {"LabelKorVzduch", "AT correction = %4.1f %%", &F::AtCorr},
    {"LabelKorTlak", "AP correction = %4.1f %%", &F::ApCorr},
    {"LabelKorSytic", "Starting corr. = %4.1f %%", &F::StartCorr},
};

const ValueLabel TEST_LABELS[] = {
    {"LabelTest1", "Test1= %d", &F::Test1},  {"LabelTest2", "Test2= %d", &F::Test2},
    {"LabelTest3", "Test3= %d ", &F::Test3}, {"LabelTest4", "Test4=%d", &F::Test4},
    {"LabelTest5", "Test5= %d", &F::Test5},  {"LabelTest6", "Test6= %d", &F::Test6},
    {"LabelTest7", "Test7= %d", &F::Test7},  {"LabelTest8", "Test8= %d", &F::Test8},
};

// Makes the view of one frame, display by display.
class ViewBuilder {
public:
    ViewBuilder(const F& f, const MonitorInputs& in)
        : f_(f), in_(in), msg_(in.messages), bike_(in.image[img::BIKE]) {}

    MonitorView Build() {
        SpeedAndLoad();
        Ignition();
        Injection();
        PressuresAndTemperatures();
        Supply();
        States();
        Corrections();
        UnitStatus();
        return std::move(view_);
    }

private:
    void Label(std::string_view name, std::string text, std::optional<C> colour = std::nullopt) {
        view_.labels.push_back({name, std::move(text), colour, std::nullopt});
    }
    void Gauge(std::string_view name, std::optional<int> position,
               std::optional<C> colour = std::nullopt) {
        view_.gauges.push_back({name, position, colour});
    }
    const std::string& Word(bool set, Msg yes = Msg::TextYes, Msg no = Msg::TextNo) const {
        return msg_[set ? yes : no];
    }
    int Mv(std::uint16_t count) const { return static_cast<int>(AdcToMv(count)); }

    void SpeedAndLoad();
    void Ignition();
    void Injection();
    void PressuresAndTemperatures();
    void Supply();
    void States();
    void Corrections();
    void UnitStatus();

    const F& f_;
    const MonitorInputs& in_;
    const MessageTable& msg_;
    std::uint8_t bike_;
    MonitorView view_;
};

void ViewBuilder::SpeedAndLoad() {
    const int flags = (f_.RpmFlag1 != 0) + (f_.RpmFlag2 != 0);
    Label("LabelRpm", Fmt("RPM = %d ", f_.Rpm),
          flags == 2   ? C::Red
          : flags == 1 ? C::Magenta
                       : C::Normal);
    // The speed in percent of the ignition limiter (kept in units of 100 rpm).
    const std::uint8_t limiter = in_.image[img::LIMITER_IGN];
    Gauge("CGaugeRpm", limiter == 0 ? std::nullopt : std::optional(Gauge100(f_.Rpm / limiter)));

    const bool iapBad = PressureCountBad(f_.IapRaw, bike_);
    const int iapMv = Mv(f_.IapRaw);
    std::string iap;
    if (iapBad)
        iap = in_.extendedMonitor ? Fmt("IAP = error = %d [mV]", iapMv) : "IAP = error";
    else if (in_.extendedMonitor)
        iap = Fmt("IA P= %d [%%] = %d [mV]", f_.IapPercent, iapMv);
    else
        iap = Fmt("IAP = %d [%%]", f_.IapPercent);
    Label("LabelPodtlak", std::move(iap), iapBad ? C::Red : C::Normal);

    const int lambdaMv = Mv(f_.LambdaRaw);
    Label("LabelLambda", Fmt("LAMBDA = %d mV", lambdaMv));
    Gauge("CGaugeLambda", lambdaMv < 400 ? 0 : lambdaMv > 1000 ? 100 : (lambdaMv - 400) / 6);

    const bool tpBad = f_.TpPercent > 100;
    const int tpMv = Mv(f_.TpRaw);
    std::string tp;
    if (tpBad)
        tp = Fmt("TP = error = %d mV", tpMv);
    else if (in_.extendedMonitor)
        tp = Fmt("TP = %d %%=%d mV", f_.TpPercent, tpMv);
    else
        tp = Fmt("TP = %d %%", f_.TpPercent);
    Label("LabelTpsMon", std::move(tp), tpBad ? C::Red : C::Normal);
    Gauge("CGaugeTps", tpBad ? 0 : f_.TpPercent);
}

void ViewBuilder::Ignition() {
    const std::string& advance = msg_[Msg::TextAdvance];
    Label("LabelMon_Ign", f_.AdvanceBase ? Fmt("%s = BASE", advance.c_str())
                                         : Fmt("%s = %2d °", advance.c_str(), f_.Advance));
}

void ViewBuilder::Injection() {
    const std::string& time = msg_[Msg::TextInjectionTime];
    for (const JetLabel& j : JET_LABELS)
        Label(j.name, Fmt("%s %s = %d us", time.c_str(), j.output, f_.*j.time * 30));

    // The longest injection time as a share of a four-stroke cycle (two
    // revolutions): m x 30 us against 120 000 000 / Rpm us.
    const std::uint64_t m = std::max({f_.Inj14A, f_.Inj23A, f_.Inj14B, f_.Inj23B});
    const long long duty = static_cast<long long>(f_.Rpm * m / 40000u);
    Label("LabelMaxInjProcent", Fmt("%s = %lld [%%]", msg_[Msg::TextMaxInjection].c_str(), duty));
    Gauge("CGaugeDuty", Gauge100(duty), duty <= 100 ? C::Blue : C::Yellow);

    const std::string& position = msg_[Msg::TextPosition];
    Label("LabelMon_PolohaA", Fmt("%s A = %d °", position.c_str(), f_.PositionA));
    Label("LabelMon_PolohaB", Fmt("%s B = %d °", position.c_str(), f_.PositionB));
}

void ViewBuilder::PressuresAndTemperatures() {
    const double kpa = f_.ApKpa10 * 0.1;
    Label("LabelTlak",
          in_.extendedMonitor ? Fmt("AP = %4.1f kPa= %d mV", kpa, Mv(f_.ApRaw))
                              : Fmt("AP = %4.1f kPa", kpa),
          PressureCountBad(f_.ApRaw, bike_) ? C::Red : C::Normal);

    const bool twBad = f_.TwByte == 0;
    const int tw = (twBad ? 180 : f_.TwByte) - 100; // a sensor error counts as 80 degrees
    const int twMv = Mv(f_.TwRaw);
    std::string twText;
    if (twBad)
        twText = in_.extendedMonitor ? Fmt("TW = error = %d mV", twMv) : "TW = error";
    else if (in_.extendedMonitor)
        twText = Fmt("TW = %d °C= %d mV", tw, twMv);
    else
        twText = Fmt("TW= %d °C", tw);
    const bool hot = f_.TwByte >= 200;
    Label("LabelVoda", std::move(twText), twBad ? C::Red : hot ? C::Yellow : C::Normal);
    Gauge("CGaugeVoda", Gauge100(tw), twBad ? C::Red : hot ? C::Yellow : C::Cyan);

    // The air temperature is not replaced: an error shows 50 degrees in red.
    const bool atBad = f_.AtByte == 0;
    const int at = atBad ? 50 : f_.AtByte - 100;
    Label("LabelVzduch",
          in_.extendedMonitor ? Fmt("AT = %d °C= %d mV", at, Mv(f_.AtRaw)) : Fmt("AT = %d °C", at),
          atBad ? C::Red : C::Normal);
}

void ViewBuilder::Supply() {
    // The supply reaches the converter through a 1:11 divider.
    const long u = static_cast<long>(AdcToMv(f_.UbatRaw)) * 11;
    C colour = C::Normal;
    if (u >= 17999 || u <= 7000)
        colour = C::Red;
    else if (u >= 14999 || u <= 11000)
        colour = C::Yellow;
    Label("LabelNapeti", Fmt("U = %4.1f V", u * 0.001), colour);

    const C servo = f_.ServoOk == 0 && in_.image[img::SERVO_ENABLE] != 0 ? C::Red : C::Normal;
    Label("LabelServoPoz", Fmt("%s = %d mV", msg_[Msg::TextServoDesired].c_str(), f_.ServoDesired),
          servo);
    Label("LabelServoMer",
          Fmt("%s = %d mV", msg_[Msg::TextServoMeasured].c_str(), f_.ServoMeasured), servo);
}

void ViewBuilder::States() {
    for (const StateLabel& s : STATE_LABELS) {
        const bool set = f_.*s.flag != 0;
        std::string prefix(s.literal);
        if (s.slot) {
            const bool choke = *s.slot == Msg::TextGearShiftLight && in_.chokeOutput;
            prefix = msg_[choke ? Msg::TextChoke : *s.slot];
        }
        Label(s.name, prefix + " - " + Word(set, s.wordSet, s.wordClear),
              set ? s.whenSet : C::Normal);
        if (s.shownOnlyWithN2o)
            view_.labels.back().visible = in_.n2oEnabled;
    }
    Label("LabelTacho_Lambda", f_.TachoMode ? "Tacho/Lambda - Tacho" : "Tacho/Lambda - Lambda",
          f_.TachoMode ? C::Normal : C::Magenta);
}

void ViewBuilder::Corrections() {
    for (const ValueLabel& c : CORRECTION_LABELS)
        Label(c.name, Fmt(c.format, Tenths(f_.*c.value)));
    Label("LabelKorNapeti", Fmt("U correction = %d us", f_.UCorr - 1000));
}

void ViewBuilder::UnitStatus() {
    const unsigned unit = f_.FirmwareVersion;
    if (unit != SUPPORTED_VERSION)
        Label("LabelVersion", VersionMismatchText(msg_[Msg::TextVersionMismatch], unit), C::Red);
    else
        Label("LabelVersion", VersionPairText(unit), C::White);

    Label("LabelGear", Fmt("%s = %d ", msg_[Msg::TextGear].c_str(), f_.Gear));
    // The label's own caption says what is wrong; only its visibility follows the unit.
    view_.labels.push_back({"LabelEeDataErr", std::nullopt, std::nullopt, f_.DataError != 0});
    Label("LabelPocetProgramovani",
          Fmt("%s %d", msg_[Msg::TextProgramCount].c_str(), f_.ProgramCount));
    // Shown only in test mode, but always kept up to date.
    for (const ValueLabel& t : TEST_LABELS)
        Label(t.name, Fmt(t.format, f_.*t.value));
}

} // namespace

std::optional<Rgb> RgbOf(MonitorColour colour) {
    switch (colour) {
    case C::Normal:
        return std::nullopt;
    case C::Red:
        return Rgb{255, 0, 0};
    case C::Yellow:
        return Rgb{255, 255, 0};
    case C::Green:
        return Rgb{0, 255, 0};
    case C::Magenta:
        return Rgb{255, 0, 255};
    case C::White:
        return Rgb{255, 255, 255};
    case C::Blue:
        return Rgb{0, 0, 255};
    case C::Cyan:
        return Rgb{0, 255, 255};
    }
    return std::nullopt;
}

const LabelUpdate* MonitorView::Label(std::string_view name) const {
    auto it = std::find_if(labels.begin(), labels.end(), [&](auto& l) { return l.name == name; });
    return it == labels.end() ? nullptr : &*it;
}

const GaugeUpdate* MonitorView::Gauge(std::string_view name) const {
    auto it = std::find_if(gauges.begin(), gauges.end(), [&](auto& g) { return g.name == name; });
    return it == gauges.end() ? nullptr : &*it;
}

LiveValues MakeLiveValues(const MonitorFrame& f) {
    LiveValues v;
    v.Rpm = f.Rpm;
    v.TpMv = static_cast<std::uint16_t>(AdcToMv(f.TpRaw));
    v.TpPercent = static_cast<std::uint8_t>(f.TpPercent);
    v.IapPercent = static_cast<std::uint8_t>(f.IapPercent);
    // Tracking works on with 80 degrees when the coolant sensor fails.
    v.TwByte = static_cast<std::uint8_t>(f.TwByte == 0 ? 180 : f.TwByte);
    v.AtByte = static_cast<std::uint8_t>(f.AtByte);
    v.AfterStartTime = f.AfterStartTime;
    v.TrackFlagA = static_cast<std::uint8_t>(f.TrackFlagA);
    v.TrackFlagB = static_cast<std::uint8_t>(f.TrackFlagB);
    v.UnitSaveCountdown = f.UnitSaveCountdown;
    return v;
}

MonitorView MakeMonitorView(const MonitorFrame& f, const MonitorInputs& in) {
    return ViewBuilder(f, in).Build();
}

bool DecodeMonitorFrame(FrameView frame, const MonitorInputs& in, LiveValues& live,
                        MonitorView& view) {
    const std::optional<MonitorFrame> f = ParseMonitorFrame(frame);
    if (!f)
        return false; // dropped without a trace
    live = MakeLiveValues(*f);
    view = MakeMonitorView(*f, in);
    // Display rules: the caller renders this view and then runs ApplyDisplayRules.
    return true;
}

MonitorView MonitorPlaceholderView(const MessageTable& messages) {
    MonitorView view;
    for (PlaceholderText& p : messages.MonitorPlaceholders())
        view.labels.push_back({p.labelName, std::move(p.text), std::nullopt, std::nullopt});
    return view;
}

} // namespace zentrova
