// dosvfont.js: dosvfont, the FONTX2 converter, in the browser.
//
//   <script src="dosvfont.js"></script>
//   const r = await dosvfont.convert(["-s", "16", "-f", "fontx2"], bytes,
//                                    "ipag.ttf");
//   // r.status: 0, 1 or 2, as the command line's exit status
//   // r.output: a Uint8Array, what the command line writes
//   // r.messages: its lines on standard error, "dosvfont: " and all
//   // r.plain: after a failure, what went wrong in plain words, or ""
//
// args are the command line's arguments, without the font: bytes (a
// Uint8Array or ArrayBuffer) is the font and name its file name, which
// messages use and a single-byte FONTX2 font's charset may be read from.
// Other files the arguments name (a second font, the text of --text or
// --show) come in files, an object of names and bytes: convert's fifth
// argument. The same array given again is not copied again: its bytes
// must not change between calls (give a new array for a new font).
// -o FILE only chooses the format by its extension; nothing is written to
// any file, and nothing leaves the page. convert's fourth argument, when
// given, is called as (done, total) while glyphs are drawn. Memory that
// runs out is status 1 and "dosvfont: out of memory", as natively; after
// a failed or large conversion the next starts in a fresh Worker, so that
// the memory goes back to the browser.
//
// The conversion runs in a Web Worker, started from a Blob of this very
// file (browsers refuse Worker scripts from file:// addresses), so a page
// opened from disk works too; a second call waits for the first. The
// WebAssembly is inside this file. It is the program's own code, built
// with Emscripten, with code-set tables made from the C library's iconv
// where the program calls iconv: the output is the command line's, byte
// for byte.
(function dosvfontFile() {
  "use strict";

  // In the Worker: the WebAssembly module and one run at a time.
  function inWorker() {
    /* @CORE@ */
    let ready = null;
    const encoder = new TextEncoder();
    function cstring(core, s) {
      const b = encoder.encode(s + "\0");
      const p = core._malloc(b.length);
      core.HEAPU8.set(b, p);
      return p;
    }
    // A module that failed, or grew past this, is not used again: the page
    // starts a fresh Worker, and the memory goes back to the browser.
    const LARGE = 256 << 20;
    const nomemory = () => ({ status: 1, output: new Uint8Array(0),
                              messages: ["dosvfont: out of memory"],
                              plain: "The browser ran out of memory for this " +
                                     "conversion: try a smaller size or a subset." });
    // The last font given stays in the module's memory: the page runs on
    // one font many times over, and a font is megabytes to copy.
    let kept = null; // {data, n}
    self.onmessage = async (event) => {
      const { args, name, files } = event.data;
      let core = null;
      try {
        if (!ready)
          ready = dosvfontCore({
            onprogress: (done, total) =>
              self.postMessage({ progress: [done, total] }),
          });
        core = await ready;
        if (event.data.bytes) {
          const bytes = event.data.bytes;
          if (kept) core._free(kept.data);
          kept = { data: core._malloc(bytes.length || 1), n: bytes.length };
          if (!kept.data) {
            self.postMessage({ result: nomemory(), fresh: true });
            return;
          }
          core.HEAPU8.set(bytes, kept.data);
        }
        if (!kept) throw new Error("no font was given");
        const { data, n } = kept;
        const argv = ["dosvfont", ...args].map((a) => cstring(core, String(a)));
        const argp = core._malloc(4 * argv.length);
        argv.forEach((p, i) => core.HEAPU32.set([p], argp / 4 + i));
        const namep = cstring(core, name || "");
        for (const [file, content] of Object.entries(files || {})) {
          const fp = cstring(core, file);
          const dp = core._malloc(content.length || 1);
          core.HEAPU8.set(content, dp);
          core._dosvfont_addfile(fp, dp, content.length);
          core._free(fp);
          core._free(dp);
        }
        const status = core._dosvfont_run(argv.length, argp, data, n, namep);
        const at = core._dosvfont_output();
        const output = core.HEAPU8.slice(at, at + core._dosvfont_outputsize());
        const messages = core.UTF8ToString(core._dosvfont_messages())
          .split("\n").filter((l) => l.length);
        const plain = core.UTF8ToString(core._dosvfont_plain());
        core._dosvfont_clearfiles();
        [...argv, argp, namep].forEach((p) => core._free(p));
        const fresh = status !== 0 || core.HEAPU8.length > LARGE;
        self.postMessage({ result: { status, output, messages, plain }, fresh },
                         [output.buffer]);
      } catch (e) {
        if (core && core.outofmemory)
          self.postMessage({ result: nomemory(), fresh: true });
        else
          self.postMessage({ error: String(e && e.message ? e.message : e),
                             fresh: true });
      }
    };
  }

  if (typeof window === "undefined") {
    inWorker();
    return;
  }

  const source = "(" + dosvfontFile.toString() + ")();";
  let worker = null;
  let sent = null; // the font the Worker holds: {bytes (the caller's), size}
  let queue = Promise.resolve();

  function run(args, bytes, name, onprogress, files) {
    return new Promise((resolve, reject) => {
      if (!worker) {
        const url = URL.createObjectURL(
          new Blob([source], { type: "text/javascript" }));
        worker = new Worker(url);
        sent = null;
      }
      worker.onmessage = (event) => {
        const m = event.data;
        if (m.progress) {
          if (onprogress) onprogress(m.progress[0], m.progress[1]);
          return;
        }
        if (m.fresh) {
          worker.terminate();
          worker = null; // the next call starts a new one
          sent = null;
        }
        if (m.error) reject(new Error(m.error));
        else resolve(m.result);
      };
      worker.onerror = (event) => {
        worker.terminate();
        worker = null; // a new one for the next call
        sent = null;
        reject(new Error(event.message || "the converter stopped"));
      };
      // The font the Worker has already (the same array as last time) is
      // not sent again. Copies made whole (a typed array's constructor
      // copies its memory; Uint8Array.from walks a font of megabytes a byte
      // at a time).
      const again = sent && sent.bytes === bytes && sent.size === bytes.byteLength;
      const copy = again ? null
                 : bytes instanceof ArrayBuffer ? new Uint8Array(bytes.slice(0))
                                                : new Uint8Array(bytes);
      sent = { bytes, size: bytes.byteLength };
      const extra = {};
      for (const [file, content] of Object.entries(files || {}))
        extra[file] = typeof content === "string" ? new TextEncoder().encode(content)
                                                  : new Uint8Array(content);
      worker.postMessage({ args: Array.from(args, String), bytes: copy, name,
                           files: extra }, copy ? [copy.buffer] : []);
    });
  }

  window.dosvfont = {
    convert(args, bytes, name, onprogress, files) {
      const job = queue.then(() => run(args, bytes, name, onprogress, files));
      queue = job.catch(() => {});
      return job;
    },
  };
})();
