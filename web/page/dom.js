// The page's elements by id, and the names and lists the page's modules
// share: the charsets offered, the text's file name, the styles' flags,
// the display readers by the fonts they read, each option's spelling.

export const $ = (id) => document.getElementById(id);
export const charsets = ["ISO-8859-1", "ISO-8859-2", "ISO-8859-3", "ISO-8859-4",
  "ISO-8859-5", "ISO-8859-6", "ISO-8859-7", "ISO-8859-8", "ISO-8859-9",
  "ISO-8859-10", "ISO-8859-11", "ISO-8859-13", "ISO-8859-14", "ISO-8859-15",
  "ISO-8859-16", "KOI8-R", "KOI8-U", "CP437", "CP737", "CP775", "CP850",
  "CP852", "CP855", "CP857", "CP860", "CP861", "CP862", "CP863", "CP865",
  "CP866", "CP869", "CP1250", "CP1251", "CP1252", "CP1253", "CP1254",
  "CP1255", "CP1256", "CP1257", "CP1258", "CP932"];
export const TEXTFILE = "menu.txt";
export const styles = { bold: "--bold", italic: "--italic", underline: "--underline",
                 strikeout: "--strikeout", pictures: "--control-pictures" };

// The display readers that draw with one single-byte font.
export const singleonly = () => ["esp-idf", "esp-idf-st7789"].includes($("target").value);

// The display readers that load a half-width and a full-width font.
export const pairreaders = ["rpi-tft", "rpi-oled", "arduino-fontx", "stm32-fontx"];

// Beside each option, its spelling as it stands: "-s 16", or the form.
export const spellings = { size: ["-s", "N"], fit: ["--fit", "line|em"],
  kind: ["-k", "single|double"], width: ["-w", "N"], codes: ["-c", "SET"],
  charset: ["-e", "NAME"], name: ["-n", "NAME"], target: ["--target", "NAME"] };
