// Where a meter drag step's time goes: a DevTools CPU profile of the page's thread and of each
// background instance (the plot worker, the study) over a series of drag steps, at a CPU
// throttle, with the bytes that crossed between the page and its workers. Build the page with
// function names kept (emcc --profiling-funcs at the link) to read the program's own functions.
// It judges nothing: it prints each thread's busy time and its top functions by self time.
//   node tests/web/drag-profile.mjs [--throttle 4] [--steps 30] [--meter parameter|zoom|wheel|pan]
//                                   [--state start|zoom100] [--top 25] [--out DIR]
//                                   [--page build/web/funzioni.html]
// --out keeps the profiles (.cpuprofile, opened by DevTools' Performance panel).
import { mkdirSync, writeFileSync } from 'node:fs';
import { loadavg } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { parseArgs } from 'node:util';
import { launchBrowser, PageWatch } from './page.mjs';
import { idleInPage, openThrottled, STEP_1, ZOOM_100 } from './timing.mjs';

const HERE = dirname(fileURLToPath(import.meta.url));
const ROOT = resolve(HERE, '../..');

const METERS = {
  parameter: { y: 652, fromX: 200, dx: 6 }, // a of a.x^2+b
  zoom: { y: 574, fromX: 700, dx: 6 },
  // Over the plotting area: notches in and out by turns, or a middle-button drag.
  wheel: { gesture: 'wheel' },
  pan: { gesture: 'pan' },
};
const PLOT_CENTRE = { x: 304, y: 304 };

// The steps profiled: a meter dragged across its scale, or a gesture over the plotting area.
async function stepsOf(self, meter, steps) {
  const mouse = self.page.mouse;
  const at = (x, y) => [self.origin.x + x, self.origin.y + y];
  if (meter.gesture) {
    await mouse.move(...at(PLOT_CENTRE.x, PLOT_CENTRE.y));
    if (meter.gesture === 'pan') await mouse.down({ button: 'middle' });
    for (let i = 0; i < steps; ++i) {
      if (meter.gesture === 'wheel') {
        await mouse.wheel({ deltaY: i % 2 === 0 ? -100 : 100 });
      } else {
        await mouse.move(...at(PLOT_CENTRE.x + 6 * (i + 1), PLOT_CENTRE.y + 3 * (i + 1)));
      }
      await idleInPage(self);
    }
    if (meter.gesture === 'pan') await mouse.up({ button: 'middle' });
    return;
  }
  await self.perform({ do: 'press', x: meter.fromX, y: meter.y });
  let x = meter.fromX;
  for (let i = 0; i < steps; ++i) {
    x += meter.dx;
    await mouse.move(...at(x, meter.y));
    await idleInPage(self);
  }
  await self.perform({ do: 'release', x, y: meter.y });
}
// Fine enough for a step of a few milliseconds, coarse enough not to slow the page itself.
const SAMPLING_INTERVAL_US = 100;

// Every message that crosses between the page and its workers, counted in the page.
function countMessages() {
  const counts = { posted: 0, postedBytes: 0, received: 0, receivedBytes: 0 };
  window.funzioniMessages = counts;
  const size = (data) => (data instanceof ArrayBuffer ? data.byteLength : 0);
  const Original = window.Worker;
  window.Worker = function (...args) {
    const worker = new Original(...args);
    const post = worker.postMessage.bind(worker);
    worker.postMessage = (data, transfer) => {
      ++counts.posted;
      counts.postedBytes += size(data);
      return post(data, transfer);
    };
    worker.addEventListener('message', (e) => {
      ++counts.received;
      counts.receivedBytes += size(e.data);
    });
    return worker;
  };
  window.Worker.prototype = Original.prototype;
}

