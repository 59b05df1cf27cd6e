// What only the page has around its history file: the page's editor keeping the file's bytes
// (Annulla, Salva unchanged, the download, a file picked to replace it), and a write the
// browser's storage refuses losing nothing already stored.
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { runAlone, startedAlone } from './alone.mjs';
import { FunzioniPage, refuseStorage } from './page.mjs';
import { storedHistory } from './storage.mjs';

const STORED = 'funzioni-file:/funzioni/espressioni.txt';
const HISTORY_LIST = { x: 650, y: 362 };
const WAIT_MS = 30000;
// Lines of every kind the file may hold: the Windows code page, UTF-8, its undefined bytes, a
// lone CR and a lone LF, a byte 0x1A with text after it, no line end at the end.
const TRICKY = Buffer.from([
  ...Buffer.from("x^2 'pi\xf9\r\n", 'latin1'),
  ...Buffer.from("sin(x) 'più\r\n", 'utf8'),
  ...Buffer.from('\x81\x8d\x90 \x80\rcos(x)\nx\r\n\x1a resto', 'latin1'),
]);

function sameBytes(name, got, want) {
  if (got === null) return `${name}: nothing stored`;
  if (Buffer.compare(got, want) === 0) return '';
  return `${name}: ${got.toString('hex')}\n  not ${want.toString('hex')}`;
}

async function storedBytes(page) {
  return storedHistory(page);
}

async function historyLines(page) {
  return page.page.evaluate(() =>
    [...document.querySelectorAll('[data-control="1460"] [data-line]')].map((l) => l.textContent),
  );
}

// A page whose history file holds `bytes`, stored before it loads.
async function pageWithHistory(browser, url, watch, bytes) {
  const page = await FunzioniPage.open(browser, url, watch);
  await page.page.evaluate((key, text) => localStorage.setItem(key, text), STORED,
    bytes.toString('latin1'));
  await page.perform({ do: 'restart' });
  return page;
}

async function openEditor(page) {
  await page.perform({ do: 'click', button: 'right', ...HISTORY_LIST });
  const area = await page.page.waitForSelector('#funzioni-editor textarea', {
    visible: true,
    timeout: WAIT_MS,
  });
  return area.evaluate((element) => element.value);
}

async function press(page, button) {
  await page.page.click(`#funzioni-editor [data-editor="${button}"]`);
}

async function closed(page) {
  await page.page.waitForSelector('#funzioni-editor', { hidden: true, timeout: WAIT_MS });
  await page.waitForIdle();
}

