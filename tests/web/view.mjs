// The view's gestures in the page against the desktop window (steps/view.json): the wheel with
// and without Shift and Ctrl, a Shift+left drag and a middle drag, two fingers' pan and pinch.
// Every snapshot is compared with the desktop's pixel for pixel; besides, the wheel keeps the
// coordinates line's reading, and the zoom meter's right click brings back the start picture.
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { snapshotsDiffer } from './compare.mjs';
import { FunzioniPage, HEIGHT, WIDTH } from './page.mjs';
import { desktopSnapshots } from './reference.mjs';
import { runAlone, startedAlone } from './alone.mjs';

const HERE = dirname(fileURLToPath(import.meta.url));
export const VIEW_STEPS = join(HERE, 'steps', 'view.json');
// The plotting area and the coordinates line under it, in the client area.
const PLOT = [4, 4, 600, 600];
const COORDINATES = [4, 605, 599, 16];
// A notch of the wheel scales the view by this much: the desktop's steps for a pinch turn its
// fingers' ratio into whole notches.
const NOTCH_FACTOR = 1.25;
// The keys as chromium names them, for the steps' "Ctrl+" keys.
const CTRL_KEYS = {
  'Ctrl+Left': 'ArrowLeft',
  'Ctrl+Right': 'ArrowRight',
  'Ctrl+Up': 'ArrowUp',
  'Ctrl+Down': 'ArrowDown',
  'Ctrl+Home': 'Home',
  'Ctrl+End': 'End',
  'Ctrl+KeypadPlus': 'NumpadAdd',
  'Ctrl+KeypadMinus': 'NumpadSubtract',
};

// The desktop has no fingers: a pinch there is the middle button dragging the midpoint, then
// the wheel's notches at its end.
export function desktopSteps(steps) {
  return steps.flatMap((step) => {
    if (step.do !== 'pinch') return [step];
    const notches = Math.log(step.to / step.from) / Math.log(NOTCH_FACTOR);
    if (Math.abs(notches - Math.round(notches)) > 1e-9) {
      throw new Error(`a pinch from ${step.from} to ${step.to} is no whole number of notches`);
    }
    const end = { x: step.x + step.dx, y: step.y + step.dy };
    return [
      { do: 'press', x: step.x, y: step.y, button: 'middle' },
      { do: 'move', ...end },
      { do: 'release', ...end, button: 'middle' },
      { do: 'wheel', ...end, notches: Math.round(notches) },
    ];
  });
}

// Shift and Ctrl held around `act`.
async function holding(keyboard, step, act) {
  const keys = [...(step.shift ? ['Shift'] : []), ...(step.ctrl ? ['Control'] : [])];
  for (const key of keys) await keyboard.down(key);
  try {
    await act();
  } finally {
    for (const key of keys.reverse()) await keyboard.up(key);
  }
}

// Two fingers put down across the midpoint (x, y), `from` apart, then moved together so that
// their midpoint moves by (dx, dy) and they stand `to` apart.
async function pinch(page, step) {
  const session = await page.page.createCDPSession();
  const fingers = (cx, cy, apart) => [
    { x: cx - apart / 2, y: cy, id: 1 },
    { x: cx + apart / 2, y: cy, id: 2 },
  ];
  const x = page.origin.x + step.x;
  const y = page.origin.y + step.y;
  const touch = (type, touchPoints) => session.send('Input.dispatchTouchEvent', { type, touchPoints });
  await touch('touchStart', fingers(x, y, step.from));
  await page.waitForIdle();
  await touch('touchMove', fingers(x + step.dx, y + step.dy, step.to));
  await page.waitForIdle();
  await touch('touchEnd', []);
  await session.detach();
}

