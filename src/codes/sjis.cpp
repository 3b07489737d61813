// Shift_JIS and JIS X 0208 codes, each from the other, by arithmetic.
#include "codes/sjis.h"

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

int32_t jtos(int32_t jis) {
  int32_t row = jis >> 8, cell = jis & 0xFF, hi, lo;
  if (jis < 0 || row < 0x21 || row > 0x98 || cell < 0x21 || cell > 0x7E)
    return -1;
  if (row & 1) { // odd rows take the trail bytes 0x40-0x9E, skipping 0x7F
    hi = (row + 0xE1) / 2;
    lo = cell + 0x1F;
    if (lo >= 0x7F) lo++;
  } else {
    hi = (row + 0xE0) / 2;
    lo = cell + 0x7E;
  }
  if (hi > 0x9F) hi += 0x40;
  return hi << 8 | lo;
}
