#include "lang/MessageTable.h"

namespace zentrova {

namespace {

struct SlotRow {
    std::string_view name;
    std::array<std::string_view, LANGUAGE_COUNT> text; // English, German, French, Czech
};

// One row per slot, in the order of Msg. Leading and trailing blanks belong to the texts.
constexpr std::array<SlotRow, MSG_COUNT> ROWS = {{
    {"TextManualFile",
     {"Zentrova_en.pdf", "Zentrova_de.pdf", "Zentrova_fr.pdf", "Zentrova_cz.pdf"}},
    {"TextManualOpenError",
     {"Error by opening file ", "Fehler beim öffnen der Datei ", "Erreur ŕ l´ouvertur du Fichier ",
      "Chyba při otevírání souboru "}},
    {"TextComOpenError",
     {"Com opening error!", "Falscher COM-Anschlußes!", "Erreur connections PC!",
      "Chyba při otevírání portu Com!"}},
    {"TextRead", {"Read:", "Lesen:", "Lire", "Čtení:"}},
    {"TextVerify", {"Verify:", "Vergleichen:", "Vérifier:", "Verifikace:"}},
    {"TextProgramDevice", {"Program device:", "Programmieren:", "Programmer:", "Programování:"}},
    {"TextSaving", {"Saving:", "Speicherung:", "Mémorisation", "Ukládání:"}},
    {"TextReadError", {"Read error!", "Lesefehler", "Lire erreur!", "Chyba čtení!"}},
    {"TextVerifyError",
     {"Verify error!", "Vergleichsfehler", "Verifier erreur!", "Chyba verifikace!"}},
    {"TextProgramError",
     {"Program error!", "Programmierfehler!", "Erreur de programmation!", "Chyba programování"}},
    {"TextVersionMismatch",
     {"Unmatched version of PC and Ignition programs!",
      "Programm der Zündung ist nicht kompatibel mit dem Programm am PC!",
      "Programme du boitier d´alumage non compatible avec programme PC!",
      "Neshodné verze proramu v PC a v zapalování!"}},
    {"TextWrongBike",
     {"This Ignition is not for required motorbike!",
      "Diese Zündung ist nicht for gestellte Motorrad!",
      "This Ignition is not for required motorbike!",
      "Toto zapalování není pro zvolený typ motocyklu!"}},
    {"TextBikeNotInProgram",
     {"This version of program Zentrova.exe is not for required bike!",
      "Diese Version des Programs Zentrova.exe ist nicht für angeforderte Motorrad!",
      "This version of program Zentrova.exe is not for required bike!",
      "Tato verze programu Zentrova.exe není pro požadovanou motorku!"}},
    {"TextFileOpenError",
     {"Open file error!", "Fehler beim öffnen der Datei!", "Erreur ouvertur fichier!",
      "Chyba při otevírání souboru!"}},
    {"TextFileVersionMismatch",
     {"Unmatched version of *.ign file!", "Datendatei *.ign ist nicht kompatiebel!",
      "Programme du fichier non compatible avec programme PC!", "Neshodná verze souboru *.ign!"}},
    {"TextAskDefaults",
     {"Do you want default setting?", "Wollen Sie Standardeinstellungen öffnen?",
      "Voulez vous la programation de base?", "Chcete nastavit základní hodnoty?"}},
    {"TextPrintedAt",
     {"Date and time of printing:  ", "Zeitpunkt des Ausdruckes   ",
      "Date et heur de l´imprimé:   ", "Datum a čas tisku:  "}},
    {"TextBaseAdvance",
     {"Base advance [°]", "Basis Vorzündung [°]", "Avance de base [°]", "Základní předstih [°]"}},
    {"TextLobeWidth",
     {"Width of Lobe [°]", "Leitstückbreite [°]", "Width of Lobe [°]", "Šířka výstupku [°]"}},
    {"TextIapToTp",
     {"IAP -> TP [%]", "IAP -> TP [%]", "IAP -> TP [%]", "Hranice přepnutí z IAP na TP [%TP]"}},
    {"TextCylinderCorrection",
     {"Correction for cylinder", "Korrektion für Zylinder", "Correction for cylinder",
      "Korekce pro válec"}},
    {"TextAdvance", {"Advance", "Vorzündung", "Avance", "Předstih"}},
    {"TextProgramCount",
     {"Number of Programing = ", "Programmierungsanzahl = ", "Nombre de programmations = ",
      "Počet programování = "}},
    {"TextBlocking", {"Blocking ", "Blockierung ", "Blocage ", "Blokování "}},
    {"TextStartLimiter",
     {"Start limiter", "Start Begrenzer", "Limitateur départ", "Startovací omezovač"}},
    {"TextYes", {"YES", "JA", "Oui", "ANO"}},
    {"TextNo", {"NO", "NEIN", "Non", "NE"}},
    {"TextPickupCkps", {"Pick-up (CKPS)", "Geber (CKPS)", "Capteur (CKPS)", "Snímač (CKPS)"}},
    {"TextPickupCmps", {"Pick-up (CMPS)", "Geber (CMPS)", "Capteur (CMPS)", "Snímač (CMPS)"}},
    {"TextRunning", {" is running", " läuft", " fonctionne", " pracuje"}},
    {"TextNoSignal", {" no signal", " kein Signal", " pas de signal", " bez signálu"}},
    {"TextInjectionTime", {"Injection time", "Einspritzzeit", "Temp de injection", "Čas vstřiku"}},
    {"TextMaxInjection", {"Max injection", "Max.Einspritz", "Max injection", "Max. vstřik"}},
    {"TextServoDesired",
     {"Servo desired", "Servo Sollspannung", "Servo desired", "Servo požadované"}},
    {"TextServoMeasured", {"Servo measured", "Servo gemessene", "Servo measured", "Servo měřené"}},
    {"TextGear", {"Gear", "Gang", "Gear", "Rychlostní stupeň"}},
    {"TextPosition", {"Position", "Lage", "Positon", "Poloha"}},
    {"TextFallSensor", {"Fall sensor", "Fallsensor", "Fall sensor", "Pádový senzor"}},
    {"TextCooling", {"Cooling", "Kühlung", "Cooling", "Chlazení"}},
    {"TextGearShiftLight",
     {"Gear Shift Light", "Schaltblitz", "Retard ŕ l´allumage", "Kontrolka řazení"}},
    {"TextChoke", {"Choke", "Startvergaser", "Choke", "Sytič"}},
}};

constexpr std::array<Msg, 5> CAPTION_SLOTS = {Msg::TextPosition, Msg::TextFallSensor,
                                              Msg::TextCooling, Msg::TextGearShiftLight,
                                              Msg::TextChoke};

std::uint8_t column(std::uint8_t languageIndex) {
    return languageIndex < LANGUAGE_COUNT ? languageIndex : 0;
}

std::size_t index(Msg slot) {
    return static_cast<std::size_t>(slot);
}

} // namespace

std::string_view MessageTable::Name(Msg slot) {
    return ROWS[index(slot)].name;
}

std::string_view MessageTable::Text(Msg slot, std::uint8_t languageIndex) {
    return ROWS[index(slot)].text[column(languageIndex)];
}

bool MessageTable::IsCaptionSlot(Msg slot) {
    for (Msg s : CAPTION_SLOTS) {
        if (s == slot) {
            return true;
        }
    }
    return false;
}

void MessageTable::LoadMessages(std::uint8_t languageIndex) {
    const std::string& manual = texts_[index(Msg::TextManualFile)] =
        std::string(Text(Msg::TextManualFile, languageIndex));
    for (std::size_t i = 0; i < MSG_COUNT; ++i) {
        const auto slot = static_cast<Msg>(i);
        if (slot != Msg::TextManualFile && !IsCaptionSlot(slot)) {
            texts_[i] = Text(slot, languageIndex);
        }
    }
    // The manual error names the manual of the same language.
    texts_[index(Msg::TextManualOpenError)] += manual + " !";
}

void MessageTable::FillCaptionSlots(std::uint8_t languageIndex) {
    for (Msg s : CAPTION_SLOTS) {
        texts_[index(s)] = Text(s, languageIndex);
    }
}

std::array<PlaceholderText, PLACEHOLDER_COUNT> MessageTable::MonitorPlaceholders() const {
    const MessageTable& t = *this;
    return {{
        {"LabelMon_Ign", t[Msg::TextAdvance] + "= --- [°]"},
        {"LabelPocetProgramovani", t[Msg::TextProgramCount] + " ---"},
        {"LabelBlocking2", t[Msg::TextBlocking] + " - ---"},
        {"LabelMonOmez1", t[Msg::TextStartLimiter] + " - ---"},
        {"LabelSnimacCkps", t[Msg::TextPickupCkps] + " - ---"},
        {"LabelSnimacCmps", t[Msg::TextPickupCmps] + " - ---"},
        {"LabelMon_Jet_14A", t[Msg::TextInjectionTime] + " 14A = --- us"},
        {"LabelMon_Jet_23A", t[Msg::TextInjectionTime] + " 23A = --- us"},
        {"LabelMon_Jet_14B", t[Msg::TextInjectionTime] + " 14B = --- us"},
        {"LabelMon_Jet_23B", t[Msg::TextInjectionTime] + " 23B = --- us"},
        {"LabelMaxInjProcent", t[Msg::TextMaxInjection] + " = --- %"},
        {"LabelMon_PolohaA", t[Msg::TextPosition] + " A = ---"},
        {"LabelMon_PolohaB", t[Msg::TextPosition] + " B = ---"},
        {"LabelServoPoz", t[Msg::TextServoDesired] + " = --- mV"},
        {"LabelServoMer", t[Msg::TextServoMeasured] + " = --- mV"},
        {"LabelBlocking1", t[Msg::TextFallSensor] + " - ---"},
        {"LabelClazeniMon", t[Msg::TextCooling] + " - ---"},
        {"LabelGear", t[Msg::TextGear] + " = --- "},
    }};
}

} // namespace zentrova