// One step of the view's steps file in the page; the steps every file has go to page.mjs.
async function perform(page, step) {
  const { mouse, keyboard } = page.page;
  const x = page.origin.x + (step.x ?? 0);
  const y = page.origin.y + (step.y ?? 0);
  const button = step.button ?? 'left';
  if (['press', 'move', 'release', 'click', 'dblclick'].includes(step.do)) page.mouseAt = { x, y };
  switch (step.do) {
    case 'wheel':
      // At the pointer, as the desktop's wheel event comes: a move there first would be one more
      // pointer event than the desktop has.
      if (page.mouseAt?.x !== x || page.mouseAt?.y !== y) throw new Error('wheel away from the pointer');
      await holding(keyboard, step, async () => {
        // chromium reports one notch a wheel event (wheelDeltaY 120), whatever the delta.
        if (Math.abs(step.notches) !== 1) throw new Error('a wheel step of the page is one notch');
        await mouse.wheel({ deltaY: -100 * step.notches });
      });
      break;
    case 'press':
      await holding(keyboard, step, async () => { await mouse.move(x, y); await mouse.down({ button }); });
      break;
    case 'move':
      await holding(keyboard, step, () => mouse.move(x, y));
      break;
    case 'release':
      await holding(keyboard, step, async () => { await mouse.move(x, y); await mouse.up({ button }); });
      break;
    case 'pinch':
      await pinch(page, step);
      break;
    case 'key':
      if (!CTRL_KEYS[step.key]) return page.perform(step);
      await keyboard.down('Control');
      await keyboard.press(CTRL_KEYS[step.key]);
      await keyboard.up('Control');
      break;
    default:
      return page.perform(step);
  }
  await page.waitForIdle();
}

// Where two pictures differ within a rectangle: "none", or the bounding box and the count.
function differenceIn(a, b, [left, top, w, h]) {
  let count = 0;
  const box = [Infinity, Infinity, -1, -1];
  for (let y = top; y < top + h; y++) {
    for (let x = left; x < left + w; x++) {
      const at = (y * WIDTH + x) * 4;
      if (a.compare(b, at, at + 4, at, at + 4) === 0) continue;
      count++;
      box[0] = Math.min(box[0], x);
      box[1] = Math.min(box[1], y);
      box[2] = Math.max(box[2], x);
      box[3] = Math.max(box[3], y);
    }
  }
  return count === 0 ? '' : `${count} pixels differ within ${box.join(',')}`;
}

function rectPixels(rgba, [left, top, w, h]) {
  const out = Buffer.alloc(w * h * 4);
  for (let row = 0; row < h; row++) {
    rgba.copy(out, row * w * 4, ((top + row) * WIDTH + left) * 4, ((top + row) * WIDTH + left + w) * 4);
  }
  return out;
}

function differs(out, name, desktop, page) {
  return snapshotsDiffer(out, `view-${name}`, WIDTH, HEIGHT, desktop, page);
}

// The checks, each { name, problem } (problem empty when it passes).
export async function viewGesturesAsOnTheDesktop(browser, url, watch, reference, out) {
  const steps = JSON.parse(readFileSync(VIEW_STEPS, 'utf8'));
  const dir = mkdtempSync(join(tmpdir(), 'funzioni-view-steps-'));
  let desktop;
  try {
    const path = join(dir, 'view-desktop.json');
    const forDesktop = desktopSteps(steps);
    writeFileSync(path, JSON.stringify(forDesktop));
    desktop = await desktopSnapshots(reference, path, forDesktop);
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
  // The fingers need a touch screen; the mouse's steps stay the mouse's.
  const page = await FunzioniPage.open(browser, url, watch, { touch: true });
  page.touch = false;
  const shown = {};
  try {
    for (const step of steps) {
      await perform(page, step);
      if (step.do === 'snapshot') shown[step.name] = await page.snapshot();
    }
  } finally {
    await page.close();
  }
  const checks = Object.keys(desktop).map((name) => ({
    name: `view.json: ${name} as on the desktop`,
    problem: differs(out, name, desktop[name], shown[name]),
  }));
  const same = (a, b, rect) => rectPixels(a.rgba, rect).equals(rectPixels(b.rgba, rect));
  for (const [side, pictures] of [['page', shown], ['desktop', desktop]]) {
    checks.push({
      name: `view.json (${side}): a wheel step keeps the coordinates line's reading`,
      problem: same(pictures.pointed, pictures.wheel, COORDINATES) ? '' : 'the line changed',
    });
    checks.push({
      name: `view.json (${side}): "Vista iniziale" brings back the start picture pixel for pixel`,
      problem: differenceIn(pictures.pointed.rgba, pictures.home.rgba, PLOT),
    });
  }
  return checks;
}

if (startedAlone(import.meta.url)) await runAlone(viewGesturesAsOnTheDesktop);
