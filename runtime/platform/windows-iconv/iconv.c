/* iconv for the Windows build, over the system's code pages: enough for
 * the C libraries that convert text with it (FreeXL). Windows-only;
 * scripts/windows/deps.sh builds it into libiconv.a with iconv.h and
 * localcharset.h in the dependency prefix. Not part of the POSIX builds,
 * whose C library has iconv. */
#include "iconv.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "localcharset.h"

enum { kUtf16Le = 1200, kAscii = 20127, kMacRoman = 10000, kGbk = 936, kUtf8 = 65001 };

/* What a byte of a code-page source stands for. */
enum { kSingle = 0, kLead = 1, kInvalid = 2 };

struct Converter {
    unsigned from;
    unsigned to;
    /* For a code-page source: each byte's kind and, for a single one, its
     * UTF-16 unit. */
    unsigned char kind[256];
    WCHAR unit[256];
};

static int SameName(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        char x = *a >= 'a' && *a <= 'z' ? (char)(*a - 'a' + 'A') : *a;
        char y = *b >= 'a' && *b <= 'z' ? (char)(*b - 'a' + 'A') : *b;
        if (x != y) {
            return 0;
        }
    }
    return *a == *b;
}

/* The number after prefix in name, or 0 when name is not prefix + digits. */
static unsigned NumberAfter(const char* name, const char* prefix) {
    size_t length = strlen(prefix);
    unsigned number = 0;
    char head[16];
    if (strlen(name) <= length || length >= sizeof head) {
        return 0;
    }
    memcpy(head, name, length);
    head[length] = '\0';
    if (!SameName(head, prefix)) {
        return 0;
    }
    for (name += length; *name != '\0'; ++name) {
        if (*name < '0' || *name > '9' || number > 99999) {
            return 0;
        }
        number = number * 10 + (unsigned)(*name - '0');
    }
    return number;
}

/* The Windows code page an iconv name stands for; 0 when it is unknown or
 * one this converter cannot step through character by character. */
static unsigned CodePageOf(const char* name) {
    static const struct {
        const char* name;
        unsigned codePage;
    } named[] = {{"UTF-8", kUtf8},           {"UTF8", kUtf8},
                 {"UTF-16LE", kUtf16Le},     {"UTF16LE", kUtf16Le},
                 {"ASCII", kAscii},          {"US-ASCII", kAscii},
                 {"ANSI_X3.4-1968", kAscii}, {"MACROMAN", kMacRoman},
                 {"MACINTOSH", kMacRoman},   {"GBK", kGbk}};
    size_t i;
    unsigned number;
    CPINFO info;
    for (i = 0; i < sizeof named / sizeof named[0]; ++i) {
        if (SameName(name, named[i].name)) {
            return named[i].codePage;
        }
    }
    number = NumberAfter(name, "CP");
    if (number == 0) {
        number = NumberAfter(name, "WINDOWS-");
    }
    if (number == kUtf8 || number == kUtf16Le || number == kAscii) {
        return number;
    }
    if (number == 0 || !IsValidCodePage(number) || !GetCPInfo(number, &info) ||
        info.MaxCharSize > 2) {
        return 0;
    }
    return number;
}

static void ReadCodePage(struct Converter* c) {
    int byte;
    for (byte = 0; byte < 256; ++byte) {
        char in = (char)byte;
        WCHAR wide = 0;
        if (c->from == kAscii) {
            c->kind[byte] = byte < 0x80 ? kSingle : kInvalid;
            c->unit[byte] = (WCHAR)byte;
        } else if (IsDBCSLeadByteEx(c->from, (BYTE)byte)) {
            c->kind[byte] = kLead;
        } else if (MultiByteToWideChar(c->from, MB_ERR_INVALID_CHARS, &in, 1, &wide, 1) == 1) {
            c->kind[byte] = kSingle;
            c->unit[byte] = wide;
        } else {
            c->kind[byte] = kInvalid;
        }
    }
}

iconv_t iconv_open(const char* tocode, const char* fromcode) {
    unsigned to = tocode != NULL ? CodePageOf(tocode) : 0;
    unsigned from = fromcode != NULL ? CodePageOf(fromcode) : 0;
    struct Converter* c;
    if (to == 0 || from == 0) {
        errno = EINVAL;
        return (iconv_t)-1;
    }
    c = (struct Converter*)calloc(1, sizeof *c);
    if (c == NULL) {
        errno = ENOMEM;
        return (iconv_t)-1;
    }
    c->from = from;
    c->to = to;
    if (from != kUtf8 && from != kUtf16Le) {
        ReadCodePage(c);
    }
    return c;
}

int iconv_close(iconv_t cd) {
    if (cd == NULL || cd == (iconv_t)-1) {
        errno = EBADF;
        return -1;
    }
    free(cd);
    return 0;
}

/* The UTF-8 sequence at in as UTF-16: its length in bytes, or 0 with errno
 * EILSEQ when it is malformed, EINVAL when the input ends inside it. */
