// The two information messages, shown one after the other while InfoButton is
// down: a description of the program, then an example sketch for the board.
#include "info.h"

#include "../app/app.h"

#include <initializer_list>

namespace {

const char16_t* const AuthorName = u"Kurvomat-Entwickler";
const char16_t* const AuthorMail = u"kurvomat@example.org";

Text Separator() {
    return Text(85, u'-');
}

// The first piece is assigned to InfoText, the others appended in order.
void BuildMessage(std::initializer_list<Text> pieces) {
    App.InfoText.clear();
    for (const Text& piece : pieces) {
        App.InfoText += piece;
    }
}

} // namespace

void BuildDescriptionMessage() {
    const Text separator = Separator();
    BuildMessage({
        u"Name:\t\t\tKurvomat\r\n",
        u"Version: \t\t\t1.0.0.1\r\n",
        u"erstellt am: \t\t15.04.2013\r\n",
        u"letztes Update: \t\t17.04.2013\r\n",
        Text(u"erstellt von: \t\t") + AuthorName + u"\r\n",
        Text(u"E-Mail: \t\t\t") + AuthorMail + u"\r\n\r\n",
        separator + u"\r\n\r\n",
        u"Dieses Programm liest die empfangenen Daten byteweise ein und interpretiert sie "
        u"als Binärdaten. ",
        u"Die vertikale Auflösung beträgt 8 Bit (256 Zustände), da immer nur ein Byte "
        u"ausgewertet und dargestellt wird. ",
        u"Die Software dient zum Messen von Spannungsverläufen bis in den unteren KHz-Bereich. ",
        u"\r\n\r\n",
        u"Raster-Abstand vertikal:\t32 Pixel (Gesamt: 8 Linien)\r\n",
        u"Raster-Abstand horizontal:\t50 Pixel (Gesamt: 20 Linien)\r\n",
        u"Breite des Graphen:\t\t1000 Pixel (jeder Pixel stellt ein Messwert dar)\r\n",
        u"Höhe des Graphen:\t\t256 Pixel (jeder Pixel stellt ein Zustand dar)\r\n",
        u"Typische Zeitauflösung:\t20µs/Pixel (ist für den Arduino möglich)\r\n",
        u"maximale Zeitauflösung:\t5,4µs/Pixel (ist für max. darstellbar)\r\n",
        u"Triggerung:\t\teinfache Triggerung  möglich (pos. Flanke)\r\n\r\n",
        separator + u"\r\n\r\n",
        u"Diese Software ist Freeware und die Nutzung geschieht auf eigene Gefahr. \r\n",
    });
}

void BuildSketchMessage() {
    const Text separator = Separator();
    BuildMessage({
        u"Beispiel für den Arduino-Sketch:\r\n",
        separator + u"\r\n",
        u"\r\n",
        u"// Definiert die Bitnamen (sbi -> SetBit = 1, cbi -> ClearBit = 0)\r\n",
        u"#ifndef cbi\r\n",
        u"#define cbi(sfr, bit) (_SFR_BYTE(sfr) &= ~_BV(bit))\r\n",
        u"#endif\r\n",
        u"#ifndef sbi\r\n",
        u"#define sbi(sfr, bit) (_SFR_BYTE(sfr) |= _BV(bit))\r\n",
        u"#endif\r\n",
        u"\r\n\r\n",
        u"void setup() {\r\n",
        u"    // Setzt den ADC-Divisor von 128 Bit auf 16 Bit. Die Genauigkeit\r\n",
        u"    // sinkt etwas, aber die Geschwindigkeit steigt um das 6,5-fache.\r\n",
        u"    sbi(ADCSRA,ADPS2);\r\n",
        u"    cbi(ADCSRA,ADPS1);\r\n",
        u"    cbi(ADCSRA,ADPS0);\r\n",
        u"\r\n",
        u"    int dummy = analogRead(A0);   // setzt die Analog-Register korrekt\r\n",
        u"    sbi(ADMUX, ADLAR);   // damit kriegen wir die oberen 8 Bit direkt in ADCH\r\n",
        u"    ADCSRB = 0;\t\t// free running mode\r\n",
        u"    sbi(ADCSRA,ADATE);\t// Auto Trigger Enable\r\n",
        u"    sbi(ADCSRA, ADSC);\t// starte Konvertierung\r\n",
        u"    Serial.begin(921600);\t// serielle Verbindung starten\r\n",
        u"}\r\n",
        u"\r\n\r\n",
        u"void loop() {\r\n",
        u"    loop_until_bit_is_set(ADCSRA, ADIF); // warte bis Konvertierung abgeschlossen.\r\n",
        u"    sbi(ADCSRA,ADIF);\t\t\t// Lösche Interrupt Flag\r\n",
        u"    Serial.write(ADCH);\r\n",
        u"}\r\n\r\n",
        separator + u"\r\n",
    });
}

void ShowInformation() {
    if (ControlState(InfoButton) != 1) {
        return;
    }
    // The button comes up before any box opens.
    SetControlState(InfoButton, 0);
    BuildDescriptionMessage();
    ShowMessage(WindowTitle, App.InfoText);
    // Returns only once the first box is closed.
    BuildSketchMessage();
    ShowMessage(WindowTitle, App.InfoText);
}