export async function editorKeepsTheBytes(browser, url, watch) {
  const page = await pageWithHistory(browser, url, watch, TRICKY);
  const dir = mkdtempSync(join(tmpdir(), 'funzioni-web-download-'));
  const problems = [];
  try {
    const lines = await historyLines(page);
    const text = await openEditor(page);
    if (text.split('\n').length !== 6) problems.push(`the editor shows ${JSON.stringify(text)}`);
    if (!text.includes("x^2 'più\nsin(x) 'più\n")) problems.push('accents read wrongly');
    await page.page.$eval('#funzioni-editor textarea', (a) => { a.value = 'tutto cambiato\n'; });
    await press(page, 'cancel');
    await closed(page);
    problems.push(sameBytes('after Annulla', await storedBytes(page), TRICKY));
    // Esc closes the editor as Annulla does, and leaves the program running.
    await openEditor(page);
    await page.page.$eval('#funzioni-editor textarea', (a) => { a.value = 'altro\n'; });
    await page.page.keyboard.press('Escape');
    await closed(page);
    if (await page.page.evaluate(() => window.funzioniPage.ended())) {
      problems.push('Esc in the editor ended the program');
    }
    problems.push(sameBytes('after Esc', await storedBytes(page), TRICKY));

    await openEditor(page);
    const file = await page.download(dir, () => press(page, 'download'));
    if (file.name !== 'espressioni.txt') problems.push(`downloaded as ${file.name}`);
    problems.push(sameBytes('the download', file.bytes, TRICKY));
    await press(page, 'save');
    await closed(page);
    problems.push(sameBytes('after Salva of the text unchanged', await storedBytes(page), TRICKY));
    const reloaded = await historyLines(page);
    if (JSON.stringify(reloaded) !== JSON.stringify(lines)) {
      problems.push(`the list became ${JSON.stringify(reloaded)}, not ${JSON.stringify(lines)}`);
    }

    // A file the user picks replaces the text; Salva stores its very bytes.
    const picked = Buffer.from('x^3\r\ncaff\xe8\rtan(x)', 'latin1');
    writeFileSync(join(dir, 'scelto.txt'), picked);
    await openEditor(page);
    const input = await page.page.$('#funzioni-editor input[type="file"]');
    await input.uploadFile(join(dir, 'scelto.txt'));
    await page.page.waitForFunction(
      () => document.querySelector('#funzioni-editor textarea').value.startsWith('x^3\n'),
      { timeout: WAIT_MS },
    );
    // Ctrl+S in the editor is its Salva.
    await page.page.keyboard.down('Control');
    await page.page.keyboard.press('KeyS');
    await page.page.keyboard.up('Control');
    await closed(page);
    problems.push(sameBytes('after a file was picked', await storedBytes(page), picked));
    const listed = JSON.stringify(await historyLines(page));
    if (listed !== JSON.stringify(['x^3', 'caffè', 'tan(x)'])) problems.push(`listed ${listed}`);

    // The same text in UTF-8 and in the Windows code page: a Salva that changes another line
    // keeps each of them as it was, wherever they stand.
    const twins = (other) => Buffer.concat([
      Buffer.from("x^2 'parabola è\r\n", 'utf8'),
      Buffer.from(`x^2 'parabola \xe8\r\n${other}\r\n`, 'latin1'),
      Buffer.from("x^2 'parabola è\r\n", 'utf8'),
    ]);
    await page.page.evaluate((key, text) => localStorage.setItem(key, text), STORED,
      twins('sin(x)').toString('latin1'));
    await page.perform({ do: 'restart' });
    await openEditor(page);
    await page.page.$eval('#funzioni-editor textarea', (a) => {
      a.value = a.value.replace('sin(x)', 'cos(x)');
    });
    await press(page, 'save');
    await closed(page);
    problems.push(sameBytes('the same text in both encodings', await storedBytes(page),
      twins('cos(x)')));
  } finally {
    rmSync(dir, { recursive: true, force: true });
    await page.close();
  }
  return problems.filter(Boolean).join('\n');
}

// Long lines show short in the editor; whatever else the user does, each keeps its bytes until
// its short line is deleted.
export async function editorKeepsLongLines(browser, url, watch) {
  const long = "x+".repeat(150000) + "1 'caff";
  const inCodePage = Buffer.from(`${long}\xe8`, 'latin1');
  const inUtf8 = Buffer.from(`${long}è`, 'utf8');
  const other = Buffer.from(`${"x-".repeat(150000)}2`, 'latin1');
  const history = (...lines) => Buffer.concat(lines.flatMap((l) => [
    typeof l === 'string' ? Buffer.from(l, 'latin1') : l, Buffer.from('\r\n')]));
  const original = history(inCodePage, inUtf8, 'sin(x)', other, 'x');
  // Each edit of the text area's lines (0: the code page's line, 1: its UTF-8 twin, 2: sin(x),
  // 3: the other long line, 4: x), and the history Salva should leave.
  const rows = [
    ['another line edited', (lines) => { lines[2] = 'cos(x)'; },
      history(inCodePage, inUtf8, 'cos(x)', other, 'x')],
    ['a long line deleted', (lines) => { lines.splice(3, 1); },
      history(inCodePage, inUtf8, 'sin(x)', 'x')],
    ['the line after the twins deleted', (lines) => { lines.splice(2, 1); lines[3] = 'x^2'; },
      history(inCodePage, inUtf8, other, 'x^2')],
    ['the twins moved below', (lines) => { lines.push(...lines.splice(0, 2)); },
      history('sin(x)', other, 'x', inCodePage, inUtf8)],
    ['a long line typed into', (lines) => { lines[3] = `ab${lines[3].slice(4)}cd`; lines[4] = 'y'; },
      history(inCodePage, inUtf8, 'sin(x)', other, 'y')],
  ];
  const page = await pageWithHistory(browser, url, watch, original);
  const problems = [];
  try {
    for (const [name, edit, want] of rows) {
      const { shown, stored } = await savedAfterEdit(page, original, (text) => {
        const lines = text.replace(/\n$/, '').split('\n');
        edit(lines);
        return `${lines.join('\n')}\n`;
      });
      if (shown.length > 1000) problems.push(`${name}: the editor holds ${shown.length} characters`);
      problems.push(sameBytes(name, stored, want).slice(0, 300));
    }
  } finally {
    await page.close();
  }
  return problems.filter(Boolean).join('\n');
}

