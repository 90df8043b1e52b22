// The help and version texts of taviron. The exit codes are listed from ExitCodeText, so the
// help and the summary table say the same.
#include "cli/usage.h"

#include "cli/exit_codes.h"
#include "cli/language.h"

#ifndef TAVIRON_VERSION
#define TAVIRON_VERSION "1.0.0"
#endif

namespace {

const TextPair kHelp = {
    "Aufruf: taviron [VERBINDUNG] [--lang de|en] [--json] BEFEHL [OPTIONEN]\n"
    "Der TAVIRON-Stanzpressen-Sensor von der Kommandozeile: Identität, Parameter,\n"
    "Sicherung, Schreiben mit Prüfung, Vergleich, Live-Werte, MQTT.\n"
    "\n"
    "Verbindung (genau eine):\n"
    "  --port COMn          serieller Port, COM-Nummern wie im Programm (ComPorts.cfg)\n"
    "  --device PFAD        serielles Gerät, z. B. /dev/ttyUSB0\n"
    "  --tcp HOST[:PORT]    TCP-Server des Sensors (Port 5000, wenn keiner angegeben)\n"
    "  --baud N             Baudrate der seriellen Leitung (Standard 115200)\n"
    "  --sensors DATEI      Liste von Sensoren (INI-Datei, ein Abschnitt je Sensor mit\n"
    "                       PORT, DEVICE oder TCP und BAUD); für info, get, diff, save\n"
    "\n"
    "Befehle:\n"
    "  info                           Firmware, Name und Seriennummer\n"
    "  get [--from ram|eeprom]        die vier Parameter, je Zeile NAME = WERT\n"
    "  set [--to ram|eeprom] (--file DATEI | NAME=WERT...) [--no-verify]\n"
    "                                 schreiben, zurücklesen und vergleichen\n"
    "  diff [--file DATEI]            RAM, EEPROM (und Datei) nebeneinander\n"
    "  save -o DATEI [--from ram|eeprom]\n"
    "                                 Parameter-Datei wie das Programm sie schreibt\n"
    "                                 (mit --sensors: -o ORDNER, eine Datei je Sensor)\n"
    "  hwinfo -o DATEI                Hardware-Info-Datei wie das Programm sie schreibt\n"
    "  live [--seconds S | --count N] [--changes] [--csv DATEI] [--csv-style plain|excel-de]\n"
    "                                 Live-Werte als CSV mit Zeitstempel (ISO 8601);\n"
    "                                 --changes: nur geänderte Werte; excel-de: ';' und ','\n"
    "  publish --mqtt HOST[:PORT] [--id NAME] [--prefix taviron] [--poll HZ] [--rate HZ]\n"
    "                                 Zustand, Parameter und Live-Werte an einen MQTT-Broker\n"
    "                                 (Port 1883) unter PREFIX/ID/state, params und live, bis\n"
    "                                 TERM oder Strg-C; ID: die Seriennummer; --poll: Abfragen\n"
    "                                 je Sekunde (100), --rate: Live-Meldungen je Sekunde (10)\n"
    "          [--user U --password-file DATEI] [--cafile DATEI [--cert DATEI --key DATEI]]\n"
    "                                 Anmeldung (das Passwort steht nur in der Datei, erste\n"
    "                                 Zeile); TLS mit Prüfung des Broker-Zertifikats gegen die\n"
    "                                 CA, dazu ein Client-Zertifikat\n"
    "          [--log ORDNER [--csv-style plain|excel-de]]\n"
    "                                 jede Änderung als Zeile wie live --changes in\n"
    "                                 ORDNER/ID/JJJJ-MM-TT.csv (neue Datei um Mitternacht,\n"
    "                                 spätestens jede Sekunde geschrieben)\n"
    "\n"
    "Parameter-Namen: STROKE TOLERANCE (0 .. 65535), BAD CNT TO FAIL (0 .. 65535),\n"
    "DIGITAL OUTMODE (0 = DIREKT, 1 = INVERS), CNT STROKE EDGE (0 = STEIGEND, 1 = FALLEND);\n"
    "auch die deutschen Namen der Seite, Groß- und Kleinschreibung, '_' und '-' egal.\n"
    "\n"
    "Weitere Optionen:\n"
    "  --lang de|en         Sprache der Meldungen (sonst die der Umgebung)\n"
    "  --json               Ausgabe als ein JSON-Objekt (live: eines je Zeile)\n"
    "  --help, --version    diese Hilfe, die Version\n"
    "\n"
    "Meldungen gehen auf die Standardfehlerausgabe.\n"
    "\n"
    "Rückgabewerte:\n",
    "Usage: taviron [CONNECTION] [--lang de|en] [--json] COMMAND [OPTIONS]\n"
    "The TAVIRON stamping-press sensor from the command line: identity, parameters,\n"
    "backup, verified writes, comparison, live values, MQTT.\n"
    "\n"
    "Connection (exactly one):\n"
    "  --port COMn          serial port, COM numbers as in the program (ComPorts.cfg)\n"
    "  --device PATH        serial device, e.g. /dev/ttyUSB0\n"
    "  --tcp HOST[:PORT]    the sensor's TCP server (port 5000 when none is given)\n"
    "  --baud N             baud rate of the serial line (default 115200)\n"
    "  --sensors FILE       a list of sensors (INI file, one section per sensor with\n"
    "                       PORT, DEVICE or TCP, and BAUD); for info, get, diff, save\n"
    "\n"
    "Commands:\n"
    "  info                           firmware, name and serial number\n"
    "  get [--from ram|eeprom]        the four parameters, NAME = VALUE per line\n"
    "  set [--to ram|eeprom] (--file FILE | NAME=VALUE...) [--no-verify]\n"
    "                                 write, read back and compare\n"
    "  diff [--file FILE]             RAM, EEPROM (and the file) side by side\n"
    "  save -o FILE [--from ram|eeprom]\n"
    "                                 parameter file as the program writes it\n"
    "                                 (with --sensors: -o FOLDER, one file per sensor)\n"
    "  hwinfo -o FILE                 hardware information file as the program writes it\n"
    "  live [--seconds S | --count N] [--changes] [--csv FILE] [--csv-style plain|excel-de]\n"
    "                                 live values as CSV with a time stamp (ISO 8601);\n"
    "                                 --changes: changed values only; excel-de: ';' and ','\n"
    "  publish --mqtt HOST[:PORT] [--id NAME] [--prefix taviron] [--poll HZ] [--rate HZ]\n"
    "                                 state, parameters and live values to an MQTT broker\n"
    "                                 (port 1883) as PREFIX/ID/state, params and live, until\n"
    "                                 TERM or Ctrl-C; ID: the serial number; --poll: polls a\n"
    "                                 second (100), --rate: live messages a second (10)\n"
    "          [--user U --password-file FILE] [--cafile FILE [--cert FILE --key FILE]]\n"
    "                                 log-in (the password only in the file, its first\n"
    "                                 line); TLS with the broker's certificate checked\n"
    "                                 against the CA, and a client certificate\n"
    "          [--log FOLDER [--csv-style plain|excel-de]]\n"
    "                                 every change as a row of live --changes in\n"
    "                                 FOLDER/ID/YYYY-MM-DD.csv (a new file at midnight,\n"
    "                                 written at least every second)\n"
    "\n"
    "Parameter names: STROKE TOLERANCE (0 .. 65535), BAD CNT TO FAIL (0 .. 65535),\n"
    "DIGITAL OUTMODE (0 = DIRECT, 1 = INVERSE), CNT STROKE EDGE (0 = RISING, 1 = FALLING);\n"
    "the page's German names too; letter case, '_' and '-' do not matter.\n"
    "\n"
    "More options:\n"
    "  --lang de|en         language of the messages (else the environment's)\n"
    "  --json               output as one JSON object (live: one per line)\n"
    "  --help, --version    this help, the version\n"
    "\n"
    "Messages go to standard error.\n"
    "\n"
    "Exit codes:\n"};

} // namespace

std::string HelpText(int language) {
    std::string text = Say(kHelp, language);
    for (int code = 0; code <= 7; ++code)
        text += "  " + std::to_string(code) + "  " + Say(ExitCodeText(code), language) + "\n";
    return text;
}

std::string VersionText() {
    return "taviron (TAVIRON Scope) " TAVIRON_VERSION "\n";
}