// Self time (microseconds) by function, and the whole time the thread was busy.
function selfTimes(profile) {
  const byId = new Map(profile.nodes.map((n) => [n.id, n]));
  const self = new Map();
  let busy = 0;
  let idle = 0;
  const deltas = profile.timeDeltas;
  for (let i = 0; i < profile.samples.length; ++i) {
    const node = byId.get(profile.samples[i]);
    const dt = i + 1 < deltas.length ? deltas[i + 1] : 0;
    const frame = node.callFrame;
    const name = frame.functionName || '(anonymous)';
    if (name === '(idle)' || name === '(program)') {
      idle += dt;
      continue;
    }
    busy += dt;
    const where = frame.url ? ` ${frame.url.split('/').pop().slice(0, 20)}:${frame.lineNumber}` : '';
    const key = frame.url.startsWith('wasm') ? `${name} [wasm]` : `${name}${where}`;
    self.set(key, (self.get(key) ?? 0) + dt);
  }
  return { self, busy, idle };
}

function report(name, profile, top, steps) {
  const { self, busy } = selfTimes(profile);
  console.log(`\n${name}: busy ${(busy / 1000).toFixed(1)} ms in all, ` +
              `${(busy / 1000 / steps).toFixed(2)} ms a step`);
  const rows = [...self.entries()].sort((a, b) => b[1] - a[1]).slice(0, top);
  for (const [fn, us] of rows) {
    console.log(`  ${(100 * us / busy).toFixed(1).padStart(5)}%  ${(us / 1000).toFixed(1).padStart(7)} ms  ${fn}`);
  }
}

async function openProfiled(browser, url, watch, rate) {
  const workers = [];
  const self = await openThrottled(browser, url, watch, rate, async (page) => {
    await page.evaluateOnNewDocument(countMessages);
    page.on('workercreated', (worker) => workers.push(worker));
  });
  return { self, session: self.session, workers };
}

async function main() {
  const { values } = parseArgs({
    options: {
      throttle: { type: 'string', default: '4' },
      steps: { type: 'string', default: '30' },
      meter: { type: 'string', default: 'parameter' },
      state: { type: 'string', default: 'start' },
      top: { type: 'string', default: '25' },
      out: { type: 'string' },
      page: { type: 'string' },
    },
  });
  const steps = Number(values.steps);
  const meter = METERS[values.meter];
  if (!meter) throw new Error(`no meter ${values.meter}`);
  const path = resolve(values.page || process.env.FUNZIONI_WEB_PAGE ||
                       join(ROOT, 'build/web/funzioni.html'));
  const browser = await launchBrowser();
  const watch = new PageWatch();
  const load = loadavg().map((l) => l.toFixed(1)).join(' ');
  try {
    const { self, session, workers } =
      await openProfiled(browser, pathToFileURL(path).href, watch, Number(values.throttle));
    if (values.state === 'zoom100') for (const step of [...ZOOM_100, ...STEP_1]) await self.perform(step);
    await idleInPage(self);
    const sessions = [['page', session], ...workers.map((w, i) => [`worker ${i + 1}`, w.client])];
    for (const [, s] of sessions) {
      await s.send('Profiler.enable');
      await s.send('Profiler.setSamplingInterval', { interval: SAMPLING_INTERVAL_US });
      await s.send('Profiler.start');
    }
    const before = await self.page.evaluate(() => ({ ...window.funzioniMessages }));
    await stepsOf(self, meter, steps);
    const after = await self.page.evaluate(() => ({ ...window.funzioniMessages }));
    console.log(`${path}: CPU throttle ${values.throttle}x, ${steps} steps of the ${values.meter} ` +
                `meter at ${values.state}; load ${load}`);
    const per = (k) => ((after[k] - before[k]) / steps).toFixed(1);
    console.log(`messages a step: ${per('posted')} to workers (${per('postedBytes')} bytes), ` +
                `${per('received')} back (${per('receivedBytes')} bytes)`);
    if (values.out) mkdirSync(values.out, { recursive: true });
    for (const [name, s] of sessions) {
      const { profile } = await s.send('Profiler.stop');
      if (values.out) writeFileSync(join(values.out, `${name.replace(' ', '-')}.cpuprofile`), JSON.stringify(profile));
      report(name, profile, Number(values.top), steps);
    }
    for (const problem of watch.problems.slice(0, 5)) console.log(`page: ${problem}`);
  } finally {
    await browser.close();
  }
}

await main();
