// wiringPi's setup, pin modes and delays, which the Raspberry Pi drivers
// call and the emulated panels ignore: defined here for the program that
// includes this (once), beside its own pin reads and writes.
#pragma once

extern "C" {
int wiringPiSetup(void) {
  return 0;
}
int wiringPiSetupGpio(void) {
  return 0;
}
void pinMode(int, int) {}
void delay(unsigned int) {}
void delayMicroseconds(unsigned int) {}
}
