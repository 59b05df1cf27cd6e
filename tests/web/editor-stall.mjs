// How long the page stops answering around very long texts: the history editor opened, edited
// and saved on a history with lines of 1 MB (and on the largest history the browser's storage
// holds), and a formula of 100,000 characters typed and entered, with and without the study
// window open. Each phase's longest task of the page's thread (the long task observer), printed;
// with --limit MS, a phase over the limit fails the run (exit 1). The machine is shared: its load
// is printed beside the figures.
//   node tests/web/editor-stall.mjs [--page build/web/funzioni.html] [--limit 100] [--throttle 1]
//                                   [--only editor|formula] [--profile N]
// --profile N prints each phase's N heaviest functions of the page's thread by self time (a CPU
// profile; build the page with emcc --profiling-funcs at the link to read the program's own).
// FUNZIONI_WEB_PAGE and FUNZIONI_CHROMIUM name the page and the browser as for run.mjs.
import { loadavg } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { parseArgs } from 'node:util';
import { FunzioniPage, launchBrowser, PageWatch } from './page.mjs';
import { storedHistory } from './storage.mjs';

const HERE = dirname(fileURLToPath(import.meta.url));
const ROOT = resolve(HERE, '../..');
const STORED = 'funzioni-file:/funzioni/espressioni.txt';
const HISTORY_LIST = { x: 650, y: 362 };
const FORMULA_BOX = { x: 700, y: 547 };
const WAIT_MS = 120000;
const MEGABYTE = 1 << 20;
// Quiet time after a phase's last action, so that work it left for later is counted in it.
const SETTLE_MS = 300;
// The precision of the storage's room measured, in characters.
const ROOM_STEP = 4096;
// A line the editor still shows whole (it shows one of more than 2,000 characters by its ends).
const SHOWN_LINE = 1900;
// Fine enough for a task of tens of milliseconds.
const SAMPLING_INTERVAL_US = 200;

// Runs in the page: from now on each task longer than 50 ms is kept. Also run as each document
// starts, so that a reload is watched from its beginning.
function watchLongTasks() {
  if (window.funzioniStall) window.funzioniStall.observer.disconnect();
  const seen = { longest: 0, count: 0 };
  const observer = new PerformanceObserver((list) => {
    for (const entry of list.getEntries()) {
      seen.longest = Math.max(seen.longest, entry.duration);
      ++seen.count;
    }
  });
  observer.observe({ type: 'longtask' });
  window.funzioniStall = { seen, observer };
}

// Runs in the page: the longest task since watchLongTasks, after the tasks under way are done.
function longestTask() {
  return new Promise((resolve) => {
    setTimeout(() => {
      const { seen, observer } = window.funzioniStall;
      for (const entry of observer.takeRecords()) seen.longest = Math.max(seen.longest, entry.duration);
      observer.disconnect();
      resolve(seen.longest);
    }, 0);
  });
}

const settle = () => new Promise((r) => setTimeout(r, SETTLE_MS));

// The `top` functions of a CPU profile by self time, as lines of text.
function heaviest(profile, top) {
  const byId = new Map(profile.nodes.map((n) => [n.id, n]));
  const self = new Map();
  for (let i = 0; i + 1 < profile.samples.length; ++i) {
    const frame = byId.get(profile.samples[i]).callFrame;
    const name = frame.functionName || '(anonymous)';
    if (name === '(idle)' || name === '(program)') continue;
    const where = frame.url.startsWith('wasm') ? ' [wasm]' : ` ${frame.url.split('/').pop().slice(0, 20)}:${frame.lineNumber}`;
    self.set(name + where, (self.get(name + where) ?? 0) + profile.timeDeltas[i + 1]);
  }
  return [...self].sort((a, b) => b[1] - a[1]).slice(0, top)
      .map(([fn, us]) => `    ${(us / 1000).toFixed(1).padStart(7)} ms  ${fn}`);
}

