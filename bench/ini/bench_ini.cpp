// Benchmark of the INI library against inih and SimpleIni on the same generated files of about
// 1 MB and 10 MB: read throughput, write throughput, and the cost of getting every key after
// loading (which must grow linearly with the file). Figures are ratios measured side by side
// in one run, rounds interleaved, median of the rounds.
//
//   bench_ini [--rounds N] [--dir DIRECTORY]
#include "inifile/inifile.h"

#include <INIReader.h>
#include <SimpleIni.h>
#include <ini.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double seconds(const std::function<void()> &work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Key {
    std::string section, tag;
    std::string peerTag; // the name the other readers see: the first numbered line of a long one
};

// Builds a document of about targetBytes of text: many sections of 20 items each, quoted and
// unquoted values, and long values that the writer splits into numbered lines.
IniText generate(size_t targetBytes, std::vector<Key> *keys) {
    IniText doc = Ini_New(0);
    size_t bytes = 0;
    for (int s = 0; bytes < targetBytes; ++s) {
        const std::string section = "Section " + std::to_string(s);
        bytes += section.size() + 6;
        for (int k = 0; k < 20; ++k) {
            const std::string tag = "Key_" + std::to_string(k) + "_" + std::to_string(s % 97);
            std::string value;
            switch (k % 5) {
            case 0:
                Ini_PutInt(doc, section.c_str(), tag.c_str(), s * 31 + k);
                break;
            case 1:
                Ini_PutDouble(doc, section.c_str(), tag.c_str(), s * 0.125 + k);
                break;
            case 2:
                value =
                    "C:\\Data\\run " + std::to_string(s) + "\\file_" + std::to_string(k) + ".ini";
                Ini_PutString(doc, section.c_str(), tag.c_str(), value.c_str());
                break;
            case 3:
                value = "Plain text value number " + std::to_string(s * 20 + k);
                Ini_PutString(doc, section.c_str(), tag.c_str(), value.c_str());
                break;
            default: // 200 characters: three numbered lines of 80, 80 and 40
                for (int i = 0; value.size() < 200; ++i)
                    value +=
                        "long value " + std::to_string(i) + " of item " + std::to_string(k) + "; ";
                value.resize(200);
                Ini_PutString(doc, section.c_str(), tag.c_str(), value.c_str());
                break;
            }
            bytes += tag.size() + (k % 5 == 4 ? 3 * 20 + 200 : 24 + value.size());
            keys->push_back({section, tag, k % 5 == 4 ? tag + " Line0001" : tag});
        }
    }
    return doc;
}

int inihCount(void *user, const char *, const char *name, const char *value) {
    *static_cast<size_t *>(user) += strlen(name) + strlen(value);
    return 1;
}

size_t fileSize(const std::string &path) {
    return std::filesystem::file_size(path);
}

int sinkToFile(void *context, const char *line) {
    FILE *file = static_cast<FILE *>(context);
    fputs(line, file);
    fputs("\r\n", file);
    return 0;
}

int countBytes(void *context, const char *line) {
    *static_cast<size_t *>(context) += strlen(line) + 2;
    return 0;
}

// Generates a document whose text is close to targetBytes: a first try, then one scaled to fit.
IniText generateFitted(size_t targetBytes, std::vector<Key> *keys) {
    IniText doc = generate(targetBytes, keys);
    size_t bytes = 0;
    Ini_WriteGeneric(doc, countBytes, &bytes);
    Ini_Dispose(doc);
    keys->clear();
    return generate(static_cast<size_t>(static_cast<double>(targetBytes) * targetBytes / bytes),
                    keys);
}

