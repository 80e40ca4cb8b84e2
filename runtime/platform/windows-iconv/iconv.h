#pragma once

/* The iconv interface of the Windows build's static libiconv.a, over the
 * system's code pages (iconv.c). Built and installed into the dependency
 * prefix by scripts/windows/deps.sh for the libraries that need iconv. */

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef void* iconv_t;

/* A converter from fromcode to tocode: "UTF-8", "UTF-16LE", "ASCII",
 * "MacRoman", "GBK" or "CP<number>" for a Windows code page of at most two
 * bytes a character (case does not matter). (iconv_t)-1 with errno EINVAL
 * when either is unknown. */
iconv_t iconv_open(const char* tocode, const char* fromcode);

/* Converts whole characters from *inbuf to *outbuf, advancing both and
 * decreasing both counts. (size_t)-1 with errno E2BIG when the output is
 * full, EILSEQ at an invalid or unconvertible character, EINVAL at an
 * incomplete one at the end of the input: the pointers then stand before
 * that character. A NULL inbuf (or *inbuf) resets the converter, which has
 * no state to reset. Otherwise 0. */
size_t iconv(iconv_t cd, char** inbuf, size_t* inbytesleft, char** outbuf, size_t* outbytesleft);

int iconv_close(iconv_t cd);

#ifdef __cplusplus
}
#endif
