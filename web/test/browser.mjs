// The built page in a real browser: Debian's Chromium, headless, driven
// by puppeteer-core. It opens index.html from disk, loads fonts through the
// file input, sets options as a user would, downloads the results and
// compares them, byte for byte, with what the native dosvfont writes when
// run with the command line the page shows. Keeps a screenshot of the page
// after a conversion.
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
fs.mkdirSync(downloads);

// Fonts of the machine's packages and of the project's own making.
const misc = "/usr/share/fonts/X11/misc/";
const cyrillic = path.join(work, "ter16-ISO8859-5.fnt");
execFileSync(native, [misc + "ter-u16n_iso-8859-5.pcf.gz", "-o", cyrillic]);
const cases = [
  { what: "a Shift_JIS FONTX2 font as Unicode BDF", font: sample, take: "bdf" },
  { what: "a Shift_JIS-2004 FONTX2 font as Unicode BDF", font: sample,
    set: { codes: "sjis2004" }, take: "bdf" },
  { what: "a single-byte ISO 8859-5 FONTX2 font as Unicode BDF",
    font: cyrillic, take: "bdf" },
  { what: "a JIS X 0208 PCF font as FONTX2", font: misc + "jiskan16.pcf.gz",
    take: "fontx2" },
  { what: "IPA Gothic at 16 pixels as FONTX2",
    font: "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
    set: { size: "16" }, take: "fontx2", timed: true },
  { what: "IPA Gothic as a double-byte CP936 (GBK) FONTX2 font",
    font: "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
    set: { size: "16", kind: "double", codes: "CP936" }, take: "fontx2" },
  { what: "a proof sheet of the sample", font: sample, take: "png" },
];

const browser = await chromium(path.join(work, "profile"));

