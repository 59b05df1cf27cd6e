// The typed formula's parameters in the page against the desktop window (steps/params.json): the
// k meter of x^3-k*x+9 dragged, stepped from the keypad and reset, each picture compared with the
// desktop's pixel for pixel. Then, in the page: a play of k changes the picture over time while
// the page goes on answering, the family of k draws its shades, and a formula kept from the
// history list is drawn in its own colour.
import { readFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { snapshotsDiffer } from './compare.mjs';
import { FunzioniPage, HEIGHT, WIDTH } from './page.mjs';
import { desktopSnapshots } from './reference.mjs';
import { runAlone, startedAlone } from './alone.mjs';

const HERE = dirname(fileURLToPath(import.meta.url));
export const PARAMS_STEPS = join(HERE, 'steps', 'params.json');
// The plotting area in the client area, the k meter's middle, the formula box.
const PLOT = [4, 4, 600, 600];
const K_METER = { x: 818, y: 614 };
const FORMULA_BOX = { x: 700, y: 547 };
const HISTORY = '1460';
// The first kept formula's colour (orange) and the family's shades from light to dark, as the
// program mixes them (RGB).
const KEPT_ORANGE = [255, 144, 0];
const LIGHT_SHADE = [180, 245, 225];
const DARK_SHADE = [20, 180, 150];
// A play at the middle speed takes ten steps a second: over this long it shows several pictures.
const PLAY_WATCH_MS = 2000;
const LOOKS = 8;
// The page answers a look at its state within this, play or not.
const ANSWER_MS = 1000;

export function familyShade(index, count) {
  return LIGHT_SHADE.map((light, c) => light + Math.trunc(((DARK_SHADE[c] - light) * index) / (count - 1)));
}

function countColour(rgba, [left, top, w, h], [r, g, b]) {
  let count = 0;
  for (let y = top; y < top + h; y++) {
    for (let x = left; x < left + w; x++) {
      const at = (y * WIDTH + x) * 4;
      if (rgba[at] === r && rgba[at + 1] === g && rgba[at + 2] === b) count++;
    }
  }
  return count;
}

function plotPixels(rgba) {
  const [left, top, w, h] = PLOT;
  const out = Buffer.alloc(w * h * 4);
  for (let row = 0; row < h; row++) {
    rgba.copy(out, row * w * 4, ((top + row) * WIDTH + left) * 4, ((top + row) * WIDTH + left + w) * 4);
  }
  return out.toString('base64');
}

// The entry of the menu open now with this text, clicked.
async function choose(page, text) {
  await page.page.waitForSelector('#funzioni-menu [role="menuitem"]');
  for (const item of await page.page.$$('#funzioni-menu [role="menuitem"]')) {
    if ((await item.evaluate((e) => e.textContent)) !== text) continue;
    await item.click();
    return;
  }
  throw new Error(`no menu entry "${text}"`);
}

// F3 over the k meter, and an entry of its menu.
async function chooseForK(page, text) {
  await page.page.mouse.move(page.origin.x + K_METER.x, page.origin.y + K_METER.y);
  await page.page.keyboard.press('F3');
  await choose(page, text);
}

async function typeFormula(page, text) {
  await page.perform({ do: 'click', ...FORMULA_BOX });
  // The text there before, taken away as a user does.
  await page.page.keyboard.press('End');
  for (let i = 0; i < 20; i++) await page.page.keyboard.press('Backspace');
  await page.perform({ do: 'type', text });
  await page.perform({ do: 'key', key: 'Enter' });
}

// A play of k: the plotting area changes over time, and every look at the page while it plays
// is answered within ANSWER_MS.
async function playChangesThePicture(page) {
  await chooseForK(page, 'Anima k: avanti e indietro');
  const pictures = new Set();
  let slowest = 0;
  for (let i = 0; i < LOOKS; i++) {
    await new Promise((resolve) => setTimeout(resolve, PLAY_WATCH_MS / LOOKS));
    const start = performance.now();
    pictures.add(plotPixels((await page.snapshot()).rgba));
    slowest = Math.max(slowest, performance.now() - start);
  }
  await chooseForK(page, "Ferma l'animazione");
  await page.waitForIdle();
  const problems = [];
  if (pictures.size < 3) problems.push(`${pictures.size} pictures in ${PLAY_WATCH_MS} ms of play`);
  if (slowest > ANSWER_MS) problems.push(`a look took ${slowest.toFixed(0)} ms during the play`);
  return problems.join('\n');
}

async function familyDrawsItsShades(page) {
  await chooseForK(page, 'Famiglia di k: 5 curve');
  await page.waitForIdle();
  const { rgba } = await page.snapshot();
  const missing = [0, 1, 2, 3, 4].filter((i) => countColour(rgba, PLOT, familyShade(i, 5)) < 50);
  await chooseForK(page, 'Famiglia spenta');
  await page.waitForIdle();
  const left = countColour((await page.snapshot()).rgba, PLOT, familyShade(2, 5));
  const problems = [];
  if (missing.length) problems.push(`shades ${missing.join(', ')} of five are not drawn`);
  if (left) problems.push(`${left} pixels of the family are left once it is off`);
  return problems.join('\n');
}

// The typed formula kept from its history line (Shift + right button), then another typed: the
// kept one stays drawn in orange.
async function secondFormulaKept(page) {
  const line = await page.page.evaluateHandle((id) =>
    [...document.querySelectorAll(`[data-control="${id}"] [role="option"]`)]
      .find((e) => e.textContent === 'x^3-k*x+9'), HISTORY);
  const element = line.asElement();
  if (!element) return 'x^3-k*x+9 is not in the history list';
  await element.click();
  await page.waitForIdle();
  const box = await element.boundingBox();
  await page.page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
  await page.page.keyboard.down('Shift');
  await page.page.mouse.click(box.x + box.width / 2, box.y + box.height / 2, { button: 'right' });
  await page.page.keyboard.up('Shift');
  await choose(page, 'Tieni nel grafico');
  await typeFormula(page, 'x^2');
  await page.waitForIdle();
  const orange = countColour((await page.snapshot()).rgba, PLOT, KEPT_ORANGE);
  return orange > 200 ? '' : `${orange} orange pixels of the kept x^3-k*x+9`;
}

function differs(out, name, desktop, page) {
  return snapshotsDiffer(out, `params-${name}`, WIDTH, HEIGHT, desktop, page);
}

// The checks, each { name, problem } (problem empty when it passes).
export async function parametersAsOnTheDesktop(browser, url, watch, reference, out) {
  const steps = JSON.parse(readFileSync(PARAMS_STEPS, 'utf8'));
  const desktop = await desktopSnapshots(reference, PARAMS_STEPS, steps);
  const page = await FunzioniPage.open(browser, url, watch);
  const checks = [];
  const run = async (name, body) => {
    try {
      checks.push({ name, problem: await body() });
    } catch (error) {
      checks.push({ name, problem: String(error?.stack || error) });
    }
  };
  try {
    const shown = await page.follow(steps);
    for (const name of Object.keys(desktop)) {
      checks.push({
        name: `params.json: ${name} as on the desktop`,
        problem: differs(out, name, desktop[name], shown[name]),
      });
    }
    await run('params: a play of k changes the picture while the page answers', () =>
      playChangesThePicture(page));
    await run('params: the family of k draws its five shades and goes when off', () =>
      familyDrawsItsShades(page));
    await run('params: a formula kept from the history is drawn in its own colour', () =>
      secondFormulaKept(page));
  } finally {
    await page.close();
  }
  return checks;
}

if (startedAlone(import.meta.url)) await runAlone(parametersAsOnTheDesktop);
