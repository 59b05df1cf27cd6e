// How quick the page is on a slower computer: the start and the meters' drag steps, measured on
// the page's own clock with chromium's CPU throttle, printed as medians with min and max. It
// judges nothing: the machine is shared, and its load is printed beside the figures.
//   node tests/web/timings.mjs [--throttle 4] [--runs 5] [--steps 15] [--page build/web/funzioni.html]
//                              [--browser firefox] [--start-only]
// FUNZIONI_WEB_PAGE and FUNZIONI_CHROMIUM name the page and the browser as for run.mjs,
// FUNZIONI_FIREFOX Firefox. Firefox has no CPU throttle: its figures are at full speed only.
import { loadavg } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { parseArgs } from 'node:util';
import { launchFirefox } from './firefox.mjs';
import { launchBrowser, PageWatch } from './page.mjs';
import { idleInPage, openThrottled, STEP_1, ZOOM_100 } from './timing.mjs';

const HERE = dirname(fileURLToPath(import.meta.url));
const ROOT = resolve(HERE, '../..');

// The meters dragged, each across a stretch of its scale in steps of `dx` pixels.
const METERS = [
  { name: 'parameter meter', y: 652, fromX: 200, dx: 6 }, // a of a.x^2+b
  { name: 'zoom meter', y: 574, fromX: 700, dx: 6 },
];

function summary(values) {
  const sorted = values.filter(Number.isFinite).sort((a, b) => a - b);
  if (sorted.length === 0) return null;
  return { median: sorted[Math.floor(sorted.length / 2)], min: sorted[0], max: sorted.at(-1) };
}

// The start's moments on the page's clock (milliseconds from the navigation). The start picture
// is the last picture put on the canvas before the page was first idle.
async function startTimes(page) {
  await idleInPage(page);
  const t = await page.page.evaluate(() => {
    const nav = performance.getEntriesByType('navigation')[0];
    return { ...window.funzioniPage.timeline(), dcl: nav.domContentLoadedEventEnd };
  });
  const intro = t.firstPost - t.paintStart;
  return {
    'navigation to the start picture': t.lastPicture,
    'the same less the opening animation': t.lastPicture - intro,
    'DOMContentLoaded': t.dcl,
    'module unpacked and compiled': t.compiled - t.compileStart,
    'navigation to the module compiled': t.compiled,
    "the program's start before the first paint": t.paintStart - t.main,
    'the opening animation': intro,
    'after the animation to the start picture': t.lastPicture - t.firstPost,
    'navigation to funzioniPage.ready': t.ready,
  };
}

// Each move of a drag across a meter, from the move event to the last picture put on the canvas
// for it (the page is idle again), on the page's clock.
async function dragSteps(page, meter, steps) {
  const at = (x) => ({ x: page.origin.x + x, y: page.origin.y + meter.y });
  await page.page.evaluate(() => {
    window.addEventListener('mousemove', (e) => (window.funzioniLastMove = e.timeStamp), true);
  });
  await page.perform({ do: 'press', x: meter.fromX, y: meter.y });
  const times = [];
  let x = meter.fromX;
  for (let i = 0; i < steps; ++i) {
    x += meter.dx;
    await page.page.mouse.move(at(x).x, at(x).y);
    await idleInPage(page);
    const t = await page.page.evaluate(() => ({
      move: window.funzioniLastMove,
      blit: window.funzioniPage.timeline().lastPicture,
    }));
    if (t.blit > t.move) times.push(t.blit - t.move);
  }
  await page.perform({ do: 'release', x, y: meter.y });
  return times;
}

