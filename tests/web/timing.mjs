// What only the page is asked: to answer its input while a long redraw is computed, and how
// long its steps take (printed, not judged).
import { FunzioniPage, HEIGHT, WIDTH } from './page.mjs';

// An input or an evaluation waits at most this long while the plot is computed elsewhere.
const ANSWER_LIMIT_MS = 300;
// The opening animation draws 51 frames; shown as they are drawn, far more than a handful of them
// reach the screen (drawn in one task, none but the last would).
const OPENING_FRAMES_SEEN = 10;
const PARAMETER_METER_Y = 652; // the meter of a in the third column (a.x^2+b)

export const ZOOM_100 = [
  { do: 'press', x: 607, y: 574 },
  { do: 'move', x: 969, y: 574 },
  { do: 'release', x: 969, y: 574 },
];
// The step meter's left end gives step 0; keypad - from there gives 1.
export const STEP_1 = [
  { do: 'press', x: 606, y: 596 },
  { do: 'release', x: 606, y: 596 },
  { do: 'key', key: 'KeypadMinus' },
];
const ALL_ON = [{ do: 'click', x: 788, y: 16 }];
// A browser area the window is shrunk to fit, by a scale that is no whole number.
const SHRUNK = { width: 800, height: 600 };

async function follow(page, steps) {
  for (const step of steps) await page.perform(step);
}

async function closeSoon(page) {
  await Promise.race([page.close(), new Promise((resolve) => setTimeout(resolve, 10000))]);
}

function summary(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return { median: sorted[Math.floor(sorted.length / 2)], min: sorted[0], max: sorted.at(-1) };
}

// Milliseconds from each pointer move of a drag across a parameter meter until the page is idle,
// and of the part after chromium took the move (it hands moves over at its frames).
async function dragStepTimes(page) {
  const whole = [];
  const afterMove = [];
  await page.perform({ do: 'press', x: 200, y: PARAMETER_METER_Y });
  for (let x = 210; x <= 290; x += 10) {
    const start = performance.now();
    await page.page.mouse.move(page.origin.x + x, page.origin.y + PARAMETER_METER_Y);
    const moved = performance.now();
    await page.waitForIdle();
    whole.push(performance.now() - start);
    afterMove.push(performance.now() - moved);
  }
  await page.perform({ do: 'release', x: 290, y: PARAMETER_METER_Y });
  return { whole: summary(whole), afterMove: summary(afterMove) };
}

export async function measureTimings(browser, url, watch) {
  const page = await FunzioniPage.open(browser, url, watch);
  try {
    const rows = [['navigation to ready (fresh context)', page.readyMs]];
    const atStart = await dragStepTimes(page);
    await follow(page, [...ZOOM_100, ...STEP_1]);
    const atZoom100 = await dragStepTimes(page);
    for (const [name, t] of [['start state', atStart], ['zoom 100, step 1', atZoom100]]) {
      for (const [part, values] of [['', t.whole], [' after the move', t.afterMove]]) {
        for (const key of ['median', 'min', 'max']) {
          rows.push([`meter drag step${part}, ${name}, ${key}`, values[key]]);
        }
      }
    }
    return rows;
  } finally {
    await closeSoon(page);
  }
}

// Milliseconds of an evaluation that dispatches a DOM event, and of a pointer move over the face.
async function answerTimes(page) {
  const evaluateStart = performance.now();
  await page.page.evaluate(() => {
    let heard = false;
    document.addEventListener('funzioni-test-ping', () => (heard = true), { once: true });
    document.dispatchEvent(new Event('funzioni-test-ping'));
    return heard;
  });
  const evaluateMs = performance.now() - evaluateStart;
  const moveStart = performance.now();
  await page.page.mouse.move(page.origin.x + 973, page.origin.y + 719);
  return { evaluateMs, moveMs: performance.now() - moveStart };
}

