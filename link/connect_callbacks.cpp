// Callbacks of the connection page: protocol, port, baud rate, server, the link buttons and
// the status box.
#include "app/callbacks.h"

#include "Tavironv10.h"
#include "app/state.h"
#include "app/texts.h"
#include "platform/ui.h"
#include "settings/settings.h"

int CBF_EditCommunicationProtocol(int panel, int control, int event, void *, int, int) {
    static const TextPair help = {"Waehlen Sie die RS232 oder TCP/IP Schnittstelle.",
                                  "Select RS232 or TCP/IP Interface."};
    switch (event) {
    case EVENT_RIGHT_CLICK:
        ShowHelp(help);
        break;
    default:
        break;
    }
    (void)panel;
    (void)control;
    return 0;
}

int CBF_ButtonFindComPorts(int panel, int control, int event, void *, int, int) {
    static const TextPair help = {"Zeigt eine Liste der verfuegbaren COM PORTS.",
                                  "Shows a list of available COM PORTS."};
    switch (event) {
    case EVENT_RIGHT_CLICK:
        ShowHelp(help);
        break;
    default:
        break;
    }
    (void)panel;
    (void)control;
    return 0;
}

int CBF_EditSelectComPort(int panel, int control, int event, void *, int, int) {
    static const TextPair help = {"Waehlen Sie einen seriellen COM-Port.",
                                  "Select a serial COM-PORT."};
    switch (event) {
    case EVENT_RIGHT_CLICK:
        ShowHelp(help);
        break;
    default:
        break;
    }
    (void)panel;
    (void)control;
    return 0;
}

int CBF_EditSelectBaudrate(int panel, int control, int event, void *, int, int) {
    static const TextPair help = {
        "Waehlen Sie die Baudrate fuer die Datenuebertragung. \n\nAchtung! Sensor und "
        "Nutzeroberflaeche \nmuessen mit der gleichen Baudrate arbeiten.",
        "Select the Baudrate for data transfer. \n\nAttention! Sensor and user surface \nmust work "
        "with the same Baudrate."};
    switch (event) {
    case EVENT_RIGHT_CLICK:
        ShowHelp(help);
        break;
    default:
        break;
    }
    (void)panel;
    (void)control;
    return 0;
}

int CBF_ButtonChangeBaudrate(int panel, int control, int event, void *, int, int) {
    static const TextPair help = {
        "Ausgewaehlte Baudrate auf Sensor speichern. \n\nNeue Baudrate mit EEPROM und SENDEN "
        "bestaetigen.",
        "Save selected Baudrate to sensor. \n\nConfirm new baudrate with EEPROM and SEND."};
    switch (event) {
    case EVENT_RIGHT_CLICK:
        ShowHelp(help);
        break;
    default:
        break;
    }
    (void)panel;
    (void)control;
    return 0;
}

int CBF_StringIpAdress(int panel, int control, int event, void *, int, int) {
    static const TextPair help = {"Waehlen Sie einen Server per Bezeichnung oder IP-Adresse.",
                                  "Select a Server by name or IP address."};
    switch (event) {
    case EVENT_RIGHT_CLICK:
        ShowHelp(help);
        break;
    default:
        break;
    }
    (void)panel;
    (void)control;
    return 0;
}

int CBF_StringPortNumber(int panel, int control, int event, void *, int, int) {
    static const TextPair help = {"Waehlen Sie eine Port-Nummer.", "Select a port number."};
    switch (event) {
    case EVENT_RIGHT_CLICK:
        ShowHelp(help);
        break;
    default:
        break;
    }
    (void)panel;
    (void)control;
    return 0;
}

int CBF_ButtonTryToConnect(int panel, int control, int event, void *, int, int) {
    static const TextPair help = {"Verbindungsaufbau zum Sensor.", "Try to connect sensor."};
    switch (event) {
    case EVENT_RIGHT_CLICK:
        ShowHelp(help);
        break;
    default:
        break;
    }
    (void)panel;
    (void)control;
    return 0;
}

int CBF_ButtonDisconnect(int panel, int control, int event, void *, int, int) {
    static const TextPair help = {"Verbindungsabbruch vom Sensor.", "Disconnect from sensor."};
    switch (event) {
    case EVENT_RIGHT_CLICK:
        ShowHelp(help);
        break;
    default:
        break;
    }
    (void)panel;
    (void)control;
    return 0;
}

int CBF_ButtonAccept(int panel, int control, int event, void *, int, int) {
    static const TextPair help = {
        "Verbindungseinstellungen bestaetigen \nund zum Parametrierungs-Reiter wechseln.",
        "Accept settings for communication \nand switch to para-panel."};
    switch (event) {
    case EVENT_RIGHT_CLICK:
        ShowHelp(help);
        break;
    case EVENT_COMMIT:
        StorePanelSettings();
        SetActiveTabPage(App.MainPanel, MAINP_TAB, 1);
        break;
    default:
        break;
    }
    (void)panel;
    (void)control;
    return 0;
}

int CBF_DispStatus(int panel, int control, int event, void *, int, int) {
    switch (event) {
    case EVENT_RIGHT_DOUBLE_CLICK: // the status box clears itself; it has no help
        ResetTextBox(App.ConnectTab, CONNECT_STATUS, "");
        break;
    default:
        break;
    }
    (void)panel;
    (void)control;
    return 0;
}
