// The commands on one sensor (see sensor_commands.h).
//
// Reading the EEPROM set means loading it into the working set (order 4) and reading that
// (order 2), which replaces what the sensor has in RAM. A command that only looks (get, save,
// diff) reads RAM first and writes it back afterwards (order 1) when it was different, so the
// sensor runs on as before and values not stored yet are not lost by looking at them.
#include "cli/sensor_commands.h"

#include "base/state.h"
#include "cli/exit_codes.h"
#include "cli/language.h"
#include "cli/para_file.h"
#include "cli/sensor_session.h"
#include "inifile/inifile.h"
#include "link/para_transfer.h"
#include "linktext/linktext.h"
#include "params/layout/hwinfo_layout.h"
#include "params/verify/para_verify.h"

#include <algorithm>
#include <ctime>
#include <string>

namespace {

const TextPair kNotRestored = {"Der RAM des Sensors konnte nicht zurückgeschrieben werden; er hält "
                               "jetzt den Satz aus dem EEPROM.",
                               "The sensor's RAM could not be written back; it now holds the set "
                               "from the EEPROM."};
const TextPair kHwNotSaved = {"Hardware-Info-Datei konnte nicht gespeichert werden: %s",
                              "Hardware information file could not be saved: %s"};

// The command's language: the one the link's texts are said in.
int Language() {
    return App.LanguageIndex;
}

int Fail(CommandReport *r, int code, const std::string &message) {
    r->error = message;
    return r->code = code;
}

// The sensor's plausibility message as the program words it, without the popup title the
// program puts before it: the number the sensor answered, then the RAM or the EEPROM text.
std::string Refused(int number, const TextPair &message) {
    return MessageLines(std::to_string(number) + Txt(message));
}

int LinkFailed(CommandReport *r) {
    return Fail(r, kExitLinkFailure, LinkFailureMessage());
}

// The set of one memory, as ReadBothSets for the EEPROM.
int ReadSensorSet(Memory memory, ParaSet *values, int *eepromRefusal, CommandReport *r) {
    *eepromRefusal = 0;
    if (memory == Memory::Ram) return ReadWorkingSet(values->data()) == 1 ? 0 : LinkFailed(r);
    ParaSet ram{};
    return ReadBothSets(&ram, values, eepromRefusal, r);
}

// The EEPROM set failed the sensor's plausibility check: the values read are its defaults.
int EepromImplausible(CommandReport *r, int refusal) {
    return Fail(r, kExitRejected, Refused(refusal, kTxtEepromImplausible));
}

int Get(const Invocation &inv, CommandReport *r) {
    int refusal = 0;
    if (ReadSensorSet(inv.memory, &r->values, &refusal, r) != 0) return r->code;
    r->hasValues = true;
    return refusal ? EepromImplausible(r, refusal) : kExitDone;
}

int Save(const Invocation &inv, const CommandInput &in, CommandReport *r) {
    int refusal = 0;
    if (ReadSensorSet(inv.memory, &r->values, &refusal, r) != 0) return r->code;
    r->hasValues = true;
    // A backup of the sensor's defaults would pass for its stored set: no file.
    if (refusal) return EepromImplausible(r, refusal);
    std::string message;
    if (WriteParaFile(in.output, r->values, Language(), &message) != kExitDone)
        return Fail(r, kExitFile, message);
    r->path = in.output;
    return kExitDone;
}

int Diff(const CommandInput &in, CommandReport *r) {
    int refusal = 0;
    if (ReadBothSets(&r->ram, &r->eeprom, &refusal, r) != 0) return r->code;
    r->hasRam = r->hasEeprom = true;
    r->file = in.fileValues;
    r->hasFile = in.hasFile;
    if (refusal) return EepromImplausible(r, refusal);
    return r->code = ReportDifferences(*r).empty() ? kExitDone : kExitDifferences;
}

int Set(const Invocation &inv, const CommandInput &in, CommandReport *r) {
    r->memory = inv.memory;
    if (in.hasFile) {
        r->written = in.fileValues;
    } else {
        // Parameters not named keep what the sensor has in RAM.
        if (inv.assignments.size() < 4 && ReadWorkingSet(r->written.data()) != 1)
            return LinkFailed(r);
        ApplyAssignments(inv.assignments, r->written.data());
    }
    int refusal = 0;
    const int written = WriteWorkingSet(r->written.data(), &refusal);
    if (written < 0) return LinkFailed(r);
    r->hasWritten = true;
    if (written == 0) {
        // The sensor took its defaults instead: they are not stored, and what it holds now is
        // shown when the command verifies.
        if (inv.verify && ReadWorkingSet(r->readBack.data()) == 1) r->hasReadBack = true;
        return Fail(r, kExitRejected, Refused(refusal, kTxtRamImplausible));
    }
    if (inv.memory == Memory::Eeprom && StoreWorkingSet() != 1) return LinkFailed(r);
    if (!inv.verify) return kExitDone;

    // What the sensor holds now: RAM, or the stored set loaded into RAM.
    if (inv.memory == Memory::Eeprom && LoadEepromSet(&refusal) < 0) return LinkFailed(r);
    if (ReadWorkingSet(r->readBack.data()) != 1) return LinkFailed(r);
    r->hasReadBack = true;
    if (refusal) return EepromImplausible(r, refusal);
    // The comparison and its words are the window program's verified SEND.
    const ParaVerdict verdict = VerifySentSet(
        inv.memory == Memory::Eeprom ? MemoryEeprom : MemoryRam, false, r->written.data(),
        r->readBack.data(), Language(), ClockText(std::time(nullptr)));
    if (verdict.differing == 0) return kExitDone;
    return Fail(r, kExitReadBackDiffers, MessageLines(verdict.popup));
}

// The hardware information file as the program writes it: the firmware text, the hardware
// block as hex text and the working set.
int HwInfo(const CommandInput &in, CommandReport *r) {
    if (ReadWorkingSet(r->values.data()) != 1) return LinkFailed(r);
    r->hasValues = true;
    int received = 0;
    if (ReadHardwareBlock(&received) != 1) return LinkFailed(r);
    char hardwareText[kHwTextSize];
    HardwareText(App.TxFrame, std::min(received, kHwBlockSize), hardwareText);

    IniText doc = Ini_New(0);
    int status = INI_ERR_OUT_OF_MEMORY;
    if (doc) {
        PutHwInfoItems(doc, App.FirmwareVersion, sizeof App.FirmwareVersion, hardwareText,
                       r->values.data());
        status = Ini_WriteToFile(doc, in.output.c_str());
    }
    Ini_Dispose(doc);
    if (status < 0)
        return Fail(r, kExitFile, FileNotSavedText(kHwNotSaved, in.output, status, Language()));
    r->path = in.output;
    return kExitDone;
}

} // namespace

