// The page in headless chromium: loading it at exactly the window's client size, the steps of a
// steps file, and what it shows (the canvas's pixels, the stock controls' texts and rectangles).
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';

// The client size as the program defines it (src/app/MainWindow.h), read rather than copied.
function clientSize() {
  const header = join(dirname(fileURLToPath(import.meta.url)), '../../src/app/MainWindow.h');
  const text = readFileSync(header, 'utf8');
  const read = (name) => {
    const found = new RegExp(`${name}\\s*=\\s*(\\d+)`).exec(text);
    if (found === null) throw new Error(`${name} is not in ${header}`);
    return Number(found[1]);
  };
  return [read('kClientWidth'), read('kClientHeight')];
}
export const [WIDTH, HEIGHT] = clientSize();
const IDLE_TIMEOUT_MS = 30000;
const READY_TIMEOUT_MS = 30000;
// The longest wait for the page's writes to reach the browser's storage before a reload.
const SETTLE_TIMEOUT_MS = 30000;
const LOCAL_URL = /^(file|data|blob):/;
// Held longer than the page's long press (0.6 s), a finger is the right button.
const LONG_PRESS_MS = 700;

// Keys by the steps file's names, as chromium names them (a "Shift+" name with Shift held).
const KEYS = {
  KeypadPlus: 'NumpadAdd',
  KeypadMinus: 'NumpadSubtract',
  Enter: 'Enter',
  Escape: 'Escape',
  Backspace: 'Backspace',
  Tab: 'Tab',
  'Shift+Tab': 'Tab',
  Left: 'ArrowLeft',
  Right: 'ArrowRight',
  Up: 'ArrowUp',
  Down: 'ArrowDown',
  PageUp: 'PageUp',
  PageDown: 'PageDown',
  Home: 'Home',
  End: 'End',
  Space: 'Space',
  F2: 'F2',
  ArrowDown: 'ArrowDown',
  ArrowUp: 'ArrowUp',
};

// puppeteer types these four on the numeric keypad, whose keys are the program's commands; a
// user (and the desktop reference) types them on the main keys.
const MAIN_KEYS = {
  '+': { code: 'Equal', shift: true },
  '-': { code: 'Minus', shift: false },
  '*': { code: 'Digit8', shift: true },
  '/': { code: 'Slash', shift: false },
};

async function typeOnMainKeys(keyboard, text) {
  for (const char of text) {
    const key = MAIN_KEYS[char];
    if (!key) {
      await keyboard.type(char);
      continue;
    }
    if (key.shift) await keyboard.down('Shift');
    await keyboard.press(key.code);
    if (key.shift) await keyboard.up('Shift');
  }
}

export async function launchBrowser() {
  return puppeteer.launch({
    executablePath: process.env.FUNZIONI_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    // No name resolves: a request that should not be made fails instead of leaving the machine.
    // Only this computer answers (the server of the page served over http). The file address
    // keeps chromium's usual rules, as a user's browser opens the file.
    args: ['--no-sandbox', '--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1'],
  });
}

// What every page of a run reported that a page must not: console errors, uncaught exceptions,
// requests for anything outside the file and the data and blob addresses it makes.
export class PageWatch {
  constructor() {
    this.problems = [];
  }
  attach(page) {
    page.on('console', (message) => {
      if (message.type() === 'error') this.problems.push(`console error: ${message.text()}`);
    });
    page.on('pageerror', (error) => this.problems.push(`uncaught: ${error.message}`));
    page.on('error', (error) => this.problems.push(`the page crashed: ${error.message}`));
    page.on('request', (request) => {
      if (!LOCAL_URL.test(request.url())) this.problems.push(`request: ${request.url()}`);
    });
    page.on('requestfailed', (request) => {
      if (!LOCAL_URL.test(request.url())) return; // already counted
      this.problems.push(`failed: ${request.url().slice(0, 120)} ${request.failure()?.errorText}`);
    });
  }
}

// One page in a fresh browser context (its own IndexedDB, so its own history file).
export class FunzioniPage {
  // touch: the steps' pointer is a finger (see performByTouch).
  static async open(browser, url, watch, { touch = false } = {}) {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    watch.attach(page);
    await page.setViewport({ width: WIDTH, height: HEIGHT, deviceScaleFactor: 1, hasTouch: touch });
    const self = new FunzioniPage(context, page, url);
    self.touch = touch;
    self.readyMs = await self.load(() => page.goto(url, { waitUntil: 'load' }));
    return self;
  }

