// The page's start: what it leaves in the browser and how it holds its module.
//   node tests/web/start.mjs   (FUNZIONI_WEB_PAGE as for run.mjs)
import { runAlone, startedAlone } from './alone.mjs';
import { FunzioniPage } from './page.mjs';

// The folder's database of earlier editions of the page (IndexedDB, named after the folder).
const EARLIER_DATABASE = '/funzioni';

// A first start and a start after the history was written: neither makes the earlier
// editions' database, which only a browser that kept one is asked to read.
async function noDatabaseMade(browser, url, watch) {
  const page = await FunzioniPage.open(browser, url, watch);
  try {
    const names = () => page.page.evaluate(async () => (await indexedDB.databases()).map((d) => d.name));
    const problems = [];
    if ((await names()).includes(EARLIER_DATABASE)) problems.push('a first start made the database');
    await page.perform({ do: 'restart' });
    if ((await names()).includes(EARLIER_DATABASE)) problems.push('a second start made the database');
    return problems.join('\n');
  } finally {
    await page.close();
  }
}

// The page's scripts are plain ASCII (a script with one other character is held as two bytes a
// character), and hold no module bytes of their own: they are a data block the script reads.
async function moduleOutsideTheScript(browser, url, watch) {
  const page = await FunzioniPage.open(browser, url, watch);
  try {
    return await page.page.evaluate(() => {
      const block = document.getElementById('funzioni-module');
      if (block === null || block.type !== 'application/gzip;base64') return 'no module block';
      const scripts = [...document.scripts].filter((s) => s !== block);
      const long = scripts.filter((s) => s.text.includes(block.text.slice(0, 4096)));
      if (long.length > 0) return 'a script holds the module bytes';
      const wide = scripts.find((s) => /[^\x00-\x7f]/.test(s.text));
      return wide === undefined ? '' : 'a script holds a character beyond ASCII';
    });
  } finally {
    await page.close();
  }
}

// The control the program gives the focus as it starts holds it once the page is shown, though
// the page does not ask the browser before then (a hidden element takes no focus).
async function startFocusTaken(browser, url, watch) {
  const page = await FunzioniPage.open(browser, url, watch);
  try {
    const focused = await page.page.evaluate(() => {
      const active = document.activeElement;
      return active && active.dataset ? active.dataset.control ?? null : null;
    });
    return focused === null ? 'no control has the focus after the start' : '';
  } finally {
    await page.close();
  }
}

// A start counting the workers made, its frames held back until the program has handed over
// its first work when holdFrames is set: (when each worker was made, the page's timeline).
async function countedStart(browser, url, watch, holdFrames) {
  const context = await browser.createBrowserContext();
  try {
    const page = await context.newPage();
    watch.attach(page);
    await page.evaluateOnNewDocument((hold) => {
      const made = (window.funzioniWorkersMade = []);
      window.Worker = class extends window.Worker {
        constructor(...args) {
          super(...args);
          made.push(performance.now());
        }
      };
      if (!hold) return;
      const frame = window.requestAnimationFrame.bind(window);
      window.requestAnimationFrame = (call) => {
        const posted = () => window.funzioniPage?.timeline().firstPost !== undefined;
        const later = () => (posted() ? frame(call) : setTimeout(later, 5));
        later();
        return 0;
      };
    }, holdFrames);
    const started = new FunzioniPage(context, page, url);
    await started.load(() => page.goto(url, { waitUntil: 'load' }));
    await started.waitForIdle();
    return await page.evaluate(() => ({
      made: window.funzioniWorkersMade,
      t: window.funzioniPage.timeline(),
    }));
  } finally {
    await context.close();
  }
}

// The plot's background instance is made once the page has shown its first frame, not inside
// the program's start before its first paint: a start makes one worker, and the start picture
// comes from the work handed to it, also when that work was handed over before the worker was
// made (it waits for it).
async function oneWorkerAfterTheFirstFrame(browser, url, watch) {
  const problems = [];
  for (const holdFrames of [false, true]) {
    const { made, t } = await countedStart(browser, url, watch, holdFrames);
    const start = holdFrames ? 'a start whose frames waited' : 'a start';
    if (made.length !== 1) problems.push(`${start}: ${made.length} workers made`);
    if (!(made[0] > t.paintStart)) problems.push(`${start}: the worker made before the first paint`);
    if (!(t.firstPost < t.lastPicture)) problems.push(`${start}: no picture after the work was handed over`);
  }
  return problems.join('\n');
}

export async function startChecks(browser, url, watch) {
  const rows = [];
  for (const [name, check] of [
    ['a start makes no database for earlier editions', noDatabaseMade],
    ['the module is a data block beside the script', moduleOutsideTheScript],
    ['the control focused at the start has the focus', startFocusTaken],
    ['one worker, made after the first frame', oneWorkerAfterTheFirstFrame],
  ]) {
    try {
      rows.push({ name, problem: await check(browser, url, watch) });
    } catch (error) {
      rows.push({ name, problem: String(error?.stack || error) });
    }
  }
  return rows;
}

if (startedAlone(import.meta.url)) await runAlone(startChecks);
