// The ESP-IDF display components (esp-idf-ili9340, and esp-idf-st7789 when
// built with -DST7789) drawing a text on an emulated panel: their own
// lcdInit and lcdDrawString, their SPI writes decoded by a DCS controller.
// A line is one lcdDrawString call at x = 0 with y its bottom row, as the
// components' examples place text (y - (h - 1) is the glyph's top); the one
// font is opened as the examples open it, with InitFontx(fx, path, "").
#include <cstring>

#include "harness.h"

extern "C" {
#ifdef ST7789
#include "st7789.h"
#else
#include "ili9340.h"
#endif
}

namespace {
harness h;
dcs panel;
} // namespace

extern "C" {
void vTaskDelay(TickType_t) {}
esp_err_t gpio_config(const gpio_config_t *) {
  return ESP_OK;
}
esp_err_t gpio_reset_pin(int) {
  return ESP_OK;
}
esp_err_t gpio_set_direction(int, int) {
  return ESP_OK;
}
esp_err_t gpio_set_level(int pin, uint32_t level) {
  if (pin == 2) panel.dc = static_cast<int>(level); // the D/C pin below
  return ESP_OK;
}
int gpio_get_level(int) {
  return 1;
}
esp_err_t spi_bus_initialize(int, const spi_bus_config_t *, int) {
  return ESP_OK;
}
esp_err_t spi_bus_add_device(int, const spi_device_interface_config_t *,
                             spi_device_handle_t *) {
  return ESP_OK;
}
esp_err_t spi_device_transmit(spi_device_handle_t, spi_transaction_t *t) {
  const uint8_t *b = static_cast<const uint8_t *>(t->tx_buffer);
  for (size_t i = 0; i < t->length / 8; i++) panel.byte(b[i]);
  return ESP_OK;
}
esp_err_t spi_device_polling_transmit(spi_device_handle_t d,
                                      spi_transaction_t *t) {
  return spi_device_transmit(d, t);
}
}

int main(int argc, char **argv) {
  harnessopen(&h, argc, argv);
  panel.h = &h;
  TFT_t dev;
  memset(&dev, 0, sizeof dev);
  dev._dc = 2, dev._bl = -1;
#ifdef ST7789
  lcdInit(&dev, h.width, h.height, 0, 0);
#else
  dev._irq = -1;
  lcdInit(&dev, 0x9341, h.width, h.height, 0, 0);
#endif
  // lcdInit may clear nothing; the emulated memory starts black.
  h.px.assign(h.px.size(), 0);
  FontxFile fx[2];
  InitFontx(fx, h.fonts[0].c_str(), "");
  for (size_t i = 0; i < h.lines.size(); i++) {
    long top = linetop(&h, i);
    if (top < 0) break;
    std::string line = h.lines[i];
    lcdDrawString(&dev, fx, 0, static_cast<uint16_t>(top + h.lineheight - 1),
                  reinterpret_cast<uint8_t *>(&line[0]), 0xFFFF);
  }
  harnessclose(&h);
  return 0;
}
