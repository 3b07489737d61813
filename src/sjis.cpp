#include "sjis.h"

int32_t stoj(uint16_t code) {
  int32_t hi = code >> 8;
  int32_t lo = code & 0xFF;
  int32_t row, cell;
  if (hi > 0xDF) hi -= 0x40; // 0xE0.. continues the rows after 0x9F
  if (lo > 0x9E) {           // even row
    row = 2 * hi - 0xE0;
    cell = lo - 0x7E;
  } else { // odd row; trail bytes skip 0x7F
    row = 2 * hi - 0xE1;
    if (lo > 0x7F) lo--;
    cell = lo - 0x1F;
  }
  return row * 256 + cell;
}

int issjis(uint16_t code) {
  unsigned hi = code >> 8, lo = code & 0xFF;
  int lead = (hi >= 0x81 && hi <= 0x9F) || (hi >= 0xE0 && hi <= 0xFC);
  int trail = lo >= 0x40 && lo <= 0xFC && lo != 0x7F;
  return lead && trail;
}
