// Callbacks of COMPARE on the parameter page and of the comparison panel's buttons.
#include "window/callbacks.h"
#include "window/help.h"

#include "Tavironv10.h"
#include "base/state.h"
#include "base/texts.h"
#include "params/para_compare.h"
#include "platform/ui.h"
#include "window/panels.h"

int CBF_ButtonCompare(int, int, int event, void *, int, int) {
    static const TextPair help = {
        "Zeigt die vier Parameter aus RAM, EEPROM und Parameter-Datei nebeneinander; Zeilen, "
        "die sich unterscheiden, sind markiert. \nZum Lesen wird das EEPROM ins RAM geladen; "
        "unterscheiden sich die Saetze, wird das RAM danach wiederhergestellt. \nEine Spalte "
        "kann auf die Seite uebernommen werden; gesendet wird erst mit SENDEN.",
        "Shows the four parameters as RAM, EEPROM and the parameter file hold them, side by "
        "side; rows that differ are marked. \nTo be read, the EEPROM is loaded into RAM; when "
        "the sets differ, RAM is put back afterwards. \nA column can be taken onto the page; "
        "only SEND sends it."};
    if (HelpAsked(event, help)) return 0;
    if (event == EVENT_COMMIT) OpenComparison();
    return 0;
}

int CBF_ButtonCompareRead(int, int, int event, void *, int, int) {
    static const TextPair help = {"Liest RAM und EEPROM des Sensors erneut.",
                                  "Reads the sensor's RAM and EEPROM again."};
    if (HelpAsked(event, help)) return 0;
    if (event == EVENT_COMMIT) CompareReadSensor();
    return 0;
}

int CBF_ButtonCompareTake(int, int control, int event, void *, int, int) {
    static const TextPair help = {
        "Uebernimmt die Werte dieser Spalte auf die Parameterseite; gesendet wird erst mit "
        "SENDEN.",
        "Puts the values of this column onto the parameter page; only SEND sends them."};
    if (HelpAsked(event, help)) return 0;
    if (event == EVENT_COMMIT)
        CompareTake(control == COMPAREP_TAKE_RAM      ? kCompareRam
                    : control == COMPAREP_TAKE_EEPROM ? kCompareEeprom
                    : control == COMPAREP_TAKE_FILE   ? kCompareFile
                                                      : -1);
    return 0;
}

int CBF_ButtonCompareFile(int, int, int event, void *, int, int) {
    static const TextPair help = {"Waehlt die Parameter-Datei, die verglichen wird.",
                                  "Selects the parameter file to compare."};
    if (HelpAsked(event, help)) return 0;
    if (event == EVENT_COMMIT) CompareChooseFile();
    return 0;
}

int CBF_ButtonCloseCompare(int, int, int event, void *, int, int) {
    static const TextPair help = {"Schliesst den Vergleich.", "Closes the comparison."};
    if (HelpAsked(event, help)) return 0;
    if (event == EVENT_COMMIT) ShowChildPanelDisp(App.DataPanel);
    return 0;
}
