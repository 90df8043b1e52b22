// Parameter files of the command line (see para_file.h), on the program's file layout.
#include "cli/para_file.h"

#include "base/file_reason.h"
#include "cli/exit_codes.h"
#include "cli/input_file.h"
#include "cli/language.h"
#include "inifile/inifile.h"
#include "params/layout/para_names.h"
#include "params/layout/parafile_layout.h"

namespace {

// The first lines of the program's questions on loading such a file.
const TextPair kNotParaFile = {"Gewaehlte Datei ist keine Parameter-Datei! (%s)",
                               "Selected file is not a parameter file! (%s)"};
const TextPair kVersionMismatch = {"Gewaehlte Datei und Scope-Version stimmen nicht ueberein! (%s)",
                                   "Selected file and scope version do not match! (%s)"};
const TextPair kLacks = {"%s: diese Parameter fehlen: ", "%s: these parameters are missing: "};
const TextPair kOutOfRange = {"%s: Wert ausserhalb des Bereichs: ", "%s: value out of range: "};
const TextPair kNotSaved = {"Parameter-Datei konnte nicht gespeichert werden: %s",
                            "Parameter file could not be saved: %s"};

} // namespace

std::string FileNotSavedText(const TextPair &what, const std::string &path, int code,
                             int language) {
    return SayWith(what, language, path) + ": " +
           Say(FileWriteReason(code, path.c_str()), language) + " (" + std::to_string(code) + ")";
}

int ReadParaFile(const std::string &path, int language, ParaSet *values, std::string *message) {
    IniText doc = nullptr;
    const int read = ReadInputFile(path, language, &doc, message);
    if (read != kExitDone) return read;
    int code = kExitDone;
    if (!ParaFileTypeMatches(doc)) {
        *message = SayWith(kNotParaFile, language, path);
        code = kExitUsage;
    } else if (!ParaFileVersionMatches(doc)) {
        *message = SayWith(kVersionMismatch, language, path);
        code = kExitUsage;
    } else {
        int raw[4];
        const unsigned missing = GetParaFileValues(doc, values->data(), raw);
        std::string lacking, outside;
        for (int i = 0; i < 4; ++i) {
            if (missing & (1u << i))
                lacking += std::string(lacking.empty() ? "" : ", ") + kParaNames[i].fileKey;
            else if (raw[i] < 0 || raw[i] > kParaNames[i].maximum)
                outside += std::string(outside.empty() ? "" : ", ") + kParaNames[i].fileKey +
                           " = " + std::to_string(raw[i]);
        }
        if (!lacking.empty()) {
            *message = SayWith(kLacks, language, path) + lacking;
            code = kExitUsage;
        } else if (!outside.empty()) {
            *message = SayWith(kOutOfRange, language, path) + outside;
            code = kExitUsage;
        }
    }
    Ini_Dispose(doc);
    return code;
}

int WriteParaFile(const std::string &path, const ParaSet &values, int language,
                  std::string *message) {
    message->clear();
    IniText doc = Ini_New(0);
    int status = INI_ERR_OUT_OF_MEMORY;
    if (doc) {
        PutParaFileItems(doc, values.data());
        status = Ini_WriteToFile(doc, path.c_str());
    }
    Ini_Dispose(doc);
    if (status >= 0) return kExitDone;
    *message = FileNotSavedText(kNotSaved, path, status, language);
    return kExitFile;
}
