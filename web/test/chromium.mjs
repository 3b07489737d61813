// Debian's Chromium, headless, for the page's tests: started as this
// machine lets it (no sandbox as root) and kept off the network.
import path from "node:path";
import puppeteer from "puppeteer-core";

export async function chromium(profile) {
  const executablePath = process.env.CHROMIUM || "/usr/bin/chromium";
  try {
    return await puppeteer.launch({
      executablePath,
      headless: true,
      userDataDir: path.resolve(profile),
      args: [
        ...(process.getuid && process.getuid() === 0 ? ["--no-sandbox"] : []),
        "--disable-gpu", "--disable-quic", "--no-first-run",
        "--disable-background-networking", "--disable-component-update",
        "--disable-sync",
      ],
    });
  } catch (e) {
    console.error(`cannot start Chromium (${executablePath}): ${e.message}`);
    process.exit(1);
  }
}
