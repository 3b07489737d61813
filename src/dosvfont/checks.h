// Which options apply to a run. An option that cannot change the output is
// refused (status 2) instead of ignored, naming when it applies; this can
// only be decided once the input has been read, since its format and kind
// decide what is written.
#pragma once

#include "dosvfont/options.h"

// What a run does, as far as the options that apply depend on it.
struct job {
  int fontx2;   // the input is a FONTX2 font
  int kind;     // its kind, or the kind of the FONTX2 font made, or ANYKIND
  int recoded;  // the glyphs are drawn into new FONTX2 cells (any input
                // but FONTX2, or FONTX2 written again)
  int rendered; // an outline font is rendered (not a bitmap strike)
  int jistext;  // BDF written as dosv2bdf writes it, every glyph its way
  int cp932;    // the glyph set written is CP932's single bytes
};

// Which of the options given apply to the job: 0, or 2 after saying which
// one does not apply, or which value does not fit the format written (-n,
// --foundry).
int checkoptions(const options *o, const job *s);
