// The built page in a real browser: Debian's Chromium, headless, driven
// by puppeteer-core. It opens index.html from disk, loads fonts through the
// file input, sets options as a user would, downloads the results and
// compares them, byte for byte, with what the native dosvfont writes when
// run with the command line the page shows: FONTX2, the pair, C source,
// BDF, proof sheets, the display preview, subsets and the five styles. It
// drops what is no font (empty, a JPEG, random bytes, a cut-short FONTX2
// font) and checks what the page says; drops a second font over a first;
// types a name too long; runs a conversion out of memory. Keeps a
// screenshot of the page after a conversion.
//
//   node web/test/browser.mjs SITE DOSVFONT SAMPLE [SCREENSHOT]
//
// Exits 1 on any difference, and when Chromium cannot be started.
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { chromium } from "./chromium.mjs";

const [site, native, sample, shot] = process.argv.slice(2);
if (!site || !native || !sample) {
  console.error("usage: browser.mjs SITE DOSVFONT SAMPLE [SCREENSHOT]");
  process.exit(2);
}
const work = fs.mkdtempSync(path.join(os.tmpdir(), "dosvfont-web-"));
const downloads = path.join(work, "downloads");
const inputs = path.join(work, "inputs");
fs.mkdirSync(downloads);
fs.mkdirSync(inputs);

const misc = "/usr/share/fonts/X11/misc/";
const ipag = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
const cyrillic = path.join(inputs, "ter16-ISO8859-5.fnt");
execFileSync(native, [misc + "ter-u16n_iso-8859-5.pcf.gz", "-o", cyrillic]);

const browser = await chromium(path.join(work, "profile"));
let failed = 0;
const ok = (what) => console.log(`ok: ${what}`);
const notok = (what) => { console.error(`not ok: ${what}`); failed++; };

