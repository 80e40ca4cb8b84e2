#pragma once

/* The character set of the ANSI code page of this process, as an
 * iconv_open name ("CP936", "UTF-8"). */

#ifdef __cplusplus
extern "C" {
#endif

const char* locale_charset(void);

#ifdef __cplusplus
}
#endif