  constructor(context, page, url) {
    this.context = context;
    this.page = page;
    this.url = url;
    this.origin = { x: 0, y: 0 };
    this.touch = false;
    this.fingerDown = false;
  }

  async close() {
    await this.context.close();
  }

  // The page reloaded once the browser's storage holds what the page wrote to it: a write
  // returns as soon as the page's own copy of the storage has it, and reaches the storage shared
  // by a reload only later (chromium keeps it in another process), so a reload right after a
  // write may read the storage as it was before.
  async reload() {
    if ((await this.page.browser().version()).includes('Chrom')) await this.storageSettled();
    await this.load(() => this.page.reload({ waitUntil: 'load' }));
  }

  // Once the browser's shared storage holds every write the page made: a mark the page writes
  // after them is seen by a page of another process, which the browser tells of it only then.
  async storageSettled() {
    const watcher = await this.context.newPage();
    try {
      await watcher.goto(blankPageUrl());
      await watcher.evaluate(() => {
        window.marks = [];
        localStorage.getItem('');  // told of changes from now on
        addEventListener('storage', (event) => window.marks.push([event.key, event.newValue]));
      });
      const token = `${Date.now()}-${Math.random()}`;
      if (!(await this.page.evaluate(writeMark, SETTLE_MARK, token))) return;
      await watcher.waitForFunction(
        (key, value) => window.marks.some((m) => m[0] === key && m[1] === value),
        { timeout: SETTLE_TIMEOUT_MS, polling: 10 }, SETTLE_MARK, token);
      await this.page.evaluate(writeMark, SETTLE_MARK, null);
    } finally {
      await watcher.close();
      await this.page.bringToFront();
    }
  }

  // Milliseconds from the navigation to funzioniPage.ready.
  async load(navigate) {
    const start = performance.now();
    await navigate();
    await this.page.waitForFunction(() => window.funzioniPage !== undefined, {
      timeout: READY_TIMEOUT_MS,
    });
    await this.page.evaluate(
      (timeout) =>
        Promise.race([
          window.funzioniPage.ready,
          new Promise((_, reject) => setTimeout(() => reject(new Error('not ready')), timeout)),
        ]),
      READY_TIMEOUT_MS,
    );
    const ms = performance.now() - start;
    this.origin = await this.page.evaluate(() => {
      const r = document.getElementById('funzioni').getBoundingClientRect();
      return { x: r.left, y: r.top };
    });
    return ms;
  }

  // Idle: the program waits for input and no background instance computes; with programOnly
  // set (the soak), a background instance may still compute (a long study), as when a pupil
  // goes on working while it does.
  async idle() {
    if (this.programOnly) return this.page.evaluate(() => window.funzioniPage.programIdle());
    return this.page.evaluate(() => window.funzioniPage.idle());
  }

  async waitForIdle() {
    const start = performance.now();
    while (!(await this.idle())) {
      if (performance.now() - start > IDLE_TIMEOUT_MS) {
        throw new Error('the page did not become idle');
      }
      await new Promise((resolve) => setTimeout(resolve, 2));
    }
  }

  // The pointer's steps done with one finger, as a user of a touch board would: a click is a
  // tap, the right button a long press, a double click a double tap, a press, moves and a
  // release a drag. A move with no finger down has no touch of its own: nothing is done.
  async performByTouch(step, x, y) {
    const screen = this.page.touchscreen;
    const hold = () => new Promise((resolve) => setTimeout(resolve, LONG_PRESS_MS));
    const right = step.button === 'right';
    switch (step.do) {
      case 'move':
        if (this.fingerDown) await screen.touchMove(x, y);
        return true;
      case 'press':
        await screen.touchStart(x, y);
        this.fingerDown = true;
        if (right) await hold();
        return true;
      case 'release':
        if (this.fingerDown) await screen.touchMove(x, y);
        await screen.touchEnd();
        this.fingerDown = false;
        return true;
      case 'click':
        await screen.touchStart(x, y);
        if (right) await hold();
        await screen.touchEnd();
        return true;
      case 'dblclick':
        for (let tap = 0; tap < 2; ++tap) {
          await screen.touchStart(x, y);
          await screen.touchEnd();
        }
        return true;
      default:
        return false;
    }
  }

