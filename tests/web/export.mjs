// What leaves the page against what leaves the desktop window after the same steps (an Italian
// desktop and browser, so with decimal commas): the table that Ctrl+C and the results list's
// menu copy, the CSV file the menu saves, and the sheet Ctrl+P prints, its picture enlarged by
// whole pixels and its texts; the menu worked with the keyboard; the picture Ctrl+Shift+C copies.
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { FunzioniPage } from './page.mjs';
import { differingPixels, PLOT } from './picture.mjs';

const RESULTS = '[data-control="1470"]';
const MENU = '#funzioni-menu';
const WAIT_MS = 30000;
// The printed picture: 600 pixels of 5 dots at 600 dpi, centred on A4 within 15 mm margins.
const PRINT_DPI = 600;
const FACTOR = 5;
const HELP_PANEL = { x: 606, y: 60, width: 364, height: 50 };

async function pressKeys(page, keys) {
  for (const key of keys) {
    const parts = key.split('+');
    const last = parts.pop();
    for (const part of parts) await page.page.keyboard.down(part);
    await page.page.keyboard.press(last);
    for (const part of parts.reverse()) await page.page.keyboard.up(part);
  }
  await page.waitForIdle();
}

async function clipboard(page) {
  return page.page.evaluate(() => navigator.clipboard.readText());
}

async function resetClipboard(page) {
  await page.page.evaluate(() => navigator.clipboard.writeText('untouched'));
}

// The menu opened by a right click on the element: its role, whether it has the keyboard, its
// items (a disabled one after "-").
async function openMenu(page, selector) {
  const element = await page.page.$(selector);
  const box = await element.boundingBox();
  await page.page.mouse.click(box.x + box.width / 2, box.y + Math.min(40, box.height / 2),
    { button: 'right' });
  await page.page.waitForSelector(MENU, { visible: true, timeout: WAIT_MS });
  return page.page.evaluate((selector) => {
    const menu = document.querySelector(selector);
    const items = [...menu.querySelectorAll('[role="menuitem"]')];
    return {
      role: menu.getAttribute('role'),
      focused: document.activeElement === menu,
      items: items.map((i) => (i.getAttribute('aria-disabled') ? '-' : '') + i.textContent),
    };
  }, MENU);
}

const openResultsMenu = (page) => openMenu(page, RESULTS);

const menuGone = (page) =>
  page.page.evaluate((selector) => document.querySelector(selector) === null, MENU);

// Ctrl+C, the menu's "Copia tabella" and "Salva tabella...", Esc, each against the desktop.
async function tableChecks(page, desktop, dir) {
  const problems = [];
  const expect = (name, got, want) => {
    if (got !== want) problems.push(`${name}: ${JSON.stringify(got)}\n  not ${JSON.stringify(want)}`);
  };
  await page.page.focus(RESULTS);
  await resetClipboard(page);
  await pressKeys(page, ['Control+KeyC']);
  expect('Ctrl+C', await clipboard(page), desktop.text);

  const menu = await openResultsMenu(page);
  expect('the menu', JSON.stringify(menu), JSON.stringify({
    role: 'menu', focused: true, items: ['Copia tabella', 'Salva tabella...', 'Studio della funzione'],
  }));
  await resetClipboard(page);
  await pressKeys(page, ['ArrowDown', 'Enter']);
  expect('menu closed by Enter', await menuGone(page), true);
  expect('Copia tabella', await clipboard(page), desktop.text);

  await openResultsMenu(page);
  await pressKeys(page, ['Escape']);
  expect('menu closed by Esc', await menuGone(page), true);

  await openResultsMenu(page);
  const file = await page.download(dir, () => pressKeys(page, ['End', 'ArrowUp', 'Enter']));
  expect('saved as', file.name, 'tabella.csv');
  if (Buffer.compare(file.bytes, desktop.csv) !== 0) {
    problems.push(`CSV: ${JSON.stringify(file.bytes.toString('latin1'))}\n` +
      `  not ${JSON.stringify(desktop.csv.toString('latin1'))}`);
  }
  return problems;
}

// pdftoppm's picture: "P6", width, height, 255, then R G B a dot.
function readPpm(bytes) {
  const head = bytes.toString('latin1', 0, 64).match(/^P6\s+(\d+)\s+(\d+)\s+255\s/);
  if (!head) throw new Error('not a PPM picture');
  return { width: Number(head[1]), height: Number(head[2]), data: bytes.subarray(head[0].length) };
}