// The history `original` stored and the program restarted on it, the editor's text changed by
// `edit` and saved: the text the editor showed and the bytes stored after Salva.
async function savedAfterEdit(page, original, edit) {
  await page.page.evaluate((key, text) => localStorage.setItem(key, text), STORED,
    original.toString('latin1'));
  await page.perform({ do: 'restart' });
  const shown = await openEditor(page);
  await page.page.$eval('#funzioni-editor textarea', (a, value) => { a.value = value; },
    edit(shown));
  await press(page, 'save');
  await closed(page);
  return { shown, stored: await storedBytes(page) };
}

// A line holding a byte 0 reaches the editor whole: Salva, with or without another line
// edited, keeps it and every line after it.
export async function editorKeepsZeroBytes(browser, url, watch) {
  const original = Buffer.from('x\r\na\x00b\r\nsin(x)\r\n', 'latin1');
  const rows = [
    ['nothing edited', (text) => text, original],
    ['another line edited', (text) => text.replace('sin(x)', 'cos(x)'),
      Buffer.from('x\r\na\x00b\r\ncos(x)\r\n', 'latin1')],
  ];
  const page = await pageWithHistory(browser, url, watch, original);
  const problems = [];
  try {
    for (const [name, edit, want] of rows) {
      problems.push(sameBytes(name, (await savedAfterEdit(page, original, edit)).stored, want));
    }
  } finally {
    await page.close();
  }
  return problems.filter(Boolean).join('\n');
}

export async function refusedWriteLosesNothing(browser, url, watch) {
  const page = await FunzioniPage.open(browser, url, watch);
  const problems = [];
  const enter = async (formula) => {
    await page.perform({ do: 'click', x: 700, y: 547 });
    await page.page.$eval('[data-control="1480"]', (box) => { box.value = ''; });
    await page.perform({ do: 'type', text: formula });
    await page.perform({ do: 'key', key: 'Enter' });
  };
  try {
    await enter('x');
    const kept = Buffer.from('x\r\n');
    problems.push(sameBytes('stored', await storedBytes(page), kept));
    await page.page.evaluate(refuseStorage);
    await enter('x^2');
    problems.push(sameBytes('after a refused write', await storedBytes(page), kept));
    const listed = JSON.stringify(await historyLines(page));
    if (listed !== '["x"]') problems.push(`listed after the refused write: ${listed}`);
    await openEditor(page);
    await page.page.$eval('#funzioni-editor textarea', (a) => { a.value = ''; });
    await press(page, 'save');
    const note = await page.page.$eval('.funzioni-editor-note', (p) => p.textContent);
    if (!note.startsWith('Impossibile salvare')) problems.push(`the editor said "${note}"`);
    await press(page, 'cancel');
    await closed(page);
    problems.push(sameBytes('after a refused Salva', await storedBytes(page), kept));
    await page.perform({ do: 'restart' });
    const again = JSON.stringify(await historyLines(page));
    if (again !== '["x"]') problems.push(`listed after a reload: ${again}`);
  } finally {
    await page.close();
  }
  return problems.filter(Boolean).join('\n');
}

