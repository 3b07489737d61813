// Each stage's record filled from the front end's options.
#include "dosvfont/records.h"

#include <cstdio>

#include "display/targets.h"

recodeopts recodeoptsof(const options *o, bool bysource) {
  recodeopts r = recodeopts();
  bool ranged = (o->given & GAVERANGE) && !bysource;
  r.kind = o->kind;
  r.codes = o->codes;
  r.charset = o->charset;
  r.width = o->width;
  r.name = fontxout(o->format) && !o->info ? o->name : nullptr;
  r.first = ranged ? o->first : 0;
  r.last = ranged ? o->last : 0xFFFF;
  r.bytext = (o->given & GAVETEXT) != 0;
  r.text = o->text;
  r.ntext = o->ntext;
  r.drawtext = o->showonly;
  r.progress = o->progress;
  r.style.bold = o->bold;
  r.style.italic = o->italic;
  r.style.underline = o->underline;
  r.style.strikeout = o->strikeout;
  r.style.pictures = o->pictures;
  // A reader's defaults, after -c and -e and before a FONTX2 source's own
  // set: the sets it looks codes up in, the kind it reads, a cell width it
  // reads right.
  if (const target *t = o->reader) {
    if (!r.codes) r.codes = t->dbcs;
    if (!r.charset) r.charset = t->sbcs;
    if (t->singleonly && r.kind == ANYKIND) r.kind = SINGLEBYTE;
    r.widthfor = targetwidth;
    r.widthrule = t;
  }
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

copts coptsof(const options *o, char *name, size_t size) {
  copts c = copts();
  if (o->cname)
    snprintf(name, size, "%s", o->cname);
  else if (o->outpath)
    cname(o->outpath, 1, name, size);
  else if (o->name)
    cname(o->name, 0, name, size);
  else
    cname(o->path ? o->path : "font", 1, name, size);
  c.name = name;
  return c;
}

sheetopts sheetoptsof(const options *o, const unsigned char *chosen) {
  sheetopts so = sheetopts();
  so.scale = o->scale;
  so.chosen = chosen;
  return so;
}
