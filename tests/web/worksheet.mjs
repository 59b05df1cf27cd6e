// Worksheet links in the page against the desktop window: the page opened at an address with a
// worksheet fragment shows the picture the desktop shows once the same link is entered in its
// formula box, and a malformed fragment leaves the start picture with the same note in the help
// panel. Run alone: node worksheet.mjs (FUNZIONI_WEB_PAGE, FUNZIONI_WEB_REFERENCE as run.mjs).
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { snapshotsDiffer } from './compare.mjs';
import { FunzioniPage, HEIGHT, WIDTH } from './page.mjs';
import { desktopSnapshots } from './reference.mjs';
import { runAlone, startedAlone } from './alone.mjs';

// A typed formula with a parameter on narrower ends, a kept formula, a moved view and other
// switches: every part of the state a link carries.
export const SHEET =
  '#f=-x%5E3%2Bk*x%2B9&keep=k*x%2B9&k=2.5,-5,5,0.5&on=1,3&view=-3,5,-4,12';
// Good but for one field: nothing of it may show.
export const MALFORMED = '#f=x%5E2&k=inf';
// The formula box, where the desktop's link is entered; the help panel, where the note shows.
const BOX = { x: 700, y: 547 };
const HELP = [606, 60, 364, 50];
const AWAY = { do: 'move', x: 973, y: 719 };

function entered(link, name) {
  return [
    AWAY,
    { do: 'click', ...BOX },
    { do: 'type', text: link },
    { do: 'key', key: 'Enter' },
    { do: 'snapshot', name },
  ];
}

async function desktopAfter(reference, steps) {
  const dir = mkdtempSync(join(tmpdir(), 'funzioni-sheet-steps-'));
  try {
    const path = join(dir, 'sheet.json');
    writeFileSync(path, JSON.stringify(steps));
    return await desktopSnapshots(reference, path, steps);
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

function differs(out, name, desktop, page, more = []) {
  return snapshotsDiffer(out, `sheet-${name}`, WIDTH, HEIGHT, desktop, page, more);
}

// The rectangle's pixels alone, everything else masked.
function differsWithin(out, name, desktop, page, [left, top, w, h]) {
  const outside = [[0, 0, WIDTH, top], [0, top + h, WIDTH, HEIGHT - top - h],
    [0, top, left, h], [left + w, top, WIDTH - left - w, h]];
  return differs(out, name, desktop, page, outside);
}

async function pageAt(browser, url, watch, steps) {
  const page = await FunzioniPage.open(browser, url, watch);
  try {
    for (const step of steps) {
      await page.perform(step);
      await page.waitForIdle();
    }
    return await page.snapshot();
  } finally {
    await page.close();
  }
}

// The checks, each { name, problem } (problem empty when it passes).
export async function worksheetOpensAsOnTheDesktop(browser, url, watch, reference, out) {
  const desktop = {
    ...(await desktopAfter(reference, entered(SHEET, 'sheet'))),
    ...(await desktopAfter(reference, [AWAY, { do: 'snapshot', name: 'start' }])),
    ...(await desktopAfter(reference, entered(MALFORMED, 'refused'))),
  };
  // The pointer rests on the formula box as the desktop's did, so that its help shows in both.
  const sheet = await pageAt(browser, url + SHEET, watch, [AWAY, { do: 'move', ...BOX }]);
  const refused = await pageAt(browser, url + MALFORMED, watch, [AWAY]);
  return [
    {
      name: 'worksheet: the page opened at a link shows the desktop\'s picture of it',
      problem: differs(out, 'opened', desktop.sheet, sheet) ||
        (differs(out, 'not-start', desktop.start, sheet) ? '' : 'the link changed nothing'),
    },
    {
      name: 'worksheet: a malformed link leaves the start picture',
      problem: differs(out, 'refused-start', desktop.start, refused, [HELP]),
    },
    {
      name: 'worksheet: a malformed link shows the desktop\'s note in the help panel',
      problem: differsWithin(out, 'refused-note', desktop.refused, refused, HELP) ||
        (differsWithin(out, 'no-note', desktop.start, refused, HELP) ? '' : 'no note shown'),
    },
  ];
}

if (startedAlone(import.meta.url)) await runAlone(worksheetOpensAsOnTheDesktop);
