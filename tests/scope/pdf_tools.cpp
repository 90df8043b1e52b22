// PDF read-back for tests through poppler's tools (see pdf_tools.h).
#include "pdf_tools.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

std::string Quote(const std::string &s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Reads one binary PNM header value, skipping blanks and comments.
bool ReadPnmInt(std::istream &in, int *v) {
    int c;
    while ((c = in.peek()) != EOF) {
        if (c == '#') {
            std::string skip;
            std::getline(in, skip);
        } else if (std::isspace(c)) {
            in.get();
        } else {
            break;
        }
    }
    return bool(in >> *v);
}

// Binary PGM (P5) or PPM (P6) with 8-bit samples.
bool ReadPnm(const std::string &path, const char *magic, int *w, int *h,
             std::vector<unsigned char> *data) {
    std::ifstream in(path, std::ios::binary);
    std::string m;
    int maxval;
    if (!(in >> m) || m != magic || !ReadPnmInt(in, w) || !ReadPnmInt(in, h) ||
        !ReadPnmInt(in, &maxval) || maxval != 255)
        return false;
    in.get(); // the one blank after the header
    size_t n = size_t(*w) * *h * (m == "P6" ? 3 : 1);
    data->resize(n);
    in.read(reinterpret_cast<char *>(data->data()), std::streamsize(n));
    return size_t(in.gcount()) == n;
}

} // namespace

std::string RunCommand(const std::string &command, int *status) {
    std::string out;
    FILE *p = popen(command.c_str(), "r");
    if (!p) {
        if (status) *status = -1;
        return out;
    }
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    int rc = pclose(p);
    if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

std::string PdfText(const std::string &pdf) {
    return RunCommand("pdftotext -layout " + Quote(pdf) + " - 2>/dev/null");
}

int PdfPageCount(const std::string &pdf) {
    std::istringstream in(RunCommand("pdfinfo " + Quote(pdf) + " 2>/dev/null"));
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("Pages:", 0) == 0) return std::atoi(line.c_str() + 6);
    return -1;
}

std::vector<PdfImage> PdfImages(const std::string &pdf) {
    std::vector<PdfImage> out;
    std::istringstream in(RunCommand("pdfimages -list " + Quote(pdf) + " 2>/dev/null"));
    std::string line;
    int row = 0;
    while (std::getline(in, line)) {
        if (row++ < 2) continue; // heading and rule
        std::istringstream f(line);
        PdfImage im{};
        int num;
        std::string color, comp, bpc;
        if (f >> im.page >> num >> im.type >> im.width >> im.height >> color >> comp >> bpc >>
            im.encoding)
            out.push_back(im);
    }
    return out;
}

std::vector<PdfWord> PdfWords(const std::string &pdf) {
    std::vector<PdfWord> out;
    std::string html = RunCommand("pdftotext -f 1 -l 1 -bbox " + Quote(pdf) + " - 2>/dev/null");
    size_t pos = 0;
    while ((pos = html.find("<word ", pos)) != std::string::npos) {
        size_t close = html.find('>', pos);
        size_t end = html.find("</word>", close);
        if (close == std::string::npos || end == std::string::npos) break;
        std::string attrs = html.substr(pos, close - pos);
        auto num = [&](const char *key) {
            size_t k = attrs.find(std::string(key) + "=\"");
            return k == std::string::npos ? 0.0 : std::atof(attrs.c_str() + k + strlen(key) + 2);
        };
        out.push_back({html.substr(close + 1, end - close - 1), num("xMin"), num("yMin"),
                       num("xMax"), num("yMax")});
        pos = end;
    }
    return out;
}

GreyPage RenderFirstPage(const std::string &pdf) {
    GreyPage g;
    std::string base = fs::path(pdf).replace_extension("").string() + "-render";
    RunCommand("pdftoppm -f 1 -l 1 -r 72 -gray -singlefile " + Quote(pdf) + " " + Quote(base) +
               " 2>/dev/null");
    if (!ReadPnm(base + ".pgm", "P5", &g.width, &g.height, &g.pixels)) g = GreyPage{};
    fs::remove(base + ".pgm");
    return g;
}

bool FirstImagePixels(const std::string &pdf, const std::string &scratchDir, int *width,
                      int *height, std::vector<unsigned char> *rgb) {
    std::string base = scratchDir + "/extracted";
    RunCommand("pdfimages -f 1 -l 1 " + Quote(pdf) + " " + Quote(base) + " 2>/dev/null");
    return ReadPnm(base + "-000.ppm", "P6", width, height, rgb);
}

bool ReadBmpRgb(const std::string &path, int *width, int *height, std::vector<unsigned char> *rgb) {
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> f((std::istreambuf_iterator<char>(in)), {});
    auto u32 = [&](size_t o) {
        return f[o] | f[o + 1] << 8 | f[o + 2] << 16 | unsigned(f[o + 3]) << 24;
    };
    auto u16 = [&](size_t o) { return f[o] | f[o + 1] << 8; };
    if (f.size() < 54 || f[0] != 'B' || f[1] != 'M') return false;
    unsigned offset = u32(10);
    int w = int(u32(18));
    int h = int(u32(22));
    int bpp = u16(28);
    if ((bpp != 24 && bpp != 32) || (u32(30) != 0 && u32(30) != 3)) return false;
    bool bottomUp = h > 0;
    h = std::abs(h);
    size_t stride = (size_t(w) * bpp / 8 + 3) & ~size_t(3);
    if (offset + stride * h > f.size()) return false;
    rgb->resize(size_t(w) * h * 3);
    for (int y = 0; y < h; ++y) {
        const unsigned char *row = &f[offset + stride * (bottomUp ? h - 1 - y : y)];
        for (int x = 0; x < w; ++x) {
            const unsigned char *px = row + x * (bpp / 8); // stored blue, green, red
            unsigned char *out = &(*rgb)[(size_t(y) * w + x) * 3];
            out[0] = px[2];
            out[1] = px[1];
            out[2] = px[0];
        }
    }
    *width = w;
    *height = h;
    return true;
}

std::string MakeScratchDir() {
    char tmpl[] = "/tmp/taviron-test-XXXXXX";
    const char *d = mkdtemp(tmpl);
    return d ? d : "";
}

void RemoveTree(const std::string &dir) {
    std::error_code ec;
    if (!dir.empty()) fs::remove_all(dir, ec);
}

std::vector<std::string> FilesIn(const std::string &dir) {
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto &e : fs::directory_iterator(dir, ec))
        out.push_back(e.path().filename());
    return out;
}

bool FileExists(const std::string &path) {
    std::error_code ec;
    return fs::exists(path, ec);
}
