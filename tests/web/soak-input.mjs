// The page soak's input (soak.mjs): seeded random actions on the page, and what its history must
// hold after each. The same seed gives the same actions.

const HISTORY_LIST = { x: 606, y: 354, w: 362, h: 180 };
const BOX = { x: 700, y: 547 };
const ENDED_BUTTON = '#funzioni-ended button';
const EDITOR = '#funzioni-editor';
const AREA = '#funzioni-editor textarea';
const LONG_PRESS_MS = 700;
const WAIT_MS = 30000;

// A school's exercises, some with comments in both encodings' characters.
const SCHOOL = [
  'x^2', '2*x+1', 'x^3-3*x', 'SIN(x)', 'COS(2*x)', 'ABS(x-1)', 'SQR(x)', '1/(x-2)',
  '(x^2-1)/(x+1)', 'LOG(x)', 'EXP(-x^2)', 'x^2-4*x+3', 'SIN(x)/x', 'TAN(x)', 'ATN(x)', 'INT(x)',
  'SGN(x)*x^2', 'x MOD 3', '(x>0)*x^2', '2^x', '0.5^x', 'SQR(4-x^2)', '-x^2+2*x', 'x^4-5*x^2+4',
  'COS(x)^2+SIN(x)^2', 'LOG(ABS(x)+1)', '3', '', 'x/0', "x^2 'parabola è", "SIN(x) 'più",
  "x^3 'cubica: perché?", "1/x 'iperbole, caffè", "EXP(x) 'crescita €", 'x!', 'NOT x',
];
// Texts a pupil should not type, up to 100,000 characters.
const HOSTILE = [
  (n) => '('.repeat(n / 2) + 'x' + ')'.repeat(n / 2),
  (n) => '9'.repeat(n),
  (n) => 'x+'.repeat(n / 2) + 'x',
  (n) => 'SIN('.repeat(n / 5) + 'x' + ')'.repeat(n / 5),
  (n) => 'x'.repeat(n),
  (n) => "'" + 'è√∞€'.repeat(n / 4),
  (n) => '%&$#@\\'.repeat(n / 6),
  () => '1E99999*x',
  () => '))((',
  () => '\u{1F600} x^2',
];
const LENGTHS = [10, 100, 1000, 5000, 10000, 100000];

