// The program's working folder kept in the browser's storage (page.js loads it before the
// program starts): each file of the folder is stored as it is closed; the folder that earlier
// editions of the page kept in IndexedDB is taken over once.
// In a worker there is no page: nothing here is used.
//
// How a file is kept in the local storage, a character a byte:
// - a file of up to kWholeBytes is one item, kFileKey + path, the file whole (as every file was
//   kept at first);
// - a larger one is kept in pieces, so that a change writes only the bytes that changed (the
//   browser writes its storage synchronously, some 100 ms a megabyte): kPartsKey + path holds
//   its record (JSON: the size, the items used with their length and check, and the ranges of
//   those items that make the file, in order); the items are pieces, kPartKey + path + ':' +
//   name, and the whole item of the first kind, named kWholeItem. A piece is never rewritten:
//   a change writes new pieces, then the record, in one setItem that switches from the old file
//   to the new at once; what the new record no longer uses goes after it. Pieces a write left
//   without a record (the page closed in between) are removed by the next write.
// A record takes precedence over the whole item, unless an item it uses has changed or a whole
// item it does not use is there and is not the one it replaced (record.over): then the whole
// item was written after it (by writeWhole, cut short before it removed the record, or by an
// earlier edition of the page) and is the newer file.
// A write the storage refuses is reported failed and leaves the stored file as it was; when the
// storage cannot hold a large file's new pieces beside the old, the file is written whole.
// On the page the stored items are read and turned into bytes ahead, a slice per task, while the
// program's module is unpacked and compiled: however large the history, no task of the start
// holds the page long. The program starts once the folder is filled.

