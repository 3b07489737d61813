// Each stage's record filled from the front end's options.
#include "dosvfont/records.h"

recodeopts recodeoptsof(const options *o, bool bysource) {
  recodeopts r = recodeopts();
  bool ranged = (o->given & GAVERANGE) && !bysource;
  r.kind = o->kind;
  r.codes = o->codes;
  r.charset = o->charset;
  r.width = o->width;
  r.name = o->format == FMTFONTX2 && !o->info ? o->name : nullptr;
  r.first = ranged ? o->first : 0;
  r.last = ranged ? o->last : 0xFFFF;
  r.bytext = (o->given & GAVETEXT) != 0;
  r.text = o->text;
  r.ntext = o->ntext;
  r.progress = o->progress;
  return r;
}

sourceopts sourceoptsof(const options *o) {
  sourceopts so = sourceopts();
  so.size = o->size;
  so.fit = o->fit;
  so.face = o->face;
  return so;
}

bdfopts bdfoptsof(const options *o, const unsigned char *chosen) {
  bdfopts b = bdfopts();
  b.numbering = o->numbering;
  b.family = o->name;
  b.foundry = o->foundry;
  b.encodedonly = o->encodedonly;
  b.chosen = chosen;
  return b;
}

sheetopts sheetoptsof(const options *o, const unsigned char *chosen) {
  sheetopts so = sheetopts();
  so.scale = o->scale;
  so.chosen = chosen;
  return so;
}