// mulberry32: small, and the same in every run for a seed.
function randomOf(seed) {
  let state = seed >>> 0;
  const next = () => {
    state = (state + 0x6d2b79f5) >>> 0;
    let t = state;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
  return {
    next,
    int: (lo, hi) => lo + Math.floor(next() * (hi - lo + 1)),
    pick: (list) => list[Math.floor(next() * list.length)],
    chance: (p) => next() < p,
  };
}

// A point of the window: the plot, the meters and switches, the lists, anywhere.
function pointOf(random) {
  const r = random.next();
  if (r < 0.3) return { x: random.int(4, 603), y: random.int(4, 603) };
  if (r < 0.5) return { x: random.int(4, 969), y: random.int(606, 719) };
  if (r < 0.65) return { x: random.int(606, 969), y: random.int(564, 605) };
  if (r < 0.8) return { x: random.int(606, 967), y: random.int(112, 533) };
  return { x: random.int(0, 973), y: random.int(0, 719) };
}

const UTF8 = new TextDecoder('utf-8', { fatal: true });
// Node's TextDecoder('windows-1252') decodes as ISO-8859-1 (0x80 as U+0080, not the euro), so the
// code page's 0x80-0x9F are spelt out here; the five bytes it leaves unassigned stay as they are.
const CODE_PAGE_HIGH = '\u20ac\x81\u201a\u0192\u201e\u2026\u2020\u2021\u02c6\u2030\u0160' +
  '\u2039\u0152\x8d\u017d\x8f\x90\u2018\u2019\u201c\u201d\u2022\u2013\u2014\u02dc' +
  '\u2122\u0161\u203a\u0153\x9d\u017e\u0178';

function codePageText(bytes) {
  let text = '';
  for (const b of bytes) {
    text += b >= 0x80 && b < 0xa0 ? CODE_PAGE_HIGH[b - 0x80] : String.fromCharCode(b);
  }
  return text;
}

// A history line as the lists read it.
function textOf(bytes) {
  try {
    return UTF8.decode(bytes);
  } catch {
    return codePageText(bytes);
  }
}

function linesOf(bytes) {
  const lines = [];
  let start = 0;
  for (;;) {
    const end = bytes.indexOf('\r\n', start, 'latin1');
    if (end < 0) break;
    lines.push(bytes.subarray(start, end));
    start = end + 2;
  }
  if (start < bytes.length) lines.push(bytes.subarray(start));
  return lines;
}

// Outside the editor the history only grows, by whole CR LF lines; '' when it did.
export function historyGrowthProblems(before, now) {
  if (now.length < before.length || Buffer.compare(now.subarray(0, before.length), before) !== 0) {
    return `${before.length} bytes became ${now.length}, the first ones not kept`;
  }
  const added = now.subarray(before.length);
  if (added.length === 0) return '';
  if (!added.toString('latin1').endsWith('\r\n')) return 'a line added without CR LF';
  const lines = linesOf(added);
  if (lines.some((line) => line.includes(13) || line.includes(10))) return 'a lone line end added';
  return '';
}

// After the editor: unchanged when nothing was saved, else every line but the one edited with
// its very bytes, and the one typed reading as it was typed.
export function editedHistoryProblems(before, now, edit) {
  if (edit.saved === false) {
    return Buffer.compare(before, now) === 0 ? '' : 'changed by an editor that did not save';
  }
  const old = linesOf(before);
  const got = linesOf(now);
  const want = [...old.slice(0, edit.at), ...edit.typed.map(() => null),
    ...old.slice(edit.at + edit.removed)];
  if (got.length !== want.length) return `${got.length} lines, not ${want.length}`;
  for (let i = 0; i < want.length; ++i) {
    if (want[i] === null) {
      const typed = edit.typed[i - edit.at];
      if (textOf(got[i]) !== typed) {
        return `line ${i} reads ${JSON.stringify(textOf(got[i]).slice(0, 80))} ` +
          `(bytes ${got[i].toString('hex').slice(0, 80)}), not ${JSON.stringify(typed.slice(0, 80))}`;
      }
    } else if (Buffer.compare(got[i], want[i]) !== 0) {
      return `line ${i} left alone became ${got[i].toString('hex').slice(0, 80)}, ` +
        `not ${want[i].toString('hex').slice(0, 80)}`;
    }
  }
  return '';
}

// The random actions on `page` (a FunzioniPage), seeded.
export function soakInput(seed, page) {
  const random = randomOf(seed);
  let detail = '';  // more of the last action, for a report
  const tab = page.page;
  const at = (p) => ({ x: page.origin.x + p.x, y: page.origin.y + p.y });
  const mouse = tab.mouse;
  const pause = (ms) => new Promise((r) => setTimeout(r, ms));

  const formulaText = () => {
    if (random.chance(0.75)) return random.pick(SCHOOL);
    const length = random.chance(0.1) ? 100000 : random.pick(LENGTHS.slice(0, -1));
    return random.pick(HOSTILE)(length);
  };
  const newLine = () => random.pick(SCHOOL.filter((t) => t !== ''));

  const editorOpen = () => tab.evaluate((s) => {
    const e = document.querySelector(s);
    return e !== null && e.style.display === 'flex';
  }, EDITOR);

  // The history editor, open: closed, saved as it is, or saved after one line was inserted,
  // deleted or replaced (one where no neighbour reads the same, so that which line changed is
  // plain from the text alone).
  async function useEditor() {
    await tab.waitForSelector(AREA, { visible: true, timeout: WAIT_MS });
    const value = await tab.$eval(AREA, (a) => a.value);
    const r = random.next();
    if (r < 0.15) {
      await tab.click(`${EDITOR} [data-editor="cancel"]`);
      return { saved: false };
    }
    if (r < 0.25) {
      await tab.keyboard.press('Escape');
      return { saved: false };
    }
    const lines = value === '' ? [] : value.replace(/\n$/, '').split('\n');
    const offset = (i) => lines.slice(0, i).reduce((sum, l) => sum + l.length + 1, 0);
    let edit = { at: 0, removed: 0, typed: [] };
    let range = null;
    const kind = r < 0.35 ? 'none' : random.pick(['insert', 'delete', 'replace']);
    const i = random.int(0, lines.length);
    const text = newLine();
    if (kind === 'delete' && i < lines.length && lines[i] !== lines[i + 1]) {
      edit = { at: i, removed: 1, typed: [] };
      range = { from: offset(i), to: offset(i + 1), insert: '' };
    } else if (kind === 'replace' && i < lines.length && lines[i] !== text) {
      edit = { at: i, removed: 1, typed: [text] };
      range = { from: offset(i), to: offset(i) + lines[i].length, insert: text };
    } else if (kind !== 'none' && (i === lines.length || lines[i] !== text)) {
      edit = { at: i, removed: 0, typed: [text] };
      range = { from: offset(i), to: offset(i), insert: text + '\n' };
    }
    if (range !== null) {
      await tab.$eval(AREA, (a, from, to) => {
        a.focus();
        a.setSelectionRange(from, to);
      }, range.from, range.to);
      if (range.to > range.from) await tab.keyboard.press('Backspace');
      if (range.insert) await tab.keyboard.type(range.insert);
    }
    if (random.chance(0.5)) {
      await tab.click(`${EDITOR} [data-editor="save"]`);
    } else {
      await tab.keyboard.down('Control');
      await tab.keyboard.press('KeyS');
      await tab.keyboard.up('Control');
    }
    // Refused when the browser's storage is full: the editor says so and stays open.
    const outcome = await tab.waitForFunction((e) => {
      const editor = document.querySelector(e);
      if (editor.style.display !== 'flex') return 'closed';
      return editor.querySelector('.funzioni-editor-note').textContent ? 'refused' : false;
    }, { timeout: WAIT_MS }, EDITOR).then((h) => h.jsonValue());
    if (outcome === 'refused') {
      await tab.click(`${EDITOR} [data-editor="cancel"]`);
      return { saved: false };
    }
    return range === null ? { saved: false } : { saved: true, ...edit };
  }

  async function restartIfEnded() {
    if (!(await tab.evaluate(() => window.funzioniPage.ended()))) return;
    await page.load(() => Promise.all([
      tab.waitForNavigation({ waitUntil: 'load' }),
      tab.click(ENDED_BUTTON),
    ]));
  }

  const actions = [
    [20, 'move', async () => { const p = at(pointOf(random)); await mouse.move(p.x, p.y); }],
    [10, 'click', async () => { const p = at(pointOf(random)); await mouse.click(p.x, p.y); }],
    [4, 'double click', async () => {
      const p = at(pointOf(random));
      await mouse.click(p.x, p.y, { count: 2 });
    }],
    [3, 'right click', async () => {
      const p = at(pointOf(random));
      await mouse.click(p.x, p.y, { button: 'right' });
    }],
    [8, 'drag', async () => {
      const p = at(pointOf(random));
      await mouse.move(p.x, p.y);
      await mouse.down();
      for (let k = random.int(2, 8); k > 0; --k) {
        await mouse.move(p.x + random.int(-60, 60), p.y + random.int(-4, 4), { steps: 2 });
      }
      await mouse.up();
    }],
    [6, 'wheel', async () => {
      const p = at(pointOf(random));
      await mouse.move(p.x, p.y);
      await mouse.wheel({ deltaY: random.pick([-300, -100, 100, 300]) });
    }],
    [6, 'tap', async () => {
      const p = at(pointOf(random));
      await tab.touchscreen.tap(p.x, p.y);
    }],
    [4, 'finger drag', async () => {
      const p = at(pointOf(random));
      await tab.touchscreen.touchStart(p.x, p.y);
      for (let k = random.int(2, 6); k > 0; --k) {
        await tab.touchscreen.touchMove(p.x + random.int(-60, 60), p.y + random.int(-30, 30));
      }
      await tab.touchscreen.touchEnd();
    }],
    [1, 'long press', async () => {
      const p = at(pointOf(random));
      await tab.touchscreen.touchStart(p.x, p.y);
      await pause(LONG_PRESS_MS);
      await tab.touchscreen.touchEnd();
    }],
    [12, 'keys', async () => {
      const key = random.pick(['NumpadAdd', 'NumpadSubtract', 'Tab', 'ArrowLeft', 'ArrowRight',
        'ArrowUp', 'ArrowDown', 'PageUp', 'PageDown', 'Home', 'End', 'Space', 'Enter']);
      for (let k = key.startsWith('Numpad') ? random.int(1, 30) : 1; k > 0; --k) {
        await tab.keyboard.press(key);
      }
    }],
    [2, 'F2', async () => { await tab.keyboard.press('F2'); }],
    [12, 'formula', async () => {
      const text = formulaText();
      const study = await tab.evaluate(() => [...document.querySelectorAll('[role="dialog"]')]
        .some((e) => e.getAttribute('aria-label') === 'Studio della funzione' &&
          e.getClientRects().length > 0));
      detail = `${text.length} characters${study ? ', the study open' : ''}`;
      const p = at(BOX);
      await mouse.click(p.x, p.y);
      if (text.length <= 40) {
        await tab.keyboard.down('Control');
        await tab.keyboard.press('KeyA');
        await tab.keyboard.up('Control');
        await tab.keyboard.press('Backspace');
        await page.perform({ do: 'type', text });
      } else {
        await tab.$eval('[data-control="1480"]', (box, t) => {
          box.value = t;
          box.dispatchEvent(new Event('input', { bubbles: true }));
        }, text);
      }
      await tab.keyboard.press('Enter');
    }],
    [2, 'shortcut', async () => {
      const keys = random.pick([['Control', 'KeyS'], ['Control', 'KeyC'], ['Control', 'KeyP'],
        ['Control', 'Shift', 'KeyC']]);
      for (const k of keys.slice(0, -1)) await tab.keyboard.down(k);
      await tab.keyboard.press(keys.at(-1));
      for (const k of keys.slice(0, -1).reverse()) await tab.keyboard.up(k);
    }],
    [5, 'history editor', async () => {
      const p = at({ x: random.int(HISTORY_LIST.x + 10, HISTORY_LIST.x + HISTORY_LIST.w - 20),
        y: random.int(HISTORY_LIST.y + 5, HISTORY_LIST.y + HISTORY_LIST.h - 20) });
      await mouse.click(p.x, p.y, { button: 'right' });
    }],
    [1, 'reload', async () => { await page.load(() => tab.reload({ waitUntil: 'load' })); }],
    [1, 'Esc', async () => { await tab.keyboard.press('Escape'); }],
  ];
  const total = actions.reduce((sum, [weight]) => sum + weight, 0);

  return {
    // The history the soak starts from: the same text in UTF-8 and in the Windows code page,
    // next to each other and apart, and a long line.
    async seedHistory(key) {
      const bytes = Buffer.concat([
        Buffer.from("x^2 'parabola è\r\n", 'utf8'),
        Buffer.from("x^2 'parabola è\r\n", 'latin1'),
        Buffer.from("SIN(x) 'più\r\nx^3-3*x\r\n", 'latin1'),
        Buffer.from("x^2 'parabola è\r\n", 'utf8'),
        Buffer.from(`${'x+'.repeat(5000)}x\r\n(x+1)/(x-1)\r\n`, 'latin1'),
      ]);
      await tab.evaluate((k, t) => localStorage.setItem(k, t), key, bytes.toString('latin1'));
    },
    // The next action: its name and what runs it (giving the editor's edit, when the editor
    // was used).
    next() {
      let pick = random.next() * total;
      const [, name, body] = actions.find(([weight]) => (pick -= weight) < 0) ?? actions[0];
      detail = '';
      return {
        name,
        detail: () => (detail ? `${name} (${detail})` : name),
        run: async () => {
          await body();
          await page.waitForIdle();
          await restartIfEnded();
          if (!(await editorOpen())) return null;
          const edit = await useEditor();
          await tab.waitForSelector(EDITOR, { hidden: true, timeout: WAIT_MS });
          return edit;
        },
      };
    },
  };
}
