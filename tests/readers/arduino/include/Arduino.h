// The Arduino core as much as h-nari's Fontx and Humblesoft_GFX use of it,
// for building them on a host: flash reads that are plain reads, and a
// Serial that prints to standard error.
#pragma once

#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

#define PROGMEM
#define pgm_read_byte(p) (*(const uint8_t *)(p))
#define pgm_read_word(p) (*(const uint16_t *)(p))
#define pgm_read_dword(p) (*(const uint32_t *)(p))

#ifdef __cplusplus
typedef bool boolean;

struct HardwareSerial {
  int printf(const char *fmt, ...) __attribute__((format(printf, 2, 3))) {
    va_list ap;
    va_start(ap, fmt);
    int n = vfprintf(stderr, fmt, ap);
    va_end(ap);
    return n;
  }
};
extern HardwareSerial Serial;
#endif