  // One step of a steps file, then until the page is idle again.
  async perform(step) {
    if (this.touch) {
      const done = await this.performByTouch(
        step, this.origin.x + (step.x ?? 0), this.origin.y + (step.y ?? 0));
      if (done) {
        await this.waitForIdle();
        return;
      }
    }
    const mouse = this.page.mouse;
    const x = this.origin.x + (step.x ?? 0);
    const y = this.origin.y + (step.y ?? 0);
    const button = step.button ?? 'left';
    switch (step.do) {
      case 'move': await mouse.move(x, y); break;
      case 'press': await mouse.move(x, y); await mouse.down({ button }); break;
      case 'release': await mouse.move(x, y); await mouse.up({ button }); break;
      case 'click': await mouse.click(x, y, { button }); break;
      case 'dblclick': await mouse.click(x, y, { count: 2 }); break;
      case 'key': {
        if (!KEYS[step.key]) throw new Error(`no key named ${step.key}`);
        const shift = step.key.startsWith('Shift+');
        if (shift) await this.page.keyboard.down('Shift');
        await this.page.keyboard.press(KEYS[step.key]);
        if (shift) await this.page.keyboard.up('Shift');
        break;
      }
      case 'type': await typeOnMainKeys(this.page.keyboard, step.text); break;
      case 'idle': break;
      case 'restart': await this.reload(); break;
      case 'snapshot': break;
      case 'export': break;  // what the page gives is the test's to take (export.mjs)
      case 'editor': await this.finishEditor(step.text, step.button); break;
      case 'storage-fails': await this.page.evaluate(refuseStorage); break;
      case 'study-line': await this.clickStudy(`[role="option"]:nth-child(${step.line + 1})`); break;
      case 'study-check': await this.clickStudy('input[type="checkbox"]'); break;
      default: throw new Error(`no step named ${step.do}`);
    }
    await this.waitForIdle();
  }

  // What the browser downloads into the folder `dir` when `trigger` runs: its name and bytes.
  async download(dir, trigger) {
    const session = await this.page.createCDPSession();
    await session.send('Browser.setDownloadBehavior', {
      behavior: 'allow',
      downloadPath: dir,
      browserContextId: this.context.id,
      eventsEnabled: true,
    });
    let name = null;
    const done = new Promise((resolve, reject) => {
      const timer = setTimeout(() => reject(new Error('no download')), IDLE_TIMEOUT_MS);
      session.on('Browser.downloadWillBegin', (e) => { name = e.suggestedFilename; });
      session.on('Browser.downloadProgress', (e) => {
        if (e.state !== 'completed' && e.state !== 'canceled') return;
        clearTimeout(timer);
        resolve(e.state);
      });
    });
    await trigger();
    const state = await done;
    await session.detach();
    if (state !== 'completed') throw new Error(`the download was ${state}`);
    return { name, bytes: readFileSync(join(dir, name)) };
  }

  // A part of the study window, open, clicked where it shows.
  async clickStudy(part) {
    const selector = `[role="dialog"][aria-label="Studio della funzione"] ${part}`;
    const element = await this.page.waitForSelector(selector, {
      visible: true,
      timeout: IDLE_TIMEOUT_MS,
    });
    await element.click();
  }

  // The page's editor, open: its text replaced by `text`, then the button named `button`.
  async finishEditor(text, button) {
    const editor = await this.page.waitForSelector('#funzioni-editor textarea', {
      visible: true,
      timeout: IDLE_TIMEOUT_MS,
    });
    await editor.evaluate((area, value) => { area.value = value; }, text);
    const names = { Salva: 'save', Annulla: 'cancel' };
    if (!names[button]) throw new Error(`the editor has no button ${button}`);
    await this.page.click(`#funzioni-editor [data-editor="${names[button]}"]`);
    await this.page.waitForSelector('#funzioni-editor', { hidden: true, timeout: IDLE_TIMEOUT_MS });
  }

  // The steps up to each snapshot; returns the snapshots by name, each with what more(page)
  // adds.
  async follow(steps, more) {
    const snapshots = {};
    for (const step of steps) {
      await this.perform(step);
      if (step.do !== 'snapshot') continue;
      snapshots[step.name] = { ...(await this.snapshot()), ...(more ? await more(this) : {}) };
    }
    return snapshots;
  }