static size_t DecodeUtf8(const unsigned char* in, size_t left, WCHAR wide[2], int* units) {
    unsigned lead = in[0], point, low = 0x80, high = 0xBF;
    size_t length, i;
    if (lead < 0x80) {
        wide[0] = (WCHAR)lead;
        *units = 1;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        point = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        point = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;  /* no overlong form */
        high = lead == 0xED ? 0x9F : 0xBF; /* no surrogate */
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        point = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF; /* nothing beyond U+10FFFF */
    } else {
        errno = EILSEQ;
        return 0;
    }
    for (i = 1; i < length; ++i) {
        if (i == left) {
            errno = EINVAL;
            return 0;
        }
        if (in[i] < low || in[i] > high) {
            errno = EILSEQ;
            return 0;
        }
        point = (point << 6) | (in[i] & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    if (point >= 0x10000) {
        point -= 0x10000;
        wide[0] = (WCHAR)(0xD800 | (point >> 10));
        wide[1] = (WCHAR)(0xDC00 | (point & 0x3FF));
        *units = 2;
    } else {
        wide[0] = (WCHAR)point;
        *units = 1;
    }
    return length;
}

static size_t DecodeUtf16Le(const unsigned char* in, size_t left, WCHAR wide[2], int* units) {
    if (left < 2) {
        errno = EINVAL;
        return 0;
    }
    wide[0] = (WCHAR)(in[0] | (in[1] << 8));
    *units = 1;
    if (wide[0] >= 0xDC00 && wide[0] <= 0xDFFF) {
        errno = EILSEQ;
        return 0;
    }
    if (wide[0] < 0xD800 || wide[0] > 0xDBFF) {
        return 2;
    }
    if (left < 4) {
        errno = EINVAL;
        return 0;
    }
    wide[1] = (WCHAR)(in[2] | (in[3] << 8));
    if (wide[1] < 0xDC00 || wide[1] > 0xDFFF) {
        errno = EILSEQ;
        return 0;
    }
    *units = 2;
    return 4;
}

static size_t DecodeCodePage(const struct Converter* c, const unsigned char* in, size_t left,
                             WCHAR wide[2], int* units) {
    switch (c->kind[in[0]]) {
        case kSingle:
            wide[0] = c->unit[in[0]];
            *units = 1;
            return 1;
        case kLead:
            if (left < 2) {
                errno = EINVAL;
                return 0;
            }
            *units =
                MultiByteToWideChar(c->from, MB_ERR_INVALID_CHARS, (const char*)in, 2, wide, 2);
            if (*units > 0) {
                return 2;
            }
            break;
        default:
            break;
    }
    errno = EILSEQ;
    return 0;
}

/* One character, as UTF-16, into the target's bytes: their count, or 0 with
 * errno EILSEQ when the target has no such character. */
static size_t Encode(unsigned to, const WCHAR wide[2], int units, unsigned char out[8]) {
    unsigned point = wide[0];
    BOOL usedDefault = FALSE;
    int written;
    if (to == kUtf16Le) {
        memcpy(out, wide, (size_t)units * 2);
        return (size_t)units * 2;
    }
    if (units == 2) {
        point = 0x10000 + (((point & 0x3FF) << 10) | (wide[1] & 0x3FF));
    }
    if (to == kUtf8) {
        if (point < 0x80) {
            out[0] = (unsigned char)point;
            return 1;
        }
        if (point < 0x800) {
            out[0] = (unsigned char)(0xC0 | (point >> 6));
            out[1] = (unsigned char)(0x80 | (point & 0x3F));
            return 2;
        }
        if (point < 0x10000) {
            out[0] = (unsigned char)(0xE0 | (point >> 12));
            out[1] = (unsigned char)(0x80 | ((point >> 6) & 0x3F));
            out[2] = (unsigned char)(0x80 | (point & 0x3F));
            return 3;
        }
        out[0] = (unsigned char)(0xF0 | (point >> 18));
        out[1] = (unsigned char)(0x80 | ((point >> 12) & 0x3F));
        out[2] = (unsigned char)(0x80 | ((point >> 6) & 0x3F));
        out[3] = (unsigned char)(0x80 | (point & 0x3F));
        return 4;
    }
    if (to == kAscii) {
        if (point < 0x80) {
            out[0] = (unsigned char)point;
            return 1;
        }
        errno = EILSEQ;
        return 0;
    }
    /* Best-fit mappings would change the text silently ('?' for what the
     * code page lacks): such a character is an error, as in iconv. */
    written = WideCharToMultiByte(to, WC_NO_BEST_FIT_CHARS, wide, units, (char*)out, 8, NULL,
                                  &usedDefault);
    if (written <= 0 || usedDefault) {
        errno = EILSEQ;
        return 0;
    }
    return (size_t)written;
}

size_t iconv(iconv_t cd, char** inbuf, size_t* inbytesleft, char** outbuf, size_t* outbytesleft) {
    const struct Converter* c = (const struct Converter*)cd;
    if (cd == NULL || cd == (iconv_t)-1) {
        errno = EBADF;
        return (size_t)-1;
    }
    if (inbuf == NULL || *inbuf == NULL) {
        return 0; /* no shift state in any of these encodings */
    }
    while (*inbytesleft > 0) {
        const unsigned char* in = (const unsigned char*)*inbuf;
        WCHAR wide[2];
        int units = 0;
        unsigned char bytes[8];
        size_t used = c->from == kUtf8      ? DecodeUtf8(in, *inbytesleft, wide, &units)
                      : c->from == kUtf16Le ? DecodeUtf16Le(in, *inbytesleft, wide, &units)
                                            : DecodeCodePage(c, in, *inbytesleft, wide, &units);
        size_t written = used == 0 ? 0 : Encode(c->to, wide, units, bytes);
        if (written == 0) {
            return (size_t)-1;
        }
        if (outbuf == NULL || *outbuf == NULL || outbytesleft == NULL || written > *outbytesleft) {
            errno = E2BIG;
            return (size_t)-1;
        }
        memcpy(*outbuf, bytes, written);
        *outbuf += written;
        *outbytesleft -= written;
        *inbuf += used;
        *inbytesleft -= used;
    }
    return 0;
}

const char* locale_charset(void) {
    static char name[16];
    UINT codePage = GetACP();
    if (codePage == kUtf8) {
        return "UTF-8";
    }
    snprintf(name, sizeof name, "CP%u", codePage);
    return name;
}
