// The page in Firefox (Debian's firefox-esr), opened from disk with its
// default settings: the Worker starts from a Blob, the dropped font shows
// its --info text, proof sheet and display preview, and conversions (the
// pair, C source, the preview, a subset) give the native program's bytes.
//
//   node web/test/firefox.mjs SITE DOSVFONT SAMPLE
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import puppeteer from "puppeteer-core";

const [site, native, sample] = process.argv.slice(2);
const firefox = process.env.FIREFOX || "/usr/bin/firefox-esr";
let browser;
try {
  browser = await puppeteer.launch({ browser: "firefox", executablePath: firefox,
                                     headless: true });
} catch (e) {
  console.error(`cannot start Firefox (${firefox}): ${e.message}`);
  process.exit(1);
}
let failed = 0;
try {
  const page = await browser.newPage();
  page.on("pageerror", (e) => { console.error("page error:", e.message); failed++; });
  await page.goto("file://" + path.resolve(site, "index.html"));
  await (await page.$("#file")).uploadFile(sample);
  await page.waitForFunction(() => document.getElementById("info").textContent &&
                             document.body.dataset.busy === "0", { timeout: 120000 });
  const info = await page.$eval("#info", (e) => e.textContent);
  const sheet = await page.$eval("#sheet", (e) => e.naturalWidth);
  if (info.startsWith("format: FONTX2\n") && sheet > 0)
    console.log("ok: Firefox shows the dropped font's --info text and proof sheet");
  else {
    console.error(`not ok: Firefox shows ${JSON.stringify(info)}, a sheet ${sheet} wide`);
    failed++;
  }
  const bytes = fs.readFileSync(sample);
  for (const args of [["-f", "bdf"], ["-f", "png"], ["-f", "fontx2", "-c", "unicode"]]) {
    const got = await page.evaluate(async (b64, args) => {
      const r = await dosvfont.convert(args, Uint8Array.from(atob(b64), (c) => c.charCodeAt(0)),
                                       "sample.fnt");
      return Array.from(r.output);
    }, bytes.toString("base64"), args);
    const want = execFileSync(path.resolve(native), [...args, sample]);
    if (Buffer.from(got).equals(want)) console.log(`ok: dosvfont ${args.join(" ")} as the command line's`);
    else {
      console.error(`not ok: dosvfont ${args.join(" ")} differs in Firefox`);
      failed++;
    }
  }
  // A CJK outline font: the preview drawn, and the pair, C source, the
  // preview and a subset as the command line makes them.
  const ipag = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
  await (await page.$("#file")).uploadFile(ipag);
  await page.waitForFunction(() => document.getElementById("info").textContent.includes("TrueType") &&
                             document.body.dataset.busy === "0", { timeout: 180000 });
  await page.waitForFunction(() => document.getElementById("preview").naturalWidth > 0 &&
                             document.body.dataset.busy === "0", { timeout: 180000 });
  const boxes = await page.$$eval("#styles code", (cs) => cs.map((c) => c.textContent).join(" "));
  if (boxes === "--bold --italic --underline --strikeout --control-pictures")
    console.log("ok: Firefox shows the preview and the five styles with their spellings");
  else {
    console.error(`not ok: Firefox styles: ${boxes}`);
    failed++;
  }
  const menu = "温度 23℃\nABC ｱｲｳ";
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), "dosvfont-ff-"));
  fs.writeFileSync(path.join(dir, "menu.txt"), menu);
  const font = fs.readFileSync(ipag);
  for (const args of [["-k", "single", "-s", "16", "-f", "fontx2"],
                      ["-k", "double", "-s", "16", "-f", "fontx2"],
                      ["-s", "16", "-f", "c", "-o", "ipag16Z.h"],
                      ["--show", "menu.txt", "--scale", "2", "-s", "16", "-o", "ipag-display.png"],
                      ["-k", "double", "-s", "16", "--text", "menu.txt", "-f", "fontx2"]]) {
    const got = await page.evaluate(async (b64, args, menu) => {
      const r = await dosvfont.convert(args, Uint8Array.from(atob(b64), (c) => c.charCodeAt(0)),
                                       "ipag.ttf", null, { "menu.txt": menu });
      let s = "";
      for (let i = 0; i < r.output.length; i += 0x8000)
        s += String.fromCharCode(...r.output.subarray(i, i + 0x8000));
      return btoa(s);
    }, font.toString("base64"), args, menu);
    const o = args.indexOf("-o");
    const nargs = o < 0 ? [...args, ipag] : [...args.slice(0, o), ipag, "-o", path.join(dir, args[o + 1])];
    let want;
    try {
      want = execFileSync(path.resolve(native), nargs, { cwd: dir, stdio: ["ignore", "pipe", "ignore"], maxBuffer: 1 << 28 });
    } catch (e) {
      want = e.stdout;
    }
    if (o >= 0) want = fs.readFileSync(path.join(dir, args[o + 1]));
    if (Buffer.from(got, "base64").equals(want)) console.log(`ok: dosvfont ${args.join(" ")} as the command line's`);
    else {
      console.error(`not ok: dosvfont ${args.join(" ")} differs in Firefox`);
      failed++;
    }
  }
  fs.rmSync(dir, { recursive: true, force: true });
} finally {
  await browser.close();
}
console.log(failed ? `${failed} failed` : "all passed");
process.exit(failed ? 1 : 0);
