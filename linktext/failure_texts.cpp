// The texts of the link's failure codes, the plausibility message, the firmware that is not
// this program's and the flood notice.
#include "linktext/linktext.h"

#include "base/state.h"

#include <cstdio>

namespace {

const TextPair kTxtTimeout = {
    "TIMEOUT! \nKeine Daten erhalten! \nVerbindungsfehler! \nSpannungsversorgung und COM "
    "Einstellungen ueberpruefen. \nVerbindungsaufbau wiederholen!",
    "TIMEOUT! \nNo data received! \nCommunication error! \nCheck power supply and COM settings. "
    "\nTry to connect again!"};
const TextPair kTxtHeaderFrame = {"ACHTUNG! \nEmpfangener header frame ist ungueltig!",
                                  "ATTENTION! \nReceived header frame is incorrect!"};
const TextPair kTxtDataFrame = {"ACHTUNG! \nEmpfangener Daten frame ist ungueltig!",
                                "ATTENTION! \nReceived data frame is incorrect!"};
const TextPair kTxtInvalidOrder = {"Ungueltiger Befehl! \nPC und Sensor-Software ueberpruefen!",
                                   "Invalid order number! \nVerify PC and sensor software!"};
const TextPair kTxtLineError = {"Verbindungsfehler! \nEventuell Baudrate reduzieren!",
                                "Communication error! \nYou may have to reduce baudrate!"};
const TextPair kTxtSensorError = {"Sensor meldet Fehler %d! \nPC und Sensor-Software ueberpruefen!",
                                  "Sensor reports error %d! \nVerify PC and sensor software!"};
const TextPair kTxtServerClosed = {"Server hat Verbindung beendet!",
                                   "Server has closed connection!"};
const TextPair kTxtLineGone = {"Serielle Verbindung unterbrochen!", "Serial connection lost!"};
const TextPair kTxtLineGoneAdvice = {
    "Geraet entfernt - Adapter wieder einstecken, dann VERBINDEN",
    "the device went away - plug the adapter back in, then TRY TO CONNECT"};
const TextPair kTxtFlood = {
    "Server sendet mehr Daten als angefordert; sie werden verworfen (bisher %llu Bytes).\n",
    "Server sends more data than asked for; they are dropped (%llu bytes so far).\n"};

std::string OpenFailureText(const TextPair &error, const LinkFault &f, const TextPair &advice) {
    return ExplainedFailureText(Txt(error), f.where.c_str(), Txt(advice), f.systemText.c_str());
}

} // namespace

const TextPair kTxtRamImplausible = {
    " Plausibilitaets-Check der Parameter im RAM fehlgeschlagen, wurden auf Voreinstellung "
    "gesetzt!",
    " Parameter in RAM did not pass plausibility check and were set to default value!"};
const TextPair kTxtEepromImplausible = {
    " Plausibilitaets-Check der Parameter im EEPROM fehlgeschlagen, wurden auf Voreinstellung "
    "gesetzt!\n\n",
    " Parameter from EEPROM did not pass plausibility check and were set to default value!\n\n"};

const TextPair kTxtVersionMismatch = {
    "Sensor-Firmware und Scope-Version stimmen nicht ueberein! \nFirmware des verbundenen "
    "Sensors ist: ",
    "Sensor firmware and scope version do not match! \nFirmware of connected sensor is: "};

std::string PlausibilityText(int number, const TextPair &message) {
    return std::string(Txt(kTitleInfo)) + "\n" + std::to_string(number) + Txt(message);
}

std::string LinkFailureText(const LinkFault &f) {
    switch (f.code) {
    case LinkError::None:
        return "";
    case LinkError::HeaderCrc:
        return Txt(kTxtHeaderFrame);
    case LinkError::DataCrc:
        return Txt(kTxtDataFrame);
    case LinkError::InvalidOrder:
        return Txt(kTxtInvalidOrder);
    case LinkError::LineError:
        return Txt(kTxtLineError);
    case LinkError::SensorError: {
        char text[160];
        std::snprintf(text, sizeof text, Txt(kTxtSensorError), f.number);
        return text;
    }
    case LinkError::ServerClosed:
        return Txt(kTxtServerClosed);
    case LinkError::DeviceGone:
        return ExplainedFailureText(Txt(kTxtLineGone), f.where.c_str(), Txt(kTxtLineGoneAdvice),
                                    "");
    case LinkError::SensorRejected:
        return PlausibilityText(f.number, kTxtRamImplausible);
    case LinkError::SerialOpen:
        return OpenFailureText(SerialErrorText(f.number), f, ComReasonText(f.reason));
    case LinkError::TcpConnect:
        return OpenFailureText(TcpErrorText(f.number), f, TcpReasonText(f.reason));
    case LinkError::Timeout:
        break;
    }
    return Txt(kTxtTimeout);
}

std::string FailureStatusLine(const LinkFault &f) {
    return f.code == LinkError::SensorRejected ? RejectedLine(App.LanguageIndex) : "TIMEOUT!";
}

std::string RejectedLine(int language) {
    const std::string message = TxtIn(kTxtRamImplausible, language);
    return message.substr(message.find_first_not_of(' '));
}

std::string LinkFloodText(unsigned long long droppedBytes) {
    char text[200];
    std::snprintf(text, sizeof text, Txt(kTxtFlood), droppedBytes);
    return text;
}
