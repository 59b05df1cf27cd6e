// Where the page's start goes: a DevTools performance trace of one load in chromium (CPU
// throttled as in timings.mjs), summed up per main-thread event from the navigation to the page
// first idle, with the longest tasks in order. It judges nothing; --out keeps the whole trace
// for the browser's own performance panel.
//   node tests/web/trace.mjs [--throttle 4] [--page build/web/funzioni.html] [--out trace.json]
//                            [--top 25]
// Each phase of the start (parse, compile, main, first paint, first curves) is shown on its own.
import { writeFileSync } from 'node:fs';
import { loadavg } from 'node:os';
import { join, resolve, dirname } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { parseArgs } from 'node:util';
import { HEIGHT, launchBrowser, WIDTH } from './page.mjs';

const HERE = dirname(fileURLToPath(import.meta.url));
const ROOT = resolve(HERE, '../..');
const CATEGORIES = ['devtools.timeline', 'v8', 'v8.wasm', 'blink', 'loading',
                    'disabled-by-default-devtools.timeline', 'disabled-by-default-v8.cpu_profiler',
                    'blink.user_timing'];
// A mark the page sets once idle: the trace's clock and the page's are matched through it.
const MARK = 'funzioni-trace';
// The main thread's tasks, which hold its other events.
const TASK = 'RunTask';

// The sampling profiler's self time by function (the program's own functions are named when
// the module keeps its names: linked with --profiling-funcs), from the navigation to toUs.
export function functionTimes(events, thread, fromUs, toUs) {
  const nodes = new Map();
  const self = new Map();
  // A profile is started on the thread it samples; its chunks carry its id.
  const profiles = new Map();
  for (const e of events.filter((e) => e.name === 'Profile' && `${e.pid}:${e.tid}` === thread)) {
    profiles.set(`${e.pid}:${e.id}`, e.args.data.startTime);
  }
  const chunks = events.filter((e) => e.name === 'ProfileChunk' && profiles.has(`${e.pid}:${e.id}`))
    .sort((a, b) => a.ts - b.ts);
  const clock = new Map();
  for (const chunk of chunks) {
    const data = chunk.args?.data;
    if (!data?.cpuProfile) continue;
    for (const node of data.cpuProfile.nodes ?? []) nodes.set(`${chunk.id}:${node.id}`, node.callFrame);
    let t = clock.get(chunk.id) ?? profiles.get(`${chunk.pid}:${chunk.id}`) ?? chunk.ts;
    const samples = data.cpuProfile.samples ?? [];
    const deltas = data.timeDeltas ?? [];
    for (let i = 0; i < samples.length; ++i) {
      t += deltas[i] ?? 0;
      const next = t + (deltas[i + 1] ?? 0);
      if (t < fromUs || t > toUs) continue;
      const frame = nodes.get(`${chunk.id}:${samples[i]}`);
      const name = frame ? `${frame.functionName || '(anonymous)'} ${frame.url ? '' : ''}`.trim() : '?';
      self.set(name, (self.get(name) ?? 0) + Math.max(0, next - t));
    }
    clock.set(chunk.id, t);
  }
  return self;
}

// Each complete event's own time (its duration less that of the events nested in it), summed
// by name; the tasks themselves listed by length.
// thread: 'pid:tid' of the page's main thread (where the page's mark was set).
export function summarise(events, thread, originUs, toUs, fromUs = originUs) {
  const mine = events
    .filter((e) => e.ph === 'X' && `${e.pid}:${e.tid}` === thread && e.ts >= fromUs && e.ts <= toUs)
    .sort((a, b) => a.ts - b.ts || b.dur - a.dur);
  const own = new Map();
  const stack = [];
  for (const e of mine) {
    while (stack.length > 0 && stack.at(-1).end <= e.ts) stack.pop();
    if (stack.length > 0) stack.at(-1).own -= Math.min(e.dur, stack.at(-1).end - e.ts);
    const frame = { name: e.name, end: e.ts + e.dur, own: e.dur };
    stack.push(frame);
    own.set(frame, true);
  }
  const byName = new Map();
  for (const frame of own.keys()) byName.set(frame.name, (byName.get(frame.name) ?? 0) + frame.own);
  const tasks = mine.filter((e) => e.name === TASK).map((e) => ({ at: e.ts - originUs, dur: e.dur }));
  // The tasks' time on the clock, and on the thread's own CPU clock: the latter counts neither
  // the throttle's pauses nor the other programs of a loaded machine.
  const busy = mine.filter((e) => e.name === TASK).reduce((sum, e) => sum + e.dur, 0);
  const cpu = mine.filter((e) => e.name === TASK).reduce((sum, e) => sum + (e.tdur ?? 0), 0);
  return { byName, tasks, busy, cpu };
}

