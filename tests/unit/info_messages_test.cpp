// The information messages: both texts as the user reads them, their titles,
// the order of the boxes and the state of InfoButton while they are open.
#include "app/app.h"
#include "app/toolkit/headless.h"
#include "app/toolkit/probe.h"
#include "fake_serial.h"
#include "fresh_machine.h"
#include "info/info.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char16_t* const ExpectedTitle = u"Kurvomat - 1.0.0.1";

const char16_t* const ExpectedDescription =
    u"Name:\t\t\tKurvomat\r\n"
    u"Version: \t\t\t1.0.0.1\r\n"
    u"erstellt am: \t\t15.04.2013\r\n"
    u"letztes Update: \t\t17.04.2013\r\n"
    u"erstellt von: \t\tKurvomat-Entwickler\r\n"
    u"E-Mail: \t\t\tkurvomat@example.org\r\n"
    u"\r\n"
    u"-------------------------------------------------------------------------------------\r\n"
    u"\r\n"
    u"Dieses Programm liest die empfangenen Daten byteweise ein und interpretiert sie als "
    u"Bin\u00e4rdaten. Die vertikale Aufl\u00f6sung betr\u00e4gt 8 Bit (256 Zust\u00e4nde), da "
    u"immer nur ein Byte ausgewertet und dargestellt wird. Die Software dient zum Messen von "
    u"Spannungsverl\u00e4ufen bis in den unteren KHz-Bereich. \r\n"
    u"\r\n"
    u"Raster-Abstand vertikal:\t32 Pixel (Gesamt: 8 Linien)\r\n"
    u"Raster-Abstand horizontal:\t50 Pixel (Gesamt: 20 Linien)\r\n"
    u"Breite des Graphen:\t\t1000 Pixel (jeder Pixel stellt ein Messwert dar)\r\n"
    u"H\u00f6he des Graphen:\t\t256 Pixel (jeder Pixel stellt ein Zustand dar)\r\n"
    u"Typische Zeitaufl\u00f6sung:\t20\u00b5s/Pixel (ist f\u00fcr den Arduino m\u00f6glich)\r\n"
    u"maximale Zeitaufl\u00f6sung:\t5,4\u00b5s/Pixel (ist f\u00fcr max. darstellbar)\r\n"
    u"Triggerung:\t\teinfache Triggerung  m\u00f6glich (pos. Flanke)\r\n"
    u"\r\n"
    u"-------------------------------------------------------------------------------------\r\n"
    u"\r\n"
    u"Diese Software ist Freeware und die Nutzung geschieht auf eigene Gefahr. \r\n";

const char16_t* const ExpectedSketch =
    u"Beispiel f\u00fcr den Arduino-Sketch:\r\n"
    u"-------------------------------------------------------------------------------------\r\n"
    u"\r\n"
    u"// Definiert die Bitnamen (sbi -> SetBit = 1, cbi -> ClearBit = 0)\r\n"
    u"#ifndef cbi\r\n"
    u"#define cbi(sfr, bit) (_SFR_BYTE(sfr) &= ~_BV(bit))\r\n"
    u"#endif\r\n"
    u"#ifndef sbi\r\n"
    u"#define sbi(sfr, bit) (_SFR_BYTE(sfr) |= _BV(bit))\r\n"
    u"#endif\r\n"
    u"\r\n"
    u"\r\n"
    u"void setup() {\r\n"
    u"    // Setzt den ADC-Divisor von 128 Bit auf 16 Bit. Die Genauigkeit\r\n"
    u"    // sinkt etwas, aber die Geschwindigkeit steigt um das 6,5-fache.\r\n"
    u"    sbi(ADCSRA,ADPS2);\r\n"
    u"    cbi(ADCSRA,ADPS1);\r\n"
    u"    cbi(ADCSRA,ADPS0);\r\n"
    u"\r\n"
    u"    int dummy = analogRead(A0);   // setzt die Analog-Register korrekt\r\n"
    u"    sbi(ADMUX, ADLAR);   // damit kriegen wir die oberen 8 Bit direkt in ADCH\r\n"
    u"    ADCSRB = 0;\t\t// free running mode\r\n"
    u"    sbi(ADCSRA,ADATE);\t// Auto Trigger Enable\r\n"
    u"    sbi(ADCSRA, ADSC);\t// starte Konvertierung\r\n"
    u"    Serial.begin(921600);\t// serielle Verbindung starten\r\n"
    u"}\r\n"
    u"\r\n"
    u"\r\n"
    u"void loop() {\r\n"
    u"    loop_until_bit_is_set(ADCSRA, ADIF); // warte bis Konvertierung abgeschlossen.\r\n"
    u"    sbi(ADCSRA,ADIF);\t\t\t// L\u00f6sche Interrupt Flag\r\n"
    u"    Serial.write(ADCH);\r\n"
    u"}\r\n"
    u"\r\n"
    u"-------------------------------------------------------------------------------------\r\n";

// What a test sees while a box is open.
struct OpenBox {
    Text title;
    Text text;
    int infoButton;
    size_t boxesSoFar;
};

class Information : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetFreshMachine();
        StartUp();
        headless::onMessage = [this](const headless::Message& message) {
            boxes.push_back({message.title, message.text, ControlState(InfoButton),
                             headless::Messages().size()});
        };
    }
    // The user presses InfoButton; the passes that follow take the click
    // and then show the boxes.
    void PressInfoButton() {
        ProbeClick(InfoButton);
        RunPass();
        RunPass();
    }
    std::vector<OpenBox> boxes;
};

TEST_F(Information, MessagesReadAsWritten) {
    App.InfoText = u"left over";
    BuildDescriptionMessage();
    EXPECT_EQ(App.InfoText, ExpectedDescription);
    BuildSketchMessage();
    EXPECT_EQ(App.InfoText, ExpectedSketch);
    // A line of 85 dashes.
    EXPECT_EQ(App.InfoText.find(u"-----\r\n"), 34u + 80u);
}

TEST_F(Information, OnePressShowsBothBoxesOneAfterTheOtherWithTheButtonUp) {
    PressInfoButton();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].title, ExpectedTitle);
    EXPECT_EQ(boxes[0].text, ExpectedDescription);
    EXPECT_EQ(boxes[0].infoButton, 0);
    EXPECT_EQ(boxes[0].boxesSoFar, 1u) << "the second box waits for the first";
    EXPECT_EQ(boxes[1].title, ExpectedTitle);
    EXPECT_EQ(boxes[1].text, ExpectedSketch);
    EXPECT_EQ(boxes[1].infoButton, 0);
    EXPECT_EQ(App.InfoText, ExpectedSketch);
    EXPECT_EQ(ProbeWindowTitle(MainWindow), ExpectedTitle);

    // Nothing more until the button is pressed again; then the same boxes.
    for (int i = 0; i < 5; ++i) {
        RunPass();
    }
    EXPECT_EQ(boxes.size(), 2u);
    PressInfoButton();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[2].text, ExpectedDescription);
    EXPECT_EQ(boxes[3].text, ExpectedSketch);
}

TEST_F(Information, ButtonUpShowsNothing) {
    ShowInformation();
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(App.InfoText.empty());
}

} // namespace
