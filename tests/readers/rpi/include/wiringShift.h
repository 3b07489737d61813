// wiringPi's bit-banged shift, declared for a host build; the harness
// drives the hardware SPI.
#pragma once

#include <stdint.h>

#define LSBFIRST 0
#define MSBFIRST 1

#ifdef __cplusplus
extern "C" {
#endif

void shiftOut(uint8_t dpin, uint8_t cpin, uint8_t order, uint8_t val);

#ifdef __cplusplus
}
#endif