  // The canvas's pixels (RGBA), the stock controls' texts and rectangles, the title.
  async snapshot() {
    // Two frames, so that whatever the page composes at a frame is on the canvas.
    await this.page.evaluate(
      () => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))),
    );
    const shown = await this.page.evaluate(readPage);
    return { ...shown, rgba: Buffer.from(shown.rgba, 'base64') };
  }
}

// The mark a reload waits for (see FunzioniPage.reload).
const SETTLE_MARK = 'funzioni-test-settled';

// Runs in the page: `value` written as the mark (null: the mark removed) through a frame of the
// page, which shares its storage and whose storage object the page cannot have replaced
// (refuseStorage); false when the storage takes no mark (none, full).
function writeMark(key, value) {
  const frame = document.createElement('iframe');
  frame.style.display = 'none';
  document.body.appendChild(frame);
  try {
    const storage = frame.contentWindow.localStorage;
    if (value === null) storage.removeItem(key); else storage.setItem(key, value);
    return true;
  } catch (refused) {
    return false;
  } finally {
    frame.remove();
  }
}

// An empty page of the file: origin, which shares the page's storage in chromium.
let blankPage = null;
function blankPageUrl() {
  if (blankPage === null) {
    const dir = mkdtempSync(join(tmpdir(), 'funzioni-web-blank-'));
    process.once('exit', () => rmSync(dir, { recursive: true, force: true }));
    const path = join(dir, 'blank.html');
    writeFileSync(path, '<!doctype html><title>blank</title>');
    blankPage = pathToFileURL(path).href;
  }
  return blankPage;
}

// Runs in the page: from now on the browser refuses to store anything, as when its storage is
// full.
export function refuseStorage() {
  Storage.prototype.setItem = function setItem() {
    throw new DOMException('the storage is full', 'QuotaExceededError');
  };
}

// Runs in the page.
function readPage() {
  // The study window as assistive technology finds it (as the desktop reference writes it);
  // null while it is not shown.
  const readStudy = () => {
    const dialog = [...document.querySelectorAll('[role="dialog"]')].find(
      (e) => e.getAttribute('aria-label') === 'Studio della funzione' && e.getClientRects().length);
    if (!dialog) return null;
    const list = dialog.querySelector('[role="listbox"]');
    const lines = [...list.querySelectorAll('[role="option"]')];
    const check = dialog.querySelector('input[type="checkbox"]');
    return {
      title: dialog.getAttribute('aria-label'),
      heading: document.getElementById(dialog.getAttribute('aria-describedby'))?.textContent,
      list: list.getAttribute('aria-label'),
      lines: lines.map((line) => line.textContent),
      current: lines.findIndex((line) => line.getAttribute('aria-selected') === 'true'),
      check: check.labels[0]?.textContent,
      checked: check.checked,
    };
  };
  const canvas = document.getElementById('funzioni-canvas');
  const client = document.getElementById('funzioni').getBoundingClientRect();
  const pixels = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
  let binary = '';
  for (let at = 0; at < pixels.length; at += 0x8000) {
    binary += String.fromCharCode.apply(null, pixels.subarray(at, at + 0x8000));
  }
  const lists = {};
  const stockControls = {};
  let box = null;
  for (const element of document.querySelectorAll('[data-control]')) {
    const id = element.getAttribute('data-control');
    const r = element.getBoundingClientRect();
    stockControls[id] = [r.left - client.left, r.top - client.top, r.width, r.height];
    if (element.tagName === 'INPUT' || element.tagName === 'TEXTAREA') {
      box = element.value;
    } else {
      const lines = element.querySelectorAll('option, [role="option"], [data-line]');
      lists[id] = [...lines].map((line) => line.textContent);
    }
  }
  const canvasRect = canvas.getBoundingClientRect();
  return {
    study: readStudy(),
    ended: window.funzioniPage.ended(),
    title: document.title,
    lists,
    box,
    stockControls,
    canvas: [
      canvasRect.left - client.left,
      canvasRect.top - client.top,
      canvas.width,
      canvas.height,
    ],
    client: [client.left, client.top, client.width, client.height],
    rgba: btoa(binary),
  };
}
