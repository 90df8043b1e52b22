// The line reader: reads its source in chunks of 2048 bytes and hands out one line per call.
// A line ends at CR, LF or a zero byte. When a new line starts with a terminator other than
// the one that ended the previous line, that byte is the second half of a CR LF or LF CR pair
// and is skipped, so all four kinds of ending are accepted and blank lines survive.
#include "inifile/linefile.h"
#include "inifile/inifile.h"

#include <cstring>
#include <new>

namespace {
constexpr size_t kChunkSize = 2048;
constexpr int kNoTerminator = -1;

inline bool isTerminator(unsigned char c) {
    return c == '\r' || c == '\n' || c == '\0';
}
} // namespace

struct LineFileRec {
    FILE *file = nullptr;                  // file source, or
    const unsigned char *memory = nullptr; // memory source
    size_t memorySize = 0;
    size_t memoryPos = 0;
    unsigned char chunk[kChunkSize];
    const unsigned char *data = nullptr; // current chunk
    size_t length = 0;                   // bytes in the current chunk
    size_t pos = 0;                      // next byte in the current chunk
    int lineNumber = 0;
    int lastTerminator = kNoTerminator; // terminator of the previous line, until the next byte
    bool failed = false;
};

namespace {

// Loads the next chunk. Returns false at the end of the source or after a read error.
bool refill(LineFileRec *lf) {
    lf->pos = 0;
    lf->length = 0;
    if (lf->failed) return false;
    if (lf->file) {
        lf->length = fread(lf->chunk, 1, kChunkSize, lf->file);
        lf->data = lf->chunk;
        if (lf->length == 0 && ferror(lf->file)) lf->failed = true;
    } else {
        const size_t rest = lf->memorySize - lf->memoryPos;
        lf->length = rest < kChunkSize ? rest : kChunkSize;
        lf->data = lf->memory + lf->memoryPos;
        lf->memoryPos += lf->length;
    }
    return lf->length > 0;
}

} // namespace

LineFile LineFile_New(FILE *file) {
    if (!file) return nullptr;
    LineFile lf = new (std::nothrow) LineFileRec;
    if (lf) lf->file = file;
    return lf;
}

LineFile LineFile_NewFromMemory(const void *data, size_t size) {
    if (!data && size) return nullptr;
    LineFile lf = new (std::nothrow) LineFileRec;
    if (lf) {
        lf->memory = static_cast<const unsigned char *>(data);
        lf->memorySize = size;
    }
    return lf;
}

void LineFile_Dispose(LineFile lineFile) {
    delete lineFile;
}

int LineFile_Read(LineFile lf, char *buffer, int maxChars, int *lineNumber, int *endOfFile) {
    if (!lf || !buffer || maxChars < 0 || !lineNumber || !endOfFile) return INI_ERR_NULL_ARGUMENT;
    *endOfFile = 0;
    size_t kept = 0;
    bool started = false; // a byte of this line has been consumed
    for (;;) {
        if (lf->pos == lf->length && !refill(lf)) {
            if (lf->failed) {
                buffer[0] = '\0';
                return INI_ERR_READ;
            }
            if (!started) {
                buffer[0] = '\0';
                *endOfFile = 1;
                return 0;
            }
            break; // a last line without terminator is still a line
        }
        if (!started && lf->lastTerminator != kNoTerminator) {
            const unsigned char first = lf->data[lf->pos];
            const int previous = lf->lastTerminator;
            lf->lastTerminator = kNoTerminator;
            if (isTerminator(first) && first != previous) { // second half of CR LF or LF CR
                ++lf->pos;
                continue;
            }
        }
        // Take the run of ordinary bytes up to the next terminator or the end of the chunk.
        const unsigned char *begin = lf->data + lf->pos;
        const unsigned char *end = lf->data + lf->length;
        const unsigned char *p = begin;
        while (p < end && !isTerminator(*p))
            ++p;
        const size_t run = static_cast<size_t>(p - begin);
        if (run) {
            const size_t room = static_cast<size_t>(maxChars) - kept;
            const size_t take = run < room ? run : room;
            memcpy(buffer + kept, begin, take);
            kept += take;
            started = true;
        }
        lf->pos += run;
        if (p < end) { // terminator found
            lf->lastTerminator = *p;
            ++lf->pos;
            break;
        }
    }
    buffer[kept] = '\0';
    *lineNumber = ++lf->lineNumber;
    return static_cast<int>(kept);
}