// The lines of a PDF's text, blanks run together.
function pdfLines(path) {
  return execFileSync('pdftotext', [path, '-'], { encoding: 'utf8' })
    .split('\n').map((l) => l.replace(/\s+/g, ' ').trim()).filter(Boolean);
}

// The page's plotting area, R G B per pixel.
async function plotPixels(page) {
  const rgba = await page.page.evaluate((plot) => {
    const data = document.getElementById('funzioni-canvas').getContext('2d')
      .getImageData(plot.x, plot.y, plot.size, plot.size).data;
    let binary = '';
    for (let at = 0; at < data.length; at += 0x8000) {
      binary += String.fromCharCode.apply(null, data.subarray(at, at + 0x8000));
    }
    return btoa(binary);
  }, PLOT);
  return Buffer.from(rgba, 'base64');
}

// Each pixel of the plot must be a block of FACTOR x FACTOR dots of its own colour: the dots
// inside each block (its edges may fall between dots) are compared.
function blockProblems(printed, plot, left, top) {
  let wrong = 0;
  let first = '';
  for (let y = 0; y < PLOT.size; ++y) {
    for (let x = 0; x < PLOT.size; ++x) {
      const want = (y * PLOT.size + x) * 4;
      for (let d = 1; d < FACTOR - 1; ++d) {
        const at = ((top + y * FACTOR + d) * printed.width + left + x * FACTOR + d) * 3;
        if (printed.data[at] === plot[want] && printed.data[at + 1] === plot[want + 1] &&
            printed.data[at + 2] === plot[want + 2]) continue;
        if (wrong++ === 0) first = `pixel ${x}, ${y}`;
      }
    }
  }
  return wrong === 0 ? '' : `${wrong} dots of the printed picture differ, the first at ${first}`;
}

// The PDF holds the plot already enlarged, one picture of 3000 x 3000 pixels: what a viewer or
// a printer's driver does when it scales a picture cannot smooth it.
function embeddedPictureProblems(pdf) {
  const listed = execFileSync('pdfimages', ['-list', pdf], { encoding: 'utf8' }).split('\n');
  // page num type width height ...; after two lines of headings.
  const sizes = listed.slice(2).filter((l) => l.trim()).map((l) => l.trim().split(/\s+/))
    .filter((f) => f[2] === 'image').map((f) => `${f[3]}x${f[4]}`);
  const want = `${PLOT.size * FACTOR}x${PLOT.size * FACTOR}`;
  if (sizes.length === 1 && sizes[0] === want) return [];
  return [`the PDF's pictures are ${JSON.stringify(sizes)}, not one of ${want}`];
}

async function printChecks(page, desktop, dir) {
  const problems = [];
  // The browser's dialog cannot be worked here: the PDF is made from the sheet left for it.
  await page.page.evaluate(() => {
    window.print = () => { window.funzioniPrinted = (window.funzioniPrinted || 0) + 1; };
  });
  await pressKeys(page, ['Control+KeyP']);
  if (await page.page.evaluate(() => window.funzioniPrinted) !== 1) {
    problems.push('Ctrl+P did not open the print dialog once');
  }
  const pdf = join(dir, 'page.pdf');
  writeFileSync(pdf, await page.page.pdf({ preferCSSPageSize: true, printBackground: true }));
  const desktopPdf = join(dir, 'desktop.pdf');
  writeFileSync(desktopPdf, desktop.pdf);
  problems.push(...embeddedPictureProblems(pdf));
  const got = pdfLines(pdf);
  const want = pdfLines(desktopPdf);
  if (JSON.stringify(got) !== JSON.stringify(want)) {
    problems.push(`printed text: ${JSON.stringify(got)}\n  not ${JSON.stringify(want)}`);
  }
  // The picture on paper, in dots: near 15 mm down and centred across the 180 mm between the
  // margins; it is found as the first dots that are not paper.
  const dots = (mm) => (mm / 25.4) * PRINT_DPI;
  const width = PLOT.size * FACTOR;
  const room = 40;
  const left = Math.round(dots(15) + (dots(180) - width) / 2) - room;
  const top = Math.round(dots(15)) - room;
  const stem = join(dir, 'sheet');
  execFileSync('pdftoppm', ['-r', String(PRINT_DPI), '-f', '1', '-l', '1', '-singlefile',
    '-x', String(left), '-y', String(top), '-W', String(width + 2 * room),
    '-H', String(width + 2 * room), pdf, stem]);
  const printed = readPpm(readFileSync(`${stem}.ppm`));
  const paper = (x, y) => {
    const at = (y * printed.width + x) * 3;
    return printed.data[at] === 255 && printed.data[at + 1] === 255 && printed.data[at + 2] === 255;
  };
  const middle = room + width / 2;
  let x0 = 0;
  while (x0 < printed.width && paper(x0, middle)) ++x0;
  let y0 = 0;
  while (y0 < printed.height && paper(middle, y0)) ++y0;
  const pages = execFileSync('pdfinfo', [pdf], { encoding: 'utf8' }).match(/Pages:\s+(\d+)/)[1];
  if (pages !== '1') problems.push(`the sheet has ${pages} pages`);
  if (Math.abs(x0 - room) > room / 2 || Math.abs(y0 - room) > room / 2) {
    problems.push(`the picture starts ${x0 - room}, ${y0 - room} dots from where it should`);
  } else {
    const blocks = blockProblems(printed, await plotPixels(page), x0, y0);
    if (blocks) problems.push(blocks);
  }
  return problems;
}

