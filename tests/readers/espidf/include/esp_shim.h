// The few ESP-IDF declarations the display components use, for building
// them on a host against an emulated SPI bus and GPIO (espidf.cpp).
#pragma once

#include <assert.h>
#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int esp_err_t;
#define ESP_OK 0
typedef uint32_t TickType_t;
#define portTICK_PERIOD_MS 10
#define pdMS_TO_TICKS(ms) ((TickType_t)(ms) / portTICK_PERIOD_MS)
void vTaskDelay(TickType_t ticks);

#define ESP_LOGI(tag, ...) ((void)(tag))
#define ESP_LOGD(tag, ...) ((void)(tag))
#define ESP_LOGW(tag, ...) ((void)(tag))
#define ESP_LOGE(tag, ...) ((void)(tag))

typedef int gpio_num_t;
typedef enum {
  GPIO_MODE_INPUT = 1,
  GPIO_MODE_OUTPUT = 2,
  GPIO_MODE_DEF_INPUT = 1
} gpio_mode_t;
typedef enum { GPIO_INTR_DISABLE = 0 } gpio_int_type_t;
typedef struct {
  uint64_t pin_bit_mask;
  int mode, pull_up_en, pull_down_en, intr_type;
} gpio_config_t;
esp_err_t gpio_config(const gpio_config_t *c);
esp_err_t gpio_reset_pin(int pin);
esp_err_t gpio_set_direction(int pin, int mode);
esp_err_t gpio_set_level(int pin, uint32_t level);
int gpio_get_level(int pin);

typedef int spi_host_device_t;
#define SPI2_HOST 1
#define SPI3_HOST 2
#define SPI_DMA_CH_AUTO 3
#define SPI_DEVICE_NO_DUMMY 0
#define SPI_MASTER_FREQ_10M 10000000
#define SPI_MASTER_FREQ_20M 20000000
#define SPI_MASTER_FREQ_40M 40000000
typedef struct spi_device *spi_device_handle_t;
typedef struct {
  int mosi_io_num, miso_io_num, sclk_io_num, quadwp_io_num, quadhd_io_num;
  int max_transfer_sz, flags;
} spi_bus_config_t;
typedef struct {
  int clock_speed_hz, queue_size, mode, flags, spics_io_num;
} spi_device_interface_config_t;
typedef struct {
  uint32_t flags;
  size_t length, rxlength;
  const void *tx_buffer;
  void *rx_buffer;
  uint8_t tx_data[4], rx_data[4];
} spi_transaction_t;
esp_err_t spi_bus_initialize(int host, const spi_bus_config_t *c, int dma);
esp_err_t spi_bus_add_device(int host, const spi_device_interface_config_t *c,
                             spi_device_handle_t *h);
esp_err_t spi_device_transmit(spi_device_handle_t h, spi_transaction_t *t);
esp_err_t spi_device_polling_transmit(spi_device_handle_t h,
                                      spi_transaction_t *t);

#define MALLOC_CAP_DEFAULT 1
#define MALLOC_CAP_INTERNAL 2
#define MALLOC_CAP_SPIRAM 4
#define heap_caps_malloc(n, caps) malloc(n)
#define heap_caps_get_free_size(caps) 0
#define esp_get_free_heap_size() 0u

#ifdef __cplusplus
}
#endif