// Each notch of the wheel (in and out by turns) and each move of a middle-button drag over the
// plotting area, from the event to the last picture put on the canvas for it.
async function plotSteps(page, gesture, steps) {
  const centre = { x: page.origin.x + 304, y: page.origin.y + 304 };
  await page.page.evaluate((type) => {
    window.addEventListener(type, (e) => (window.funzioniLastInput = e.timeStamp), true);
  }, gesture === 'wheel' ? 'wheel' : 'mousemove');
  const mouse = page.page.mouse;
  await mouse.move(centre.x, centre.y);
  if (gesture === 'pan') await mouse.down({ button: 'middle' });
  const times = [];
  for (let i = 0; i < steps; ++i) {
    if (gesture === 'wheel') {
      await mouse.wheel({ deltaY: i % 2 === 0 ? -100 : 100 });
    } else {
      await mouse.move(centre.x + 6 * (i + 1), centre.y + 3 * (i + 1));
    }
    await idleInPage(page);
    const t = await page.page.evaluate(() => ({
      input: window.funzioniLastInput,
      blit: window.funzioniPage.timeline().lastPicture,
    }));
    if (t.blit > t.input) times.push(t.blit - t.input);
  }
  if (gesture === 'pan') await mouse.up({ button: 'middle' });
  return times;
}

async function oneRun(browser, url, watch, options) {
  const page = await openThrottled(browser, url, watch, options.throttle);
  try {
    const rows = startTimes(page);
    const figures = Object.fromEntries(Object.entries(await rows).map(([k, v]) => [k, [v]]));
    if (options.startOnly) return figures;
    for (const [state, steps] of [['start state', []], ['zoom 100, step 1', [...ZOOM_100, ...STEP_1]]]) {
      for (const step of steps) await page.perform(step);
      for (const meter of METERS) {
        figures[`${meter.name} drag step, ${state}`] = await dragSteps(page, meter, options.steps);
      }
    }
    for (const gesture of ['wheel', 'pan']) {
      figures[`plot ${gesture} step, zoom 100, step 1`] = await plotSteps(page, gesture, options.steps);
    }
    return figures;
  } finally {
    await page.close();
  }
}

async function main() {
  const { values } = parseArgs({
    options: {
      throttle: { type: 'string', default: '1' },
      runs: { type: 'string', default: '5' },
      steps: { type: 'string', default: '15' },
      page: { type: 'string' },
      browser: { type: 'string', default: 'chromium' },
      'start-only': { type: 'boolean', default: false },
    },
  });
  const options = { throttle: Number(values.throttle), runs: Number(values.runs),
                    steps: Number(values.steps), startOnly: values['start-only'] };
  const firefox = values.browser === 'firefox';
  if (firefox && options.throttle !== 1) throw new Error('Firefox has no CPU throttle: use --throttle 1');
  const path = resolve(values.page || process.env.FUNZIONI_WEB_PAGE ||
                       join(ROOT, 'build/web/funzioni.html'));
  const url = pathToFileURL(path).href;
  const load = loadavg().map((l) => l.toFixed(1)).join(' ');
  const browser = firefox ? await launchFirefox() : await launchBrowser();
  if (browser === null) throw new Error('Firefox is not installed');
  const watch = new PageWatch();
  const pooled = {};
  try {
    for (let run = 0; run < options.runs; ++run) {
      const figures = await oneRun(browser, url, watch, options);
      for (const [name, values] of Object.entries(figures)) {
        pooled[name] = [...(pooled[name] ?? []), ...values];
      }
    }
  } finally {
    await browser.close();
  }
  console.log(`${path}: ${values.browser}, CPU throttle ${options.throttle}x, ${options.runs} runs, ` +
              `${options.steps} steps a drag; load before ${load}, after ` +
              `${loadavg().map((l) => l.toFixed(1)).join(' ')}`);
  for (const [name, values] of Object.entries(pooled)) {
    const s = summary(values);
    const figure = s === null ? 'not measured'
      : `${s.median.toFixed(1)} ms (${s.min.toFixed(1)}-${s.max.toFixed(1)}, ${values.length})`;
    console.log(`  ${name}: ${figure}`);
  }
  for (const problem of watch.problems.slice(0, 5)) console.log(`  page: ${problem}`);
}

await main();