var FunzioniStorage = (function () {
  'use strict';
  const kFolder = '/funzioni';  // the program's working folder, with its history file
  const kFileKey = 'funzioni-file:';
  const kPartsKey = 'funzioni-parts:';
  const kPartKey = 'funzioni-part:';
  const kWholeItem = '*';
  // Files up to this size are written whole (up to some 100 ms): the common case, and how
  // earlier editions of the page read them.
  const kWholeBytes = 1 << 20;
  // A file kept in pieces is written afresh in one piece once its items hold this much more
  // than the file (bytes of lines since changed or deleted), or it has this many ranges.
  const kSpareShare = 0.25;
  const kSpareBytes = 64 << 10;
  const kMostRanges = 512;
  // Bytes a String.fromCharCode call takes at most (its arguments go on the stack).
  const kConversionSlice = 0x8000;
  const kAccessModes = 3;  // O_WRONLY 1, O_RDWR 2
  // Characters turned into bytes per task when the items are read ahead: a few milliseconds.
  const kReadSlice = 1 << 19;

  let restoring = false;  // a stored file being put back: its closing is not stored again
  // By path: what the storage holds of each file of the folder, as last read or written, so
  // that a write compares and writes only what changed.
  const kept = new Map();
  let pieceCount = 0;

  function textOfBytes(bytes) {
    let text = '';
    for (let at = 0; at < bytes.length; at += kConversionSlice) {
      text += String.fromCharCode.apply(null, bytes.subarray(at, at + kConversionSlice));
    }
    return text;
  }

  // FNV-1a of the item's characters: tells an item a record uses from one written over it since.
  const kCheckStart = 0x811c9dc5;
  const checkStep = (check, c) => Math.imul(check ^ c, 0x01000193);

  // The characters [from, end) of the text put into bytes at the same places; the check carried
  // on over them.
  function convertInto(text, from, end, bytes, check) {
    for (let i = from; i < end; ++i) {
      const c = text.charCodeAt(i);
      bytes[i] = c;
      check = checkStep(check, c);
    }
    return check;
  }

  function bytesAndCheckOf(text) {
    const bytes = new Uint8Array(text.length);
    return {bytes, check: convertInto(text, 0, text.length, bytes, kCheckStart) >>> 0};
  }

  const checkOf = (text) => bytesAndCheckOf(text).check;

  // By key: the items read ahead, {text, bytes, check}, until the folder is filled.
  let readAhead = new Map();

  // The item's bytes and check, as read ahead when the item still holds the text read then.
  function itemBytes(key, text) {
    const ahead = readAhead.get(key);
    if (ahead !== undefined && ahead.text === text) return ahead;
    return bytesAndCheckOf(text);
  }

  // Whether the item's text is the one of [length, check].
  const isItem = (text, item) =>
      text !== null && item !== undefined && text.length === item[0] && checkOf(text) === item[1];

  const itemKey = (path, name) =>
    name === kWholeItem ? kFileKey + path : `${kPartKey}${path}:${name}`;

  // The file its record describes, or null when the record is not readable, an item it uses is
  // missing or changed, or a whole item it does not use is there (written after the record).
  function fileOfRecord(path, recordText, wholeText) {
    let record;
    try {
      record = JSON.parse(recordText);
    } catch (error) {
      return null;
    }
    if (wholeText !== null && !(kWholeItem in record.items) && !isItem(wholeText, record.over)) {
      return null;
    }
    // Each item read once, its bytes and its check in one pass; the ranges then copied whole.
    const items = new Map();
    for (const name of Object.keys(record.items)) {
      const key = itemKey(path, name);
      const text = localStorage.getItem(key);
      const item = record.items[name];  // [length, check]
      if (text === null || text.length !== item[0]) return null;
      const read = itemBytes(key, text);
      if (read.check !== item[1]) return null;
      items.set(name, read.bytes);
    }
    const bytes = new Uint8Array(record.size);
    let at = 0;
    // (No destructuring in the loops: the build's script minifier does not know it.)
    for (const range of record.ranges) {  // [name, from, length]
      const item = items.get(range[0]);
      if (item === undefined || range[1] + range[2] > item.length || at + range[2] > bytes.length) {
        return null;
      }
      bytes.set(item.subarray(range[1], range[1] + range[2]), at);
      at += range[2];
    }
    const wholeLength = wholeText === null ? -1 : wholeText.length;
    return at === record.size ? {bytes, recordText, record, check: null, wholeLength} : null;
  }

  // What the storage holds of a file: {bytes, recordText, record, check} (recordText and record
  // null for a whole file, check that of the whole item once taken); null when nothing is
  // stored. Throws when the storage cannot be read.
  function readStored(path) {
    const recordText = localStorage.getItem(kPartsKey + path);
    const text = localStorage.getItem(kFileKey + path);
    const fromRecord = recordText === null ? null : fileOfRecord(path, recordText, text);
    if (fromRecord !== null) return fromRecord;
    if (text === null) return null;
    const bytes = itemBytes(kFileKey + path, text).bytes;
    return {bytes, recordText: null, record: null, check: null, wholeLength: text.length};
  }

  function sameBytes(a, b) {
    if (a.length !== b.length) return false;
    for (let i = 0; i < a.length; ++i) {
      if (a[i] !== b[i]) return false;
    }
    return true;
  }

  function sameText(text, bytes) {
    if (text.length !== bytes.length) return false;
    for (let i = 0; i < bytes.length; ++i) {
      if (text.charCodeAt(i) !== bytes[i]) return false;
    }
    return true;
  }

  // The ranges of `ranges` that make bytes [from, to) of their file.
  function rangesWithin(ranges, from, to) {
    const within = [];
    let at = 0;
    for (const range of ranges) {
      const low = Math.max(from, at);
      const high = Math.min(to, at + range[2]);
      if (low < high) within.push([range[0], range[1] + low - at, high - low]);
      at += range[2];
    }
    return within;
  }

  // A name no item of the file has (a piece is never written over: a record may use it).
  function newPieceName(path) {
    for (;;) {
      const name = `${Date.now().toString(36)}-${(++pieceCount).toString(36)}`;
      if (localStorage.getItem(itemKey(path, name)) === null) return name;
    }
  }

  // The record of `bytes` that keeps what `old` shares with them at their start and their end,
  // and the piece to write for the rest: {record, piece} (piece null when nothing is new).
  function recordOf(path, old, bytes) {
    let oldRanges = [];
    let oldItems = {};
    if (old !== null && old.record !== null) {
      oldRanges = old.record.ranges;
      oldItems = old.record.items;
    } else if (old !== null && old.bytes.length > 0) {
      oldRanges = [[kWholeItem, 0, old.bytes.length]];
      oldItems = {[kWholeItem]: [old.bytes.length, old.check]};
    }
    const oldBytes = old === null ? new Uint8Array(0) : old.bytes;
    const shortest = Math.min(oldBytes.length, bytes.length);
    let head = 0;
    while (head < shortest && oldBytes[head] === bytes[head]) ++head;
    let tail = 0;
    while (tail < shortest - head &&
           oldBytes[oldBytes.length - 1 - tail] === bytes[bytes.length - 1 - tail]) {
      ++tail;
    }
    const name = newPieceName(path);
    const middle = bytes.subarray(head, bytes.length - tail);
    let ranges = rangesWithin(oldRanges, 0, head);
    if (middle.length > 0) ranges.push([name, 0, middle.length]);
    ranges = ranges.concat(
        rangesWithin(oldRanges, oldBytes.length - tail, oldBytes.length));
    const items = {};
    let held = 0;
    for (const range of ranges) {
      const used = range[0];
      if (used === name || used in items) continue;
      items[used] = oldItems[used];
      held += items[used][0];
    }
    const spare = held + middle.length - bytes.length;
    const afresh = spare > bytes.length * kSpareShare + kSpareBytes || ranges.length > kMostRanges;
    const record = afresh ? {size: bytes.length, items: {}, ranges: [[name, 0, bytes.length]]} :
                            {size: bytes.length, items, ranges};
    // The whole item the record no longer uses is removed after it; until then it is known by
    // its check as older than the record.
    const whole = old === null ? undefined :
        old.record === null ? [old.bytes.length, old.check] :
                              old.record.items[kWholeItem] || old.record.over;
    if (!(kWholeItem in record.items) && whole !== undefined) record.over = whole;
    if (afresh) return {record, piece: {name, bytes}};
    return {record, piece: middle.length > 0 ? {name, bytes: middle} : null};
  }

  function removeItems(keys) {
    for (const key of keys) localStorage.removeItem(key);
  }

  // The keys of the pieces of a file that `record` does not use (all of them without a record).
  function unusedPieces(path, record) {
    const prefix = `${kPartKey}${path}:`;
    const unused = [];
    for (let i = 0; i < localStorage.length; ++i) {
      const key = localStorage.key(i);
      if (key === null || !key.startsWith(prefix)) continue;
      if (record === null || !(key.slice(prefix.length) in record.items)) unused.push(key);
    }
    return unused;
  }

  // The file written whole, over what was stored: when the storage cannot hold the new pieces
  // beside the old ones. Until its record is removed, the record's check of the whole item no
  // longer holds (or it does not use it), so no reading mixes the two.
  function writeWhole(path, bytes) {
    const text = textOfBytes(bytes);
    localStorage.setItem(kFileKey + path, text);
    localStorage.removeItem(kPartsKey + path);
    removeItems(unusedPieces(path, null));
    kept.set(path, {bytes, recordText: null, record: null, check: null, wholeLength: text.length});
  }

  // The file written as new pieces and a record that switches to them; throws, leaving the
  // stored file as it was, when the storage refuses.
  function writeInPieces(path, old, bytes) {
    const planned = recordOf(path, old, bytes);
    const record = planned.record;
    const piece = planned.piece;
    const pieceKey = piece === null ? null : itemKey(path, piece.name);
    try {
      if (piece !== null) {
        const text = textOfBytes(piece.bytes);
        localStorage.setItem(pieceKey, text);
        record.items[piece.name] = [text.length, checkOf(text)];
      }
      const recordText = JSON.stringify(record);
      localStorage.setItem(kPartsKey + path, recordText);
      const whole = record.items[kWholeItem];
      const wholeLength = whole === undefined ? -1 : whole[0];
      kept.set(path, {bytes, recordText, record, check: null, wholeLength});
    } catch (refused) {
      if (pieceKey !== null) localStorage.removeItem(pieceKey);
      throw refused;
    }
    const unused = unusedPieces(path, record);
    if (!(kWholeItem in record.items)) unused.push(kFileKey + path);
    removeItems(unused);
  }

  // What the storage holds of the file, as kept, unless it changed since (another tab of the
  // page): then as read again.
  function currentlyStored(path) {
    const recordText = localStorage.getItem(kPartsKey + path);
    const text = localStorage.getItem(kFileKey + path);
    const wholeLength = text === null ? -1 : text.length;
    const old = kept.get(path);
    if (old === null && recordText === null && text === null) return old;
    if (!old) return readStored(path);
    // A file kept whole is compared with the item just read: another tab may have written one
    // of the same length, and a write skipped as unchanged would then leave that tab's file.
    if (old.recordText === null && recordText === null) {
      return text !== null && sameText(text, old.bytes) ? old : readStored(path);
    }
    // A record names pieces never written over; the whole item's length only is compared here:
    // it is checked whole when pieces are to use it.
    if (old.recordText === recordText && old.wholeLength === wholeLength) return old;
    return readStored(path);
  }

  // The file's bytes stored, only what changed; throws when the browser refuses, the stored
  // file as it was.
  function storeFile(path, bytes) {
    let old = currentlyStored(path);
    if (old !== null && sameBytes(old.bytes, bytes)) return;
    const inPieces = old !== null && old.recordText !== null;
    if (!inPieces && bytes.length <= kWholeBytes) {
      writeWhole(path, bytes);
      return;
    }
    if (!inPieces && old !== null && !wholeItemHolds(path, old)) {
      old = readStored(path);  // changed meanwhile
      if (old !== null && old.recordText === null) wholeItemHolds(path, old);
    }
    try {
      writeInPieces(path, old, bytes);
      return;
    } catch (refused) {
      // Pieces a write left behind (the page closed in between) are of no use to anyone.
      removeItems(unusedPieces(path, old === null ? null : old.record));
    }
    try {
      writeWhole(path, bytes);
    } catch (refused) {
      writeAfterFreeing(path, old, bytes, refused);
    }
  }

  // Whether the storage takes a write at all (it may refuse every one: turned off meanwhile).
  function takesWrites(path) {
    const probe = `${kPartKey}${path}:`;
    try {
      localStorage.setItem(probe, '');
      localStorage.removeItem(probe);
      return true;
    } catch (refused) {
      return false;
    }
  }

  // The storage holds neither the new file's pieces beside the old file's nor the new file whole
  // beside them: the old file's items go first, and the old file is put back whole when the new
  // one is refused even so. Only when the items freed surely hold the old file whole; otherwise
  // the write is refused.
  function writeAfterFreeing(path, old, bytes, refused) {
    if (old === null || old.record === null) throw refused;
    const fileKey = kFileKey + path;
    let freed = kPartsKey.length + path.length + old.recordText.length;
    for (const name of Object.keys(old.record.items)) {
      freed += itemKey(path, name).length + old.record.items[name][0];
    }
    if (!(kWholeItem in old.record.items)) {
      const whole = localStorage.getItem(fileKey);
      if (whole !== null) freed += fileKey.length + whole.length;
    }
    if (freed < fileKey.length + old.bytes.length || !takesWrites(path)) throw refused;
    localStorage.removeItem(kPartsKey + path);
    removeItems(unusedPieces(path, null));
    localStorage.removeItem(fileKey);
    try {
      writeWhole(path, bytes);
    } catch (refusedAgain) {
      writeWhole(path, old.bytes);
      throw refusedAgain;
    }
  }

  // Whether the whole item holds the kept bytes (pieces are to use it); its check is taken then.
  function wholeItemHolds(path, old) {
    const text = localStorage.getItem(kFileKey + path);
    if (text === null || text.length !== old.bytes.length) return false;
    let check = kCheckStart;
    for (let i = 0; i < text.length; ++i) {
      const c = text.charCodeAt(i);
      if (c !== old.bytes[i]) return false;
      check = checkStep(check, c);
    }
    old.check = check >>> 0;
    return true;
  }

  // The stored bytes of a file of the folder; null when none are stored or the storage cannot
  // be read.
  function storedFile(path) {
    try {
      const stored = readStored(path);
      kept.set(path, stored);
      return stored === null ? null : stored.bytes;
    } catch (error) {
      kept.delete(path);
      return null;
    }
  }

  // A file of the folder written and closed is stored at once. When the browser refuses (its
  // storage full, a private window, storage turned off) the folder gets back the file as it was
  // stored, and closing the file fails as on a full disk: the program reports the write as
  // failed and nothing stored is lost.
  function storeOnClose(stream) {
    const path = stream.path || '';
    if (restoring || (stream.flags & kAccessModes) === 0 || !path.startsWith(kFolder + '/')) {
      return;
    }
    try {
      storeFile(path, FS.readFile(path));
      return;
    } catch (error) {
      const stored = storedFile(path);
      restoring = true;
      try {
        if (stored === null) {
          FS.unlink(path);
        } else {
          FS.writeFile(path, stored);
        }
      } finally {
        restoring = false;
      }
      throw new FS.ErrnoError(FunzioniShared.shared().files.noSpace);
    }
  }

  // The paths of the folder's files in the local storage.
  function storedPaths() {
    const paths = new Set();
    try {
      for (let i = 0; i < localStorage.length; ++i) {
        const name = localStorage.key(i);
        const prefix = [kFileKey, kPartsKey].find((p) => name !== null && name.startsWith(p));
        if (prefix === undefined) continue;
        const path = name.slice(prefix.length);
        if (path.startsWith(kFolder + '/') && path.indexOf('/', kFolder.length + 1) < 0) {
          paths.add(path);
        }
      }
    } catch (error) {
      paths.clear();  // no storage: the folder starts empty, and every write is reported failed
    }
    return paths;
  }

  // The folder's files in the local storage, by path.
  function storedFiles() {
    const files = new Map();
    storedPaths().forEach((path) => {
      const bytes = storedFile(path);
      if (bytes !== null) files.set(path, bytes);
    });
    return files;
  }

  // Earlier editions of the page kept the folder in IndexedDB (a database named after it): the
  // files found there, read while the program waits to start, are given to `then`.
  function readEarlierFolder(then) {
    if (typeof indexedDB !== 'object' || indexedDB === null || typeof IDBFS !== 'object') {
      then(new Map());
      return;
    }
    const files = new Map();
    addRunDependency('funzioni-earlier-storage');
    restoring = true;  // what IndexedDB puts in the folder is not stored from there
    const done = () => {
      restoring = false;
      try {
        FS.unmount(kFolder);
      } catch (error) {
        // never mounted
      }
      then(files);
      removeRunDependency('funzioni-earlier-storage');
    };
    earlierFolderKept((kept) => {
      if (!kept) {
        done();
        return;
      }
      try {
        FS.mount(IDBFS, {}, kFolder);
        FS.syncfs(true, (error) => {
          if (!error) {
            for (const name of FS.readdir(kFolder)) {
              const path = kFolder + '/' + name;
              if (FS.isFile(FS.stat(path).mode)) files.set(path, FS.readFile(path));
            }
          }
          done();
        });
      } catch (error) {
        done();
      }
    });
  }

  // Whether the browser keeps the earlier folder's database (named after the folder), given to
  // `then`. Opening a database that is not there makes an empty one, and the start would wait for
  // that on a first visit; a browser that cannot list its databases opens it as before.
  function earlierFolderKept(then) {
    if (typeof indexedDB.databases !== 'function') {
      then(true);
      return;
    }
    indexedDB.databases().then(
        (databases) => then(databases.some((database) => database.name === kFolder)),
        () => then(true));
  }

  // The items that make the folder's stored files, [key, text]: each file's record's items and
  // its whole item.
  function storedItems() {
    const items = [];
    storedPaths().forEach((path) => {
      const keys = [kFileKey + path];
      try {
        const record = JSON.parse(localStorage.getItem(kPartsKey + path));
        Object.keys(record.items).forEach((name) => keys.push(itemKey(path, name)));
      } catch (unreadable) {
        // no record, or none that can be read: the whole item only
      }
      for (const key of new Set(keys)) {
        const text = localStorage.getItem(key);
        if (text !== null) items.push([key, text]);
      }
    });
    return items;
  }

  // The stored items read and turned into bytes with their checks (readAhead), kReadSlice
  // characters a task; `then` called once all are. The first task reads the storage (the
  // browser hands all of it over at the first access).
  function readItemsAhead(then) {
    let items = null;
    let next = 0;
    let current = null;  // [key, {text, bytes, check}, characters done]
    const channel = new MessageChannel();
    const convertSlice = () => {
      const item = current[1];
      const end = Math.min(item.text.length, current[2] + kReadSlice);
      item.check = convertInto(item.text, current[2], end, item.bytes, item.check);
      current[2] = end;
      if (end < item.text.length) return;
      item.check >>>= 0;
      readAhead.set(current[0], item);
      current = null;
    };
    const step = () => {
      if (items === null) items = storedItems();
      if (current === null && next < items.length) {
        const text = items[next][1];
        current = [items[next][0], {text, bytes: new Uint8Array(text.length), check: kCheckStart}, 0];
        ++next;
      }
      if (current !== null) convertSlice();
      return current !== null || next < items.length;
    };
    channel.port1.onmessage = () => {
      try {
        if (step()) {
          channel.port2.postMessage(null);
          return;
        }
      } catch (error) {
        readAhead = new Map();  // the folder is then read as it is filled
      }
      channel.port1.onmessage = null;
      then();
    };
    channel.port2.postMessage(null);
  }

  // On the page the items are read ahead from the start of the script; null elsewhere (a
  // worker, a test), or {done, waiting}.
  const ahead = typeof document === 'object' && typeof MessageChannel === 'function' ?
      {done: false, waiting: []} : null;
  if (ahead !== null) {
    readItemsAhead(() => {
      ahead.done = true;
      ahead.waiting.splice(0).forEach((then) => then());
    });
  }

  // Before the program starts: its folder filled from the browser's storage, and every file
  // written there stored as it is closed.
  function load() {
    FS.mkdir(kFolder);
    const close = FS.close;
    FS.close = function (stream) {
      close.call(FS, stream);
      storeOnClose(stream);
    };
    if (ahead === null || ahead.done) {
      fillFolder();
      return;
    }
    // The program waits for the items still being read.
    addRunDependency('funzioni-stored-files');
    ahead.waiting.push(() => {
      try {
        fillFolder();
      } catch (error) {
        // As when the folder cannot be filled at once: the program does not start on a folder
        // half filled, where its history would go unstored.
        abort(String(error));
        return;
      }
      removeRunDependency('funzioni-stored-files');
    });
  }

  // The folder filled with the stored files, or with those earlier editions of the page kept.
  function fillFolder() {
    const stored = storedFiles();
    readAhead = new Map();
    const fill = (earlier) => {
      restoring = true;
      try {
        // (No destructuring of the entries: the build's script minifier does not know it.)
        stored.forEach((bytes, path) => FS.writeFile(path, bytes));
      } finally {
        restoring = false;
      }
      // Taken over once: written here, a file is stored as any other (IndexedDB keeps its copy).
      earlier.forEach((bytes, path) => {
        if (stored.has(path)) return;
        try {
          FS.writeFile(path, bytes);
        } catch (error) {
          // not stored: it stays in IndexedDB only, and is tried again at the next start
        }
      });
      FS.chdir(kFolder);
    };
    if (stored.size > 0) {
      fill(new Map());
    } else {
      readEarlierFolder(fill);
    }
  }

  // The bytes the storage holds of a file of the folder, read afresh; null when none.
  function stored(path) {
    const file = readStored(path);
    return file === null ? null : file.bytes;
  }

  return {load, stored};
})();
