// Where a key's time goes in the formula box holding a formula of 100,000 characters: the page's
// main-thread tasks while two keys are typed, and then while Enter is pressed, each with its
// heaviest browser events from a performance trace; beside them the same keys typed into a bare
// page that holds nothing but a text box with that formula, so that the browser's own share is
// plain. The machine is shared: its load is printed beside the figures, and each task's own
// thread time beside its wall time.
//   node tests/web/formula-trace.mjs [--page build/web/funzioni.html] [--study]
// FUNZIONI_WEB_PAGE and FUNZIONI_CHROMIUM name the page and the browser as for run.mjs.
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { loadavg, tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { parseArgs } from 'node:util';
import { FunzioniPage, launchBrowser, PageWatch } from './page.mjs';

const ROOT = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
const FORMULA_BOX = { x: 700, y: 547 };
const FORMULA = `${'x^2+'.repeat(24999)}x^2`;
// Tasks shorter than this are left out; within a task, events shorter than this too.
const TASK_MS = 20;
const EVENT_MS = 3;
const EVENTS_SHOWN = 6;
const ENTER_WATCH_MS = 3000;
const CATEGORIES = ['devtools.timeline', 'disabled-by-default-devtools.timeline', 'blink',
                    'toplevel', 'v8.execute'];
// The page's formula box as a bare element, at its place and in its font.
const BARE = 'data:text/html,<!doctype html><input type="text" spellcheck="false" ' +
             'style="position:absolute;left:606px;top:536px;width:362px;height:22px;font:18px Arial">';

// The renderer's main thread is the busiest thread of that name in the trace.
function mainThreadEvents(events) {
  const threads = events.filter((e) => e.name === 'thread_name' && e.args.name === 'CrRendererMain');
  const count = (t) => events.filter((e) => e.pid === t.pid && e.tid === t.tid).length;
  const main = threads.sort((a, b) => count(b) - count(a))[0];
  return events.filter((e) => e.pid === main.pid && e.tid === main.tid && e.ph === 'X');
}

function report(label, path) {
  const events = mainThreadEvents(JSON.parse(readFileSync(path, 'utf8')).traceEvents);
  const tasks = events.filter((e) => e.name === 'ThreadControllerImpl::RunTask' &&
                                     e.dur > TASK_MS * 1000);
  console.log(`${label}: ${tasks.length} tasks over ${TASK_MS} ms`);
  for (const task of tasks) {
    const within = new Map();
    for (const e of events) {
      if (e === task || e.ts < task.ts || e.ts + e.dur > task.ts + task.dur) continue;
      if (e.dur > EVENT_MS * 1000) within.set(e.name, (within.get(e.name) || 0) + e.dur);
    }
    const heaviest = [...within].sort((a, b) => b[1] - a[1]).slice(0, EVENTS_SHOWN)
                         .map(([name, us]) => `${name} ${(us / 1000).toFixed(0)}`);
    // The thread's own time beside the wall's: on a loaded machine a task waits for a core.
    console.log(`  ${(task.dur / 1000).toFixed(0)} ms (thread ${(task.tdur / 1000).toFixed(0)} ms): ` +
                heaviest.join(', '));
  }
}

async function traced(page, path, act) {
  await page.tracing.start({ path, categories: CATEGORIES });
  await act();
  await page.tracing.stop();
}

async function main() {
  const { values } = parseArgs({ options: { page: { type: 'string' }, study: { type: 'boolean' } } });
  const path = resolve(values.page || process.env.FUNZIONI_WEB_PAGE ||
                       join(ROOT, 'build/web/funzioni.html'));
  const dir = mkdtempSync(join(tmpdir(), 'funzioni-trace-'));
  const load = loadavg().map((l) => l.toFixed(1)).join(' ');
  const browser = await launchBrowser();
  try {
    const watched = await FunzioniPage.open(browser, pathToFileURL(path).href, new PageWatch());
    await watched.perform({ do: 'click', ...FORMULA_BOX });
    if (values.study) {
      await watched.perform({ do: 'type', text: 'x^2' });
      await watched.perform({ do: 'key', key: 'Enter' });
      await watched.perform({ do: 'key', key: 'F2' });
      await watched.perform({ do: 'click', ...FORMULA_BOX });
    }
    const page = watched.page;
    await page.$eval('[data-control="1480"]', (box) => box.select());
    await (await page.createCDPSession()).send('Input.insertText', { text: FORMULA });
    await traced(page, join(dir, 'keys.json'), () => page.keyboard.type('+x'));
    await traced(page, join(dir, 'enter.json'), async () => {
      await page.keyboard.press('Enter');
      await new Promise((r) => setTimeout(r, ENTER_WATCH_MS));
    });
    await watched.close();  // its renderer quiet: the bare page's is the busiest in its trace
    const bare = await browser.newPage();
    await bare.goto(BARE);
    await bare.focus('input');
    await (await bare.createCDPSession()).send('Input.insertText', { text: FORMULA });
    await traced(bare, join(dir, 'bare.json'), () => bare.keyboard.type('+x'));
    console.log(`${path}${values.study ? ', study open' : ''}; load before ${load}, after ` +
                `${loadavg().map((l) => l.toFixed(1)).join(' ')}`);
    report('two keys, the page', join(dir, 'keys.json'));
    report(`Enter, the page (${ENTER_WATCH_MS} ms watched)`, join(dir, 'enter.json'));
    report('two keys, a bare text box', join(dir, 'bare.json'));
  } finally {
    await browser.close();
    rmSync(dir, { recursive: true, force: true });
  }
}

await main();
