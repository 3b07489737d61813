// The page's glyph editor, in Chromium or Firefox: IPA Gothic at 16 px
// dropped, a glyph opened from the proof sheet, the preview and "go to";
// every tool changes the pixels it should, undo and redo bring them back;
// the preview shows an edit (and how soon); a character the font lacks is
// added; every download equals the command line shown with the edits
// BDF; a reload restores the edits; at 390x844 nothing scrolls sideways
// (a screenshot is written where SHOT says).
//
//   node web/test/editor.mjs SITE DOSVFONT chromium|firefox [SHOT]
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import puppeteer from "puppeteer-core";
import { chromium } from "./chromium.mjs";

const [site, native, which, shot] = process.argv.slice(2);
const ipag = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
if (!fs.existsSync(ipag)) {
  console.log("skipped: needs fonts-ipafont-gothic");
  process.exit(0);
}
const work = fs.mkdtempSync(path.join(os.tmpdir(), "dosvfont-editor-"));
const downloads = path.join(work, "downloads");
fs.mkdirSync(downloads);
const browser = which === "firefox"
  ? await puppeteer.launch({ browser: "firefox", headless: true,
      executablePath: process.env.FIREFOX || "/usr/bin/firefox-esr",
      extraPrefsFirefox: { "browser.download.dir": downloads, "browser.download.folderList": 2,
                           "browser.download.useDownloadDir": true } })
  : await chromium(path.join(work, "profile"));
const said = { failed: 0 };
const ok = (what) => console.log(`ok: ${what}`);
function notok(what) {
  said.failed++;
  console.error(`not ok: ${what}`);
}