let failed = 0;
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1000, height: 1100 });
  page.on("pageerror", (e) => { console.error("page error:", e.message); failed++; });
  const cdp = await page.createCDPSession();
  await cdp.send("Browser.setDownloadBehavior",
                 { behavior: "allow", downloadPath: downloads, eventsEnabled: true });
  await page.goto("file://" + path.resolve(site, "index.html"));
  const idle = () => page.waitForFunction(
    () => document.body.dataset.busy === "0", { timeout: 120000 });

  for (const c of cases) {
    if (!fs.existsSync(c.font)) {
      console.error(`not ok: ${c.what}: no ${c.font} on this machine`);
      failed++;
      continue;
    }
    const started = Date.now();
    const input = await page.$("#file");
    await input.uploadFile(c.font);
    await page.waitForFunction(() => document.getElementById("info").textContent,
                               { timeout: 120000 });
    await idle();
    for (const [id, value] of Object.entries(c.set || {})) {
      await page.$eval("#" + id, (e, v) => {
        e.value = v;
        e.dispatchEvent(new Event("change"));
      }, value);
      await idle();
    }
    // The command line the page shows for this download, run natively.
    const shown = await page.$$eval("#commands code", (cs) => cs.map((c) => c.textContent));
    const line = shown.find((l) => l.includes(` -f ${c.take} `));
    const before = new Set(fs.readdirSync(downloads));
    const clicked = Date.now();
    await page.click("#dl-" + c.take);
    await idle();
    let file = null;
    for (let i = 0; i < 600 && !file; i++) {
      const now = fs.readdirSync(downloads).filter((f) => !before.has(f) && !f.endsWith(".crdownload"));
      if (now.length) file = path.join(downloads, now[0]);
      else await new Promise((r) => setTimeout(r, 100));
    }
    const page_ms = Date.now() - clicked;
    if (!file) {
      const said = await page.$eval("#messages", (e) => e.textContent);
      console.error(`not ok: ${c.what}: nothing downloaded (${said})`);
      failed++;
      continue;
    }
    const args = line.split(" ").slice(1);
    const at = args.indexOf("-o");
    args[at - 1] = c.font;
    const want = path.join(work, "native" + path.extname(file));
    args[at + 1] = want;
    const t0 = Date.now();
    try {
      execFileSync(native, args, { stdio: ["ignore", "ignore", "pipe"] });
    } catch (e) {
      // a warning or a failure: the bytes decide
    }
    const native_ms = Date.now() - t0;
    const got = fs.readFileSync(file), expect = fs.existsSync(want) ? fs.readFileSync(want) : null;
    if (expect && got.equals(expect)) {
      console.log(`ok: ${c.what}: ${got.length} bytes as the command line's` +
                  (c.timed ? ` (page ${page_ms} ms, native ${native_ms} ms)` : "") +
                  ` [${line}] ${Date.now() - started} ms in all`);
    } else {
      console.error(`not ok: ${c.what}: ${file} differs from ${want} [${line}]`);
      failed++;
    }
    fs.rmSync(file);
  }
  // Every set the page has, both ways, against the native program: a
  // single-byte font of every byte and a double-byte font of every code
  // 8140-FEFE read in each set, and Unicode fonts written in each.
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
                          file: "/usr/share/fonts/X11/misc/unifont.pcf.gz" })),
    ...["sjis", "sjis2004", "CP936", "BIG5", "CP949"].map((c) =>
      ({ args: ["-f", "fontx2", "-k", "double", "-c", c],
         file: "/usr/share/fonts/X11/misc/unifont.pcf.gz" })),
  ];
  let same = 0;
  const t0 = Date.now();
  for (const j of jobs) {
    const bytes = j.font || fs.readFileSync(j.file);
    const input = path.join(work, j.name || path.basename(j.file));
    fs.writeFileSync(input, bytes);
    const r = await page.evaluate(async (b64, args, name) => {
      const bytes = Uint8Array.from(atob(b64), (c) => c.charCodeAt(0));
      const r = await dosvfont.convert(args, bytes, name);
      let s = "";
      for (let i = 0; i < r.output.length; i += 0x8000)
        s += String.fromCharCode(...r.output.subarray(i, i + 0x8000));
      return { status: r.status, output: btoa(s), messages: r.messages };
    }, bytes.toString("base64"), j.args, path.basename(input));
    let want, status = 0;
    try {
      want = execFileSync(native, [...j.args, input], { stdio: ["ignore", "pipe", "ignore"], maxBuffer: 1 << 28 });
    } catch (e) {
      want = e.stdout;
      status = e.status;
    }
    if (r.status === status && Buffer.from(r.output, "base64").equals(want)) same++;
    else {
      console.error(`not ok: dosvfont ${j.args.join(" ")} ${path.basename(input)}: the page's ` +
                    `output (status ${r.status}) differs from the native (status ${status})`);
      failed++;
    }
  }
  console.log(`ok: ${same} of ${jobs.length} conversions in every set the page has are ` +
              `the command line's, byte for byte (${Date.now() - t0} ms)`);

  // An option the font cannot take is refused as on the command line.
  const r = await page.evaluate(async () => {
    const bytes = new Uint8Array(17 + 256 * 8);
    bytes.set(new TextEncoder().encode("FONTX2TEST    "));
    bytes[14] = 8; bytes[15] = 8;
    return dosvfont.convert(["-w", "8"], bytes, "test.fnt");
  });
  if (r.status === 2 && r.messages[0] === "dosvfont: -w applies when FONTX2 is written")
    console.log("ok: an option that does not apply is refused with the command line's message");
  else {
    console.error(`not ok: refusal: ${JSON.stringify(r)}`);
    failed++;
  }
  if (shot) {
    await page.$("#file").then((i) => i.uploadFile(sample));
    await idle();
    await page.screenshot({ path: shot, fullPage: true });
    console.log(`screenshot: ${shot}`);
  }
} finally {
  await browser.close();
  fs.rmSync(work, { recursive: true, force: true });
}
console.log(failed ? `${failed} failed` : "all passed");
process.exit(failed ? 1 : 0);
