// wiringPi as the Raspberry Pi TFT library drives an 8080 bus with it, for
// a host: each pin's level kept, and a write strobe's rising edge handing
// the data pins' byte (a command where RS is low) to the emulated
// controller (rpi.cpp).
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define LOW 0
#define HIGH 1
#define INPUT 0
#define OUTPUT 1

int wiringPiSetup(void);
int wiringPiSetupGpio(void);
void pinMode(int pin, int mode);
void digitalWrite(int pin, int value);
int digitalRead(int pin);
void delay(unsigned int ms);
void delayMicroseconds(unsigned int us);

#ifdef __cplusplus
}
#endif
