// What the page's scripts and the program share: the scripts' codes, bits and metrics are the
// program's own (funzioni_page_shared), the client area is the dialog's size, and a call to an
// export the program lacks fails loudly instead of doing nothing.
import { FunzioniPage, HEIGHT, PageWatch, WIDTH } from './page.mjs';

// What the scripts read, by path in the shared object: a name missing here would be undefined
// in a script, and a comparison with it silently false.
const READ_BY_THE_SCRIPTS = {
  commands: ['ok', 'cancel', 'keypadPlus', 'keypadMinus'],
  pageState: ['painted', 'idle', 'ended'],
  held: ['shift', 'control', 'middle', 'keyWithControl'],
  background: ['failed', 'unusable'],
  pointer: ['move', 'press', 'release'],
  editor: ['cancel', 'save', 'replace', 'download'],
  access: ['press', 'toggle', 'increase', 'decrease', 'setValue'],
  keys: ['ArrowLeft', 'ArrowRight', 'ArrowUp', 'ArrowDown', 'PageUp', 'PageDown', 'Home', 'End',
    ' '],
  side: ['chosen', 'checked', 'copy', 'closed', 'print', 'field'],
  files: ['noSpace'],
};

// Codes one message sends by number: two alike would be taken for one another.
const ONE_OF_A_KIND = ['commands', 'pointer', 'editor', 'access', 'keys', 'background', 'side'];

// The window system's own command codes, which the desktop's handler acts on.
const DESKTOP_COMMANDS = { ok: 1, cancel: 2, keypadPlus: 2200, keypadMinus: 2300 };

const isPowerOfTwo = (n) => Number.isInteger(n) && n > 0 && (n & (n - 1)) === 0;

function sharedProblems(seen) {
  const problems = [];
  const { given, program } = seen;
  if (JSON.stringify(given) !== JSON.stringify(program)) {
    problems.push(`the scripts use ${JSON.stringify(given)}`);
    problems.push(`  the program has ${JSON.stringify(program)}`);
  }
  for (const [group, names] of Object.entries(READ_BY_THE_SCRIPTS)) {
    for (const name of names) {
      if (Number.isInteger(given[group]?.[name])) continue;
      problems.push(`${group}.${JSON.stringify(name)} is missing`);
    }
  }
  for (const group of ONE_OF_A_KIND) {
    const codes = Object.values(given[group] ?? {});
    if (new Set(codes).size !== codes.length) problems.push(`${group} has a code twice: ${codes}`);
  }
  const bits = Object.values(given.pageState ?? {});
  const apart = bits.reduce((a, b) => a | b, 0) === bits.reduce((a, b) => a + b, 0);
  if (!bits.every(isPowerOfTwo) || !apart) {
    problems.push(`the page-state bits overlap: ${bits}`);
  }
  for (const [name, code] of Object.entries(DESKTOP_COMMANDS)) {
    const got = given.commands?.[name];
    if (got !== code) problems.push(`command ${name}: ${got}, not ${code}`);
  }
  const fonts = given.fonts;
  const print = fonts?.families?.[fonts?.print?.family];
  if (!(fonts?.unitsPerEm > 0) || !(print?.ascent > 0) || !(print?.descent > 0)) {
    problems.push(`the printed page's font has no metrics: ${JSON.stringify(fonts)}`);
  }
  if (given.roles?.length !== 5 || given.roles.some((role) => typeof role !== 'string')) {
    problems.push(`roles: ${JSON.stringify(given.roles)}`);
  }
  const size = [WIDTH, HEIGHT];
  const sizes = [['the dialog', seen.client], ['#funzioni', seen.area], ['its canvas', seen.canvas]];
  for (const [what, got] of sizes) {
    if (got[0] === size[0] && got[1] === size[1]) continue;
    problems.push(`${what} is ${got.join(' x ')}, not ${size.join(' x ')}`);
  }
  return problems.join('\n');
}

// The constants the page's scripts use are the program's, the client area is the window's.
export async function pageUsesTheProgramsConstants(browser, url, watch) {
  const page = await FunzioniPage.open(browser, url, watch);
  try {
    const seen = await page.page.evaluate(() => {
      const client = FunzioniPage.clientSize();
      const area = document.getElementById('funzioni');
      const canvas = document.getElementById('funzioni-canvas');
      return {
        given: FunzioniShared.shared(),
        program: JSON.parse(UTF8ToString(Module._funzioni_page_shared())),
        client: [client.width, client.height],
        area: [area.offsetWidth, area.offsetHeight],
        canvas: [canvas.width, canvas.height],
      };
    });
    return sharedProblems(seen);
  } finally {
    await page.close();
  }
}

// A call into an export the program lacks throws and says so on the console, whichever way the
// scripts call (its console error is watched here alone: it is wanted).
export async function missingExportFailsLoudly(browser, url) {
  const watch = new PageWatch();
  const page = await FunzioniPage.open(browser, url, watch);
  try {
    const thrown = await page.page.evaluate(() => {
      const ways = {
        shared: () => FunzioniShared.program('funzioni_no_such_export', 1),
        page: () => FunzioniPage.enter('funzioni_no_such_export', 1),
      };
      const out = {};
      for (const [way, call] of Object.entries(ways)) {
        try {
          call();
          out[way] = null;
        } catch (error) {
          out[way] = String(error.message);
        }
      }
      return out;
    });
    const problems = [];
    for (const [way, message] of Object.entries(thrown)) {
      if (!message?.includes('funzioni_no_such_export')) problems.push(`${way}: nothing thrown`);
    }
    const logged = watch.problems.filter((p) => p.includes('funzioni_no_such_export'));
    if (logged.length < Object.keys(thrown).length) {
      problems.push(`${logged.length} console errors for ${Object.keys(thrown).length} calls`);
    }
    const others = watch.problems.filter((p) => !p.includes('funzioni_no_such_export'));
    if (others.length > 0) problems.push(...others);
    return problems.join('\n');
  } finally {
    await page.close();
  }
}
