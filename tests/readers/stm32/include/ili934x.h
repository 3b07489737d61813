// The display device beneath nemuisan's display support code, for a host:
// a controller whose window Display_rect_if sets and whose pixel writes
// Display_wr_dat_if makes, left to right and top to bottom in the window,
// an address past the panel dropped (stm32.cpp). MAX_X and MAX_Y are the
// panel's size, set by the harness.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

extern int panel_width, panel_height;
#define MAX_X panel_width
#define MAX_Y panel_height
#define FrontG 0xFFFF // the text's colours before Display_ChrCol
#define BackG 0x0000

void Display_rect_if(uint32_t xs, uint32_t xe, uint32_t ys, uint32_t ye);
void Display_wr_dat_if(uint16_t colour);
void Display_clear_if(void);

#define LD_UINT16(p) ((uint16_t)((p)[0] | (p)[1] << 8))
#define LD_UINT32(p)                                                           \
  ((uint32_t)((p)[0] | (p)[1] << 8 | (uint32_t)(p)[2] << 16 |                  \
              (uint32_t)(p)[3] << 24))

#ifdef __cplusplus
}
#endif