try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1000, height: 1100 });
  page.on("pageerror", (e) => notok("page error: " + e.message));
  const cdp = await page.createCDPSession();
  await cdp.send("Browser.setDownloadBehavior",
                 { behavior: "allow", downloadPath: downloads, eventsEnabled: true });
  await page.goto("file://" + path.resolve(site, "index.html"));
  // Settled: no work under way and every picture laid out. A picture still
  // decoding moves the buttons below it, and a click would land elsewhere.
  const idle = () => page.waitForFunction(
    () => document.body.dataset.busy === "0" && [...document.images].every((i) => i.complete),
    { timeout: 180000 });
  const text = (sel) => page.$eval(sel, (e) => e.textContent);
  const hidden = (sel) => page.$eval(sel, (e) => e.hidden || e.closest("[hidden]") !== null);

  async function load(file) {
    await (await page.$("#file")).uploadFile(file);
    await page.waitForFunction(() => document.getElementById("info").textContent ||
                               !document.getElementById("failure").hidden,
                               { timeout: 180000 });
    await idle();
  }
  async function set(values) {
    for (const [id, value] of Object.entries(values)) {
      await page.$eval("#" + id, (e, v) => {
        if (e.type === "checkbox") e.checked = v;
        else e.value = v;
        e.dispatchEvent(new Event(e.type === "checkbox" ? "change" : "change"));
      }, value);
      await idle();
    }
  }
  // Clicks a download button; the files it saves, as they arrive.
  async function take(button, count = 1) {
    const before = new Set(fs.readdirSync(downloads));
    await page.click("#dl-" + button);
    await idle();
    let files = [];
    for (let i = 0; i < 900 && files.length < count; i++) {
      files = fs.readdirSync(downloads).filter((f) => !before.has(f) && !f.endsWith(".crdownload"));
      if (files.length < count) await new Promise((r) => setTimeout(r, 100));
    }
    return files.map((f) => path.join(downloads, f));
  }
  // The native program run with the command line the page shows for a
  // file it saved, in a folder holding the text it names.
  function nativeof(file, font, shown) {
    const name = path.basename(file);
    const line = shown.find((l) => l.endsWith(" -o " + name));
    if (!line) return { line: `no command line shown for ${name}`, bytes: null };
    const args = line.split(" ").slice(1);
    const at = args.lastIndexOf("-o");
    args[at - 1] = path.resolve(font);
    // The same name in a folder of its own: C source names its array
    // after it.
    const dir = fs.mkdtempSync(path.join(work, "run-"));
    fs.writeFileSync(path.join(dir, "menu.txt"), shown.text || "");
    args[at + 1] = path.join(dir, name);
    try {
      execFileSync(path.resolve(native), args, { cwd: dir, stdio: ["ignore", "ignore", "pipe"] });
    } catch (e) {
      // a warning or a failure: the bytes decide
    }
    const out = args[at + 1];
    return { line, bytes: fs.existsSync(out) ? fs.readFileSync(out) : null };
  }
  async function shown() {
    const lines = await page.$$eval("#commands code", (cs) => cs.map((c) => c.textContent));
    lines.text = await page.$eval("#previewtext", (e) => e.value);
    return lines;
  }
  async function same(what, button, font, names, count = names.length) {
    const files = await take(button, count);
    const lines = await shown();
    if (files.length < count) return notok(`${what}: ${files.length} of ${count} files downloaded`);
    for (const f of files) {
      const n = nativeof(f, font, lines);
      const got = fs.readFileSync(f);
      if (!names.includes(path.basename(f)))
        notok(`${what}: saved as ${path.basename(f)}, not ${names.join(" or ")}`);
      else if (n.bytes && got.equals(n.bytes))
        ok(`${what}: ${path.basename(f)}, ${got.length} bytes as the command line's [${n.line}]`);
      else notok(`${what}: ${path.basename(f)} differs from [${n.line}]`);
      fs.rmSync(f);
    }
  }

  // Downloads of each kind, named by the rule and equal to the command line's.
  await load(sample);
  await same("a Shift_JIS FONTX2 font as Unicode BDF", "bdf", sample, ["sample.bdf"]);
  await same("its proof sheet", "png", sample, ["sample.png"]);
  await set({ codes: "unicode" });
  await same("re-coded to Unicode values", "fontx2", sample, ["sample-unicode.FNT"]);
  await same("as C source", "c", sample, ["sample-unicode.h"]);
  await set({ codes: "", bold: true, underline: true });
  await same("bold and underlined", "fontx2", sample, ["sample-bold-underline.FNT"]);
  await set({ bold: false, underline: false, italic: true, strikeout: true });
  await same("italic with a strikeout, as BDF", "bdf", sample, ["sample.bdf"]);
  await set({ italic: false, strikeout: false });
  await load(cyrillic);
  await same("a single-byte ISO 8859-5 FONTX2 font as Unicode BDF", "bdf", cyrillic,
             ["ter16-ISO8859-5.bdf"]);
  await load(misc + "jiskan16.pcf.gz");
  await same("a JIS X 0208 PCF font as FONTX2", "fontx2", misc + "jiskan16.pcf.gz",
             ["jiskan1616Z.FNT"]);

  // A CJK outline font: the pair in one click, the preview of a text as
  // the display draws it, a subset, C source, control-code pictures.
  const t0 = Date.now();
  await load(ipag);
  ok(`IPA Gothic read and drawn in ${Date.now() - t0} ms`);
  await same("IPA Gothic at 16 pixels as the FONTX2 pair", "pair", ipag,
             ["ipag16H.FNT", "ipag16Z.FNT"]);
  await same("as C source, both halves of the pair", "c", ipag, ["ipag16H.h", "ipag16Z.h"]);
  await same("the display preview", "show", ipag, ["ipag-display.png"]);
  await page.$eval("#previewtext", (e) => {
    e.value = "温度 23℃\nABC ｱｲｳ";
    e.dispatchEvent(new Event("input"));
  });
  await new Promise((r) => setTimeout(r, 600));
  await idle();
  await set({ target: "rpi-tft", screen: "240x240" });
  await same("the preview as the Raspberry Pi TFT driver draws it", "show", ipag,
             ["ipag-display.png"]);
  const check = await text("#check");
  if (check.includes("cell width: ok: 16")) ok("the fonts checked against rpi-tft");
  else notok(`no check for rpi-tft: ${JSON.stringify(check)}`);
  // A reader that cannot draw the text says so under the preview, in plain
  // words.
  await set({ target: "esp-idf" });
  const said = await text("#previewsaid");
  if (said.startsWith("As esp-idf draws it: each byte of the text is a single-byte code: 温 度 ℃"))
    ok("the characters esp-idf cannot draw named under the preview");
  else notok(`no note under the esp-idf preview: ${JSON.stringify(said)}`);
  // The font made for it is the single-byte one: named, described and
  // drawn as such.
  const cmds = await text("#commands"), described = await text("#info");
  if (cmds.includes("-o ipag16H.FNT") && cmds.includes("-o ipag16H.h") && !cmds.includes("16Z") &&
      described.includes("written: single-byte"))
    ok("for esp-idf the single-byte font is named H, described and drawn");
  else notok(`esp-idf naming: ${JSON.stringify({ cmds, described: described.slice(0, 300) })}`);
  await set({ target: "", subset: true });
  const sizes = await text("#sizes");
  // Counted as the program counts --text: the line feed is no character.
  if (/ipag16H\.FNT: [\d,]+ bytes, ipag16Z\.FNT: [\d,]+ bytes \(only the 12 characters/.test(sizes))
    ok(`the subset's sizes shown before the download: ${sizes}`);
  else notok(`no subset sizes: ${JSON.stringify(sizes)}`);
  await same("the pair of only the text's characters", "pair", ipag,
             ["ipag16H.FNT", "ipag16Z.FNT"]);
  const txt = await take("text");
  if (txt.length && fs.readFileSync(txt[0], "utf8") === "温度 23℃\nABC ｱｲｳ") ok("the text offered as menu.txt");
  else notok("the text was not offered as a file");
  txt.forEach((f) => fs.rmSync(f));
  await set({ subset: false, kind: "single", pictures: true });
  await same("a half-width font with the control-code pictures", "fontx2", ipag,
             ["ipag16H.FNT"]);
  await set({ pictures: false, kind: "" });

  // A name too long is marked as it is typed, and the mark goes when fixed.
  await page.$eval("#name", (e) => { e.value = "ABCDEFGHIJ"; e.dispatchEvent(new Event("input")); });
  const marked = await page.$eval("#name", (e) => e.classList.contains("bad"));
  const off = await page.$eval("#dl-pair", (e) => e.disabled);
  await page.$eval("#name", (e) => { e.value = "ABCDEFGH"; e.dispatchEvent(new Event("input")); });
  const unmarked = await page.$eval("#name", (e) => !e.classList.contains("bad"));
  if (marked && off && unmarked) ok("a name of 10 characters is marked at its field, downloads off, until fixed");
  else notok(`name marks: ${marked} ${off} ${unmarked}`);
  await page.$eval("#name", (e) => { e.value = ""; e.dispatchEvent(new Event("input")); });

  // What is no font: said at the top, in plain words and the program's
  // line; nothing of the font before stays, no download, no command.
  const jpeg = path.join(inputs, "photo.jpg");
  fs.writeFileSync(jpeg, Buffer.from([0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 0x4A, 0x46, 0x49, 0x46]));
  const empty = path.join(inputs, "empty.fnt");
  fs.writeFileSync(empty, "");
  const random = path.join(inputs, "random.bin");
  fs.writeFileSync(random, Buffer.from(Array.from({ length: 5000 }, (_, i) => (i * 7919 + 13) & 255)));
  const cut = path.join(inputs, "CUT16.FNT");
  fs.writeFileSync(cut, fs.readFileSync(sample).subarray(0, 400));
  const fragment = path.join(inputs, "FRAG.FNT");
  fs.writeFileSync(fragment, "FONTX2ABCD");
  for (const [file, words] of [[empty, "This file is empty"],
                               [jpeg, "it begins like a JPEG picture"],
                               [random, "This file is not a font"],
                               [fragment, "ends inside the 17-byte header"],
                               [cut, "cut short"]]) {
    await load(file);
    const plain = await text("#plain"), said = await text("#said");
    // Salvage offered only where a glyph is left: the cut-short font.
    const offered = !(await hidden("#dl-salvage"));
    if (offered !== (file === cut)) notok(`${path.basename(file)}: salvage offered: ${offered}`);
    const gone = await hidden("#getbox") && await hidden("#infobox") && await hidden("#sheetsection") &&
                 (await text("#commands")) === "";
    const top = await page.$eval("#failure", (e) => e.getBoundingClientRect().top);
    if (plain.includes(words) && said.startsWith("dosvfont: ") && gone && top < 1100)
      ok(`${path.basename(file)}: "${plain}" above "${said.split("\n")[0]}", nothing else shown`);
    else notok(`${path.basename(file)}: ${JSON.stringify({ plain, said, gone, top })}`);
  }
  // The cut-short font offers salvage, as --salvage writes it.
  const salvaged = await take("salvage");
  const want = (() => { try { return execFileSync(native, ["--salvage", "-f", "bdf", cut], { stdio: ["ignore", "pipe", "ignore"] }); }
                        catch (e) { return e.stdout; } })();
  if (salvaged.length && fs.readFileSync(salvaged[0]).equals(want))
    ok("a cut-short FONTX2 font salvaged as --salvage -f bdf writes it");
  else notok("salvage");

  // A download the display's check refuses is off, with the reason beside
  // it: a double-byte FONTX2 font for esp-idf.
  await load(sample);
  await set({ target: "esp-idf" });
  const shut = await page.$eval("#dl-fontx2", (e) => e.disabled) &&
               await page.$eval("#dl-c", (e) => e.disabled);
  const why = await text("#refused");
  if (shut && why.includes("Not for esp-idf: kind: a double-byte font") && why.includes("use -k single"))
    ok(`a download the check refuses is off, the reason beside it: "${why}"`);
  else notok(`refused download: ${JSON.stringify({ shut, why })}`);
  await set({ target: "" });

  // A second font dropped while the first is read wins cleanly.
  await (await page.$("#file")).uploadFile(ipag);
  await new Promise((r) => setTimeout(r, 50));
  const early = await text("#fontname");
  await (await page.$("#file")).uploadFile(sample);
  await page.waitForFunction(() => document.getElementById("info").textContent, { timeout: 180000 });
  await idle();
  await new Promise((r) => setTimeout(r, 500));
  await idle();
  const info = await text("#info"), msgs = await text("#messages");
  if (early === "ipag.ttf" && info.startsWith("format: FONTX2") && !msgs.includes("does not apply") &&
      await hidden("#failure"))
    ok("the name shows at once, and a second font dropped over the first wins cleanly");
  else notok(`second drop: ${JSON.stringify({ early, info: info.slice(0, 40), msgs })}`);

  // A font dropped anywhere on the page, not only on its box, is read and
  // not opened by the browser.
  const prevented = await page.evaluate((b64) => {
    const data = Uint8Array.from(atob(b64), (c) => c.charCodeAt(0));
    const dt = new DataTransfer();
    dt.items.add(new File([data], "dropped.fnt"));
    const ev = new DragEvent("drop", { dataTransfer: dt, bubbles: true, cancelable: true });
    document.getElementById("sheetsection").dispatchEvent(ev);
    return ev.defaultPrevented;
  }, fs.readFileSync(sample).toString("base64"));
  await page.waitForFunction(() => document.getElementById("fontname").textContent === "dropped.fnt" &&
                             document.getElementById("info").textContent, { timeout: 180000 });
  await idle();
  if (prevented) ok("a font dropped on the proof sheet is read, not opened by the browser");
  else notok("a drop outside the box was left to the browser");

  // On a phone the preview fits the page and the text box shows the
  // whole menu, by default.
  await page.setViewport({ width: 390, height: 844 });
  await page.$eval("#previewtext", (e) => {
    e.value = "設定 Settings\n温度 23.5℃\n湿度 45%\n戻る Back\nWi-Fi 接続中…";
    e.dispatchEvent(new Event("input"));
  });
  await new Promise((r) => setTimeout(r, 600));
  await idle();
  const phone = await page.evaluate(() => {
    const img = document.getElementById("preview"), t = document.getElementById("previewtext");
    return { fits: img.getBoundingClientRect().width <= document.getElementById("previewbox").clientWidth,
             lines: t.scrollHeight <= t.clientHeight + 1,
             page: document.documentElement.scrollWidth <= 390 };
  });
  if (phone.fits && phone.lines && phone.page)
    ok("at 390x844 the preview fits its box, the text box shows the whole menu, nothing scrolls sideways");
  else notok(`on a phone: ${JSON.stringify(phone)}`);
  await page.setViewport({ width: 1000, height: 1100 });
  await idle();

  // The proof sheet fits its box by whole pixels, or scrolls at 1x: no
  // grid line lost to a fractional scale.
  const fit = await page.$eval("#sheet", (e) => {
    const k = e.getBoundingClientRect().width / e.naturalWidth;
    return Number.isInteger(k) && k >= 1 &&
           (k === 1 || e.getBoundingClientRect().width <= document.getElementById("sheetbox").clientWidth);
  });
  if (fit) ok("the proof sheet fits the width of its box by whole pixels");
  else notok("the proof sheet is scaled by a fraction or wider than its box");

  // Memory that runs out is status 1 and the program's line; the next
  // conversion runs in a fresh module.
  const oom = await page.evaluate(async () => {
    const blocks = 255, n = 18 + 4 * blocks + blocks * 65536;
    const b = new Uint8Array(n);
    b.set(new TextEncoder().encode("FONTX2ONEPIXEL"));
    b[14] = 1; b[15] = 1; b[16] = 1; b[17] = blocks;
    for (let i = 0; i < blocks; i++) b.set([0, 0, 0xFF, 0xFF], 18 + 4 * i);
    const t = Date.now();
    const r = await dosvfont.convert(["-f", "bdf", "-c", "unicode"], b, "ONEPIXEL.FNT");
    const after = await dosvfont.convert(["--info"], b.subarray(0, 17 + 256), "small.fnt");
    return { status: r.status, messages: r.messages, ms: Date.now() - t, after: after.status };
  });
  if (oom.status === 1 && oom.messages.includes("dosvfont: out of memory") && oom.after === 0)
    ok(`a 16.7 MB font of 1x1 cells to BDF runs out of memory: status 1 and the line, ` +
       `then a fresh module converts (${oom.ms} ms)`);
  else notok(`out of memory: ${JSON.stringify(oom)}`);

  // Every set the page has, both ways, against the native program.
  const noise = (n, seed) => {
    const b = Buffer.alloc(n);
    let x = seed;
    for (let i = 0; i < n; i++) { x = (x * 1103515245 + 12345) >>> 0; b[i] = x >>> 24; }
    return b;
  };
  const head = (w, h, type) => Buffer.concat([Buffer.from("FONTX2SETS    "), Buffer.from([w, h, type])]);
  const single = Buffer.concat([head(8, 8, 0), noise(256 * 8, 1)]);
  const double = Buffer.concat([head(8, 2, 1), Buffer.from([1, 0x40, 0x81, 0xFE, 0xFE]),
                                noise((0xFEFE - 0x8140 + 1) * 2, 2)]);
  const sets = await page.evaluate(() => Array.from(document.getElementById("charset").options)
    .map((o) => o.value).filter((v) => v));
  const jobs = [
    ...sets.map((e) => ({ args: ["-e", e], font: single, name: "s.fnt" })),
    ...["sjis", "sjis2004", "unicode", "CP936", "BIG5", "CP949"].map((c) =>
      ({ args: ["-c", c], font: double, name: "d.fnt" })),
    ...sets.map((e) => ({ args: ["-f", "fontx2", "-k", "single", "-e", e],
                          file: misc + "unifont.pcf.gz" })),
    ...["sjis", "sjis2004", "CP936", "BIG5", "CP949"].map((c) =>
      ({ args: ["-f", "fontx2", "-k", "double", "-c", c], file: misc + "unifont.pcf.gz" })),
  ];
  let alike = 0;
  const t1 = Date.now();
  for (const j of jobs) {
    const bytes = j.font || fs.readFileSync(j.file);
    const input = path.join(inputs, j.name || path.basename(j.file));
    fs.writeFileSync(input, bytes);
    const r = await page.evaluate(async (b64, args, name) => {
      const bytes = Uint8Array.from(atob(b64), (c) => c.charCodeAt(0));
      const r = await dosvfont.convert(args, bytes, name);
      let s = "";
      for (let i = 0; i < r.output.length; i += 0x8000)
        s += String.fromCharCode(...r.output.subarray(i, i + 0x8000));
      return { status: r.status, output: btoa(s), messages: r.messages };
    }, bytes.toString("base64"), j.args, path.basename(input));
    let out, status = 0;
    try {
      out = execFileSync(native, [...j.args, input], { stdio: ["ignore", "pipe", "ignore"], maxBuffer: 1 << 28 });
    } catch (e) {
      out = e.stdout;
      status = e.status;
    }
    if (r.status === status && Buffer.from(r.output, "base64").equals(out)) alike++;
    else notok(`dosvfont ${j.args.join(" ")} ${path.basename(input)}: the page's output ` +
               `(status ${r.status}) differs from the native (status ${status})`);
  }
  ok(`${alike} of ${jobs.length} conversions in every set the page has are the command line's ` +
     `(${Date.now() - t1} ms)`);

  // An option the font cannot take is refused as on the command line.
  const r = await page.evaluate(async () => {
    const bytes = new Uint8Array(17 + 256 * 8);
    bytes.set(new TextEncoder().encode("FONTX2TEST    "));
    bytes[14] = 8; bytes[15] = 8;
    return dosvfont.convert(["-w", "8"], bytes, "test.fnt");
  });
  if (r.status === 2 && r.messages[0] === "dosvfont: -w applies when FONTX2 is written")
    ok("an option that does not apply is refused with the command line's message");
  else notok(`refusal: ${JSON.stringify(r)}`);
  if (shot) {
    await load(ipag);
    await page.screenshot({ path: shot, fullPage: true });
    console.log(`screenshot: ${shot}`);
  }
} finally {
  await browser.close();
  fs.rmSync(work, { recursive: true, force: true });
}
console.log(failed ? `${failed} failed` : "all passed");
process.exit(failed ? 1 : 0);
