// Reading back printed PDF files in tests with poppler's command-line tools (pdftotext,
// pdfimages, pdfinfo, pdftoppm), and a scratch directory per test.
#pragma once

#include <string>
#include <vector>

// Standard output of a shell command; *status gets its exit status when given.
std::string RunCommand(const std::string &command, int *status = nullptr);

// Text of the PDF in reading order (pdftotext -layout).
std::string PdfText(const std::string &pdf);
int PdfPageCount(const std::string &pdf);

struct PdfImage {
    int page, width, height;
    std::string type;     // "image", "smask", ...
    std::string encoding; // "image" (lossless Flate) or "jpeg", ...
};
std::vector<PdfImage> PdfImages(const std::string &pdf);

// Words with their boxes on page 1 in points (pdftotext -bbox).
struct PdfWord {
    std::string text;
    double xMin, yMin, xMax, yMax;
};
std::vector<PdfWord> PdfWords(const std::string &pdf);

// Page 1 rendered in grey at 72 dpi (one pixel per point): rows of 8-bit values.
struct GreyPage {
    int width = 0, height = 0;
    std::vector<unsigned char> pixels;
    unsigned char at(int x, int y) const { return pixels[size_t(y) * width + x]; }
};
GreyPage RenderFirstPage(const std::string &pdf);

// The RGB pixels of the first image of the PDF, as pdfimages extracts it.
bool FirstImagePixels(const std::string &pdf, const std::string &scratchDir, int *width,
                      int *height, std::vector<unsigned char> *rgb);

// The RGB pixels of a 24- or 32-bit uncompressed bitmap file, top row first.
bool ReadBmpRgb(const std::string &path, int *width, int *height, std::vector<unsigned char> *rgb);

// A fresh directory under /tmp, removed with its files by RemoveTree.
std::string MakeScratchDir();
void RemoveTree(const std::string &dir);
std::vector<std::string> FilesIn(const std::string &dir);
bool FileExists(const std::string &path);
