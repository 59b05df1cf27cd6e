// The browser page in Debian's chromium against the desktop window: the same steps files in
// both, then every canvas pixel outside the stock controls and every list line compared, plus
// what only the page has (reloading, answering during a long redraw, no network). Prints one
// row per check, the timings measured, and "N passed, N failed"; exits non-zero on a failure.
//   node run.mjs   (FUNZIONI_WEB_PAGE, FUNZIONI_WEB_REFERENCE, FUNZIONI_CHROMIUM,
//                   FUNZIONI_WEB_TEST_OUT override paths)
import { existsSync, mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { comparePictures, describeDifferences, maskOf, writeMismatch } from './compare.mjs';
import { FunzioniPage, HEIGHT, launchBrowser, PageWatch, WIDTH } from './page.mjs';
import { compareControls, pageControls, screenReaderActionsReachTheProgram } from './access.mjs';
import { pageSpeaksItsLanguage } from './language.mjs';
import {
  earlierStorageIsTakenOver,
  editorKeepsLongLines,
  editorKeepsTheBytes,
  fingerScrollsTheHistory,
  refusedWriteLosesNothing,
} from './editor.mjs';
import { exportsAsOnTheDesktop } from './export.mjs';
import { storageKeepsEveryByte, storageLosesNothingToAFailedWrite } from './storage.mjs';
import { FIREFOX, FIREFOX_FILES, launchFirefox } from './firefox.mjs';
import { installableAndOffline } from './install.mjs';
import { savedPictureIsThePlot } from './picture.mjs';
import { missingExportFailsLoudly, pageUsesTheProgramsConstants } from './shared.mjs';
import { desktopSnapshots } from './reference.mjs';
import {
  pageAnswersWhileStudying,
  studyChartReadsAsItsLines,
  studyCopiesItsText,
  studyFieldsDrawTheTangentAndTheArea,
  studyLeavesTheControlsInReach,
  studyStepsDidTheirPart,
} from './study.mjs';
import {
  measureTimings,
  movesReachTheProgramOnce,
  openingFramesAreShown,
  pageAnswersDuringLongRedraw,
} from './timing.mjs';
import { viewGesturesAsOnTheDesktop } from './view.mjs';
import { worksheetOpensAsOnTheDesktop } from './worksheet.mjs';
import { parametersAsOnTheDesktop } from './params.mjs';

const HERE = dirname(fileURLToPath(import.meta.url));
const ROOT = resolve(HERE, '../..');
const PAGE = process.env.FUNZIONI_WEB_PAGE || join(ROOT, 'build/web/funzioni.html');
const REFERENCE =
  process.env.FUNZIONI_WEB_REFERENCE ||
  join(ROOT, 'build/test/tests/support/funzioni-web-reference');
const OUT = process.env.FUNZIONI_WEB_TEST_OUT || join(ROOT, 'build/web-test');

const hasResults = (s) => s.lists['1470']?.length > 2 || 'the results table is empty';
const keptInHistory = (s) => s.lists['1460']?.includes('x^3-x') || 'x^3-x is not in the history';
const edited = (s) => s.lists['1460']?.[2] === "cos(x) 'più" || 'the list was not reloaded';
const noHistory = (s) => s.lists['1460']?.length === 0 || 'a line the storage refused is listed';
const STUDY_HEADING = 'Studio numerico di f(x) = x^3/20-x per x da \u221210 a 10, angoli in gradi';
const studied = (s) => s.study?.heading === STUDY_HEADING || `heading ${s.study?.heading}`;
const studyClosed = (s) =>
  (s.study === null && !s.ended) || 'Esc in the study window did not close only it';

// The window's editor in the editor steps: a program that writes the text the page's editor is
// given, as the page's editor writes it (CR LF lines, the Windows code page).
function editorSetup(file) {
  const saved = readSteps(file).find((s) => s.do === 'editor' && s.button === 'Salva');
  const dir = mkdtempSync(join(tmpdir(), 'funzioni-web-editor-'));
  const path = join(dir, 'edited.txt');
  writeFileSync(path, Buffer.from(saved.text.replace(/\n/g, '\r\n'), 'latin1'));
  return { env: { FUNZIONI_EDITOR: `cp ${path}` }, cleanup: () => rmSync(dir, { recursive: true }) };
}

// Each steps file, with what more its snapshots must show than the desktop's, and how the
// window is readied for it.
const SCENARIOS = [
  { file: 'start.json', expect: {} },
  { file: 'formula.json', expect: { drawn: hasResults } },
  { file: 'meter.json', expect: {} },
  { file: 'zoom.json', expect: {} },
  { file: 'switches.json', expect: { table: hasResults } },
  { file: 'magnifier.json', expect: {} },
  { file: 'hover.json', expect: {} },
  { file: 'history.json', expect: { reloaded: keptInHistory, picked: hasResults } },
  { file: 'editor.json', expect: { saved: edited }, setup: editorSetup },
  // By the keyboard alone, the accessibility tree compared as well.
  { file: 'keyboard.json', expect: {}, controls: true },
  {
    file: 'study.json',
    expect: { opened: studied, closed: studyClosed },
    together: studyStepsDidTheirPart,
  },
  // A history file the window cannot write: a folder of that name.
  {
    file: 'storage.json',
    expect: { refused: noHistory },
    setup: () => ({ prepare: (dir) => mkdirSync(join(dir, 'espressioni.txt')) }),
  },
  // The same steps by touch: taps, finger drags, long presses and double taps.
  { file: 'meter.json', touch: true, expect: {} },
  { file: 'switches.json', touch: true, expect: { table: hasResults } },
  { file: 'history.json', touch: true, expect: { reloaded: keptInHistory, picked: hasResults } },
  { file: 'editor.json', touch: true, expect: { saved: edited } },
];

const rows = [];
let skipped = 0;
function skip(name, why) {
  skipped++;
  console.log(`SKIP ${name}\n     ${why}`);
}
function row(name, ok, detail = '') {
  rows.push({ name, ok });
  const indented = detail ? `\n     ${detail.replace(/\n/g, '\n     ')}` : '';
  console.log(`${ok ? 'PASS' : 'FAIL'} ${name}${indented}`);
}
// A check returns nothing when it passes, else what went wrong.
async function check(name, body) {
  try {
    const problem = await body();
    row(name, !problem, problem || '');
  } catch (error) {
    row(name, false, String(error?.stack || error));
  }
}

const sameJson = (a, b) => JSON.stringify(a) === JSON.stringify(b);
const brief = (value) => JSON.stringify(value)?.slice(0, 300);
// An object's keys in one order (the desktop's JSON has them sorted).
const sortedKeys = (o) => o && Object.fromEntries(Object.keys(o).sort().map((k) => [k, o[k]]));

// The pixels outside the stock controls and the time-driven panels, the lists and the text box.
function compareSnapshot(name, desktop, page) {
  if (page.rgba.length !== WIDTH * HEIGHT * 4) {
    return `the canvas holds ${page.rgba.length / 4} pixels, not ${WIDTH} x ${HEIGHT}`;
  }
  const leftOut = [
    ...Object.values(desktop.stockControls),
    ...Object.values(page.stockControls),
    ...Object.values(desktop.timedPanels),
  ];
  const mask = maskOf(WIDTH, HEIGHT, leftOut);
  const problems = [];
  const pixels = comparePictures(WIDTH, HEIGHT, desktop.rgba, page.rgba, mask);
  if (pixels.count > 0) {
    const stem = name.replace(/[^a-z0-9]+/gi, '-');
    const files = writeMismatch(OUT, stem, WIDTH, HEIGHT, desktop.rgba, page.rgba, mask);
    problems.push(describeDifferences(pixels));
    problems.push(`  pictures: ${files.desktop} ${files.page} ${files.diff}`);
  }
  for (const id of Object.keys(desktop.lists)) {
    if (sameJson(desktop.lists[id], page.lists[id])) continue;
    problems.push(`list ${id}: desktop ${brief(desktop.lists[id])}`);
    problems.push(`  page ${brief(page.lists[id])}`);
  }
  if (!sameJson(sortedKeys(desktop.study), sortedKeys(page.study))) {
    problems.push(`study window: desktop ${brief(desktop.study)}`);
    problems.push(`  page ${brief(page.study)}`);
  }
  if (desktop.box !== page.box) {
    problems.push(`text box: desktop "${desktop.box}" page "${page.box}"`);
  }
  return problems.join('\n');
}

// The client area at the top left of a viewport of its size, the canvas over all of it, the
// stock controls at the desktop's rectangles, the window's title.
function checkLayout(desktop, page) {
  const problems = [];
  const whole = [0, 0, WIDTH, HEIGHT];
  if (!sameJson(page.client, whole)) problems.push(`#funzioni at ${page.client}`);
  if (!sameJson(page.canvas, whole)) problems.push(`#funzioni-canvas at ${page.canvas}`);
  for (const [id, rect] of Object.entries(desktop.stockControls)) {
    if (sameJson(page.stockControls[id], rect)) continue;
    problems.push(`control ${id}: desktop ${rect}, page ${page.stockControls[id] ?? 'missing'}`);
  }
  if (page.title !== desktop.title) {
    problems.push(`title: desktop "${desktop.title}" page "${page.title}"`);
  }
  return problems.join('\n');
}

function readSteps(file) {
  return JSON.parse(readFileSync(join(HERE, 'steps', file), 'utf8'));
}

// One steps file in a fresh page: a row for following the steps, one per snapshot. `within`
// names a browser other than chromium.
async function runScenario(browser, url, watch, scenario, desktop, timings) {
  const { file, expect, touch, controls, together, within } = scenario;
  let shown = null;
  const label = `${file}${touch ? ' by touch' : ''}${within ? ` in ${within}` : ''}`;
  await check(`${label}: the page follows the steps`, async () => {
    const page = await FunzioniPage.open(browser, url, watch, { touch });
    if (file === 'start.json' && !within) timings.push(['navigation to ready', page.readyMs]);
    try {
      const more = controls ? async (p) => ({ controls: await pageControls(p) }) : undefined;
      shown = await page.follow(readSteps(file), more);
    } finally {
      await page.close();
    }
  });
  if (!shown) return;
  if (file === 'start.json') {
    await check(`layout${within ? ` in ${within}` : ''}: client area, canvas, stock controls, title`, () =>
      checkLayout(desktop.start, shown.start));
  }
  for (const name of Object.keys(desktop)) {
    await check(`${label}: ${name} as on the desktop`, () => {
      const more = expect[name]?.(shown[name]);
      const problem = compareSnapshot(`${label}-${name}`, desktop[name], shown[name]);
      const tree = controls ? compareControls(desktop[name].controls, shown[name].controls) : '';
      return [problem, tree, more === true ? '' : more].filter(Boolean).join('\n');
    });
  }
  if (together) await check(`${label}: the steps did their part`, () => together(shown));
}

// The steps files again in Firefox, where it is installed.
async function inFirefox(url, desktop) {
  const firefox = await launchFirefox();
  if (firefox === null) {
    skip('the page in Firefox', `${FIREFOX} is missing (scripts/debian-packages has firefox-esr)`);
    return;
  }
  const watch = new PageWatch();
  try {
    for (const scenario of SCENARIOS) {
      if (scenario.touch || !FIREFOX_FILES.includes(scenario.file) || !desktop[scenario.file]) continue;
      await runScenario(firefox, url, watch, { ...scenario, within: 'firefox' },
        desktop[scenario.file], []);
    }
    row('firefox: no console error, no request outside file:, data:, blob:',
      watch.problems.length === 0, watch.problems.slice(0, 20).join('\n'));
  } finally {
    await firefox.close();
  }
}

async function main() {
  for (const [what, path] of [['page', PAGE], ['desktop reference', REFERENCE]]) {
    if (existsSync(path)) continue;
    row(`the ${what} exists`, false, `${path} is missing (scripts/browser-test builds it)`);
    return;
  }
  const url = pathToFileURL(PAGE).href;
  const desktop = {};
  for (const { file, setup } of SCENARIOS) {
    if (desktop[file]) continue;  // a steps file done again by touch
    const path = join(HERE, 'steps', file);
    const ready = setup?.(file) ?? {};
    try {
      desktop[file] = await desktopSnapshots(REFERENCE, path, readSteps(file), ready);
    } catch (error) {
      const detail = String(error?.stderr || error);
      row(`${file}: the desktop reference follows the steps`, false, detail);
    } finally {
      ready.cleanup?.();
    }
  }

  // An Italian desktop: decimal commas, and the CSV file's fields separated by semicolons.
  const exportSteps = join(HERE, 'steps', 'export.json');
  const exports = await desktopSnapshots(REFERENCE, exportSteps, readSteps('export.json'), {
    env: { LC_ALL: 'it_IT.UTF-8', LANG: 'it_IT.UTF-8' },
  }).then((shown) => shown.table, (error) => {
    row('export.json: the desktop reference follows the steps', false, String(error?.stderr || error));
    return null;
  });

  const browser = await launchBrowser();
  const watch = new PageWatch();
  const timings = [];
  try {
    for (const scenario of SCENARIOS.filter(({ file }) => desktop[file])) {
      await runScenario(browser, url, watch, scenario, desktop[scenario.file], timings);
    }
    // German, Slovene and Italian from the browser's languages and the address, each its row.
    try {
      for (const { name, problem } of await pageSpeaksItsLanguage(browser, url, watch,
        process.env.FUNZIONI_LANGUAGE_SHOTS)) {
        row(`language: ${name}`, !problem, problem);
      }
    } catch (error) {
      row('language: the pages in each language opened', false, String(error?.stack || error));
    }
    await check("the page's editor keeps the file's bytes, downloads and replaces it", () =>
      editorKeepsTheBytes(browser, url, watch));
    await check("the page's editor shows long lines short and keeps their bytes", () =>
      editorKeepsLongLines(browser, url, watch));
    await check('a write the storage refuses loses nothing stored', () =>
      refusedWriteLosesNothing(browser, url, watch));
    await check("the history an earlier page kept in IndexedDB is taken over", () =>
      earlierStorageIsTakenOver(browser, url, watch));
    await check("the storage keeps every byte and writes only a large file's changes", () =>
      storageKeepsEveryByte(browser, url, watch));
    await check('a write refused or cut short leaves the old file or the new one whole', () =>
      storageLosesNothingToAFailedWrite(browser, url, watch));
    await check("a screen reader's actions on the drawn controls reach the program", () =>
      screenReaderActionsReachTheProgram(browser, url, watch));
    await check('Ctrl+C in the study window copies the study as text', () =>
      studyCopiesItsText(browser, url, watch, join(HERE, 'steps', 'study.json')));
    await check("the study window's fields draw the tangent and the area", () =>
      studyFieldsDrawTheTangentAndTheArea(browser, url, watch, process.env.FUNZIONI_STUDY_SHOT));
    await check('the study panel draws the sign chart, read as its lines; x0 from the cursor', () =>
      studyChartReadsAsItsLines(browser, url, watch, process.env.FUNZIONI_CHART_SHOT));
    await check('with the study open, the formula box, the meters and the lists stay in reach', () =>
      studyLeavesTheControlsInReach(browser, url, watch));
    await check('the page answers while a long formula is studied', () =>
      pageAnswersWhileStudying(browser, url, watch, timings));
    await check('a finger scrolls the history list', () =>
      fingerScrollsTheHistory(browser, url, watch));
    await check('Ctrl+S downloads grafico.png, the plotting area pixel for pixel', () =>
      savedPictureIsThePlot(browser, url, watch));
    if (exports) {
      await check('the table copied and saved and the sheet printed as on the desktop', () =>
        exportsAsOnTheDesktop(browser, url, watch, readSteps('export.json'), exports));
    }
    // Against the desktop window, each check its row: the view's gestures (the wheel, Shift and
    // middle drags, two fingers); the page opened at a worksheet link and at a malformed one; the
    // typed formula's k meter dragged, stepped and reset, a play, a family and a kept formula.
    for (const [ran, checks] of [
      ['view.json: the view gestures ran', viewGesturesAsOnTheDesktop],
      ['worksheet: the links opened', worksheetOpensAsOnTheDesktop],
      ['params: the parameter checks ran', parametersAsOnTheDesktop],
    ]) {
      try {
        for (const { name, problem } of await checks(browser, url, watch, REFERENCE, OUT)) {
          row(name, !problem, problem);
        }
      } catch (error) {
        row(ran, false, String(error?.stack || error));
      }
    }
    await check('the opening animation is painted as it is drawn', () =>
      openingFramesAreShown(browser, url, watch));
    await check('every pointer move reaches the program once, in order, before the frame', () =>
      movesReachTheProgramOnce(browser, url, watch));
    await check('the page answers during a long redraw', () =>
      pageAnswersDuringLongRedraw(browser, url, watch, timings));
    await check('timings measured', async () => {
      timings.push(...(await measureTimings(browser, url, watch)));
    });
    await check("the page's scripts use the program's codes, bits, metrics and window size", () =>
      pageUsesTheProgramsConstants(browser, url, watch));
    await check('a call to an export the program lacks throws and is logged', () =>
      missingExportFailsLoudly(browser, url));
    const problems = watch.problems;
    row('no console error, no request outside file:, data:, blob:', problems.length === 0,
      problems.slice(0, 20).join('\n'));
    await check('served over http: installable, offline', () =>
      installableAndOffline(browser, PAGE, url));
  } finally {
    await browser.close();
  }
  await inFirefox(url, desktop);
  for (const [name, ms] of timings) console.log(`time ${name}: ${ms.toFixed(1)} ms`);
}

await main().catch((error) => row('browser tests ran', false, String(error?.stack || error)));
const failed = rows.filter((r) => !r.ok).length;
console.log(`browser: ${rows.length - failed} passed, ${failed} failed, ${skipped} skipped`);
process.exitCode = failed === 0 ? 0 : 1;
