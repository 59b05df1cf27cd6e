// A soak of the page: seeded random input in headless chromium for a set time (pointer, wheel,
// touch, keys, formulas from a school's exercises and hostile texts, the history editor, reloads,
// Esc and Ricomincia). It fails on a console error or an uncaught exception, on the page's thread
// stalled longer than a still page's stalls plus a bound, on a history byte lost or changed, and
// on memory that grows. The seed is printed first: the same seed replays the same input.
//   node soak.mjs [SECONDS] [SEED]   (FUNZIONI_WEB_PAGE, FUNZIONI_CHROMIUM;
//   FUNZIONI_PAGE_SOAK_MAX_STALL_MS, default 1000: the bound beyond a still page's stalls)
import { existsSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { FunzioniPage, HEIGHT, launchBrowser, PageWatch, WIDTH } from './page.mjs';
import { editedHistoryProblems, historyGrowthProblems, soakInput } from './soak-input.mjs';
import { storedHistory as storedHistoryBytes } from './storage.mjs';

const HERE = dirname(fileURLToPath(import.meta.url));
const PAGE = process.env.FUNZIONI_WEB_PAGE || join(resolve(HERE, '../..'), 'build/web/funzioni.html');
const SECONDS = Number(process.argv[2] ?? 60);
const SEED = Number(process.argv[3] ?? Math.floor(Math.random() * 2 ** 31));
const MAX_STALL_MS = Number(process.env.FUNZIONI_PAGE_SOAK_MAX_STALL_MS ?? 1000);
// After a collection of garbage: the page's script heap and its program's memory may grow by
// this much from the first half of the run to the second (the history grows meanwhile).
const MAX_HEAP_GROWTH = 16 * 2 ** 20;
const MAX_WASM_GROWTH = 64 * 2 ** 20;
const SAMPLE_MS = 5000;
const STORED = 'funzioni-file:/funzioni/espressioni.txt';
const STILL_MS = 2000;
const STILL_RUNS = 3;

// Runs in every document the page loads: the longest the page's thread went without running a
// short timer, since it was last asked.
function stallProbe() {
  const beatMs = 20;
  let last = performance.now();
  let worst = 0;
  const beat = () => {
    const now = performance.now();
    worst = Math.max(worst, now - last - beatMs);
    last = now;
    setTimeout(beat, beatMs);
  };
  setTimeout(beat, beatMs);
  window.funzioniSoakStall = () => {
    const stall = Math.max(worst, performance.now() - last - beatMs);
    worst = 0;
    return Math.max(0, stall);
  };
  // The sheet is printed without the browser's dialog, which would wait for a person.
  window.print = () => {};
}

// A page of its own browser context, with a finger as well as the mouse, the probe in every
// document it loads and downloads refused (Ctrl+S would otherwise fill a folder).
async function preparedPage(browser, url, watch) {
  const context = await browser.createBrowserContext();
  const tab = await context.newPage();
  watch.attach(tab);
  await tab.setViewport({ width: WIDTH, height: HEIGHT, deviceScaleFactor: 1, hasTouch: true });
  await tab.evaluateOnNewDocument(stallProbe);
  const page = new FunzioniPage(context, tab, url);
  page.programOnly = true;  // input goes on while a study computes in the background
  page.cdp = await tab.createCDPSession();
  await page.cdp.send('Browser.setDownloadBehavior', {
    behavior: 'deny',
    browserContextId: context.id,
  });
  return page;
}

async function load(page, navigate) {
  await page.load(navigate);
}

async function stall(page) {
  return page.page.evaluate(() => window.funzioniSoakStall?.() ?? 0);
}

async function storedHistory(page) {
  // Through the page: a history over 1 MB is stored in pieces.
  return (await storedHistoryBytes(page)) ?? Buffer.alloc(0);
}

async function memory(page) {
  await page.cdp.send('HeapProfiler.collectGarbage');
  const heap = await page.cdp.send('Runtime.getHeapUsage');
  const wasm = await page.page.evaluate(() => (typeof HEAPU8 === 'object' ? HEAPU8.length : 0));
  return { heap: heap.usedSize, wasm };
}

const mib = (bytes) => `${(bytes / 2 ** 20).toFixed(1)} MiB`;

// The longest stall of a page that loads and is left alone, of a few: what the machine gives
// anyway (a load holds the page's thread for a while, longer on a busy machine).
async function stillPageStall(browser, url, watch) {
  let longest = 0;
  for (let run = 0; run < STILL_RUNS; ++run) {
    const page = await preparedPage(browser, url, watch);
    try {
      await load(page, () => page.page.goto(url, { waitUntil: 'load' }));
      await new Promise((r) => setTimeout(r, STILL_MS));
      longest = Math.max(longest, await stall(page));
    } finally {
      await page.close();
    }
  }
  return longest;
}

function growth(samples, key) {
  const half = Math.floor(samples.length / 2);
  if (half < 1) return 0;
  const highest = (part) => Math.max(...part.map((s) => s[key]));
  return highest(samples.slice(half)) - highest(samples.slice(0, half));
}

async function main() {
  if (!(SECONDS > 0) || !Number.isInteger(SEED)) {
    console.log('usage: node soak.mjs [SECONDS] [SEED]   (SEED a whole number)');
    process.exit(2);
  }
  console.log(`page soak: seed ${SEED}, ${SECONDS} s (replay: scripts/page-soak ${SECONDS} ${SEED})`);
  if (!existsSync(PAGE)) {
    console.log(`FAIL: ${PAGE} is missing (scripts/web builds it)`);
    process.exit(1);
  }
  const url = pathToFileURL(PAGE).href;
  const browser = await launchBrowser();
  const watch = new PageWatch();
  const failures = [];
  const recent = [];  // the last actions, shown with a failure
  const figures = { actions: 0, done: {}, worst: { ms: 0, action: '' }, samples: [] };
  try {
    const still = await stillPageStall(browser, url, watch);
    const bound = still + MAX_STALL_MS;
    console.log(`page soak: a still page stalls ${still.toFixed(0)} ms; the bound is ${bound.toFixed(0)} ms`);
    const page = await preparedPage(browser, url, watch);
    const input = soakInput(SEED, page);
    await load(page, () => page.page.goto(url, { waitUntil: 'load' }));
    await input.seedHistory(STORED);
    await load(page, () => page.page.reload({ waitUntil: 'load' }));
    let history = await storedHistory(page);
    const start = performance.now();
    let nextSample = 0;
    while (performance.now() - start < SECONDS * 1000 && failures.length === 0) {
      const elapsed = performance.now() - start;
      if (elapsed >= nextSample) {
        nextSample += SAMPLE_MS;
        const m = await memory(page);
        figures.samples.push(m);
        console.log(`  ${(elapsed / 1000).toFixed(0)} s: ${figures.actions} actions, script heap ` +
          `${mib(m.heap)}, program ${mib(m.wasm)}, history ${history.length} bytes`);
      }
      const action = input.next();
      recent.push(action.name);
      if (recent.length > 12) recent.shift();
      let edit = null;
      try {
        edit = await action.run();
        await page.waitForIdle();
      } catch (error) {
        failures.push(`${action.detail()}: ${String(error?.message || error)}`);
        break;
      }
      figures.actions++;
      figures.done[action.name] = (figures.done[action.name] ?? 0) + 1;
      if (edit?.saved) figures.done['history saved'] = (figures.done['history saved'] ?? 0) + 1;
      const ms = await stall(page);
      if (ms > figures.worst.ms) figures.worst = { ms, action: action.detail() };
      if (ms > bound) failures.push(`the page stalled ${ms.toFixed(0)} ms at ${action.detail()}`);
      const now = await storedHistory(page);
      const lost = edit ? editedHistoryProblems(history, now, edit)
        : historyGrowthProblems(history, now);
      if (lost) failures.push(`history after ${action.name}: ${lost}`);
      history = now;
      if (watch.problems.length > 0) failures.push(...watch.problems.splice(0));
    }
    figures.samples.push(await memory(page));
    await page.close();
  } catch (error) {
    failures.push(String(error?.stack || error));
  } finally {
    await browser.close();
  }
  const heapGrowth = growth(figures.samples, 'heap');
  const wasmGrowth = growth(figures.samples, 'wasm');
  if (heapGrowth > MAX_HEAP_GROWTH) failures.push(`the script heap grew by ${mib(heapGrowth)}`);
  if (wasmGrowth > MAX_WASM_GROWTH) failures.push(`the program's memory grew by ${mib(wasmGrowth)}`);
  const first = figures.samples[0];
  const last = figures.samples.at(-1);
  console.log(`page soak: ${figures.actions} actions; longest stall ${figures.worst.ms.toFixed(0)} ms ` +
    `(${figures.worst.action}); script heap ${first ? mib(first.heap) : '?'} -> ` +
    `${last ? mib(last.heap) : '?'}, program ${first ? mib(first.wasm) : '?'} -> ` +
    `${last ? mib(last.wasm) : '?'}`);
  console.log(`page soak: done ${JSON.stringify(figures.done)}`);
  if (failures.length > 0) {
    for (const failure of failures) console.log(`FAIL: ${failure}`);
    console.log(`  the last actions: ${recent.join(', ')}`);
    console.log(`  replay: scripts/page-soak ${SECONDS} ${SEED}`);
    process.exit(1);
  }
  console.log('page soak: passed');
}

await main();
