// How long the page takes to make a FONTX2 font of IPA Gothic at 16 pixels
// (every CP932 double-byte character), against the native dosvfont on the
// same machine: the median of RUNS of each, and their ratio. Then how long
// the page takes from the font's drop to all it shows (its facts, the
// proof sheet, the preview, the downloads) being ready, and to its first
// response (the facts), the median of RUNS drops in a fresh page each.
//
//   node web/test/bench.mjs SITE DOSVFONT [RUNS]
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { chromium } from "./chromium.mjs";

const [site, native, runsarg] = process.argv.slice(2);
const runs = Number(runsarg || 7);
const font = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
if (!site || !native || !fs.existsSync(font)) {
  console.error("usage: bench.mjs SITE DOSVFONT [RUNS] (needs fonts-ipafont-gothic)");
  process.exit(2);
}
const median = (v) => v.sort((a, b) => a - b)[Math.floor(v.length / 2)];
const work = fs.mkdtempSync(path.join(os.tmpdir(), "dosvfont-bench-"));
const args = ["-s", "16", "-k", "double", "-f", "fontx2"];
const nat = [];
for (let i = 0; i < runs; i++) {
  const t = process.hrtime.bigint();
  execFileSync(native, [...args, font, "-o", path.join(work, "n.fnt")],
               { stdio: "ignore" });
  nat.push(Number(process.hrtime.bigint() - t) / 1e6);
}
const browser = await chromium(path.join(work, "profile"));
const page = await browser.newPage();
await page.goto("file://" + path.resolve(site, "index.html"));
const bytes = fs.readFileSync(font).toString("base64");
const web = await page.evaluate(async (b64, args, runs) => {
  const bytes = Uint8Array.from(atob(b64), (c) => c.charCodeAt(0));
  await dosvfont.convert(["--version"], bytes, "ipag.ttf"); // the module loaded
  const times = [];
  for (let i = 0; i < runs; i++) {
    // The page keeps what it drew of the last font: each run's bytes end
    // in a byte of their own, so that each draws every glyph.
    const own = new Uint8Array(bytes.length + 1);
    own.set(bytes);
    own[bytes.length] = i + 1;
    const t = performance.now();
    const r = await dosvfont.convert(args, own, "ipag.ttf");
    if (r.status) throw new Error(r.messages.join("\n"));
    times.push(performance.now() - t);
  }
  return times;
}, bytes, args, runs);
// Drop to ready: the file given to the page's file input, then until no
// work is under way and every picture is decoded.
const ready = [], first = [];
for (let i = 0; i < runs; i++) {
  const p = await browser.newPage();
  await p.setViewport({ width: 1000, height: 1100 });
  await p.goto("file://" + path.resolve(site, "index.html"));
  await p.evaluate(() => dosvfont.convert(["--version"], new Uint8Array(0), "x"));
  const input = await p.$("#file");
  const t = process.hrtime.bigint();
  await input.uploadFile(font);
  await p.waitForFunction(() => document.getElementById("info").textContent,
                          { timeout: 180000, polling: 5 });
  first.push(Number(process.hrtime.bigint() - t) / 1e6);
  await p.waitForFunction(
    () => document.body.dataset.busy === "0" && !document.getElementById("sheetsection").hidden &&
          [...document.images].every((i) => i.complete),
    { timeout: 180000, polling: 5 });
  ready.push(Number(process.hrtime.bigint() - t) / 1e6);
  await p.close();
}
await browser.close();
fs.rmSync(work, { recursive: true, force: true });
const n = median(nat), w = median(web);
console.log(`IPA Gothic at 16 px to FONTX2: page ${w.toFixed(0)} ms, native ` +
            `${n.toFixed(0)} ms (process included), ${(w / n).toFixed(2)} x`);
console.log(`IPA Gothic dropped at 16 px: ready in ${median(ready).toFixed(0)} ms ` +
            `(${Math.min(...ready).toFixed(0)}-${Math.max(...ready).toFixed(0)}), ` +
            `its facts in ${median(first).toFixed(0)} ms`);
