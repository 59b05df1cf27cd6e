// The page's storage of its folder (storage.js) against a model of the browser's local storage:
// a quota, writes refused, a page closed in the middle of a write, two tabs writing the same
// file. Run by scripts/browser-test with `node --test`; no browser needed.
import assert from 'node:assert/strict';
import {readFileSync} from 'node:fs';
import test from 'node:test';
import vm from 'node:vm';

const kSource = readFileSync(new URL('../../src/drawing/web/storage.js', import.meta.url), 'utf8');
const kPath = '/funzioni/espressioni.txt';
const kNoSpace = 28;

// The browser's local storage: characters counted against a quota, and a page that stops (its
// tab closed) at a given call, after which nothing more reaches the storage.
class ModelStorage {
  constructor(items, quota) {
    this.items = items;
    this.quota = quota;
    this.stopAt = -1;
    this.calls = 0;
  }
  get length() { return this.items.size; }
  key(i) { return [...this.items.keys()][i] ?? null; }
  getItem(key) { return this.items.has(key) ? this.items.get(key) : null; }
  used() {
    let n = 0;
    for (const [key, value] of this.items) n += key.length + value.length;
    return n;
  }
  reach() {
    if (this.stopAt >= 0 && this.calls++ >= this.stopAt) throw new Error('page closed');
  }
  setItem(key, value) {
    this.reach();
    const before = this.items.has(key) ? key.length + this.items.get(key).length : 0;
    if (this.used() - before + key.length + value.length > this.quota) {
      throw new Error('QuotaExceededError');
    }
    this.items.set(key, String(value));
  }
  removeItem(key) {
    this.reach();
    this.items.delete(key);
  }
}

// One page: storage.js loaded over a folder kept in memory, with a small size for files kept in
// pieces so that the model's files go that way. With `onPage`, a page's document: the stored
// items are read ahead in tasks the test runs (page.tasks, each run by page.step()), and the
// program's start waits for the run dependencies page.waiting counts; the folder is filled at
// page.load(), as the program's start does it.
function openPage(storage, {onPage = false} = {}) {
  const files = new Map();
  class ErrnoError extends Error {
    constructor(errno) {
      super('errno ' + errno);
      this.errno = errno;
    }
  }
  const FS = {
    ErrnoError,
    mkdir() {},
    chdir() {},
    readFile: (path) => new Uint8Array(files.get(path)),
    writeFile(path, bytes) {
      files.set(path, new Uint8Array(bytes));
      this.close({path, flags: 1});
    },
    unlink: (path) => files.delete(path),
    close() {},
  };
  const page = {files, FS, tasks: [], waiting: 0};
  const context = {
    FS,
    localStorage: storage,
    FunzioniShared: {shared: () => ({files: {noSpace: kNoSpace}})},
    console,
  };
  if (onPage) {
    Object.assign(context, {
      document: {},
      MessageChannel: class {
        constructor() {
          this.port1 = {onmessage: null};
          this.port2 = {postMessage: () => page.tasks.push(() => this.port1.onmessage({}))};
        }
      },
      addRunDependency: () => ++page.waiting,
      removeRunDependency: () => --page.waiting,
      abort: (what) => (page.aborted = what),
    });
  }
  vm.createContext(context);
  const small = kSource.replace('const kWholeBytes = 1 << 20;', 'const kWholeBytes = 4096;')
                    .replace('const kSpareBytes = 64 << 10;', 'const kSpareBytes = 1024;')
                    .replace('const kReadSlice = 1 << 19;', 'const kReadSlice = 1000;');
  vm.runInContext(small + '\nthis.FunzioniStorage = FunzioniStorage;', context);
  page.load = () => context.FunzioniStorage.load();
  page.step = () => page.tasks.shift()();
  if (!onPage) page.load();
  return page;
}

const bytesOf = (text) => Uint8Array.from(text, (c) => c.charCodeAt(0));

test('a file written again after another tab wrote one of the same length is stored', () => {
  const items = new Map();
  const first = openPage(new ModelStorage(items, 1e9));
  const second = openPage(new ModelStorage(items, 1e9));
  first.FS.writeFile(kPath, bytesOf('x^2\n'));
  second.FS.writeFile(kPath, bytesOf('x^3\n'));
  first.FS.writeFile(kPath, bytesOf('x^2\n'));
  assert.equal(items.get('funzioni-file:' + kPath), 'x^2\n');
});

test('every byte value comes back after a reload, kept whole and in pieces', () => {
  for (const size of [256, 40000]) {
    const items = new Map();
    const bytes = Uint8Array.from({length: size}, (_, i) => (i * 7) % 256);
    openPage(new ModelStorage(items, 1e9)).FS.writeFile(kPath, bytes);
    assert.deepEqual(openPage(new ModelStorage(items, 1e9)).files.get(kPath), bytes, `${size}`);
  }
});

