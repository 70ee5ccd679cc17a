#include "lang/MessageTable.h"

#include <gtest/gtest.h>

#include <set>

using namespace zentrova;

TEST(MessageTable, EmptyUntilLoaded) {
    MessageTable t;
    EXPECT_EQ(t[Msg::TextComOpenError], "");
}

TEST(MessageTable, FourLanguagesOfSomeSlots) {
    struct Case {
        Msg slot;
        std::array<const char*, 4> texts;
    } cases[] = {
        {Msg::TextComOpenError,
         {"Com opening error!", "Falscher COM-Anschlußes!", "Erreur connections PC!",
          "Chyba při otevírání portu Com!"}},
        {Msg::TextRead, {"Read:", "Lesen:", "Lire", "Čtení:"}},
        {Msg::TextWrongBike,
         {"This Ignition is not for required motorbike!",
          "Diese Zündung ist nicht for gestellte Motorrad!",
          "This Ignition is not for required motorbike!",
          "Toto zapalování není pro zvolený typ motocyklu!"}},
        {Msg::TextProgramCount,
         {"Number of Programing = ", "Programmierungsanzahl = ", "Nombre de programmations = ",
          "Počet programování = "}},
        {Msg::TextRunning, {" is running", " läuft", " fonctionne", " pracuje"}},
        {Msg::TextPrintedAt,
         {"Date and time of printing:  ", "Zeitpunkt des Ausdruckes   ",
          "Date et heur de l´imprimé:   ", "Datum a čas tisku:  "}},
        {Msg::TextIapToTp,
         {"IAP -> TP [%]", "IAP -> TP [%]", "IAP -> TP [%]", "Hranice přepnutí z IAP na TP [%TP]"}},
    };
    for (std::uint8_t lang = 0; lang < 4; ++lang) {
        MessageTable t;
        t.LoadMessages(lang);
        for (const auto& c : cases) {
            EXPECT_EQ(t[c.slot], c.texts[lang])
                << MessageTable::Name(c.slot) << " lang " << int(lang);
        }
    }
}

TEST(MessageTable, ManualErrorIsComposedWithTheManualOfTheSameLanguage) {
    const char* expected[] = {
        "Error by opening file Zentrova_en.pdf !",
        "Fehler beim öffnen der Datei Zentrova_de.pdf !",
        "Erreur ŕ l´ouvertur du Fichier Zentrova_fr.pdf !",
        "Chyba při otevírání souboru Zentrova_cz.pdf !",
    };
    MessageTable t;
    for (std::uint8_t lang = 0; lang < 4; ++lang) {
        t.LoadMessages(lang);
        EXPECT_EQ(t[Msg::TextManualOpenError], expected[lang]);
    }
    // Loading twice does not append the file name twice.
    t.LoadMessages(2);
    EXPECT_EQ(t[Msg::TextManualOpenError], expected[2]);
}

TEST(MessageTable, EveryOwnedSlotIsFilledInEveryLanguage) {
    for (std::uint8_t lang = 0; lang < 4; ++lang) {
        MessageTable t;
        t.LoadMessages(lang);
        t.FillCaptionSlots(lang);
        for (std::size_t i = 0; i < MSG_COUNT; ++i) {
            EXPECT_FALSE(t[static_cast<Msg>(i)].empty())
                << MessageTable::Name(static_cast<Msg>(i)) << " lang " << int(lang);
        }
    }
}

TEST(MessageTable, CaptionSlotsAreLeftToTheCaptionRows) {
    MessageTable t;
    t.LoadMessages(1);
    EXPECT_EQ(t[Msg::TextPosition], "");
    t.FillCaptionSlots(1);
    EXPECT_EQ(t[Msg::TextPosition], "Lage");
    t.LoadMessages(0); // messages switch, the caption slots wait for their rows
    EXPECT_EQ(t[Msg::TextPosition], "Lage");
    EXPECT_EQ(t[Msg::TextAdvance], "Advance");
}

TEST(MessageTable, OutOfRangeLanguageReadsAsEnglish) {
    MessageTable t;
    t.LoadMessages(7);
    EXPECT_EQ(t[Msg::TextReadError], "Read error!");
}

TEST(MessageTable, MonitorPlaceholders) {
    MessageTable t;
    t.LoadMessages(0);
    t.FillCaptionSlots(0);
    const auto en = t.MonitorPlaceholders();
    std::set<std::string_view> names;
    for (const auto& p : en) {
        names.insert(p.labelName);
    }
    EXPECT_EQ(names.size(), PLACEHOLDER_COUNT);
    auto find = [](const auto& list, std::string_view name) {
        for (const auto& p : list) {
            if (p.labelName == name) {
                return p.text;
            }
        }
        return std::string("<missing>");
    };
    EXPECT_EQ(find(en, "LabelMon_Jet_14A"), "Injection time 14A = --- us");
    EXPECT_EQ(find(en, "LabelMon_Ign"), "Advance= --- [°]");
    EXPECT_EQ(find(en, "LabelPocetProgramovani"), "Number of Programing =  ---");
    EXPECT_EQ(find(en, "LabelBlocking2"), "Blocking  - ---");
    EXPECT_EQ(find(en, "LabelMon_PolohaB"), "Position B = ---");
    EXPECT_EQ(find(en, "LabelGear"), "Gear = --- ");

    t.LoadMessages(1);
    t.FillCaptionSlots(1);
    EXPECT_EQ(find(t.MonitorPlaceholders(), "LabelMon_Jet_14A"), "Einspritzzeit 14A = --- us");
    t.LoadMessages(2);
    t.FillCaptionSlots(2);
    const auto fr = t.MonitorPlaceholders();
    EXPECT_EQ(find(fr, "LabelServoPoz"), "Servo desired = --- mV");
    EXPECT_EQ(find(fr, "LabelServoMer"), "Servo measured = --- mV");

    // Before the caption rows ran, the caption-filled parts are empty.
    MessageTable fresh;
    fresh.LoadMessages(0);
    EXPECT_EQ(find(fresh.MonitorPlaceholders(), "LabelMon_PolohaA"), " A = ---");
}
