// Shift_JIS to JIS X 0208 code arithmetic, no tables.
#pragma once

#include <cstdint>

// JIS code (row << 8 | cell) for a Shift_JIS code (lead << 8 | trail).
// Runs for any 16-bit value without a range check: codes that are not
// Shift_JIS give rows or cells outside 0x21-0x7E, or a negative number for
// codes below 0x709F, and distinct codes can give the same result (a trail
// byte 0x7F gives the same cell as 0x80).
int32_t stoj(uint16_t code);

// 1 when code is a Shift_JIS double-byte code: lead byte 0x81-0x9F or
// 0xE0-0xFC, trail byte 0x40-0x7E or 0x80-0xFC. Only these map one to one.
int issjis(uint16_t code);

// The Shift_JIS code of a JIS code, the exact inverse of stoj for every
// row stoj gives a Shift_JIS code (0x21-0x98) and every cell 0x21-0x7E;
// -1 outside them.
int32_t jtos(int32_t jis);
