// The page in the browser's language: with German or Slovene preferred (or #lang= in the
// address) no text of the catalogue is left in Italian in the page's accessibility tree or on its
// own elements; with Italian, or a language the grapher does not speak, the tree is the same as
// the plain page's. The user's formulas and the evaluator's "Error in Expression" messages are
// the same in every language and are not looked at.
//   node language.mjs [page.html] [screenshot folder]   prints one row per case
import { readFileSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { FunzioniPage, launchBrowser, PageWatch, HEIGHT, WIDTH } from './page.mjs';

const HERE = dirname(fileURLToPath(import.meta.url));
const ROOT = resolve(HERE, '../..');

// The msgid -> msgstr pairs of a .po file (only the subset the catalogue's files use).
export function readPo(code) {
  const text = readFileSync(join(ROOT, 'translations', `${code}.po`), 'utf8');
  const unquote = (line) => JSON.parse(line.trim());
  const pairs = new Map();
  let id = null;
  let str = null;
  let into = null;
  const finish = () => {
    if (id) pairs.set(id, str);
    id = str = into = null;
  };
  for (const line of text.split('\n')) {
    if (line.startsWith('msgid ')) {
      finish();
      id = unquote(line.slice(6));
      into = 'id';
    } else if (line.startsWith('msgstr ')) {
      str = unquote(line.slice(7));
      into = 'str';
    } else if (line.startsWith('"') && into === 'id') {
      id += unquote(line);
    } else if (line.startsWith('"') && into === 'str') {
      str += unquote(line);
    } else if (line.trim() === '') {
      finish();
    }
  }
  finish();
  return pairs;
}

const CLOCK = /^\d\d:\d\d:\d\d$/;
const escapeRegExp = (text) => text.replace(/[.*+?^${}()|[\]\\]/g, '\\$&');

// Tests of "this text is the Italian one": a whole text, a pattern's filled-in form, or a long
// text within another. Only texts the language translates differently count.
export function italianFinder(pairs) {
  const tests = [];
  for (const [italian, translated] of pairs) {
    const words = italian.trim();
    if (!translated || translated === italian || words.length < 3) continue;
    if (/\{\d+\}/.test(italian)) {
      const parts = italian.split(/\{\d+\}/).map(escapeRegExp);
      const pattern = new RegExp(`^${parts.join('.*')}$`, 's');
      // A pattern of placeholders and blanks alone says nothing of its language.
      if (parts.join('').trim().length >= 3) tests.push({ italian, hit: (t) => pattern.test(t) });
    } else if (words.split(/\s+/).length >= 3) {
      tests.push({ italian, hit: (t) => t.includes(words) });
    } else {
      tests.push({ italian, hit: (t) => t.trim() === words });
    }
  }
  return (text) => tests.find((test) => test.hit(text))?.italian;
}

// Every name, description and value text in the page's accessibility tree that a screen reader
// is given, and the page's own elements (the editor's dialog is hidden until it opens).
async function pageTexts(page) {
  const session = await page.page.createCDPSession();
  try {
    const { nodes } = await session.send('Accessibility.getFullAXTree');
    const texts = [];
    for (const node of nodes) {
      if (node.ignored) continue;
      for (const field of ['name', 'description', 'value']) {
        const value = node[field]?.value;
        // The clock's panel ticks on: it says the time in every language.
        if (typeof value === 'string' && value.trim() !== '' && !CLOCK.test(value)) {
          texts.push(value);
        }
      }
    }
    const own = await page.page.evaluate(() => ({
      lang: document.documentElement.lang,
      elements: [...document.querySelectorAll('[data-text], [data-label]')].map((e) =>
        e.dataset.label !== undefined ? e.getAttribute('aria-label') : e.textContent),
    }));
    return { tree: texts, lang: own.lang, elements: own.elements };
  } finally {
    await session.detach();
  }
}

// The page opened with the browser preferring `languages`, at `url` (with its address part).
async function openIn(browser, url, watch, languages) {
  const context = await browser.createBrowserContext();
  const tab = await context.newPage();
  watch.attach(tab);
  await tab.setViewport({ width: WIDTH, height: HEIGHT, deviceScaleFactor: 1 });
  await tab.evaluateOnNewDocument((preferred) => {
    Object.defineProperty(navigator, 'languages', { get: () => preferred });
    Object.defineProperty(navigator, 'language', { get: () => preferred[0] });
  }, languages);
  const page = new FunzioniPage(context, tab, url);
  await page.load(() => tab.goto(url, { waitUntil: 'load' }));
  // The start animation ends before the controls have their final names.
  await tab.waitForFunction(() => window.funzioniPage.idle?.() ?? true, { timeout: 30000 });
  return page;
}

// The formula box's menu (the page's editing entries and the program's items), closed again.
async function formulaBoxMenu(page) {
  const box = await (await page.page.$('input.funzioni-box')).boundingBox();
  await page.page.mouse.click(box.x + box.width / 2, box.y + box.height / 2, { button: 'right' });
  await page.page.waitForSelector('#funzioni-menu', { visible: true, timeout: 10000 });
  const items = await page.page.$$eval('#funzioni-menu [role="menuitem"]', (found) =>
    found.map((item) => item.textContent));
  await page.page.keyboard.press('Escape');
  return items;
}

// Texts left out: the evaluator's messages and what only shows numbers, times or formulas.
const outside = (text) => /Error in Expression/.test(text);

// The cases: the browser's languages, the address's part, the language the page must speak.
const CASES = [
  { name: 'German browser', languages: ['de-DE', 'de'], hash: '', code: 'de' },
  { name: 'Slovene browser', languages: ['sl-SI', 'sl'], hash: '', code: 'sl' },
  { name: 'Austrian German browser', languages: ['de-AT'], hash: '', code: 'de' },
  { name: 'German browser, #lang=sl', languages: ['de-DE'], hash: '#lang=sl', code: 'sl' },
  { name: 'Italian browser', languages: ['it-IT', 'it'], hash: '', code: 'it' },
  { name: 'English browser', languages: ['en-US', 'en'], hash: '', code: 'it' },
  { name: 'Slovene browser, #lang=it', languages: ['sl-SI'], hash: '#lang=it', code: 'it' },
];

// One problem text per case that fails, else nothing; `shots` names a folder for screenshots.
export async function pageSpeaksItsLanguage(browser, url, watch, shots) {
  const finders = { de: italianFinder(readPo('de')), sl: italianFinder(readPo('sl')) };
  const rows = [];
  let italianTree = null;
  for (const c of CASES) {
    const page = await openIn(browser, url + c.hash, watch, c.languages);
    try {
      const seen = await pageTexts(page);
      const problems = [];
      if (seen.lang !== c.code) problems.push(`the page's lang is "${seen.lang}"`);
      if (c.code === 'it') {
        italianTree ??= seen.tree;
        if (JSON.stringify(seen.tree) !== JSON.stringify(italianTree)) {
          problems.push('the accessibility tree differs from the Italian page\'s');
        }
      } else {
        for (const text of [...seen.tree, ...seen.elements]) {
          if (outside(text)) continue;
          const italian = finders[c.code](text);
          if (italian !== undefined) problems.push(`"${text}" is Italian ("${italian}")`);
        }
        for (const text of await formulaBoxMenu(page)) {
          const italian = finders[c.code](text);
          if (italian !== undefined) problems.push(`menu item "${text}" is Italian`);
        }
        if (shots && c.hash === '' && c.languages.length > 1) {
          await page.page.screenshot({ path: join(shots, `page-${c.code}.png`) });
        }
      }
      rows.push({ name: c.name, problem: problems.slice(0, 12).join('\n') });
    } finally {
      await page.close();
    }
  }
  for (const code of ['de', 'sl']) {
    rows.push({ name: `${code} page with the study of x^2-1 open`, problem:
      await studyInLanguage(browser, url, watch, code, finders[code]) });
  }
  rows.push({ name: 'German chosen from the menu, kept over a reload', problem:
    await menuChoiceIsKept(browser, url, watch) });
  return rows;
}

// The study window and its lines, in the address's language, with no Italian text.
export async function studyInLanguage(browser, url, watch, code, finder) {
  const page = await openIn(browser, `${url}#lang=${code}`, watch, ['it-IT']);
  try {
    await page.follow([
      { do: 'click', x: 700, y: 547 }, { do: 'type', text: 'x^2-1' }, { do: 'key', key: 'Enter' },
      { do: 'key', key: 'F2' },
    ]);
    await page.page.waitForSelector('.funzioni-side:not([hidden])', { timeout: 30000 });
    await page.waitForIdle();
    const seen = await pageTexts(page);
    const sideTexts = await page.page.$$eval('.funzioni-side:not([hidden]) *', (found) =>
      found.filter((e) => e.children.length === 0).map((e) => e.textContent));
    const problems = [];
    for (const text of [...seen.tree, ...sideTexts]) {
      if (outside(text)) continue;
      const italian = finder(text);
      if (italian !== undefined) problems.push(`"${text}" is Italian ("${italian}")`);
    }
    return problems.slice(0, 12).join('\n');
  } finally {
    await page.close();
  }
}

// The menu's choice is kept in the page's storage: after a reload the page speaks it whatever
// the browser prefers.
async function menuChoiceIsKept(browser, url, watch) {
  const page = await openIn(browser, url, watch, ['it-IT']);
  try {
    const box = await (await page.page.$('input.funzioni-box')).boundingBox();
    await page.page.mouse.click(box.x + box.width / 2, box.y + box.height / 2, { button: 'right' });
    await page.page.waitForSelector('#funzioni-menu', { visible: true, timeout: 10000 });
    const items = await page.page.$$('#funzioni-menu [role="menuitem"]');
    const texts = await Promise.all(items.map((item) => item.evaluate((e) => e.textContent)));
    const at = texts.indexOf('Lingua: Deutsch');
    if (at < 0) return `no "Lingua: Deutsch" in the menu: ${JSON.stringify(texts)}`;
    await items[at].click();
    await page.load(() => page.page.reload({ waitUntil: 'load' }));
    const lang = await page.page.evaluate(() => document.documentElement.lang);
    return lang === 'de' ? '' : `after the reload the page's lang is "${lang}"`;
  } finally {
    await page.close();
  }
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const page = process.argv[2] || join(ROOT, 'build/web/funzioni.html');
  const browser = await launchBrowser();
  const watch = new PageWatch();
  let failed = 0;
  try {
    for (const { name, problem } of await pageSpeaksItsLanguage(browser,
      pathToFileURL(page).href, watch, process.argv[3])) {
      failed += problem ? 1 : 0;
      console.log(`${problem ? 'FAIL' : 'PASS'} ${name}${problem ? `\n     ${problem}` : ''}`);
    }
    if (watch.problems.length > 0) {
      failed++;
      console.log(`FAIL the pages reported\n     ${watch.problems.slice(0, 10).join('\n     ')}`);
    }
  } finally {
    await browser.close();
  }
  process.exit(failed > 0 ? 1 : 0);
}