// One phase: `act` done, the page's longest task from its start to a quiet moment after it.
// FUNZIONI_STALL_VERBOSE names each phase as it starts; with `top`, the phase is profiled.
async function phase(page, top, name, act) {
  if (process.env.FUNZIONI_STALL_VERBOSE) console.error(`${name}...`);
  await page.page.evaluate(watchLongTasks);
  const profiler = top > 0 ? await page.page.createCDPSession() : null;
  if (profiler) {
    await profiler.send('Profiler.enable');
    await profiler.send('Profiler.setSamplingInterval', { interval: SAMPLING_INTERVAL_US });
    await profiler.send('Profiler.start');
  }
  const start = performance.now();
  await act();
  const wallMs = performance.now() - start;
  await settle();
  const functions = profiler ? heaviest((await profiler.send('Profiler.stop')).profile, top) : [];
  if (profiler) await profiler.detach();
  return [name, { longest: await page.page.evaluate(longestTask), wallMs, functions }];
}

// History lines of about `lineBytes` bytes each (formulas of the Windows code page, an accented
// note), `total` bytes in all with a few short lines between them.
function bigHistory(lineBytes, total) {
  const lines = [];
  let size = 0;
  for (let i = 0; size < total; ++i) {
    const line = i % 2 === 0 ? `x^${i} 'caff\xe8` : `${'x+'.repeat(lineBytes >> 1)}${i}`;
    const room = total - size - 2;
    if (room <= 0) break;
    lines.push(line.slice(0, room));
    size += lines.at(-1).length + 2;
  }
  return lines.map((l) => `${l}\r\n`).join('');
}

// Runs in the page: the longest text (a character a byte) that its storage takes beside what it
// holds, to within a step.
function storageRoom(key, step) {
  const fits = (n) => {
    try {
      localStorage.setItem(key, 'x'.repeat(n));
      return true;
    } catch (refused) {
      return false;
    }
  };
  let low = 0;
  let high = 64 << 20;
  while (high - low > step) {
    const middle = Math.floor((low + high) / 2);
    if (fits(middle)) low = middle; else high = middle;
  }
  localStorage.removeItem(key);
  return low;
}

async function withHistory(page, text) {
  await page.page.evaluate((key, t) => localStorage.setItem(key, t), STORED, text);
  await page.perform({ do: 'restart' });
}

async function editorPhases(page, label, text, top) {
  const rows = [];
  rows.push(await phase(page, top, `${label}: reload with it`, () => withHistory(page, text)));
  rows.push(await phase(page, top, `${label}: editor opened`, async () => {
    await page.page.mouse.click(page.origin.x + HISTORY_LIST.x, page.origin.y + HISTORY_LIST.y,
      { button: 'right' });
    await page.page.waitForSelector('#funzioni-editor textarea', { visible: true, timeout: WAIT_MS });
  }));
  rows.push(await phase(page, top, `${label}: a line typed at the end`, async () => {
    await page.page.$eval('#funzioni-editor textarea', (a) => {
      a.focus();
      a.setSelectionRange(a.value.length, a.value.length);
    });
    await page.page.keyboard.type('x^3-x');
    await page.page.keyboard.press('Enter');
  }));
  const before = (await storedHistory(page)).toString('latin1');
  rows.push(await phase(page, top, `${label}: saved`, async () => {
    await page.page.click('#funzioni-editor [data-editor="save"]');
    await page.page.waitForSelector('#funzioni-editor', { hidden: true, timeout: WAIT_MS });
    await page.waitForIdle();
  }));
  const after = (await storedHistory(page))?.toString('latin1');
  const problem = after === `${before}x^3-x\r\n` ? '' : `${label}: the saved history is not the old one and the new line`;
  // Saved by the page, a history over 1 MB is kept in pieces: the reload reads those.
  rows.push(await phase(page, top, `${label}: reload after the save`,
    () => page.perform({ do: 'restart' })));
  return { rows, problem };
}

