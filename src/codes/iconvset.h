// Code sets through the C library's iconv: the back end of cset.h for the
// sets it has no table of, and what the tables are made from at build time
// (gentables.cpp). The calls are those of cset.h, for one set.
#pragma once

#include <cstddef>
#include <cstdint>

struct iconvset;

// The set iconv knows by that name, or null.
iconvset *icopen(const char *name);
void icclose(iconvset *c);
int icdecode(iconvset *c, const unsigned char *in, size_t n, uint32_t *u,
             int max);
int icencode(iconvset *c, uint32_t u, unsigned char *out, size_t size);