// Every curve at zoom 100 and a formula long enough that its redraw lasts; longer formulas until
// the page is seen computing after the answers came back.
export async function pageAnswersDuringLongRedraw(browser, url, watch, timings) {
  for (let terms = 250; terms <= 16000; terms *= 4) {
    const page = await FunzioniPage.open(browser, url, watch);
    try {
      await follow(page, [...ALL_ON, ...ZOOM_100, { do: 'click', x: 700, y: 547 }]);
      const formula = `${'SIN(x)*x^2+'.repeat(terms)}x`;
      await page.page.evaluate((text) => {
        const box = document.activeElement;
        box.value = text;
        box.dispatchEvent(new Event('input', { bubbles: true }));
      }, formula);
      const enterStart = performance.now();
      await page.page.keyboard.press('Enter');
      const enterMs = performance.now() - enterStart;
      if (enterMs > ANSWER_LIMIT_MS) {
        return `the Enter key took ${enterMs.toFixed(0)} ms (${terms} terms)`;
      }
      const busyBefore = !(await page.idle());
      const answers = await answerTimes(page);
      const busyAfter = !(await page.idle());
      if (!busyBefore || !busyAfter) continue;
      timings.push([`evaluation during a long redraw (${terms} terms)`, answers.evaluateMs]);
      timings.push([`pointer move during a long redraw (${terms} terms)`, answers.moveMs]);
      const slow = Object.entries(answers).filter(([, ms]) => ms > ANSWER_LIMIT_MS);
      if (slow.length === 0) return '';
      const times = slow.map(([name, ms]) => `${name} ${ms.toFixed(0)}`);
      return `with ${terms} terms: ${times.join(', ')}`;
    } finally {
      await closeSoon(page);
    }
  }
  return 'no redraw lasted long enough to be seen computing';
}

// The opening animation is painted as it is drawn: the canvas, read at each of the browser's
// frames while the page starts, goes through many pictures before the start picture.
export async function openingFramesAreShown(browser, url, watch) {
  const context = await browser.createBrowserContext();
  try {
    const page = await context.newPage();
    watch.attach(page);
    await page.setViewport({ width: WIDTH, height: HEIGHT, deviceScaleFactor: 1 });
    await page.evaluateOnNewDocument(() => {
      const seen = new Set();
      window.funzioniFramesSeen = seen;
      const look = () => {
        const canvas = document.getElementById('funzioni-canvas');
        if (canvas !== null) {
          // A row across the plotting area: every frame of the curtains changes it.
          const row = canvas.getContext('2d').getImageData(0, 300, canvas.width, 1).data;
          let hash = 0;
          for (const byte of row) hash = (Math.imul(hash, 31) + byte) | 0;
          seen.add(hash);
        }
        if (!window.funzioniFramesDone) requestAnimationFrame(look);
      };
      requestAnimationFrame(look);
    });
    const self = new FunzioniPage(context, page, url);
    await self.load(() => page.goto(url, { waitUntil: 'load' }));
    await self.waitForIdle();
    const seen = await page.evaluate(() => {
      window.funzioniFramesDone = true;
      return window.funzioniFramesSeen.size;
    });
    if (seen >= OPENING_FRAMES_SEEN) return '';
    return `only ${seen} different pictures were shown while the page started`;
  } finally {
    await context.close();
  }
}

// A page in a fresh context, throttled before it is navigated to; `beforeLoad(page)` may add
// scripts or listeners first. The DevTools session is kept as `session`.
export async function openThrottled(browser, url, watch, rate, beforeLoad = async () => {}) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  watch.attach(page);
  await beforeLoad(page);
  await page.setViewport({ width: WIDTH, height: HEIGHT, deviceScaleFactor: 1 });
  // Firefox speaks no DevTools protocol: unthrottled, it is opened without a session.
  let session = null;
  try {
    session = await page.createCDPSession();
  } catch (unsupported) {
    if (rate !== 1) throw unsupported;
  }
  if (rate !== 1) await session.send('Emulation.setCPUThrottlingRate', { rate });
  const self = new FunzioniPage(context, page, url);
  self.session = session;
  self.readyMs = await self.load(() => page.goto(url, { waitUntil: 'load' }));
  return self;
}

// Until the page is idle, looked at from inside it: asking from outside every few milliseconds
// would take the page's own thread from the work measured.
export async function idleInPage(page) {
  await page.page.evaluate(() => new Promise((resolve) => {
    const look = () => (window.funzioniPage.idle() ? resolve() : setTimeout(look, 1));
    look();
  }));
}

