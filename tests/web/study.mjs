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

// The layout's formula box, meters and lists, where a pupil reaches for them.
const FORMULA_BOX = [606, 536, 362, 22];
const IN_REACH = {
  'the formula box': FORMULA_BOX,
  'the zoom meter': [606, 564, 364, 20],
  'the step meter': [606, 586, 364, 20],
  'the results': [848, 112, 120, 240],
  'the history': [606, 354, 362, 180],
};
// Browser areas: the window's own size, narrower and wider ones without room beside it, a small
// one that shrinks the window, and one with room beside it.
const AREAS = [[WIDTH, HEIGHT], [900, 700], [1200, 800], [640, 480], [1600, 900]];
const HISTORY = '1460';

// Runs in the page: for each named rectangle of the client area (in its own pixels), what the
// browser finds at its middle and corners when it is not the page's own (a panel over it).
function coveredParts(rects, clientWidth) {
  const area = document.getElementById('funzioni');
  const r = area.getBoundingClientRect();
  const scale = r.width / clientWidth;
  const covered = [];
  for (const [name, [x, y, w, h]] of Object.entries(rects)) {
    const points = [[x + w / 2, y + h / 2], [x + 2, y + 2], [x + w - 2, y + h - 2]];
    for (const [px, py] of points) {
      const hit = document.elementFromPoint(r.left + px * scale, r.top + py * scale);
      if (hit === null || !area.contains(hit)) {
        covered.push(`${name} at ${px},${py} (${hit?.className || hit?.tagName})`);
        break;
      }
    }
  }
  return covered;
}

