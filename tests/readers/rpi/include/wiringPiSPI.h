// wiringPi's SPI calls, for a host: the bytes go to the emulated
// controller (oled.cpp).
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

int wiringPiSPISetup(int channel, int speed);
int wiringPiSPIDataRW(int channel, unsigned char *data, int len);

#ifdef __cplusplus
}
#endif
