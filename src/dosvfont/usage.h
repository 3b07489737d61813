// dosvfont's --help text: every option in a line or two.
#pragma once

extern const char usage[];