// A new browser size, once the page has laid itself out for it: the browser sends its resize
// event with the next frame, after setViewport has already returned.
async function resizeTo(page, width, height) {
  await page.page.setViewport({ width, height, deviceScaleFactor: 1 });
  await page.page.waitForFunction(
    (w, h) => window.innerWidth === w && window.innerHeight === h, {}, width, height);
  await page.page.evaluate(
    () => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
  await page.waitForIdle();
}

// With the study open, in every browser size, the formula box, the meters and the lists are
// neither covered nor out of reach; in the window's own size, formulas typed into the box after
// a click on it all reach the box and the history.
export async function studyLeavesTheControlsInReach(browser, url, watch) {
  const page = await FunzioniPage.open(browser, url, watch);
  const problems = [];
  try {
    await page.follow([
      { do: 'click', x: 700, y: 547 }, { do: 'type', text: 'x^2-1' }, { do: 'key', key: 'Enter' },
      { do: 'key', key: 'F2' },
    ]);
    for (const [width, height] of AREAS) {
      await resizeTo(page, width, height);
      const covered = await page.page.evaluate(coveredParts, IN_REACH, WIDTH);
      if (covered.length > 0) problems.push(`${width} x ${height}: covered ${covered.join(', ')}`);
    }
    await resizeTo(page, WIDTH, HEIGHT);
    // A formula long enough that the study's heading takes many lines, then short ones.
    const formulas = [`${'x + '.repeat(60)}1`, 'x^3-x', 'SIN(x)*x', '1/(x-2)', 'ABS(x)-3'];
    for (const formula of formulas) {
      await page.perform({ do: 'click', x: 700, y: 547 });
      const focused = await page.page.evaluate(
        () => document.activeElement?.getAttribute('data-control'));
      if (focused !== '1480') problems.push(`a click on the formula box focused ${focused}`);
      await page.page.keyboard.down('Control');
      await page.page.keyboard.press('KeyA');
      await page.page.keyboard.up('Control');
      await page.perform({ do: 'type', text: formula });
      await page.perform({ do: 'key', key: 'Enter' });
      const shown = await page.snapshot();
      if (shown.study === null) problems.push(`the study closed while typing ${formula}`);
      if (shown.box !== formula) problems.push(`the box holds ${JSON.stringify(shown.box)}`);
      const history = shown.lists[HISTORY] ?? [];
      if (history.at(-1) !== formula) {
        problems.push(`${formula} is not the history's last line: ${history.at(-1)}`);
      }
    }
    const covered = await page.page.evaluate(coveredParts, IN_REACH, WIDTH);
    if (covered.length > 0) problems.push(`after a long formula: covered ${covered.join(', ')}`);
    return problems.join('\n');
  } finally {
    await page.close();
  }
}

// Runs in the page: the longest gap between turns of its event loop from now until stop(), by
// the page's own clock.
function watchTurns() {
  const turns = { longest: 0, last: performance.now(), stopped: false };
  const channel = new MessageChannel();
  channel.port1.onmessage = () => {
    const now = performance.now();
    turns.longest = Math.max(turns.longest, now - turns.last);
    turns.last = now;
    if (!turns.stopped) setTimeout(() => channel.port2.postMessage(0), 1);
  };
  channel.port2.postMessage(0);
  window.funzioniTurns = turns;
}

const STUDY_ANSWER_LIMIT_MS = 100;
const ZOOM_100 = [
  { do: 'press', x: 607, y: 574 },
  { do: 'move', x: 969, y: 574 },
  { do: 'release', x: 969, y: 574 },
];
// The heaviest study of the school formulas at zoom 100, judged; then one of a formula of 5,001
// characters at the start zoom, watched for a while (its study lasts minutes) and only measured.
const STUDIES = [
  { name: 'ARCSIN(x/20) at zoom 100', formula: 'ARCSIN(x/20)', zoom100: true, judged: true,
    watchMs: 60000 },
  { name: 'a formula of 5,001 characters', formula: `${'SIN(x)*x^2+'.repeat(454)}x^2`,
    zoom100: false, judged: false, watchMs: 3000 },
];

// Runs in the page: whether the study window shows the study of a formula.
function studyShown() {
  const heading = document.querySelector('.funzioni-side-heading');
  return heading !== null && heading.textContent.startsWith('Studio numerico');
}

// The formula entered and drawn first, so that only the study is under way once F2 opens it:
// the longest turn of the page from F2 until the study shows (or watchMs), and of the same page
// left still as long before.
async function turnsWhileStudying(browser, url, watch, { formula, zoom100, watchMs }) {
  const page = await FunzioniPage.open(browser, url, watch);
  try {
    await page.follow([...(zoom100 ? ZOOM_100 : []), { do: 'click', x: 700, y: 547 }]);
    await page.page.evaluate((text) => {
      const box = document.activeElement;
      box.value = text;
      box.dispatchEvent(new Event('input', { bubbles: true }));
    }, formula);
    await page.perform({ do: 'key', key: 'Enter' });
    await page.page.evaluate(watchTurns);
    await new Promise((resolve) => setTimeout(resolve, 1000));
    const still = await page.page.evaluate(() => {
      window.funzioniTurns.stopped = true;
      return window.funzioniTurns.longest;
    });
    await page.page.evaluate(watchTurns);
    const start = performance.now();
    await page.page.keyboard.press('F2');
    const keyMs = performance.now() - start;
    let studied = false;
    while (performance.now() - start < watchMs && !studied) {
      await new Promise((resolve) => setTimeout(resolve, 20));
      studied = await page.page.evaluate(studyShown);
    }
    const longest = await page.page.evaluate(() => {
      window.funzioniTurns.stopped = true;
      return window.funzioniTurns.longest;
    });
    return { still, keyMs, longest, studied, watchedMs: performance.now() - start };
  } finally {
    await page.close();
  }
}

// With the study open, while a study is computed the page keeps turning its event loop, never
// more than 100 ms apart beyond what the same page left still shows on this machine.
export async function pageAnswersWhileStudying(browser, url, watch, timings) {
  const problems = [];
  for (const study of STUDIES) {
    const t = await turnsWhileStudying(browser, url, watch, study);
    timings.push([`longest turn of the page while ${study.name} is studied`, t.longest]);
    timings.push([`longest turn of the same page left still, before (${study.name})`, t.still]);
    timings.push([`time watched while ${study.name} is studied`, t.watchedMs]);
    if (!study.judged) continue;
    if (!t.studied) problems.push(`${study.name}: not studied within ${study.watchMs} ms`);
    const limit = STUDY_ANSWER_LIMIT_MS + t.still;
    for (const [what, ms] of [['the F2 key', t.keyMs], ['the longest turn', t.longest]]) {
      if (ms > limit) problems.push(`${study.name}: ${what} took ${ms.toFixed(0)} ms`);
    }
  }
  return problems.join('\n');
}

// The study window's fields reached with the keyboard alone (Tab from the list), each named for
// a screen reader; Enter in them writes the tangent and the area and draws them on the plot.
export async function studyFieldsDrawTheTangentAndTheArea(browser, url, watch, shotPath) {
  const page = await FunzioniPage.open(browser, url, watch);
  const problems = [];
  try {
    await page.follow([
      { do: 'click', x: 700, y: 547 }, { do: 'type', text: 'x^2' }, { do: 'key', key: 'Enter' },
      { do: 'key', key: 'F2' },
    ]);
    const before = await page.snapshot();
    const names = await page.page.evaluate(() => [...document.querySelectorAll(
      '.funzioni-side input[type="text"]')].map((f) => `${f.labels[0]?.textContent}|${f.getAttribute('aria-label')}`));
    if (names.length !== 3 || names.some((n) => n.includes('undefined') || n.includes('null'))) {
      problems.push(`fields ${JSON.stringify(names)}`);
    }
    // From the list: Tab to x0, then to a and b.
    const steps = [['1'], ['0', '3']];
    await page.page.keyboard.press('Tab');
    await page.page.keyboard.type(steps[0][0]);
    await page.page.keyboard.press('Enter');
    await page.waitForIdle();
    for (const text of steps[1]) {
      await page.page.keyboard.press('Tab');
      await page.page.keyboard.type(text);
    }
    await page.page.keyboard.press('Enter');
    await page.waitForIdle();
    const after = await page.snapshot();
    const lines = after.study?.lines ?? [];
    const want = ['Tangente in x\u2080 \u2248 1: y \u2248 2\u00B7x \u2212 1',
                  'Integrale da 0 a 3 \u2248 9 (', 'Area da 0 a 3 \u2248 9 ('];
    for (const start of want) {
      if (!lines.some((line) => line.startsWith(start))) problems.push(`no line ${start}`);
    }
    if (sameIn(PLOT, before, after)) problems.push('the plot shows neither tangent nor area');
    if (shotPath) await page.page.screenshot({ path: shotPath });
    return problems.join('\n');
  } finally {
    await page.close();
  }
}

// The sign chart drawn in the study panel from the program's data: an image whose accessible name
// is the desktop's and whose description is the chart's lines of the study (the lines the desktop
// reference gives too); "x₀ dal cursore" asks for the tangent at the x the coordinates line shows.
export async function studyChartReadsAsItsLines(browser, url, watch, shotPath) {
  const page = await FunzioniPage.open(browser, url, watch);
  const problems = [];
  try {
    await page.follow([
      { do: 'click', x: 700, y: 547 }, { do: 'type', text: 'x^2-1' }, { do: 'key', key: 'Enter' },
      { do: 'key', key: 'F2' },
    ]);
    const shown = await page.snapshot();
    const lines = (shown.study?.lines ?? []).filter((l) => l.startsWith('Schema dei segni di '));
    const chart = await page.page.evaluate(() => {
      const box = document.querySelector('.funzioni-side-chart');
      if (box === null || box.hidden) return null;
      return { role: box.getAttribute('role'), name: box.getAttribute('aria-label'),
               description: box.getAttribute('aria-description'),
               strokes: box.querySelectorAll('svg line, svg path').length,
               height: box.getBoundingClientRect().height };
    });
    if (chart === null) return 'no sign chart shown';
    if (chart.role !== 'img' || chart.name !== 'Schema dei segni') {
      problems.push(`chart named ${chart.role} ${chart.name}`);
    }
    if (lines.length === 0 || chart.description !== lines.join('\n')) {
      problems.push(`chart reads ${JSON.stringify(chart.description)} for ${JSON.stringify(lines)}`);
    }
    // Three rows of + and − over four intervals each, their lines and the marks: well over 20.
    if (chart.strokes < 20 || chart.height < 80) problems.push(`chart drawn ${JSON.stringify(chart)}`);
    const tree = await page.page.accessibility.snapshot({ interestingOnly: true });
    const found = [];
    const walk = (node) => {
      // Chromium names the img role "image" in its accessibility tree.
      if ((node.role === 'img' || node.role === 'image') && node.name === 'Schema dei segni') {
        found.push(node);
      }
      for (const child of node.children ?? []) walk(child);
    };
    walk(tree);
    if (found.length !== 1) problems.push(`${found.length} chart images in the accessibility tree`);
    if (shotPath) await page.page.screenshot({ path: shotPath });

    // The pointer over client column 333, which the coordinates line reads as x = 1.00 at zoom
    // 50 (as the desktop's does): f = 0 and f' = 2 there.
    await page.perform({ do: 'move', x: 333, y: 300 });
    await page.clickStudy('.funzioni-side-buttons button');
    await page.waitForIdle();
    const x0 = await page.page.evaluate(() => document.querySelector(
      '.funzioni-side input[data-field="0"]')?.value);
    if (x0 !== '1.00') problems.push(`x0 from the cursor ${x0}`);
    const after = await page.snapshot();
    const tangent = 'Tangente in x\u2080 \u2248 1: y \u2248 2\u00B7x \u2212 2';
    if (!(after.study?.lines ?? []).some((l) => l.startsWith(tangent))) {
      problems.push(`no line ${tangent}`);
    }
    return problems.join('\n');
  } finally {
    await page.close();
  }
}