// Seeded edits, refusals and pages closed mid-write: after every reload the file is the last one
// stored, or (after a write cut short) that or the one being written; never a mix.
test('no write, refused or cut short, leaves a file that was never written', () => {
  let seed = 12345;
  const random = (n) => {
    seed = (seed * 1103515245 + 12345) & 0x7fffffff;
    return seed % n;
  };
  const randomBytes = (n) => Uint8Array.from({length: n}, () => random(256));
  const edited = (bytes) => {
    const at = random(bytes.length + 1);
    switch (random(4)) {
      case 0: return new Uint8Array([...bytes.subarray(0, at), ...randomBytes(random(50)),
                                     ...bytes.subarray(at)]);
      case 1: return new Uint8Array([...bytes.subarray(0, at), ...bytes.subarray(at + random(500))]);
      case 2: return new Uint8Array([...bytes, ...randomBytes(random(100))]);
      default: return randomBytes(random(3) === 0 ? random(30000) : random(6000));
    }
  };
  for (let run = 0; run < 25; ++run) {
    const items = new Map();
    const quota = random(2) ? 50000 : 3000 + random(60000);
    let storage = new ModelStorage(items, quota);
    let page = openPage(storage);
    let stored = null;
    for (let step = 0; step < 20; ++step) {
      const next = edited(stored ?? randomBytes(random(20000)));
      const cut = random(4) === 0;
      if (cut) storage.stopAt = random(6);
      let refused = false;
      try {
        page.FS.writeFile(kPath, next);
      } catch (error) {
        refused = true;
        if (!cut) assert.equal(error.errno, kNoSpace);
      }
      assert.ok(storage.used() <= quota);
      if (!cut && !refused) stored = next;
      if (!cut && refused && stored !== null) assert.deepEqual(page.files.get(kPath), stored);
      if (!cut && random(5) !== 0) continue;
      storage = new ModelStorage(items, quota);
      page = openPage(storage);
      const read = page.files.get(kPath) ?? null;
      if (cut && read !== null && next.length === read.length &&
          read.every((b, i) => b === next[i])) {
        stored = next;
      }
      if (stored === null) {
        assert.equal(read, null, `run ${run} step ${step}`);
      } else {
        assert.deepEqual(read, stored, `run ${run} step ${step}`);
      }
    }
  }
});

// On the page the stored items are read ahead a slice a task, and the program starts only once
// the folder holds the whole file: the file as stored when the reading began, or as another tab
// wrote it meanwhile, never a mix of the two.
test('a file read ahead in short tasks is whole when the program starts, whatever is written meanwhile', () => {
  const lines = (n, tag) => bytesOf(Array.from({length: n}, (_, i) => `x^${i}+${tag} '\xe8\r\n`).join(''));
  const first = lines(3000, 'a');
  const changed = new Uint8Array([...first.subarray(0, 20000), ...bytesOf('COS(x)'), ...first.subarray(20006)]);
  const cases = [
    // [what the storage holds, how it is stored]
    ['kept in pieces', (items) => openPage(new ModelStorage(items, 1e9)).FS.writeFile(kPath, first)],
    ['kept whole by an earlier page', (items) => items.set('funzioni-file:' + kPath, String.fromCharCode(...first))],
  ];
  // What the other tab writes: a line changed (kept in pieces), a short file (kept whole).
  const short = bytesOf("x^2 'caff\xe8\r\n");
  for (const [kept, store] of cases) {
    for (const [writtenAfter, edited] of [[-1, changed], [1, changed], [5, short], [-1, short],
                                          [Infinity, null]]) {
      const name = `${kept}, another tab writing ${edited?.length} bytes after ${writtenAfter} tasks`;
      const items = new Map();
      store(items);
      const page = openPage(new ModelStorage(items, 1e9), {onPage: true});
      let tasks = 0;
      let want = first;
      const otherTab = () => {
        openPage(new ModelStorage(items, 1e9)).FS.writeFile(kPath, edited);
        want = edited;
      };
      page.load();  // the program's start, while the items are still being read
      assert.equal(page.waiting, 1, name);
      while (page.tasks.length > 0) {
        if (tasks++ === writtenAfter) otherTab();
        assert.equal(page.files.get(kPath), undefined, `${name}: the folder filled early`);
        page.step();
      }
      assert.ok(tasks > 10, `${name}: read in ${tasks} tasks`);
      assert.equal(page.waiting, 0, name);
      assert.deepEqual(page.files.get(kPath), want, name);
      // Started after the reading ended: the folder is filled at once, as stored then.
      const late = openPage(new ModelStorage(items, 1e9), {onPage: true});
      while (late.tasks.length > 0) late.step();
      if (writtenAfter === -1) otherTab();
      late.load();
      assert.equal(late.waiting, 0, name);
      assert.deepEqual(late.files.get(kPath), want, `${name}, started late`);
    }
  }
});

// A folder that cannot be filled once the items are read (the program's memory full) stops the
// start, as it does when the folder is filled at once: the program never runs on half of it.
test('a folder the read-ahead cannot fill stops the start', () => {
  const items = new Map();
  openPage(new ModelStorage(items, 1e9)).FS.writeFile(kPath, bytesOf("x^2 'caff\xe8\r\n"));
  const page = openPage(new ModelStorage(items, 1e9), {onPage: true});
  page.FS.writeFile = () => {
    throw new page.FS.ErrnoError(48);
  };
  page.load();
  while (page.tasks.length > 0) page.step();
  assert.equal(page.waiting, 1);
  assert.match(String(page.aborted), /errno 48/);
});
