// wiringPi's I2C calls, declared for a host build; the harness drives SPI.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

int wiringPiI2CSetup(int addr);
int wiringPiI2CWriteReg8(int fd, int reg, int data);
int wiringPiI2CWrite(int fd, int data);

#ifdef __cplusplus
}
#endif
