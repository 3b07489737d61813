// How long the page takes to make a FONTX2 font of IPA Gothic at 16 pixels
// (every CP932 double-byte character), against the native dosvfont on the
// same machine: the median of RUNS of each, and their ratio.
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
    const t = performance.now();
    const r = await dosvfont.convert(args, bytes, "ipag.ttf");
    if (r.status) throw new Error(r.messages.join("\n"));
    times.push(performance.now() - t);
  }
  return times;
}, bytes, args, runs);
await browser.close();
fs.rmSync(work, { recursive: true, force: true });
const n = median(nat), w = median(web);
console.log(`IPA Gothic at 16 px to FONTX2: page ${w.toFixed(0)} ms, native ` +
            `${n.toFixed(0)} ms (process included), ${(w / n).toFixed(2)} x`);
