// The page in Firefox (Debian's firefox-esr), opened from disk with its
// default settings: the Worker starts from a Blob, the dropped font shows
// its --info text and proof sheet, and conversions give the native
// program's bytes.
//
//   node web/test/firefox.mjs SITE DOSVFONT SAMPLE
import { execFileSync } from "node:child_process";
import fs from "node:fs";
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
    const want = execFileSync(native, [...args, sample]);
    if (Buffer.from(got).equals(want)) console.log(`ok: dosvfont ${args.join(" ")} as the command line's`);
    else {
      console.error(`not ok: dosvfont ${args.join(" ")} differs in Firefox`);
      failed++;
    }
  }
} finally {
  await browser.close();
}
console.log(failed ? `${failed} failed` : "all passed");
process.exit(failed ? 1 : 0);
