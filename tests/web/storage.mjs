// The program's folder kept in the browser's storage, below the program: files written as the
// program writes them (closed after writing), then read back by a reload. Every byte value kept,
// a large file's change written without its unchanged bytes, a refused write reported with
// nothing lost, and a write cut short (the page gone in the middle of it) leaving the old file
// or the new one whole, never a mix.
import { FunzioniPage } from './page.mjs';

const HISTORY = '/funzioni/espressioni.txt';
const MEGABYTE = 1 << 20;

// Runs in the page: the file's stored bytes as a text of a character a byte, or null.
function storedText(path) {
  // (Before the page's scripts run, or in an earlier page, the file as earlier pages kept it.)
  if (typeof FunzioniStorage !== 'object' || typeof FunzioniStorage.stored !== 'function') {
    return localStorage.getItem(`funzioni-file:${path}`);
  }
  const bytes = FunzioniStorage.stored(path);
  if (bytes === null) return null;
  let text = '';
  for (let at = 0; at < bytes.length; at += 0x8000) {
    text += String.fromCharCode.apply(null, bytes.subarray(at, at + 0x8000));
  }
  return text;
}

// The history file's bytes as the page's storage holds them (null: none).
export async function storedHistory(page) {
  const text = await page.page.evaluate(storedText, HISTORY);
  return text === null ? null : Buffer.from(text, 'latin1');
}

// Runs in the page: `text` (a character a byte) written to the file as the program writes, and
// the characters the storage was given meanwhile; `failAfter` storage changes, the storage
// refuses every further one (`refuse`) or ignores it (`vanish`: the page is gone).
function writeFile(path, text, failAfter, how) {
  const bytes = Uint8Array.from(text, (c) => c.charCodeAt(0));
  const set = Storage.prototype.setItem;
  const remove = Storage.prototype.removeItem;
  let changes = 0;
  let written = 0;
  const failing = () => failAfter >= 0 && changes++ >= failAfter;
  const refused = () => new DOMException('the storage is full', 'QuotaExceededError');
  Storage.prototype.setItem = function setItem(key, value) {
    if (failing()) {
      if (how === 'refuse') throw refused();
      return;
    }
    written += String(value).length;
    set.call(this, key, value);
  };
  Storage.prototype.removeItem = function removeItem(key) {
    if (failing() && how === 'vanish') return;
    remove.call(this, key);
  };
  try {
    FS.writeFile(path, bytes);
    return { written, failed: false };
  } catch (error) {
    return { written, failed: true };
  } finally {
    Storage.prototype.setItem = set;
    Storage.prototype.removeItem = remove;
  }
}

// Runs in the page: the folder's file as the program reads it, a character a byte.
function fileText(path) {
  try {
    const bytes = FS.readFile(path);
    let text = '';
    for (let at = 0; at < bytes.length; at += 0x8000) {
      text += String.fromCharCode.apply(null, bytes.subarray(at, at + 0x8000));
    }
    return text;
  } catch (missing) {
    return null;
  }
}

function describe(got, want) {
  if (got === null) return 'none';
  if (got === want) return 'the same';
  let at = 0;
  while (at < got.length && got[at] === want[at]) ++at;
  return `${got.length} bytes (not ${want.length}), first difference at ${at}`;
}

// Every byte value, then `size` bytes of lines in all.
function fileOf(size, seed) {
  let text = '';
  for (let b = 0; b < 256; ++b) text += String.fromCharCode(b);
  for (let i = 0; text.length < size; ++i) text += `x^${i + seed}+${'k*x+'.repeat(i % 50)}1 'n\xf9\r\n`;
  return text.slice(0, size);
}

// What a reload reads of the history, compared with `want`.
async function afterReload(page, name, want) {
  await page.perform({ do: 'restart' });
  const got = await page.page.evaluate(fileText, HISTORY);
  return got === want ? '' : `${name}: after a reload ${describe(got, want)}`;
}

