// The background instance of the program (BackgroundWork.h), run ahead of the program's own
// script in both places it runs:
// - on the page, it keeps the compiled module and the script's own text, and starts Web Workers
//   from that text (a blob: URL, as the page is one file and fetches nothing), handing each the
//   compiled module so that it is not compiled again;
// - in such a worker, it keeps main() from running, instantiates the module it is handed, and
//   turns each request into a reply through the program's exported entry.
// Requests and replies are ArrayBuffers, transferred, one reply per request, in order.

var FunzioniBackground = (function () {
  'use strict';
  const inWorker = typeof importScripts === 'function' && typeof document === 'undefined';
  const bg = {inWorker: inWorker};
  Module['funzioniBackground'] = bg;

  if (inWorker) {
    // The background instance: no main(), and nothing until the page hands over the module.
    Module['noInitialRun'] = true;
    const queue = [];
    let ready = false;
    let compiled = null;
    let instantiate = null;
    Module['instantiateWasm'] = function (imports, receive) {
      instantiate = function (module) {
        WebAssembly.instantiate(module, imports).then(function (instance) {
          receive(instance, module);
        }, function (reason) { self.postMessage({funzioniUnusable: String(reason)}); });
      };
      if (compiled !== null) instantiate(compiled);
      return {};
    };
    function serve() {
      while (ready && queue.length > 0) {
        bg.request = queue.shift();
        try {
          FunzioniShared.program('funzioni_background_request', bg.request.length);
        } catch (failure) {
          // The program aborted: this instance is spent; the page restarts it.
          ready = false;
          self.postMessage({funzioniFailed: String(failure)});
        }
        bg.request = null;
      }
    }
    Module['postRun'] = [].concat(Module['postRun'] || [], function () {
      ready = true;
      serve();
    });
    bg.reply = function (bytes) {
      const copy = bytes.slice();
      self.postMessage(copy.buffer, [copy.buffer]);
    };
    self.onmessage = function (e) {
      const m = e.data;
      if (m instanceof ArrayBuffer) {
        queue.push(new Uint8Array(m));
        serve();
        return;
      }
      if (m && m.funzioniModule) {
        const given = m.funzioniModule;
        const module = given instanceof WebAssembly.Module ? Promise.resolve(given)
                                                           : WebAssembly.compile(given);
        module.then(function (mod) {
          compiled = mod;
          if (instantiate !== null) instantiate(mod);
        }, function (reason) { self.postMessage({funzioniUnusable: String(reason)}); });
      }
    };
    return bg;
  }

  // The page: the text of this very script (inline in the page), and the compiled module.
  // The timing script reads when the module was compiled and the first work handed over.
  const timeline = Module['funzioniTimeline'] = Module['funzioniTimeline'] || {};
  const script = typeof document === 'object' ? document.currentScript : null;
  bg.text = Module['funzioniScriptText'] || (script !== null ? script.textContent : '');
  // The module's bytes stay out of the workers' script: they are handed the compiled module, and
  // a smaller script is quicker to copy into a blob and to parse there.
  function workerText() {
    const data = typeof wasmBinaryFile === 'string' ? wasmBinaryFile : '';
    const payload = data.slice(data.indexOf(',') + 1);
    if (data.indexOf('data:') !== 0 || payload.length === 0) return bg.text;
    const at = bg.text.indexOf(payload);
    return at < 0 ? bg.text : bg.text.slice(0, at) + bg.text.slice(at + payload.length);
  }
  let url = null;
  let resolveModule = null;
  bg.module = new Promise(function (resolve) { resolveModule = resolve; });
  // The module as the page holds it: gzip-packed by assemble_page.py (a data: address of type
  // kPackedType), unpacked by the browser's own decompression.
  const kPackedType = 'data:application/gzip;base64,';
  function packedResponse() {
    return fetch(wasmBinaryFile).catch(function () {
      // A browser that fetches no data: address from the page's own: decoded here.
      const text = atob(wasmBinaryFile.slice(kPackedType.length));
      const bytes = new Uint8Array(text.length);
      for (let i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
      return new Response(bytes);
    }).then(function (response) {
      return response.body.pipeThrough(new DecompressionStream('gzip'));
    });
  }
  function isPacked() {
    return typeof wasmBinaryFile === 'string' && wasmBinaryFile.indexOf(kPackedType) === 0;
  }
  function moduleBytes() {
    if (!isPacked()) return getBinaryPromise();
    return packedResponse().then(function (stream) {
      return new Response(stream).arrayBuffer();
    }).then(function (buffer) { return new Uint8Array(buffer); });
  }
  // Compiled as it is unpacked where the browser compiles from a stream; the bytes themselves
  // are needed only for a worker that cannot be handed the compiled module.
  function compileModule() {
    timeline.compileStart = performance.now();
    const fromBytes = function () {
      return moduleBytes().then(function (bytes) { return WebAssembly.compile(bytes); });
    };
    if (!isPacked() || typeof WebAssembly.compileStreaming !== 'function') return fromBytes();
    return packedResponse().then(function (stream) {
      const headers = {'Content-Type': 'application/wasm'};
      return WebAssembly.compileStreaming(new Response(stream, {headers: headers}));
    }).catch(fromBytes);
  }

  if (!Module['instantiateWasm']) {
    Module['instantiateWasm'] = function (imports, receive) {
      compileModule().then(function (module) {
        timeline.compiled = performance.now();
        resolveModule({module: module, bytes: moduleBytes});
        return WebAssembly.instantiate(module, imports).then(function (instance) {
          receive(instance, module);
        });
      }).catch(function (reason) { abort(reason); });
      return {};
    };
  } else {
    resolveModule(null);  // someone else instantiates: no background instance
  }

  // What the program is told instead of a reply's size (PageShared.h).
  const failure = () => FunzioniShared.shared().background;
  function arrived(record, handle, size) {
    FunzioniShared.program('funzioni_background_arrived', record.owner, handle, size);
  }

  const records = new Map();  // handle -> {owner, worker, replies, inFlight, waiting}
  let nextHandle = 1;

  // Instances asked for before the page has shown its first frame are made after it: making one
  // (its script copied into a blob, its thread started, the module handed over) would otherwise
  // hold up the program's start before its first paint, and the program hands over its first
  // work only after the opening animation. Requests posted meanwhile wait in the record.
  let firstFrameShown = false;
  function afterFirstFrame(then) {
    const soon = function () {
      firstFrameShown = true;
      then();
    };
    // A hidden page draws no frame until it is shown: it waits for nothing then.
    if (typeof requestAnimationFrame !== 'function' || document.visibilityState !== 'visible') {
      setTimeout(soon, 0);
      return;
    }
    requestAnimationFrame(function () { setTimeout(soon, 0); });
  }

  function hand(worker, compiled) {
    if (compiled === null) return;
    try {
      worker.postMessage({funzioniModule: compiled.module});
    } catch (notCloneable) {
      compiled.bytes().then(function (bytes) { worker.postMessage({funzioniModule: bytes}); });
    }
  }

  function spawn(handle, record) {
    if (url === null) {
      url = URL.createObjectURL(new Blob([workerText()], {type: 'text/javascript'}));
    }
    const worker = new Worker(url);
    record.worker = worker;
    record.replies = [];
    record.inFlight = 0;
    worker.onmessage = function (e) {
      if (record.worker !== worker) return;  // of an instance since restarted
      if (record.inFlight > 0) --record.inFlight;
      if (e.data instanceof ArrayBuffer) {
        record.replies.push(new Uint8Array(e.data));
        arrived(record, handle, e.data.byteLength);
      } else if (e.data && e.data.funzioniFailed) {
        arrived(record, handle, failure().failed);
      } else {
        unusable();
      }
    };
    // The instance cannot run at all (no module, no script): the owner does without.
    function unusable() {
      if (record.worker !== worker) return;
      record.worker = null;
      worker.terminate();
      arrived(record, handle, failure().unusable);
    }
    worker.onerror = function (e) {
      if (e.preventDefault) e.preventDefault();
      unusable();
    };
    bg.module.then(function (compiled) {
      if (record.worker === worker) hand(worker, compiled);
    });
    const waiting = record.waiting;
    record.waiting = null;
    for (const buffer of waiting) {
      worker.postMessage(buffer, [buffer]);
      ++record.inFlight;
    }
  }

  // A handle for the owner (the C++ object's address), or 0 when there can be no instance.
  bg.start = function (owner) {
    if (!bg.text || typeof Worker !== 'function' || typeof Blob !== 'function') return 0;
    try {
      const handle = nextHandle++;
      const record = {owner: owner, worker: null, waiting: [], inFlight: 0};
      records.set(handle, record);
      if (firstFrameShown) {
        spawn(handle, record);
      } else {
        afterFirstFrame(function () {
          if (records.get(handle) !== record || record.waiting === null) return;
          try {
            spawn(handle, record);
          } catch (notMade) {
            // As when no instance can be made at all: the owner does without.
            record.waiting = null;
            arrived(record, handle, failure().unusable);
          }
        });
      }
      return handle;
    } catch (failure) {
      return 0;
    }
  };
  bg.post = function (handle, bytes) {
    const record = records.get(handle);
    if (record === undefined) return;
    if (record.waiting === null && record.worker === null) return;
    if (timeline.firstPost === undefined && timeline.shown !== undefined) {
      timeline.firstPost = performance.now();
    }
    const copy = bytes.slice();
    if (record.waiting !== null) {
      record.waiting.push(copy.buffer);
      return;
    }
    record.worker.postMessage(copy.buffer, [copy.buffer]);
    ++record.inFlight;
  };
  // True while an instance owes a reply: the page's work is under way there.
  bg.busy = function () {
    for (const record of records.values()) {
      if (record.waiting !== null && record.waiting.length > 0) return true;
      if (record.worker !== null && record.inFlight > 0) return true;
    }
    return false;
  };
  bg.take = function (handle) {
    const record = records.get(handle);
    return record === undefined ? new Uint8Array(0) : record.replies.shift();
  };
  bg.restart = function (handle) {
    const record = records.get(handle);
    if (record === undefined) return;
    if (record.worker !== null) record.worker.terminate();
    record.waiting = [];  // what the instance was asked is abandoned with it
    spawn(handle, record);
  };
  bg.stop = function (handle) {
    const record = records.get(handle);
    if (record === undefined) return;
    if (record.worker !== null) record.worker.terminate();
    record.worker = null;
    records.delete(handle);
  };
  return bg;
})();
