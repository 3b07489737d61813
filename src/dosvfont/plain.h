// What went wrong, in plain words, for the web page: a run's failure said
// to a hobbyist rather than to a shell ("This file is not a font: it
// begins like a JPEG picture."), beside the program's own line.
#pragma once

#include <cstddef>
#include <string>

// The plain words for a run that ended with status on the input data (n
// bytes), whose messages (standard error's lines) say why; "" when the run
// succeeded.
std::string plainwords(int status, const unsigned char *data, size_t n,
                       const std::string &messages);
