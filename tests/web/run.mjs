// The browser page in Debian's chromium against the desktop window: the same steps files in
// both, then every canvas pixel outside the stock controls and every list line compared, plus
// what only the page has (reloading, answering during a long redraw, no network). Prints one
// row per check, the timings measured, and "N passed, N failed"; exits non-zero on a failure.
//   node run.mjs   (FUNZIONI_WEB_PAGE, FUNZIONI_WEB_REFERENCE, FUNZIONI_CHROMIUM override paths)
import { existsSync, readFileSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { comparePictures, describeDifferences, maskOf, writeMismatch } from './compare.mjs';
import { FunzioniPage, HEIGHT, launchBrowser, PageWatch, WIDTH } from './page.mjs';
import { desktopSnapshots } from './reference.mjs';
import { measureTimings, pageAnswersDuringLongRedraw } from './timing.mjs';

const HERE = dirname(fileURLToPath(import.meta.url));
const ROOT = resolve(HERE, '../..');
const PAGE = process.env.FUNZIONI_WEB_PAGE || join(ROOT, 'build/web/funzioni.html');
const REFERENCE =
  process.env.FUNZIONI_WEB_REFERENCE || join(ROOT, 'build/test/tests/support/funzioni-web-reference');
const OUT = join(ROOT, 'build/web-test');

// Each steps file's snapshots, with what more a snapshot must show.
const SCENARIOS = [
  { file: 'start.json' },
  { file: 'formula.json', expect: { drawn: (s) => s.lists['1470']?.length > 2 || 'no results table' } },
  { file: 'meter.json' },
  {
    file: 'history.json',
    expect: { reloaded: (s) => s.lists['1460']?.includes('x^3-x') || 'x^3-x is not in the history' },
  },
];

const rows = [];
function row(name, ok, detail = '') {
  rows.push({ name, ok, detail });
  console.log(`${ok ? 'PASS' : 'FAIL'} ${name}${detail ? `\n     ${detail.replace(/\n/g, '\n     ')}` : ''}`);
}
async function check(name, body) {
  try {
    const problem = await body();
    row(name, !problem, problem || '');
  } catch (error) {
    row(name, false, String(error?.stack || error));
  }
}

function sameJson(a, b) {
  return JSON.stringify(a) === JSON.stringify(b);
}

// The pixels and the texts of one snapshot; a string tells what differs.
function compareSnapshot(name, desktop, page) {
  const leftOut = [
    ...Object.values(desktop.stockControls),
    ...Object.values(page.stockControls),
    ...Object.values(desktop.timedPanels),
  ];
  const mask = maskOf(WIDTH, HEIGHT, leftOut);
  const problems = [];
  if (page.rgba.length !== WIDTH * HEIGHT * 4) {
    return `the canvas holds ${page.rgba.length / 4} pixels, not ${WIDTH} x ${HEIGHT}`;
  }
  const pixels = comparePictures(WIDTH, HEIGHT, desktop.rgba, page.rgba, mask);
  if (pixels.count > 0) {
    const files = writeMismatch(OUT, name.replace(/[^a-z0-9]+/gi, '-'), WIDTH, HEIGHT, desktop.rgba, page.rgba, mask);
    problems.push(`${describeDifferences(pixels)}\n  pictures: ${files.desktop}, ${files.page}, ${files.diff}`);
  }
  for (const id of Object.keys(desktop.lists)) {
    if (!sameJson(desktop.lists[id], page.lists[id])) {
      problems.push(`list ${id}: desktop ${JSON.stringify(desktop.lists[id]).slice(0, 300)}` +
        `\n  page ${JSON.stringify(page.lists[id])?.slice(0, 300)}`);
    }
  }
  if (desktop.box !== page.box) problems.push(`text box: desktop "${desktop.box}" page "${page.box}"`);
  return problems.join('\n');
}

function checkLayout(desktop, page) {
  const problems = [];
  if (!sameJson(page.client, [0, 0, WIDTH, HEIGHT])) problems.push(`#funzioni at ${page.client}`);
  if (!sameJson(page.canvas, [0, 0, WIDTH, HEIGHT])) problems.push(`#funzioni-canvas at ${page.canvas}`);
  for (const [id, rect] of Object.entries(desktop.stockControls)) {
    if (!sameJson(page.stockControls[id], rect)) {
      problems.push(`control ${id}: desktop ${rect}, page ${page.stockControls[id] ?? 'missing'}`);
    }
  }
  if (page.title !== desktop.title) problems.push(`title: desktop "${desktop.title}" page "${page.title}"`);
  return problems.join('\n');
}

async function main() {
  if (!existsSync(PAGE)) {
    row('the page exists', false, `${PAGE} is missing (scripts/web builds it)`);
    return;
  }
  if (!existsSync(REFERENCE)) {
    row('the desktop reference exists', false, `${REFERENCE} is missing`);
    return;
  }
  const url = pathToFileURL(PAGE).href;
  const desktop = {};
  for (const { file } of SCENARIOS) {
    const path = join(HERE, 'steps', file);
    desktop[file] = await desktopSnapshots(REFERENCE, path, JSON.parse(readFileSync(path, 'utf8')));
  }

  const browser = await launchBrowser();
  const watch = new PageWatch();
  const timings = [];
  try {
    for (const { file, expect = {} } of SCENARIOS) {
      const steps = JSON.parse(readFileSync(join(HERE, 'steps', file), 'utf8'));
      let shown = null;
      await check(`${file}: the page follows the steps`, async () => {
        const page = await FunzioniPage.open(browser, url, watch);
        if (file === 'start.json') timings.push(['navigation to ready', page.readyMs]);
        try {
          shown = await page.follow(steps);
        } finally {
          await page.close();
        }
      });
      if (!shown) continue;
      if (file === 'start.json') {
        await check('layout: client area, canvas, stock controls, title', () =>
          checkLayout(desktop[file].start, shown.start));
      }
      for (const name of Object.keys(desktop[file])) {
        await check(`${file}: ${name} as on the desktop`, () => {
          const extra = expect[name]?.(shown[name]);
          const problem = compareSnapshot(`${file}-${name}`, desktop[file][name], shown[name]);
          return [problem, extra === true || extra === undefined ? '' : extra].filter(Boolean).join('\n');
        });
      }
    }
    await check('the page answers during a long redraw', () => pageAnswersDuringLongRedraw(browser, url, watch));
    await check('timings measured', async () => {
      timings.push(...(await measureTimings(browser, url, watch)));
    });
    row('no console error, no request outside file:, data:, blob:', watch.problems.length === 0,
      watch.problems.slice(0, 20).join('\n'));
  } finally {
    await browser.close();
  }
  for (const [name, ms] of timings) console.log(`time ${name}: ${ms.toFixed(1)} ms`);
}

await main().catch((error) => row('browser tests ran', false, String(error?.stack || error)));
const failed = rows.filter((r) => !r.ok).length;
console.log(`browser: ${rows.length - failed} passed, ${failed} failed`);
process.exitCode = failed === 0 ? 0 : 1;