// Every pointer move reaches the program once, in order with the presses and releases, at its
// place with the main button; in chromium before the frame's own mousemove is dispatched, so
// that a drag's picture need not wait for the frame. (Moves across the plotting area.)
export async function movesReachTheProgramOnce(browser, url, watch) {
  const page = await FunzioniPage.open(browser, url, watch);
  try {
    await page.page.evaluate(() => {
      const seen = (window.funzioniSeenInput = []);
      const codes = FunzioniShared.shared().pointer;
      const names = Object.fromEntries(Object.entries(codes).map(([name, code]) => [code, name]));
      // The program's exports replace themselves at their first call: its entry is watched.
      const program = FunzioniShared.program;
      FunzioniShared.program = (name, ...args) => {
        const [action, x, y, button] = args;
        if (name === 'funzioni_page_pointer') seen.push(`${names[action]} ${x},${y} ${button}`);
        return program(name, ...args);
      };
      window.addEventListener('mousemove', () => seen.push('mousemove'), true);
    });
    const mouse = page.page.mouse;
    const at = (x, y) => [page.origin.x + x, page.origin.y + y];
    const moves = [[100, 300], [140, 310], [180, 320], [220, 330]];
    const expected = [];
    const seenMoves = () => page.page.evaluate(
      () => window.funzioniSeenInput.filter((e) => e === 'mousemove').length);
    for (const [i, [x, y]] of moves.entries()) {
      if (i === 1) {
        await mouse.down();
        expected.push(`press ${moves[0].join(',')} 0`);
      }
      await mouse.move(...at(x, y));
      expected.push(`move ${x},${y} 0`, 'mousemove');
      await page.page.waitForFunction((n) => window.funzioniSeenInput.filter(
        (e) => e === 'mousemove').length >= n, {}, i + 1);
    }
    await mouse.up();
    expected.push(`release ${moves.at(-1).join(',')} 0`);
    await page.waitForIdle();
    const seen = await page.page.evaluate(() => window.funzioniSeenInput);
    if (await seenMoves() !== moves.length) return `mousemoves seen: ${seen.join('; ')}`;
    // Without the early move (another browser) the program's move follows the mousemove.
    const early = await page.page.evaluate(() => 'onpointerrawupdate' in window);
    const order = early ? expected : expected.map((e, i, all) =>
      e === 'mousemove' ? all[i - 1] : all[i + 1] === 'mousemove' ? 'mousemove' : e);
    const got = seen.join('; ');
    if (got !== order.join('; ')) return `the program got: ${got}; expected: ${order.join('; ')}`;
    return await movesAtFractionsAsPresses(page);
  } finally {
    await closeSoon(page);
  }
}

// In a browser area smaller than the window (shrunk to fit), a move to a place between whole CSS
// pixels reaches the program at the window pixel a press or a release there gets.
async function movesAtFractionsAsPresses(page) {
  await page.page.setViewport({ width: SHRUNK.width, height: SHRUNK.height, deviceScaleFactor: 1 });
  // The window is fitted to the area at its resize, before the next frames.
  await page.page.evaluate(() => new Promise((resolve) => {
    requestAnimationFrame(() => requestAnimationFrame(resolve));
  }));
  await page.waitForIdle();
  await page.page.evaluate(() => window.funzioniSeenInput.splice(0));
  const mouse = page.page.mouse;
  const places = [[150.9, 250.9], [180.9, 260.9]];
  for (const [i, [x, y]] of places.entries()) {
    await mouse.move(x, y);
    await (i === 0 ? mouse.down() : mouse.up());
  }
  await page.waitForIdle();
  const seen = (await page.page.evaluate(() => window.funzioniSeenInput))
    .filter((e) => e !== 'mousemove').map((e) => e.split(' '));
  const [move, press, moveOut, release] = seen;
  const same = seen.length === 4 && move[1] === press[1] && moveOut[1] === release[1];
  const got = seen.map((e) => e.join(' ')).join('; ');
  return same ? '' : `shrunk to ${SHRUNK.width}x${SHRUNK.height}, the program got: ${got}`;
}