async function main() {
  const { values } = parseArgs({
    options: {
      throttle: { type: 'string', default: '4' },
      page: { type: 'string' },
      out: { type: 'string' },
      top: { type: 'string', default: '25' },
    },
  });
  const path = resolve(values.page || process.env.FUNZIONI_WEB_PAGE || join(ROOT, 'build/web/funzioni.html'));
  const browser = await launchBrowser();
  const load = loadavg().map((l) => l.toFixed(1)).join(' ');
  let trace;
  let timeline;
  try {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.setViewport({ width: WIDTH, height: HEIGHT, deviceScaleFactor: 1 });
    const session = await page.createCDPSession();
    await session.send('Emulation.setCPUThrottlingRate', { rate: Number(values.throttle) });
    await page.tracing.start({ categories: CATEGORIES });
    await page.goto(pathToFileURL(path).href, { waitUntil: 'load' });
    await page.waitForFunction(() => window.funzioniPage !== undefined && window.funzioniPage.idle(),
                               { timeout: 120000, polling: 50 });
    timeline = await page.evaluate((mark) => ({
      ...window.funzioniPage.timeline(),
      dcl: performance.getEntriesByType('navigation')[0].domContentLoadedEventEnd,
      mark: performance.mark(mark).startTime,
    }), MARK);
    trace = JSON.parse(new TextDecoder().decode(await page.tracing.stop()));
  } finally {
    await browser.close();
  }
  if (values.out) writeFileSync(values.out, JSON.stringify(trace));
  const events = trace.traceEvents ?? trace;
  // The navigation's start on the trace's clock.
  const mark = events.find((e) => e.name === MARK);
  if (mark === undefined) throw new Error('the page\'s mark is not in the trace');
  const fromUs = mark.ts - timeline.mark * 1000;
  const thread = `${mark.pid}:${mark.tid}`;
  const endMs = timeline.lastPicture ?? timeline.ready;
  const toUs = fromUs + endMs * 1000;
  const top = Number(values.top);
  console.log(`${path}: CPU throttle ${values.throttle}x, load ${load}`);
  const moments = ['dcl', 'compileStart', 'compiled', 'main', 'paintStart', 'shown', 'firstPost', 'lastPicture', 'ready'];
  console.log('  moments (ms from navigation): ' +
              moments.filter((m) => timeline[m] !== undefined).map((m) => `${m} ${timeline[m].toFixed(0)}`).join(', '));
  // The start's phases, each with where its main-thread time went.
  const phases = [
    ['the whole start', 0, endMs],
    ['the page parsed, to the module compile started', 0, timeline.compileStart],
    ['the module unpacked and compiled', timeline.compileStart, timeline.compiled],
    ['instantiated, to the program\'s main', timeline.compiled, timeline.main],
    ['the program\'s start, to its first paint', timeline.main, timeline.paintStart],
    ['after the opening animation, to the start picture', timeline.firstPost, endMs],
  ];
  for (const [name, from, to] of phases) {
    if (from === undefined || to === undefined) continue;
    const { byName, busy, cpu } = summarise(events, thread, fromUs, fromUs + to * 1000, fromUs + from * 1000);
    const rows = [...byName].sort((x, y) => y[1] - x[1]).slice(0, name === 'the whole start' ? top : 8);
    console.log(`  ${name} (${(to - from).toFixed(0)} ms; main thread tasks ${(busy / 1000).toFixed(0)} ms, ` +
                `their CPU ${(cpu / 1000).toFixed(0)} ms): own time by event (ms):`);
    for (const [event, us] of rows) console.log(`    ${(us / 1000).toFixed(1).padStart(8)}  ${event}`);
    const functions = [...functionTimes(events, thread, fromUs + from * 1000, fromUs + to * 1000)]
      .filter(([fn]) => fn !== '(idle)').sort((x, y) => y[1] - x[1]).slice(0, 8);
    if (functions.length > 0) {
      console.log('    sampled self time by function: ' +
                  functions.map(([fn, us]) => `${fn.slice(0, 60)} ${(us / 1000).toFixed(0)}`).join(', '));
    }
  }
  const { tasks } = summarise(events, thread, fromUs, toUs);
  console.log('  longest tasks (start ms: length ms):');
  const longest = [...tasks].sort((a, b) => b.dur - a.dur).slice(0, 10).sort((a, b) => a.at - b.at);
  console.log('    ' + longest.map((t) => `${(t.at / 1000).toFixed(0)}: ${(t.dur / 1000).toFixed(0)}`).join(', '));
}

if (process.argv[1] === fileURLToPath(import.meta.url)) await main();