int ReadBothSets(ParaSet *ram, ParaSet *eeprom, int *eepromRefusal, CommandReport *r) {
    *eepromRefusal = 0;
    if (ReadWorkingSet(ram->data()) != 1) return LinkFailed(r);
    if (LoadEepromSet(eepromRefusal) < 0 || ReadWorkingSet(eeprom->data()) != 1)
        return LinkFailed(r);
    if (*ram == *eeprom) return 0;
    int refusal = 0;
    const int restored = WriteWorkingSet(ram->data(), &refusal);
    if (restored < 0) return LinkFailed(r);
    if (restored == 0)
        return Fail(r, kExitRejected,
                    Say(kNotRestored, Language()) + std::string("\n") +
                        Refused(refusal, kTxtRamImplausible));
    return 0;
}

int RunSensorCommand(const Invocation &inv, const CommandInput &in, CommandReport *r) {
    r->command = inv.command;
    r->memory = inv.memory;
    r->code = kExitDone;
    switch (inv.command) {
    case Command::Info:
        return kExitDone; // the session read the identity
    case Command::Get:
        return Get(inv, r);
    case Command::Set:
        return Set(inv, in, r);
    case Command::Diff:
        return Diff(in, r);
    case Command::Save:
        return Save(inv, in, r);
    case Command::HwInfo:
        return HwInfo(in, r);
    case Command::Live:
    case Command::Publish:
    case Command::None:
        break;
    }
    return kExitUsage;
}
