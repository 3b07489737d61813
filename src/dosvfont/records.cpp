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
  r.style.bold = o->bold;
  r.style.italic = o->italic;
  r.style.underline = o->underline;
  r.style.strikeout = o->strikeout;
  r.style.pictures = o->pictures;
  return r;
}

sourceopts sourceoptsof(const options *o) {
  sourceopts so = sourceopts();
  so.size = o->size;
  so.fit = o->fit;
  so.face = o->face;
  so.bold = o->bold;
  so.italic = o->italic;
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