// Until the page is idle, its background instances done too, or WAIT_MS: a long formula's values
// may take a while in the background, and the page answers meanwhile.
async function computed(page) {
  const start = performance.now();
  while (performance.now() - start < WAIT_MS) {
    if (await page.page.evaluate(() => window.funzioniPage.idle())) return;
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

async function formulaPhases(page, label, study, top) {
  const rows = [];
  await page.perform({ do: 'click', ...FORMULA_BOX });
  if (study) {
    await page.perform({ do: 'type', text: 'x^2' });
    await page.perform({ do: 'key', key: 'Enter' });
    await page.perform({ do: 'key', key: 'F2' });
    await page.perform({ do: 'click', ...FORMULA_BOX });
  }
  const formula = `${'x^2+'.repeat(24999)}x^2`;
  const session = await page.page.createCDPSession();
  rows.push(await phase(page, top, `${label}: 100,000 characters typed in one go`, async () => {
    await page.page.$eval('[data-control="1480"]', (box) => { box.select(); });
    await session.send('Input.insertText', { text: formula });
  }));
  rows.push(await phase(page, top, `${label}: a few keys more`, async () => {
    await page.page.keyboard.type('+x');
  }));
  rows.push(await phase(page, top, `${label}: entered`, async () => {
    await page.page.keyboard.press('Enter');
    await computed(page);
  }));
  await session.detach();
  return rows;
}

async function main() {
  const { values } = parseArgs({
    options: {
      page: { type: 'string' },
      limit: { type: 'string' },
      throttle: { type: 'string', default: '1' },
      only: { type: 'string' },
      profile: { type: 'string', default: '0' },
    },
  });
  const top = Number(values.profile);
  const path = resolve(values.page || process.env.FUNZIONI_WEB_PAGE ||
                       join(ROOT, 'build/web/funzioni.html'));
  const url = pathToFileURL(path).href;
  const load = loadavg().map((l) => l.toFixed(1)).join(' ');
  const browser = await launchBrowser();
  const watch = new PageWatch();
  const rows = [];
  const problems = [];
  const open = async () => {
    const page = await FunzioniPage.open(browser, url, watch);
    await page.page.evaluateOnNewDocument(watchLongTasks);
    const session = await page.page.createCDPSession();
    await session.send('Emulation.setCPUThrottlingRate', { rate: Number(values.throttle) });
    return page;
  };
  try {
    let page = await open();
    if (values.only !== 'formula') {
      if (process.env.FUNZIONI_STALL_VERBOSE) console.error('the storage measured...');
      const room = await page.page.evaluate(storageRoom, STORED, ROOM_STEP);
      const histories = [
        ['three lines of 1 MB', bigHistory(MEGABYTE, 3 * MEGABYTE + 64)],
        // Room left for a save's own bookkeeping (a few hundred characters), within the
        // measurement's step.
        [`the largest stored (${(room / MEGABYTE).toFixed(1)} MB)`,
          bigHistory(MEGABYTE, room - ROOM_STEP)],
        // Every line shown whole in the text area: megabytes of text for it to take.
        [`the largest stored in lines of ${SHOWN_LINE} characters`,
          bigHistory(SHOWN_LINE, room - ROOM_STEP)],
      ];
      for (const [label, text] of histories) {
        const done = await editorPhases(page, label, text, top);
        rows.push(...done.rows);
        if (done.problem) problems.push(done.problem);
        await page.close();
        page = await open();
      }
    }
    if (values.only !== 'editor') {
      rows.push(...(await formulaPhases(page, 'formula, no study', false, top)));
      await page.close();
      page = await open();
      rows.push(...(await formulaPhases(page, 'formula, study open', true, top)));
    }
    await page.close();
  } finally {
    await browser.close();
  }
  console.log(`${path}: CPU throttle ${values.throttle}x; load before ${load}, after ` +
              `${loadavg().map((l) => l.toFixed(1)).join(' ')}`);
  const limit = values.limit === undefined ? Infinity : Number(values.limit);
  for (const [name, { longest, wallMs, functions }] of rows) {
    console.log(`  ${name}: longest task ${longest.toFixed(0)} ms (phase ${wallMs.toFixed(0)} ms)`);
    for (const line of functions) console.log(line);
    if (longest > limit) problems.push(`${name}: a task of ${longest.toFixed(0)} ms`);
  }
  problems.push(...watch.problems.slice(0, 5));
  for (const problem of problems) console.log(`  problem: ${problem}`);
  process.exitCode = problems.length === 0 ? 0 : 1;
}

await main();
