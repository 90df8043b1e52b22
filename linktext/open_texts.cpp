// The texts of the serial and TCP open errors and of the reasons the system gives, and the
// failure text of a link that could not be opened.
#include "linktext/linktext.h"

#include <iterator>

const TextPair &SerialErrorText(int code) {
    static const TextPair kUnknown = {"Unbekannter Systemfehler", "Unknown system error"};
    static const TextPair kInvalidPort = {"Ungueltige Portnummer", "Invalid port number"};
    static const TextPair kNotOpen = {"Port ist nicht verfuegbar", "Port is not open"};
    static const TextPair kIo = {"Unbekannter I/O Fehler", "Unknown I/0 error"};
    static const TextPair kNoPort = {"Kein serieller Port gefunden", "No serial port found"};
    static const TextPair kCannotOpen = {"Port kann nicht geoeffnet werden", "Cannot open port"};
    static const TextPair kBaud = {"Ungueltige Baudrate", "Invalid Baudrate"};
    static const TextPair kTimeout = {"Timeout", "Timeout"};
    static const TextPair kOther = {"RS-232 Fehler!", "RS-232 error!"};
    switch (code) {
    case -1:
        return kUnknown;
    case -2:
        return kInvalidPort;
    case -3:
        return kNotOpen;
    case -4:
        return kIo;
    case -6:
        return kNoPort;
    case -7:
        return kCannotOpen;
    case -14:
        return kBaud;
    case -99:
        return kTimeout;
    default:
        return kOther;
    }
}

const TextPair &TcpErrorText(int code) {
    static const TextPair kTexts[] = {
        {"Dienst konnte nicht registriert werden", "Unable to register service"},
        {"Verbindung konnte nicht aufgebaut werden", "Unable to establish connection"},
        {"Server bereits vorhanden", "Existing server"},
        {"Verbindungsfehler", "Failed to connect"},
        {"Server nicht registriert", "Server not registered"},
        {"Zu viele Nachrichtenuebertragungen", "Too many conversations"},
        {"Lesen fehlgeschlagen", "Read failed"},
        {"Schreiben fehlgeschlagen", "Write failed"},
        {"Ungueltiger Parameter", "Invalid parameter"},
        {"Ausserhalb des Speichers", "Out of memory"},
        {"Timeout", "Time out error"},
        {"Keine Verbindung hergestellt", "No connection established"},
        {"Allgemeiner IO Fehler", "General IO error"},
        {"Verbindung geschlossen", "Connection closed"},
        {"Winsock DLL konnte nicht geladen werden", "Unable to load winsock DLL"},
        {"Ungueltige Winsock DLL Version", "Incorrect winsock DLL version"},
        {"Netzwerk Subsystem nicht bereit", "Network subsystem not ready"},
        {"Verbindungen noch aktiv", "Connections still open"},
        {"Verbindungstrennung bevorstehend", "Disconnect pending"},
        {"Info nicht verfuegbar", "Info not available"},
    };
    static const TextPair kOther = {"Verbindung mit Server fehlgeschlagen",
                                    "Connection to server failed"};
    return code <= -1 && code >= -20 ? kTexts[-code - 1] : kOther;
}

const TextPair &ComReasonText(int reason) {
    static const TextPair kTexts[] = {
        {"", ""},
        {"Geraet nicht vorhanden - ist der Adapter eingesteckt?",
         "no such device - is the adapter plugged in?"},
        {"Zugriff verweigert - Benutzer zur Gruppe dialout hinzufuegen, dann neu anmelden",
         "permission denied - add the user to group dialout, then log in again"},
        {"von einem anderen Programm belegt", "in use by another program"},
        {"kein serieller Port", "not a serial port"},
    };
    static const TextPair kNone = {"", ""};
    return reason >= 0 && reason < int(std::size(kTexts)) ? kTexts[reason] : kNone;
}

const TextPair &TcpReasonText(int reason) {
    static const TextPair kTexts[] = {
        {"", ""},
        {"Verbindung abgelehnt - Sensor eingeschaltet, Port-Nummer richtig?",
         "connection refused - is the sensor switched on, is the port number right?"},
        {"Rechner nicht erreichbar - Netzwerkkabel und Adresse pruefen",
         "host unreachable - check the network cable and the address"},
        {"Name nicht aufloesbar - Servernamen pruefen",
         "name not resolved - check the server name"},
        {"keine Antwort (Zeitueberschreitung) - Sensor eingeschaltet und im Netz?",
         "timed out without an answer - is the sensor switched on and on this network?"},
    };
    static const TextPair kNone = {"", ""};
    return reason >= 0 && reason < int(std::size(kTexts)) ? kTexts[reason] : kNone;
}

std::string ExplainedFailureText(const char *errorText, const char *where, const char *advice,
                                 const char *systemText) {
    std::string out = errorText ? errorText : "";
    std::string why = advice && *advice ? advice : systemText ? systemText : "";
    std::string at = where ? where : "";
    if (at.empty() && why.empty()) return out;
    out += "\n" + at;
    if (!why.empty()) out += (at.empty() ? "" : ": ") + why;
    return out;
}