// A history of `before` written, then `after`; checks the page's file and the reloaded one.
async function rewrite(page, before, after, failAfter = -1, how = 'refuse') {
  const first = await page.page.evaluate(writeFile, HISTORY, before, -1, 'refuse');
  if (first.failed) return { problem: 'the first write was refused', written: 0 };
  const second = await page.page.evaluate(writeFile, HISTORY, after, failAfter, how);
  return { ...second, problem: '' };
}

export async function storageKeepsEveryByte(browser, url, watch) {
  const page = await FunzioniPage.open(browser, url, watch);
  const problems = [];
  try {
    // Small (kept whole) and large (kept in pieces): every byte value back after a reload,
    // and a large file first stored whole, as earlier pages stored it, read the same.
    for (const size of [300, 3 * MEGABYTE]) {
      const text = fileOf(size, 0);
      const { failed } = await page.page.evaluate(writeFile, HISTORY, text, -1, 'refuse');
      if (failed) problems.push(`${size} bytes: refused`);
      problems.push(await afterReload(page, `${size} bytes`, text));
    }
    const earlier = fileOf(2 * MEGABYTE, 1);
    await page.page.evaluate((key, t) => localStorage.setItem(key, t), `funzioni-file:${HISTORY}`,
      earlier);
    problems.push(await afterReload(page, 'a large history stored whole', earlier));

    // A line added, one changed in the middle, one deleted: the storage is given about what
    // changed, not the megabytes around it.
    const base = fileOf(3 * MEGABYTE, 2);
    const middle = base.length >> 1;
    const edits = [
      ['a line added at the end', `${base}x^3-x\r\n`],
      ['a line changed in the middle', `${base.slice(0, middle)}COS(x)${base.slice(middle + 6)}`],
      ['a line deleted', base.slice(0, middle) + base.slice(base.indexOf('\r\n', middle) + 2)],
      ['nothing changed', base],
    ];
    for (const [name, after] of edits) {
      const result = await rewrite(page, base, after);
      if (result.problem || result.failed) problems.push(`${name}: ${result.problem || 'refused'}`);
      if (result.written > 64 << 10) problems.push(`${name}: ${result.written} characters written`);
      problems.push(await afterReload(page, name, after));
    }
  } finally {
    await page.close();
  }
  return problems.filter(Boolean).join('\n');
}

export async function storageLosesNothingToAFailedWrite(browser, url, watch) {
  const page = await FunzioniPage.open(browser, url, watch);
  const problems = [];
  try {
    for (const size of [300, 2 * MEGABYTE]) {
      const before = fileOf(size, 3);
      const changes = [
        ['a line added', `${before}SIN(x)\r\n`],
        ['another file', fileOf(size + 100, 4)],
      ];
      for (const [change, after] of changes) {
        // Refused at each step of the write (a large file: the new piece, the record that
        // switches to it): reported, the page's file and the stored one the old file.
        const steps = size > MEGABYTE ? [0, 1] : [0];
        for (const failAfter of steps) {
          const name = `${size} bytes, ${change}, refused after ${failAfter} changes`;
          const result = await rewrite(page, before, after, failAfter, 'refuse');
          if (result.problem) problems.push(`${name}: ${result.problem}`);
          const now = await page.page.evaluate(fileText, HISTORY);
          const stored = now === after;
          if (!result.failed && !stored) problems.push(`${name}: reported stored, yet not`);
          if (result.failed && now !== before) problems.push(`${name}: the file is ${describe(now, before)}`);
          problems.push(await afterReload(page, name, result.failed ? before : after));
        }
        // Cut short after the new piece, after the record, after a removal: the reload finds
        // the old file or the new one, whole (a small file is written in one change).
        for (const failAfter of size > MEGABYTE ? [1, 2, 3] : []) {
          const name = `${size} bytes, ${change}, cut short after ${failAfter} changes`;
          await rewrite(page, before, after, failAfter, 'vanish');
          await page.perform({ do: 'restart' });
          const got = await page.page.evaluate(fileText, HISTORY);
          if (got !== before && got !== after) {
            problems.push(`${name}: neither file but ${describe(got, before)}`);
          }
        }
      }
    }
  } finally {
    await page.close();
  }
  return problems.filter(Boolean).join('\n');
}
