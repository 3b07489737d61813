// What hagl's character drawing needs beneath it, for building it on a
// host: a surface that takes pixels through a clip window, a bitmap, and a
// blit that puts every pixel of the bitmap (background too) through the
// clip, as hagl does for a HAL without a blit of its own (hagl.cpp).
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint16_t hagl_color_t;

typedef struct {
  uint16_t x0, y0, x1, y1;
} hagl_window_t;

typedef struct {
  uint16_t width, height;
  uint8_t depth;
  uint16_t pitch;
  uint32_t size;
  uint8_t *buffer;
} hagl_bitmap_t;

typedef struct {
  int16_t width, height;
  uint8_t depth;
  hagl_window_t clip;
  void (*put_pixel)(void *self, int16_t x0, int16_t y0, hagl_color_t color);
} hagl_surface_t;

typedef hagl_surface_t hagl_backend_t;

void hagl_bitmap_init(hagl_bitmap_t *bitmap, int16_t width, uint16_t height,
                      uint8_t depth, void *buffer);
void hagl_put_pixel(void const *surface, int16_t x0, int16_t y0,
                    hagl_color_t color);
void hagl_blit(void const *surface, int16_t x0, int16_t y0,
               hagl_bitmap_t *source);

#ifdef __cplusplus
}
#endif
