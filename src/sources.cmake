# The source lists, one per library, for every build that compiles them:
# the native programs, the tests, the fuzzers and the benchmark (the top
# CMakeLists.txt) and the web page (web/CMakeLists.txt). Paths are
# relative to this folder, the one include directory; the stages stand in
# the order of their folders below, and a file includes only headers of
# its own stage or of stages listed before it.
set(DOSV2BDF_SOURCES
  io/stream.cpp
  codes/sjis.cpp
  fontx/fontx.cpp
  writers/hex.cpp writers/bdf.cpp
  dosv2bdf/driver.cpp)

# dosvfont's stages and front end, as both its builds compile them, with
# the code-set tables that gentables makes (GENTABLES_SOURCES, a program
# run at build time); the native build adds iconv for the other sets and
# whole files, the web build its entry.
set(DOSVFONT_SOURCES
  codes/cset.cpp codes/csettable.cpp codes/codes.cpp codes/codenames.cpp
  codes/blocks.cpp codes/utf8.cpp
  fontx/glyphs.cpp fontx/fontxset.cpp fontx/guess.cpp fontx/evidence.cpp
  sources/source.cpp sources/bounds.cpp sources/composite.cpp sources/freetype.cpp sources/ftmemo.cpp
  sources/ftsize.cpp sources/ftstyle.cpp sources/ftload.cpp
  recode/codemap.cpp recode/recode.cpp recode/blit.cpp recode/patch.cpp
  recode/style.cpp recode/styled.cpp
  writers/bdfset.cpp writers/sheet.cpp writers/png.cpp writers/csource.cpp
  display/targets.cpp display/rules.cpp display/screen.cpp display/reader.cpp
  display/textcodes.cpp
  display/layout.cpp
  dosvfont/args.cpp dosvfont/checks.cpp dosvfont/fontxin.cpp dosvfont/info.cpp
  dosvfont/report.cpp dosvfont/records.cpp dosvfont/pipeline.cpp
  dosvfont/patching.cpp
  dosvfont/say.cpp dosvfont/usage.cpp dosvfont/fontxrun.cpp dosvfont/show.cpp
  dosvfont/texts.cpp dosvfont/values.cpp dosvfont/run.cpp)
set(DOSVFONT_NATIVE_SOURCES io/files.cpp codes/iconvset.cpp dosvfont/text.cpp)
set(DOSVFONT_WEB_SOURCES dosvfont/web.cpp dosvfont/plain.cpp)
set(GENTABLES_SOURCES codes/gentables.cpp codes/iconvset.cpp)

list(TRANSFORM DOSV2BDF_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
list(TRANSFORM DOSVFONT_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
list(TRANSFORM DOSVFONT_NATIVE_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
list(TRANSFORM DOSVFONT_WEB_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
list(TRANSFORM GENTABLES_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