void run(const std::string &dir, size_t target, const char *label, int rounds) {
    std::vector<Key> keys;
    IniText generated = generateFitted(target, &keys);
    const std::string path = dir + "/bench_" + label + ".ini";
    if (Ini_WriteToFile(generated, path.c_str()) != 0) {
        fprintf(stderr, "cannot write %s\n", path.c_str());
        exit(1);
    }
    Ini_Dispose(generated);
    const double mb = fileSize(path) / 1e6;

    // All three read the whole file without error and find every key.
    size_t count = 0;
    CSimpleIniA check;
    INIReader reader(path);
    if (ini_parse(path.c_str(), inihCount, &count) != 0 || reader.ParseError() != 0 ||
        check.LoadFile(path.c_str()) != SI_OK) {
        fprintf(stderr, "a reader failed on %s\n", path.c_str());
        exit(1);
    }
    IniText loaded = Ini_New(0);
    Ini_ReadFromFile(loaded, path.c_str());
    for (const Key &key : keys) {
        const char *text = nullptr;
        if (Ini_GetPointerToString(loaded, key.section.c_str(), key.tag.c_str(), &text) != 1 ||
            !check.GetValue(key.section.c_str(), key.peerTag.c_str()) ||
            !reader.HasValue(key.section, key.peerTag)) {
            fprintf(stderr, "key %s/%s missing\n", key.section.c_str(), key.tag.c_str());
            exit(1);
        }
    }
    Ini_Dispose(loaded);

    std::vector<double> ours, inih, inireader, simpleini;
    std::vector<double> writeOurs, writeGeneric, writeSimple;
    std::vector<double> getOurs, getSimple;
    size_t sink = 0;
    for (int r = 0; r < rounds; ++r) {
        ours.push_back(seconds([&] {
            IniText doc = Ini_New(0);
            Ini_ReadFromFile(doc, path.c_str());
            Ini_Dispose(doc);
        }));
        inih.push_back(seconds([&] { ini_parse(path.c_str(), inihCount, &sink); }));
        inireader.push_back(seconds([&] {
            INIReader reader(path);
            sink += reader.ParseError();
        }));
        simpleini.push_back(seconds([&] {
            CSimpleIniA ini;
            ini.LoadFile(path.c_str());
        }));

        IniText doc = Ini_New(0);
        Ini_ReadFromFile(doc, path.c_str());
        const std::string out = dir + "/out_" + label + ".ini";
        writeOurs.push_back(seconds([&] { Ini_WriteToFile(doc, out.c_str()); }));
        writeGeneric.push_back(seconds([&] {
            FILE *file = fopen(out.c_str(), "wb");
            setvbuf(file, nullptr, _IOFBF, 16 * 1024);
            Ini_WriteGeneric(doc, sinkToFile, file);
            fclose(file);
        }));
        getOurs.push_back(seconds([&] {
            for (const Key &key : keys) {
                const char *text = nullptr;
                Ini_GetPointerToString(doc, key.section.c_str(), key.tag.c_str(), &text);
                sink += text ? text[0] : 0;
            }
        }));
        Ini_Dispose(doc);

        CSimpleIniA ini;
        ini.LoadFile(path.c_str());
        writeSimple.push_back(seconds([&] { ini.SaveFile(out.c_str()); }));
        getSimple.push_back(seconds([&] {
            for (const Key &key : keys) {
                const char *text = ini.GetValue(key.section.c_str(), key.peerTag.c_str(), "");
                sink += text[0];
            }
        }));
    }
    const double o = median(ours), h = median(inih), ir = median(inireader), s = median(simpleini);
    printf("\n%s file: %.2f MB (10^6 bytes), %zu keys, %d rounds (median)\n", label, mb,
           keys.size(), rounds);
    printf("  read   ours %7.1f MB/s | inih %7.1f MB/s (ours %.2fx) | INIReader %7.1f MB/s "
           "(ours %.2fx) | SimpleIni %7.1f MB/s (ours %.2fx)\n",
           mb / o, mb / h, h / o, mb / ir, ir / o, mb / s, s / o);
    const double wo = median(writeOurs), wg = median(writeGeneric), ws = median(writeSimple);
    printf("  write  ours safe (temp file, fsync, rename) %7.1f MB/s (%.2fx SimpleIni) | ours "
           "plain %7.1f MB/s (%.2fx) | SimpleIni %7.1f MB/s | inih: no writer\n",
           mb / wo, ws / wo, mb / wg, ws / wg, mb / ws);
    const double go = median(getOurs), gs = median(getSimple);
    printf("  get every key  ours %.0f ns/key | SimpleIni %.0f ns/key\n", go / keys.size() * 1e9,
           gs / keys.size() * 1e9);
    if (sink == 42) printf(" ");
}

} // namespace

int main(int argc, char **argv) {
    int rounds = 9;
    std::string dir;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!strcmp(argv[i], "--rounds")) rounds = atoi(argv[i + 1]);
        if (!strcmp(argv[i], "--dir")) dir = argv[i + 1];
    }
    bool own = false;
    if (dir.empty()) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "bench_ini_XXXXXX").string();
        if (!mkdtemp(pattern.data())) return 1;
        dir = pattern;
        own = true;
    }
    run(dir, 1 << 20, "1MB", rounds);
    run(dir, 10 << 20, "10MB", rounds);
    if (own) std::filesystem::remove_all(dir);
    return 0;
}