// Runs in the page: the PNG on the clipboard, as base64, once the browser has put it there.
async function copiedPng(waitMs) {
  const end = performance.now() + waitMs;
  for (;;) {
    const items = await navigator.clipboard.read();
    const item = items.find((i) => i.types.includes('image/png'));
    if (item) {
      const bytes = new Uint8Array(await (await item.getType('image/png')).arrayBuffer());
      let binary = '';
      for (let at = 0; at < bytes.length; at += 0x8000) {
        binary += String.fromCharCode.apply(null, bytes.subarray(at, at + 0x8000));
      }
      return btoa(binary);
    }
    if (performance.now() > end) return null;
    await new Promise((resolve) => setTimeout(resolve, 20));
  }
}

const helpPanel = (page) => page.page.evaluate((r) => Array.from(
  document.getElementById('funzioni-canvas').getContext('2d')
    .getImageData(r.x, r.y, r.width, r.height).data).join(), HELP_PANEL);

// Ctrl+Shift+C puts the plotting area on the clipboard; where the browser has no images there,
// the help panel says so.
async function pictureChecks(page) {
  const problems = [];
  await resetClipboard(page);
  await pressKeys(page, ['Control+Shift+KeyC']);
  const png = await page.page.evaluate(copiedPng, WAIT_MS);
  if (png === null) {
    problems.push('Ctrl+Shift+C put no picture on the clipboard');
  } else {
    const differing = await page.page.evaluate(differingPixels, png, PLOT);
    if (differing) problems.push(`the copied picture: ${differing}`);
  }
  const before = await helpPanel(page);
  await page.page.evaluate(() => { window.ClipboardItem = undefined; });
  await pressKeys(page, ['Control+Shift+KeyC']);
  if ((await helpPanel(page)) === before) {
    problems.push('a picture the clipboard cannot take leaves the help panel as it was');
  }
  return problems;
}

// export.json followed in the page, then its exports compared with the desktop's (`desktop`:
// the reference's export step).
export async function exportsAsOnTheDesktop(browser, url, watch, steps, desktop) {
  const page = await FunzioniPage.open(browser, url, watch);
  const dir = mkdtempSync(join(tmpdir(), 'funzioni-web-export-'));
  try {
    const session = await page.page.createCDPSession();
    await session.send('Emulation.setUserAgentOverride', {
      userAgent: await page.page.browser().userAgent(),
      acceptLanguage: 'it-IT',
    });
    await session.send('Browser.grantPermissions', {
      permissions: ['clipboardReadWrite', 'clipboardSanitizedWrite'],
      browserContextId: page.context.id,
    });
    await page.follow(steps);
    const problems = [
      ...(await tableChecks(page, desktop, dir)),
      ...(await printChecks(page, desktop, dir)),
      ...(await pictureChecks(page)),
    ];
    return problems.join('\n');
  } finally {
    rmSync(dir, { recursive: true, force: true });
    await page.close();
  }
}