// Runs in the page: the history file as an earlier edition of the page kept it, in the IndexedDB
// database of its folder.
function storeAsEarlierEdition(text) {
  return new Promise((resolve, reject) => {
    const open = indexedDB.open('/funzioni', 21);
    open.onupgradeneeded = () => {
      const store = open.result.createObjectStore('FILE_DATA');
      store.createIndex('timestamp', 'timestamp', { unique: false });
    };
    open.onerror = () => reject(open.error);
    open.onsuccess = () => {
      const contents = Uint8Array.from(text, (c) => c.charCodeAt(0));
      const transaction = open.result.transaction(['FILE_DATA'], 'readwrite');
      transaction.objectStore('FILE_DATA').put(
        { timestamp: new Date(), mode: 0o100666, contents },
        '/funzioni/espressioni.txt',
      );
      transaction.oncomplete = () => {
        open.result.close();
        resolve();
      };
      transaction.onerror = () => reject(transaction.error);
    };
  });
}

export async function earlierStorageIsTakenOver(browser, url, watch) {
  const page = await FunzioniPage.open(browser, url, watch);
  const earlier = Buffer.from('x^2\r\nsin(x) \'pi\xf9\r\n', 'latin1');
  try {
    await page.page.evaluate(storeAsEarlierEdition, earlier.toString('latin1'));
    await page.perform({ do: 'restart' });
    const problems = [sameBytes('taken over', await storedBytes(page), earlier)];
    const listed = JSON.stringify(await historyLines(page));
    if (listed !== JSON.stringify(['x^2', "sin(x) 'più"])) problems.push(`listed ${listed}`);
    return problems.filter(Boolean).join('\n');
  } finally {
    await page.close();
  }
}

// A finger dragged down over a long history (shown at its end) scrolls back its lines, and
// picks none.
export async function fingerScrollsTheHistory(browser, url, watch) {
  const lines = Array.from({ length: 40 }, (_, i) => `x^${i}`);
  const bytes = Buffer.from(lines.map((l) => `${l}\r\n`).join(''), 'latin1');
  const page = await FunzioniPage.open(browser, url, watch, { touch: true });
  try {
    await page.page.evaluate((key, text) => localStorage.setItem(key, text), STORED,
      bytes.toString('latin1'));
    await page.perform({ do: 'restart' });
    const list = '[data-control="1460"]';
    const before = await page.page.$eval(list, (l) => [l.scrollTop, l.dataset.selected]);
    const screen = page.page.touchscreen;
    const x = page.origin.x + 700;
    await screen.touchStart(x, page.origin.y + 380);
    for (const y of [400, 430, 460, 480]) await screen.touchMove(x, page.origin.y + y);
    await screen.touchEnd();
    await page.waitForIdle();
    const after = await page.page.$eval(list, (l) => [l.scrollTop, l.dataset.selected]);
    if (after[0] !== before[0] - 100) return `scrolled from ${before[0]} to ${after[0]}`;
    if (after[1] !== before[1]) return `the selection went from ${before[1]} to ${after[1]}`;
    return '';
  } finally {
    await page.close();
  }
}

// node editor.mjs: these checks alone, against FUNZIONI_WEB_PAGE as for run.mjs.
if (startedAlone(import.meta.url)) {
  await runAlone(async (browser, url, watch) => {
    const checks = [
      ['the editor keeps the bytes', editorKeepsTheBytes],
      ['long lines keep their bytes', editorKeepsLongLines],
      ['a byte 0 keeps its line and those after it', editorKeepsZeroBytes],
      ['a refused write loses nothing', refusedWriteLosesNothing],
      ['the earlier storage is taken over', earlierStorageIsTakenOver],
    ];
    const rows = [];
    for (const [name, check] of checks) rows.push({ name, problem: await check(browser, url, watch) });
    return rows;
  });
}
