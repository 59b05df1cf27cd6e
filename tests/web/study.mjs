// The study window in the page beyond what the desktop's snapshots compare: the steps of
// study.json did what they say (marks, the chosen item's coordinates, the f' dots, the unmarked
// picture again once closed), and Ctrl+C in it copies the study as text.
import { readFileSync } from 'node:fs';
import { comparePictures, maskOf } from './compare.mjs';
import { FunzioniPage, HEIGHT, WIDTH } from './page.mjs';

// The layout's plotting area and coordinates line.
const PLOT = [4, 4, 600, 600];
const COORDINATES = [4, 605, 599, 16];

// Whether two snapshots of the page show the same pixels inside `rect`.
function sameIn(rect, a, b) {
  const inside = maskOf(WIDTH, HEIGHT, [rect]).map((bit) => 1 - bit);
  return comparePictures(WIDTH, HEIGHT, a.rgba, b.rgba, inside, 0).count === 0;
}

// [earlier snapshot, later snapshot, where, same or not, what the step should have done]
const CHANGES = [
  ['typed', 'opened', PLOT, false, 'F2 marks the study on the plot'],
  ['opened', 'chosen', COORDINATES, false, 'the chosen item shows on the coordinates line'],
  ['chosen', 'moved', COORDINATES, false, 'Down chooses the next item'],
  ['moved', 'slopes', PLOT, false, "the check box draws the f' dots"],
  ['typed', 'closed', PLOT, true, 'once closed, the plot is as before the study'],
];

// What the page's snapshots of study.json show against each other; nothing when all is right.
export function studyStepsDidTheirPart(shown) {
  const problems = [];
  for (const [earlier, later, rect, same, what] of CHANGES) {
    if (!shown[earlier] || !shown[later]) {
      problems.push(`no snapshot ${earlier} or ${later}`);
    } else if (sameIn(rect, shown[earlier], shown[later]) !== same) {
      problems.push(`${what}: ${later} is ${same ? 'not ' : ''}as ${earlier}`);
    }
  }
  return problems.join('\n');
}

// Runs in the page: the clipboard's writes recorded instead of made.
function recordClipboard() {
  window.copiedTexts = [];
  Object.defineProperty(navigator, 'clipboard', {
    value: { writeText: (text) => { window.copiedTexts.push(text); return Promise.resolve(); } },
  });
}

// Ctrl+C in the study window: its heading and lines, one a line; the dialog's own copy of the
// results table does not happen.
export async function studyCopiesItsText(browser, url, watch, stepsPath) {
  const steps = JSON.parse(readFileSync(stepsPath, 'utf8'));
  const page = await FunzioniPage.open(browser, url, watch);
  try {
    await page.page.evaluate(recordClipboard);
    await page.follow(steps.slice(0, steps.findIndex((s) => s.do === 'key' && s.key === 'F2') + 1));
    const { study } = await page.snapshot();
    if (!study) return 'F2 did not open the study';
    await page.page.keyboard.down('Control');
    await page.page.keyboard.press('KeyC');
    await page.page.keyboard.up('Control');
    await page.waitForIdle();
    const copied = await page.page.evaluate(() => window.copiedTexts);
    const expected = [study.heading, ...study.lines].map((line) => `${line}\n`).join('');
    if (copied.length !== 1 || copied[0] !== expected) {
      return `copied ${JSON.stringify(copied).slice(0, 300)}`;
    }
    return '';
  } finally {
    await page.close();
  }
}
