// The program's working folder kept in the browser's storage (page.js loads it before the
// program starts): each file of the folder is one item of the local storage, stored whole as it
// is closed; the folder that earlier editions of the page kept in IndexedDB is taken over once.
// In a worker there is no page: nothing here is used.

var FunzioniStorage = (function () {
  'use strict';
  const kFolder = '/funzioni';  // the program's working folder, with its history file
  // Each file of the folder is one item of the browser's local storage, a character a byte.
  const kStoredPrefix = 'funzioni-file:';
  const kAccessModes = 3;  // O_WRONLY 1, O_RDWR 2

  let restoring = false;  // a stored file being put back: its closing is not stored again

  function bytesOfStored(text) {
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
    return bytes;
  }

  function storedOfBytes(bytes) {
    let text = '';
    for (let at = 0; at < bytes.length; at += 0x8000) {
      text += String.fromCharCode.apply(null, bytes.subarray(at, at + 0x8000));
    }
    return text;
  }

  // The stored bytes of a file of the folder; null when none are stored or the storage cannot
  // be read.
  function storedFile(path) {
    try {
      const text = localStorage.getItem(kStoredPrefix + path);
      return text === null ? null : bytesOfStored(text);
    } catch (error) {
      return null;
    }
  }

  // A file of the folder written and closed is stored at once, whole. When the browser refuses
  // (its storage full, a private window, storage turned off) the folder gets back the file as
  // it was stored, and closing the file fails as on a full disk: the program reports the write
  // as failed and nothing stored is lost.
  function storeOnClose(stream) {
    const path = stream.path || '';
    if (restoring || (stream.flags & kAccessModes) === 0 || !path.startsWith(kFolder + '/')) {
      return;
    }
    try {
      localStorage.setItem(kStoredPrefix + path, storedOfBytes(FS.readFile(path)));
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

  // The folder's files in the local storage, by path.
  function storedFiles() {
    const files = new Map();
    let names = [];
    try {
      for (let i = 0; i < localStorage.length; ++i) names.push(localStorage.key(i));
    } catch (error) {
      names = [];  // no storage: the folder starts empty, and every write is reported failed
    }
    for (const name of names) {
      if (name === null || !name.startsWith(kStoredPrefix + kFolder + '/')) continue;
      const path = name.slice(kStoredPrefix.length);
      if (path.indexOf('/', kFolder.length + 1) >= 0) continue;
      const bytes = storedFile(path);
      if (bytes !== null) files.set(path, bytes);
    }
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

  // Before the program starts: its folder filled from the browser's storage, and every file
  // written there stored as it is closed.
  function load() {
    FS.mkdir(kFolder);
    const close = FS.close;
    FS.close = function (stream) {
      close.call(FS, stream);
      storeOnClose(stream);
    };
    const stored = storedFiles();
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

  return {load};
})();