try {
  const page = await browser.newPage();
  page.on("pageerror", (e) => notok("page error: " + e.message));
  await page.setViewport({ width: 1000, height: 1100 });
  if (which !== "firefox") {
    const cdp = await page.createCDPSession();
    await cdp.send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: downloads });
  }
  await page.goto("file://" + path.resolve(site, "index.html"));
  await page.evaluate(() => localStorage.clear());
  const idle = () => page.waitForFunction(
    () => document.body.dataset.busy === "0" && [...document.images].every((i) => i.complete),
    { timeout: 180000 });
  const settle = async () => { await new Promise((r) => setTimeout(r, 900)); await idle(); };
  const pixels = () => page.$eval("#grid", (c) => c.dataset.pixels || "");
  const editing = () => page.$eval("#grid", (c) => +c.dataset.char);
  // A click at a point of an element, scrolled into view first.
  async function clickat(sel, x, y) {
    await page.$eval(sel, (e) => e.scrollIntoView({ block: "start" }));
    const b = await (await page.$(sel)).boundingBox();
    await page.mouse.click(b.x + x, b.y + y);
  }

  await (await page.$("#file")).uploadFile(ipag);
  await page.waitForFunction(() => document.getElementById("info").textContent, { timeout: 180000 });
  await idle();

  // Opened from the sheet: the first cell of its first row (0x8140, the
  // ideographic space).
  const nat = await page.$eval("#sheet", (i) => [i.naturalWidth, i.clientWidth]);
  const z = nat[1] / nat[0];
  await clickat("#sheet", (41 + 16) * z, 16 * z);
  await page.waitForFunction(() => document.getElementById("grid").dataset.char, { timeout: 30000 });
  const fromsheet = await editing();
  fromsheet === 0x3000 ? ok("a glyph opened from the proof sheet (U+3000)")
                       : notok(`the sheet opened ${fromsheet}`);

  // Opened from the preview: its first character, H.
  await clickat("#preview", 4, 6);
  await page.waitForFunction(() => document.getElementById("grid").dataset.char === "72", { timeout: 30000 })
    .then(() => ok("a glyph opened from the preview (H)"), () => notok("the preview opened no H"));

  // "Go to" the degree sign; each tool does what it should.
  await page.$eval("#goto", (e) => { e.value = "°"; });
  await page.click("#gotobtn");
  await page.waitForFunction(() => document.getElementById("grid").dataset.char === "176", { timeout: 30000 });
  const w = await page.$eval("#grid", (c) => +c.dataset.w);
  const grid = (p) => { const rows = []; for (let i = 0; i < p.length; i += w) rows.push(p.slice(i, i + w)); return rows; };
  const before = await pixels();
  const expect = {
    "t-fliph": (p) => grid(p).map((r) => [...r].reverse().join("")).join(""),
    "t-flipv": (p) => grid(p).reverse().join(""),
    "t-invert": (p) => [...p].map((c) => (c === "1" ? "0" : "1")).join(""),
    "t-right": (p) => grid(p).map((r) => "0" + r.slice(0, -1)).join(""),
    "t-left": (p) => grid(p).map((r) => r.slice(1) + "0").join(""),
    "t-down": (p) => "0".repeat(w) + p.slice(0, -w),
    "t-up": (p) => p.slice(w) + "0".repeat(w),
    "t-clear": (p) => "0".repeat(p.length),
  };
  for (const [id, f] of Object.entries(expect)) {
    const was = await pixels();
    await page.click("#" + id);
    const now = await pixels();
    now === f(was) ? ok(`${id.slice(2)} changes the pixels it should`) : notok(`${id.slice(2)}`);
  }
  // Shift with wrap: a pixel pushed out comes back on the other side.
  await page.click("#t-undo"); // back to before the clear
  await page.click("#wrap");
  const wrapwas = await pixels();
  await page.click("#t-left");
  const wrapped = grid(wrapwas).map((r) => r.slice(1) + r[0]).join("");
  (await pixels()) === wrapped ? ok("shift with wrap brings the pixels round") : notok("wrap");
  await page.click("#wrap");
  // Undo every step back to the font's glyph, then redo one.
  for (let i = 0; i < 9; i++) await page.click("#t-undo");
  (await pixels()) === before ? ok("undo brings back the font's glyph") : notok("undo");
  await page.click("#t-redo");
  (await pixels()) === expect["t-fliph"](before) ? ok("redo does the step again") : notok("redo");
  await page.click("#t-revert");
  (await pixels()) === before ? ok("revert gives the font's glyph back") : notok("revert");

  // The pen, by the keyboard and by a click: the preview follows within
  // a measured time.
  await page.focus("#grid");
  await page.keyboard.press("ArrowRight");
  await page.keyboard.press("ArrowDown");
  await page.keyboard.press(" ");
  const keyed = await pixels();
  keyed[1 * w + 1] !== before[1 * w + 1] ? ok("space toggles the pixel under the cursor") : notok("space");
  await page.keyboard.down(which === "firefox" ? "Control" : "Control");
  await page.keyboard.press("z");
  await page.keyboard.up("Control");
  (await pixels()) === before ? ok("Ctrl+Z undoes it") : notok("Ctrl+Z");
  await page.keyboard.down("Control");
  await page.keyboard.press("y");
  await page.keyboard.up("Control");
  (await pixels()) === keyed ? ok("Ctrl+Y redoes it") : notok("Ctrl+Y");
  const g = await (await page.$("#grid")).boundingBox();
  const previewwas = await page.$eval("#preview", (i) => i.src);
  await clickat("#grid", g.width - 4, g.height - 4);
  await page.waitForFunction((was) => document.getElementById("preview").src !== was &&
                             document.body.dataset.editms, { timeout: 30000 }, previewwas);
  const ms = await page.evaluate(() => +document.body.dataset.editms);
  ok(`the preview shows a click's edit ${ms} ms after it`);

  // A character the font lacks, added: U+E000 (CP932's 0xF040).
  await page.$eval("#goto", (e) => { e.value = "U+E000"; });
  await page.click("#gotobtn");
  await page.waitForFunction(() => !document.getElementById("addbtn").hidden, { timeout: 30000 });
  await page.click("#addbtn");
  await page.waitForFunction(() => document.getElementById("grid").dataset.char === "57344", { timeout: 30000 });
  await page.click("#t-invert");
  await settle();
  const count = await page.$eval("#editcount", (e) => e.textContent);
  count === "2 glyphs edited:" ? ok("the edits are listed: " + count) : notok(`listed: ${count}`);
  const marked = await page.$$eval("#sheetbox .mark", (m) => m.length);
  marked >= 1 ? ok(`edited glyphs marked on the sheet (${marked})`) : notok("no mark on the sheet");

  // Every download equals the command line shown, with the edits BDF.
  const shown = await page.$$eval("#commands code", (cs) => cs.map((c) => c.textContent));
  const edits = await page.evaluate(() => glypheditor.bdf("ipag"));
  const text = await page.$eval("#previewtext", (e) => e.value);
  shown.every((l) => l.includes("--patch ipag-edits.bdf")) ? ok("every command line has --patch ipag-edits.bdf")
                                                           : notok(`commands: ${shown.join(" | ")}`);
  for (const [button, count] of [["pair", 2], ["c", 2], ["png", 1], ["show", 1], ["edits", 1]]) {
    const was = new Set(fs.readdirSync(downloads));
    await page.click("#dl-" + button);
    await idle();
    let files = [];
    for (let i = 0; i < 300 && files.length < count; i++) {
      files = fs.readdirSync(downloads).filter((f) => !was.has(f) && !/\.(crdownload|part)$/.test(f));
      if (files.length < count) await new Promise((r) => setTimeout(r, 100));
    }
    if (files.length < count) { notok(`${button}: ${files.length} of ${count} downloaded`); continue; }
    for (const f of files) {
      const got = fs.readFileSync(path.join(downloads, f));
      if (button === "edits") {
        got.toString() === edits ? ok(`the edits download as ${f}`) : notok("the edits BDF");
        continue;
      }
      const line = shown.find((l) => l.endsWith(" -o " + f));
      const dir = fs.mkdtempSync(path.join(work, "run-"));
      fs.writeFileSync(path.join(dir, "menu.txt"), text);
      fs.writeFileSync(path.join(dir, "ipag-edits.bdf"), edits);
      const args = line.split(" ").slice(1);
      const at = args.lastIndexOf("-o");
      args[at - 1] = ipag;
      try { execFileSync(path.resolve(native), args, { cwd: dir, stdio: "ignore" }); } catch (e) { /* the bytes decide */ }
      const want = path.join(dir, f);
      fs.existsSync(want) && got.equals(fs.readFileSync(want))
        ? ok(`${f} as [${line}]`) : notok(`${f} differs from [${line}]`);
    }
  }

  // A reload restores the edits, and says so.
  await page.reload();
  await (await page.$("#file")).uploadFile(ipag);
  await page.waitForFunction(() => document.getElementById("info").textContent, { timeout: 180000 });
  await settle();
  const note = await page.$eval("#editnote", (e) => e.textContent);
  if (process.env.DEBUG) console.log(await page.evaluate(() => JSON.stringify([Object.keys(localStorage), editkey(), glypheditor.key(), glypheditor.count()])));
  const again = await page.evaluate(() => glypheditor.bdf("ipag"));
  again === edits && note.includes("2 edited glyphs of this font restored")
    ? ok(`a reload restores the edits: "${note.replace("Discard them", "").trim()}"`)
    : notok(`after a reload: ${note}`);

  // Copy and paste: the degree sign's glyph onto the Celsius sign's.
  await page.evaluate(() => glypheditor.open(176));
  const degree = await pixels();
  await page.click("#t-copy");
  await page.$eval("#goto", (e) => { e.value = "℃"; });
  await page.click("#gotobtn");
  await page.waitForFunction(() => document.getElementById("grid").dataset.char === "8451", { timeout: 30000 });
  await page.click("#t-paste");
  (await pixels()) === degree ? ok("a glyph copied and pasted onto another") : notok("paste");
  await settle();

  // A size of its own: the edits belong to 16 px and are kept for it;
  // back at 16 px they are there again.
  const set = async (id, v) => {
    await page.$eval("#" + id, (e, v) => { e.value = v; e.dispatchEvent(new Event("change")); }, v);
    await settle();
  };
  await set("size", "24");
  const away = await page.$eval("#editnote", (e) => e.textContent);
  const none = await page.evaluate(() => glypheditor.count());
  away.includes("3 edited glyphs belong to the other size or cell and are kept for it") && none === 0
    ? ok(`another size: "${away}"`) : notok(`another size: ${away} (${none} edits)`);
  await set("size", "16");
  (await page.evaluate(() => glypheditor.count())) === 3 ? ok("back at 16 px the edits are there")
                                                          : notok("the edits did not come back");

  // A BDF font dropped over the open font is offered as its edits.
  const bdf = path.join(work, "dot.bdf");
  fs.writeFileSync(bdf, 'STARTFONT 2.1\nFONT -x\nSIZE 16 75 75\nFONTBOUNDINGBOX 8 16 0 -3\n' +
    'STARTPROPERTIES 2\nCHARSET_REGISTRY "ISO10646"\nCHARSET_ENCODING "1"\nENDPROPERTIES\n' +
    "CHARS 1\nSTARTCHAR period\nENCODING 46\nDWIDTH 8 0\nBBX 2 2 3 0\nBITMAP\nC0\nC0\nENDCHAR\nENDFONT\n");
  // Dropped over the font, and taken as its edits.
  async function asedits(file) {
    await (await page.$("#file")).uploadFile(file);
    await page.waitForFunction((n) => document.getElementById("editnote").textContent.includes(n + ": use"),
                               { timeout: 30000 }, path.basename(file));
    await page.$$eval("#editnote button", (bs) => bs.find((b) => b.textContent === "Use as edits").click());
    await settle();
  }
  await asedits(bdf);
  const name = await page.$eval("#fontname", (e) => e.textContent);
  (await page.evaluate(() => glypheditor.count())) === 4 && name === "ipag.ttf"
    ? ok("a BDF font dropped over the font taken as its edits") : notok("the dropped BDF");

  // Edits the program refuses (a character no set of the font holds,
  // from a dropped BDF font) are said in plain words; the font and the
  // edits stay, and reverting the glyph mends it.
  const emoji = path.join(work, "emoji.bdf");
  fs.writeFileSync(emoji, fs.readFileSync(bdf, "utf8").replace("ENCODING 46", "ENCODING 128512"));
  await asedits(emoji);
  const plain = await page.$eval("#plain", (e) => e.textContent);
  const kept = await page.evaluate(() => glypheditor.count());
  plain.startsWith("An edited character has no place in the font") && kept === 5
    ? ok(`refused edits said in plain words, the edits kept: "${plain}"`)
    : notok(`refused edits: "${plain}", ${kept} edits`);
  await page.evaluate(() => glypheditor.open(0x1f600));
  await page.click("#t-revert");
  await settle();
  (await page.$eval("#failure", (e) => e.hidden)) ? ok("reverting the glyph mends the font")
                                                   : notok("still failing after the revert");

  // On a phone the editor fits: no sideways scrolling.
  await page.setViewport({ width: 390, height: 844 });
  await page.evaluate(() => glypheditor.open(176));
  await settle();
  const wide = await page.evaluate(() => document.documentElement.scrollWidth);
  wide <= 390 ? ok("at 390x844 the editor needs no sideways scrolling") : notok(`the page is ${wide} px wide`);
  // Touch: a tap draws.
  if (which !== "firefox") {
    await page.$eval("#grid", (e) => e.scrollIntoView({ block: "start" }));
    const t = await (await page.$("#grid")).boundingBox();
    const was = await pixels();
    await page.touchscreen.tap(t.x + 3, t.y + 3);
    (await pixels())[0] !== was[0] ? ok("a tap on a phone draws") : notok("tap");
  }
  // Revert all: the font's own glyphs again, nothing edited.
  await page.click("#t-revertall");
  await settle();
  (await page.evaluate(() => glypheditor.count())) === 0 ? ok("revert all leaves nothing edited")
                                                         : notok("revert all");
  if (shot) {
    await page.$eval("#editsection", (e) => e.scrollIntoView());
    await page.screenshot({ path: shot });
    console.log(`screenshot: ${shot}`);
  }
} catch (e) {
  notok(e.stack || String(e));
} finally {
  await browser.close();
  fs.rmSync(work, { recursive: true, force: true });
}
console.log(said.failed ? `${said.failed} failed` : "all passed");
process.exit(said.failed ? 1 : 0);
