// The page's side of the dialog (the program calls FunzioniPage through the drawing layer's web
// backend): the client area #funzioni with one canvas for the drawn controls and page elements
// for the stock ones, the page's input turned into calls of the program (a finger's in
// touch.js), its timeouts, the history folder kept in the browser's storage (storage.js), the
// page's text editor (the program's editor in the browser), and the hooks window.funzioniPage
// for tests.
// In a worker (plot computations) there is no page: nothing here is set up.

var FunzioniPage = (function () {
  'use strict';
  const onPage = typeof window === 'object' && typeof document === 'object';
  const kLeftAndRight = 3;
  const kMiddleButtons = 4;  // the middle button in a mouse event's buttons
  const kNoButtonChange = -1;  // a pointer event's button when only the position changed
  const kMainButton = 0;
  // The wheel's steps as the desktop counts them: a notch is 120 (eighths of a degree); a wheel
  // that reports pixels or lines is taken at 100 pixels or 3 lines a notch.
  const kEighthsPerNotch = 120;
  const kPixelsPerNotch = 100;
  const kLinesPerNotch = 3;
  // Ctrl with these keys on the plotting area moves its view (the program's ControlKey, marked).
  const kViewKeys = ['ArrowLeft', 'ArrowRight', 'ArrowUp', 'ArrowDown', 'Home', 'End'];
  // Only the plotting area's surface is this large: its blits are the picture's.
  const kPictureSide = 600;
  // The program finds the page's editor as its editor (FUNZIONI_EDITOR): see PageEditor.
  const kEditorProgram = 'funzioni-page-editor';
  const kEditorNotSaved =
      'Impossibile salvare il file: lo spazio del browser per questa pagina è pieno o non ' +
      'disponibile. Il file è rimasto com\'era.';

  // The page's own texts in the program's language (useLanguage): Italian text -> translation.
  // Until the program hands them over, and for a text it did not hand over, the Italian stands.
  let pageTexts = {};

  // The codes and metrics shared with the program (shared.js), once it runs.
  const shared = () => FunzioniShared.shared();

  // The client area's size, as the dialog gives it (setClientSize); nothing before.
  let clientWidth = 0;
  let clientHeight = 0;
  const controls = new Map();  // identifier -> element
  const timeouts = new Map();  // scheduled call -> the page's timeout
  const shortcuts = [];
  let focusBeforeEditor = null;
  let canvasContext = null;
  let running = false;  // main has shown the dialog
  let focusWanted = 0;  // asked for before the dialog was shown, when nothing can take it
  let ended = false;
  let resolveReady = null;
  const ready = onPage ? new Promise((resolve) => { resolveReady = resolve; }) : null;
  // Moments of the start and of the latest picture on the page's clock, for the timing script
  // (tests/web/timings.mjs): a few numbers, written as they happen.
  const timeline = Module['funzioniTimeline'] = Module['funzioniTimeline'] || {};

  function client() { return document.getElementById('funzioni'); }

  // A text of the page's own in the program's language, its {0}, {1}, ... filled with values.
  function pageText(italian, ...values) {
    const pattern = Object.prototype.hasOwnProperty.call(pageTexts, italian) ?
        pageTexts[italian] : italian;
    return pattern.replace(/\{(\d+)\}/g, (whole, n) => (n < values.length ? values[n] : whole));
  }

  // page.html's texts: an element's data-text is its Italian text, data-label its aria-label's.
  function translateElements() {
    document.querySelectorAll('[data-text]').forEach((element) => {
      element.textContent = pageText(element.dataset.text);
    });
    document.querySelectorAll('[data-label]').forEach((element) => {
      element.setAttribute('aria-label', pageText(element.dataset.label));
    });
  }
  function context2d() {
    if (canvasContext === null) {
      canvasContext = document.getElementById('funzioni-canvas').getContext('2d');
    }
    return canvasContext;
  }

  // The program's redrawn pictures are put on the canvas once its call is done, after the calls
  // it asked for as soon as it ended (queued before this one): at a drag step the plot's worker
  // has its work before the canvas is written. Nothing else runs in between, so every frame the
  // browser shows has them.
  let entered = 0;  // calls into the program under way through enter()
  let showWanted = false;
  let showQueued = false;
  function showWaiting() {
    showQueued = false;
    if (!showWanted) return;
    showWanted = false;
    FunzioniShared.program('funzioni_page_show_waiting');
  }
  function queueShow() {
    if (showQueued) return;
    showQueued = true;
    queueMicrotask(showWaiting);
  }

  // Every call into the program goes through here, so that the hooks see its state after it.
  function enter(name, ...args) {
    if (!running) return 0;
    const before = timeline.paintStart === undefined ? performance.now() : 0;
    let result = 0;
    ++entered;
    try {
      result = FunzioniShared.program(name, ...args);
    } finally {
      --entered;
    }
    if (showWanted && entered === 0) queueShow();
    const state = FunzioniShared.program('funzioni_page_state');
    const bits = shared().pageState;
    if (timeline.paintStart === undefined && (state & bits.painted) !== 0) {
      timeline.paintStart = before;
    }
    const readyBits = bits.painted | bits.idle;
    if (resolveReady !== null && (state & readyBits) === readyBits) {
      timeline.ready = performance.now();
      resolveReady();
      resolveReady = null;
    }
    return result;
  }

  function pageState() { return running ? FunzioniShared.program('funzioni_page_state') : 0; }
  // Nothing under way in the program; never before it runs.
  function programIdle() {
    const state = pageState();
    return state !== 0 && (state & shared().pageState.idle) !== 0;
  }

  function place(element, x, y, w, h) {
    element.style.left = x + 'px';
    element.style.top = y + 'px';
    element.style.width = w + 'px';
    element.style.height = h + 'px';
  }

  // The family the program asked for, with what the browser may have instead.
  function cssFamily(family) {
    const lower = family.toLowerCase();
    if (lower.indexOf('mono') >= 0) {
      return '"' + family + '", "Cousine", "Courier New", Courier, monospace';
    }
    if (lower.indexOf('serif') >= 0 && lower.indexOf('sans') < 0) {
      return '"' + family + '", "Tinos", "Times New Roman", Times, serif';
    }
    return '"' + family + '", "Arimo", Arial, Helvetica, sans-serif';
  }

  // Ascent and descent of the families the program uses (the metric-compatible ones share them),
  // as the program gives them: the page lays text out as the desktop does whatever font the
  // browser picks.
  function fontExtent(family, font, pixels) {
    const fonts = shared().fonts;
    const known = fonts.families[family.toLowerCase()];
    if (known !== undefined) {
      return {
        ascent: known.ascent / fonts.unitsPerEm * pixels,
        descent: known.descent / fonts.unitsPerEm * pixels,
      };
    }
    const ctx = document.createElement('canvas').getContext('2d');
    ctx.font = font.replace('{px}', pixels + 'px');
    const m = ctx.measureText('Xg');
    if (m.fontBoundingBoxAscent === undefined) return {ascent: pixels * 0.9, descent: pixels * 0.25};
    return {ascent: m.fontBoundingBoxAscent, descent: m.fontBoundingBoxDescent};
  }

  // The character cell as the desktop measures it: ascent plus descent, each rounded.
  function cellHeight(family, font, pixels) {
    const e = fontExtent(family, font, pixels);
    return Math.round(e.ascent) + Math.round(e.descent);
  }

  // A list's row as the desktop lays it out: the line's exact height, up to whole pixels.
  function rowHeight(family, font, pixels) {
    const e = fontExtent(family, font, pixels);
    return Math.ceil(e.ascent + e.descent - 1e-6);
  }

  function lineOf(target) {
    const line = target.closest ? target.closest('[data-line]') : null;
    return line === null ? -1 : Number(line.dataset.line);
  }

  function editorElement() { return document.getElementById('funzioni-editor'); }
  function editorOpen() {
    const element = editorElement();
    return element !== null && element.style.display === 'flex';
  }
  function inEditor(target) { return target.closest && target.closest('#funzioni-editor') !== null; }

  // The window's pixel under a place of the browser's viewport.
  function windowPixel(clientX, clientY) {
    const r = client().getBoundingClientRect();
    const scale = r.width / clientWidth;
    return {x: Math.floor((clientX - r.left) / scale), y: Math.floor((clientY - r.top) / scale)};
  }

  // Shift, Ctrl (Cmd on a Mac) and the middle button, held.
  function heldOf(e) {
    // The held keys and the middle button as the program counts them.
    const held = shared().held;
    return (e.shiftKey ? held.shift : 0) | (e.ctrlKey || e.metaKey ? held.control : 0) |
           ((e.buttons & kMiddleButtons) !== 0 ? held.middle : 0);
  }

  // action: 'move', 'press' or 'release', sent as the program's PointerAction.
  function pointer(action, e) {
    // The editor covers the window while it is open: the window gets nothing of it.
    if (inEditor(e.target)) return;
    const at = windowPixel(e.clientX, e.clientY);
    enter('funzioni_page_pointer', shared().pointer[action], at.x, at.y, e.button,
          e.buttons & kLeftAndRight, action === 'press' ? e.detail : 0, lineOf(e.target),
          heldOf(e));
  }

  // Notches of the wheel, positive away from the user, as the desktop counts them.
  function notchesOf(e) {
    const eighths = e.wheelDeltaY || e.wheelDeltaX || 0;
    if (eighths !== 0) return eighths / kEighthsPerNotch;
    const delta = e.deltaY !== 0 ? e.deltaY : e.deltaX;
    if (e.deltaMode === WheelEvent.DOM_DELTA_LINE) return -delta / kLinesPerNotch;
    if (e.deltaMode === WheelEvent.DOM_DELTA_PAGE) return -delta;
    return -delta / kPixelsPerNotch;
  }

  // Two fingers spread (ratio above 1) or closed around a place of the viewport.
  function pinch(clientX, clientY, ratio) {
    const at = windowPixel(clientX, clientY);
    enter('funzioni_page_pinch', at.x, at.y, ratio);
  }

  // The wheel goes to the program; over a drawn control the browser neither scrolls nor zooms
  // the page as well (a list still scrolls its lines).
  function wheel(e) {
    if (inEditor(e.target)) return;
    const notches = notchesOf(e);
    if (notches === 0 || !Number.isFinite(notches)) return;
    const at = windowPixel(e.clientX, e.clientY);
    if (enter('funzioni_page_wheel', at.x, at.y, heldOf(e), notches) !== 0) e.preventDefault();
  }

  function isStock(target) {
    return target.closest && target.closest('.funzioni-list, .funzioni-box') !== null;
  }

  // A pointer event's move as its mousemove gives it: the place in whole CSS pixels (cut down,
  // where a pointer event has fractions), the main button.
  function asMouseMove(e) {
    return {
      clientX: Math.floor(e.clientX), clientY: Math.floor(e.clientY), button: kMainButton,
      buttons: e.buttons, detail: 0, target: e.target, shiftKey: e.shiftKey, ctrlKey: e.ctrlKey,
      metaKey: e.metaKey,
    };
  }

  function watchPointer() {
    const area = client();
    // Chromium hands a mouse move to 'mousemove' only at its next frame, and 'pointerrawupdate'
    // as soon as the move arrives: where the browser has it, moves are taken from it, so that a
    // drag's picture follows the move within the frame, and the frame's mousemove is skipped.
    // A touch has its own handling; a change of buttons is left to mousedown and mouseup.
    let rawMoves = false;
    area.addEventListener('pointerrawupdate', (e) => {
      if (e.pointerType === 'touch' || e.button !== kNoButtonChange) return;
      rawMoves = true;
      pointer('move', asMouseMove(e));
    }, true);
    area.addEventListener('mousemove', (e) => {
      if (!rawMoves) pointer('move', e);
    }, true);
    area.addEventListener('mousedown', (e) => {
      // The drawn controls and the face take no focus, so a press there leaves it where it was;
      // a right press on a list only reports itself.
      if (inEditor(e.target)) return;
      if (!isStock(e.target) || e.button !== 0) e.preventDefault();
      pointer('press', e);
    }, true);
    area.addEventListener('mouseup', (e) => pointer('release', e), true);
    area.addEventListener('wheel', wheel, {capture: true, passive: false});
    // The editor's text keeps the browser's menu (cut, copy, paste).
    area.addEventListener('contextmenu', (e) => {
      if (!(e.target.closest && e.target.closest('#funzioni-editor textarea'))) e.preventDefault();
    });
    // Buttons released outside the window still count as released.
    window.addEventListener('mouseup', (e) => {
      if (!area.contains(e.target)) enter('funzioni_page_buttons', e.buttons & kLeftAndRight);
    });
    window.addEventListener('blur', () => enter('funzioni_page_buttons', 0));
  }

  function shortcutMatches(s, e) {
    if (s.ctrl !== (e.ctrlKey || e.metaKey) || s.shift !== e.shiftKey || s.alt !== e.altKey) {
      return false;
    }
    if (s.key.length === 1 && /[A-Z0-9]/.test(s.key)) {
      return e.code === 'Key' + s.key || e.code === 'Digit' + s.key;
    }
    return e.key.toUpperCase() === s.key;
  }

  // The dialog's own keys, whatever has the focus; the focused element never sees them. The
  // keypad's + and - may come with Ctrl (not the browser's zoom then).
  function commandOfKey(e) {
    if (e.altKey || e.metaKey) return 0;
    const commands = shared().commands;
    if (e.code === 'NumpadAdd') return commands.keypadPlus;
    if (e.code === 'NumpadSubtract') return commands.keypadMinus;
    if (e.ctrlKey) return 0;
    if (e.key === 'Enter') return commands.ok;
    if (e.key === 'Escape') return commands.cancel;
    return 0;
  }

  function watchKeys() {
    document.addEventListener('keydown', (e) => {
      if (!running || ended) return;
      if (editorOpen()) {
        // The editor's own keys: Esc closes it as Annulla does, Ctrl+S as Salva does (never the
        // browser's saving of the page).
        if (e.key === 'Escape' && !e.ctrlKey && !e.altKey && !e.metaKey) {
          e.preventDefault();
          editorElement().querySelector('[data-editor="cancel"]').click();
        } else if ((e.ctrlKey || e.metaKey) && !e.altKey && e.code === 'KeyS') {
          e.preventDefault();
          if (!e.repeat) editorElement().querySelector('[data-editor="save"]').click();
        }
        return;
      }
      const focused = FunzioniPage.focused();
      for (const s of shortcuts) {
        if (s.focusId > 0 && s.focusId !== focused) continue;
        if (!shortcutMatches(s, e)) continue;
        e.preventDefault();
        e.stopPropagation();
        if (!e.repeat) enter('funzioni_page_command_key', s.command);
        return;
      }
      if (controlKey(e)) return;
      const command = commandOfKey(e);
      if (command === 0) return;
      e.preventDefault();
      e.stopPropagation();
      enter('funzioni_page_command_key', command, e.ctrlKey ? 1 : 0);
    }, true);
  }

  // Ctrl with an arrow, Home or End on a drawn control with the focus: passed on marked, as the
  // desktop does (the plotting area moves its view), never left to the browser.
  function controlKey(e) {
    if (!kViewKeys.includes(e.key) || !e.ctrlKey || e.shiftKey || e.altKey || e.metaKey) {
      return false;
    }
    const key = shared().keys[e.key];
    const drawn = FunzioniAccess.focused();
    if (drawn <= 0) return false;
    e.preventDefault();
    e.stopPropagation();
    enter('funzioni_page_control_key', drawn, key | shared().held.keyWithControl);
    return true;
  }

  // Up, Down, Home and End move a focused list's selection.
  function listKey(id, list, e) {
    const count = list.firstChild.childElementCount;
    const current = list.dataset.selected === undefined ? -1 : Number(list.dataset.selected);
    let next = -1;
    if (e.key === 'ArrowDown') next = Math.min(count - 1, current + 1);
    if (e.key === 'ArrowUp') next = Math.max(0, current - 1);
    if (e.key === 'Home') next = 0;
    if (e.key === 'End') next = count - 1;
    if (next < 0 || count === 0) return;
    e.preventDefault();
    enter('funzioni_page_list_choice', id, next);
  }

  // The largest whole number of device pixels per window pixel that fits (at least the window's
  // own size when it fits at all), else scaled down to fit; centred.
  function fit() {
    const area = client();
    if (area === null || clientWidth === 0) return;
    const ratio = window.devicePixelRatio || 1;
    const fits = Math.min(window.innerWidth / clientWidth, window.innerHeight / clientHeight);
    let scale = fits;
    if (fits >= 1) scale = Math.max(1, Math.floor(fits * ratio + 1e-9) / ratio);
    const snap = (v) => Math.max(0, Math.floor(v * ratio) / ratio);
    const left = snap((window.innerWidth - clientWidth * scale) / 2);
    const top = snap((window.innerHeight - clientHeight * scale) / 2);
    area.style.transform = 'translate(' + left + 'px, ' + top + 'px) scale(' + scale + ')';
  }

  // The editor's buttons: the text or bytes go to the program's editor, then the action.
  function editorAct(action, bytes) {
    if (!running) return true;
    const at = FunzioniShared.program('funzioni_page_editor_input', bytes.length);
    if (bytes.length > 0) HEAPU8.set(bytes, at);
    return enter('funzioni_page_editor_act', action) !== 0;
  }

  function editorText() {
    return new TextEncoder().encode(editorElement().querySelector('textarea').value);
  }

  function watchEditor() {
    const element = editorElement();
    if (element === null) return;
    const note = element.querySelector('.funzioni-editor-note');
    const button = (name) => element.querySelector('[data-editor="' + name + '"]');
    button('save').addEventListener('click', () => {
      if (!editorAct(shared().editor.save, editorText())) {
        note.textContent = pageText(kEditorNotSaved);
      }
    });
    button('cancel').addEventListener('click', () => {
      editorAct(shared().editor.cancel, new Uint8Array(0));
    });
    button('download').addEventListener('click', () => {
      editorAct(shared().editor.download, editorText());
    });
    const picker = element.querySelector('input[type="file"]');
    picker.addEventListener('change', () => {
      const file = picker.files[0];
      if (file === undefined) return;
      file.arrayBuffer().then((buffer) => {
        picker.value = '';
        if (editorOpen()) editorAct(shared().editor.replace, new Uint8Array(buffer));
      });
    });
  }

  function toImage(rgba, w, h) {
    return new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, w * h * 4), w, h);
  }

  // The views of the pictures the surfaces keep in the program's memory, by address: a surface
  // shows its picture at every redraw, and the same view serves until the memory grows (its
  // buffer is then another) or another picture takes the address.
  const kKeptImages = 64;  // far more than the window's surfaces
  let keptImages = new Map();
  let keptBuffer = null;
  function keptImage(rgba, w, h) {
    if (keptBuffer !== HEAPU8.buffer || keptImages.size >= kKeptImages) {
      keptImages = new Map();
      keptBuffer = HEAPU8.buffer;
    }
    const kept = keptImages.get(rgba);
    if (kept !== undefined && kept.width === w && kept.height === h) return kept;
    const image = toImage(rgba, w, h);
    keptImages.set(rgba, image);
    return image;
  }

  function pictureBlob(rgba, w, h, then) {
    const canvas = document.createElement('canvas');
    canvas.width = w;
    canvas.height = h;
    canvas.getContext('2d').putImageData(toImage(rgba, w, h), 0, 0);
    canvas.toBlob(then, 'image/png');
  }

  // Before the program starts: its folder filled from the browser's storage, and the page's
  // editor named as the program's editor.
  function beforeMain() {
    FunzioniStorage.load();
    ENV['FUNZIONI_EDITOR'] = kEditorProgram;
    // The browser's preferred languages stand for the desktop's locale ("de-AT" reads as "de").
    const preferred = (navigator.languages || [navigator.language || '']).filter((l) => l);
    if (preferred.length > 0) {
      ENV['LANGUAGE'] = preferred.join(':');
      ENV['LANG'] = preferred[0];
    }
  }

  // #lang=it, #lang=de or #lang=sl in the address: the page's command line option.
  function addressLanguage() {
    const found = /(?:^#|&)lang=(it|de|sl)(?:&|$)/.exec(location.hash);
    return found === null ? [] : ['--lang', found[1]];
  }

  // #f=... in the address (with #lang= or without): a worksheet link, opened by the program as
  // its command line's --sheet; the program checks it and refuses a malformed one.
  function addressSheet() {
    return /(?:^#|&)f=/.test(location.hash) ? ['--sheet', location.hash] : [];
  }

  function download(blob, name) {
    if (blob === null) return;
    const link = document.createElement('a');
    link.href = URL.createObjectURL(blob);
    link.download = name;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
  }

  if (onPage) {
    Module['arguments'] =
        [].concat(Module['arguments'] || [], addressLanguage(), addressSheet());
    Module['preRun'] = [].concat(Module['preRun'] || [], beforeMain);
    const initialised = Module['onRuntimeInitialized'];
    Module['onRuntimeInitialized'] = () => {
      timeline.main = performance.now();
      if (initialised) initialised();
    };
    Module['onAbort'] = () => {
      ended = true;
      const note = document.getElementById('funzioni-ended');
      if (note !== null) {
        note.querySelector('p').textContent =
            pageText('Il programma si è interrotto per un errore.');
        note.style.display = 'flex';
      }
    };
    window.funzioniPage = {
      ready: ready,
      // Not while a background instance computes (the window is woken when its reply comes), nor
      // while the mirrors' updates wait for the frame.
      idle: () => programIdle() && !FunzioniAccess.waiting() &&
          !(Module['funzioniBackground'] && Module['funzioniBackground'].busy()),
      // The program itself waits for input, whatever a background instance still computes.
      programIdle: programIdle,
      ended: () => ended,
      timeline: () => Object.assign({}, timeline),
    };
    window.addEventListener('resize', fit);
    if (document.readyState === 'loading') {
      document.addEventListener('DOMContentLoaded', fit);
    } else {
      fit();
    }
  }

  return {
    // The page's other scripts (access.js) call the program through here as well.
    enter(name, ...args) { return enter(name, ...args); },
    // A negative delay: as soon as the task under way has ended, ahead of the browser's other
    // tasks (a microtask, found gone when unscheduled or scheduled again meanwhile).
    schedule(number, delay) {
      clearTimeout(timeouts.get(number));
      if (delay < 0) {
        const soon = {};
        timeouts.set(number, soon);
        queueMicrotask(() => {
          if (timeouts.get(number) !== soon) return;
          timeouts.delete(number);
          enter('funzioni_page_call', number);
        });
        return;
      }
      timeouts.set(number, setTimeout(() => {
        timeouts.delete(number);
        enter('funzioni_page_call', number);
      }, delay));
    },
    unschedule(number) {
      clearTimeout(timeouts.get(number));
      timeouts.delete(number);
    },
    // The client area and its canvas at the dialog's size, fitted to the browser's window.
    setClientSize(width, height) {
      clientWidth = width;
      clientHeight = height;
      const area = client();
      area.style.width = width + 'px';
      area.style.height = height + 'px';
      const canvas = document.getElementById('funzioni-canvas');
      canvas.width = width;
      canvas.height = height;
      canvas.style.width = width + 'px';
      canvas.style.height = height + 'px';
      fit();
    },
    clientSize() { return {width: clientWidth, height: clientHeight}; },
    setTitle(title) { document.title = title; },
    // The program's language: its code for the page's lang, the page's own texts translated.
    // One of the page's own texts in the program's language (the editor's long lines).
    text(italian) { return pageText(italian); },
    useLanguage(language) {
      pageTexts = language.texts;
      if (!onPage) return;
      document.documentElement.lang = language.code;
      translateElements();
    },
    text: pageText,
    setFace(r, g, b) {
      const colour = 'rgb(' + r + ',' + g + ',' + b + ')';
      client().style.backgroundColor = colour;
      const ctx = context2d();
      ctx.fillStyle = colour;
      ctx.fillRect(0, 0, clientWidth, clientHeight);
    },
    addList(id, x, y, w, h) {
      const list = document.createElement('div');
      list.className = 'funzioni-list';
      list.dataset.control = String(id);
      list.tabIndex = 0;
      list.setAttribute('role', 'listbox');
      list.appendChild(document.createElement('div'));
      list.addEventListener('keydown', (e) => listKey(id, list, e));
      place(list, x, y, w, h);
      client().appendChild(list);
      controls.set(id, list);
    },
    addBox(id, x, y, w, h, text) {
      const box = document.createElement('input');
      box.type = 'text';
      box.className = 'funzioni-box';
      box.dataset.control = String(id);
      box.spellcheck = false;
      box.autocomplete = 'off';
      box.value = text;
      place(box, x, y, w, h);
      client().appendChild(box);
      controls.set(id, box);
    },
    // The program has pictures to show: once its call ends (see queueShow).
    showSoon() {
      showWanted = true;
      if (entered === 0) queueShow();
    },
    // The part (px, py, pw, ph) of a picture w x h placed at (x, y); the picture is handed over
    // as a view of the program's memory, never a copy, and only the part is put on the canvas.
    blit(rgba, w, h, x, y, px, py, pw, ph) {
      if (pw > 0 && ph > 0) context2d().putImageData(keptImage(rgba, w, h), x, y, px, py, pw, ph);
      if (w >= kPictureSide && h >= kPictureSide) timeline.lastPicture = performance.now();
    },
    listReset(id) {
      const list = controls.get(id);
      list.firstChild.replaceChildren();
      delete list.dataset.selected;
      list.scrollTop = 0;
    },
    listAdd(id, text) {
      const lines = controls.get(id).firstChild;
      const line = document.createElement('div');
      // Numbered from the last line: counting the lines walks them all, and a history of
      // thousands of lines, added one by one, would take seconds.
      const last = lines.lastElementChild;
      line.dataset.line = String(last === null ? 0 : Number(last.dataset.line) + 1);
      line.setAttribute('role', 'option');
      line.textContent = text;
      lines.appendChild(line);
    },
    listSelect(id, index) {
      const list = controls.get(id);
      const lines = list.firstChild;
      const old = lines.querySelector('.selected');
      if (old !== null) old.classList.remove('selected');
      if (index < 0 || index >= lines.childElementCount) {
        delete list.dataset.selected;
        return;
      }
      list.dataset.selected = String(index);
      const line = lines.children[index];
      line.classList.add('selected');
      // Into view within the list only: the page itself never scrolls.
      if (line.offsetTop < list.scrollTop) {
        list.scrollTop = line.offsetTop;
      } else if (line.offsetTop + line.offsetHeight > list.scrollTop + list.clientHeight) {
        list.scrollTop = line.offsetTop + line.offsetHeight - list.clientHeight;
      }
    },
    boxText(id) { return controls.get(id).value; },
    setBoxText(id, text) { controls.get(id).value = text; },
    focus(id) {
      const element = controls.get(id);
      if (element === undefined) return;
      focusWanted = id;
      // Hidden until shown, no element takes the focus: asking would only lay the page out
      // again. show() gives it.
      if (!running) return;
      element.focus({preventScroll: true});
    },
    focused() {
      const active = document.activeElement;
      return active !== null && active.dataset && active.dataset.control !== undefined
                 ? Number(active.dataset.control)
                 : 0;
    },
    setFont(id, family, height, bold) {
      const element = controls.get(id);
      const font = (bold ? 'bold ' : '') + '{px} ' + cssFamily(family);
      let pixels = -height;
      if (height > 0) {
        for (pixels = height; pixels > 1; --pixels) {
          if (cellHeight(family, font, pixels) <= height) break;
        }
      }
      pixels = Math.max(pixels, 1);
      element.style.font = font.replace('{px}', pixels + 'px');
      element.style.setProperty('--funzioni-line', rowHeight(family, font, pixels) + 'px');
    },
    setBusyCursor(busy) { client().style.cursor = busy ? 'progress' : ''; },
    setDescription(id, text) { controls.get(id).setAttribute('aria-description', text); },
    setName(id, text) { controls.get(id).setAttribute('aria-label', text); },
    show() {
      timeline.shown = performance.now();
      running = true;
      client().style.visibility = 'visible';
      if (focusWanted !== 0 && FunzioniPage.focused() === 0) FunzioniPage.focus(focusWanted);
      watchPointer();
      FunzioniTouch.watch(client(), pointer, inEditor, pinch);
      watchKeys();
      watchEditor();
    },
    showEnded() {
      ended = true;
      if (document.activeElement !== null && document.activeElement.blur) {
        document.activeElement.blur();
      }
      const note = document.getElementById('funzioni-ended');
      if (note !== null) note.style.display = 'flex';
    },
    openEditor(name, text) {
      const element = editorElement();
      focusBeforeEditor = document.activeElement;
      element.querySelector('.funzioni-editor-name').textContent = name;
      element.querySelector('.funzioni-editor-note').textContent = '';
      const downloadButton = element.querySelector('[data-editor="download"]');
      downloadButton.textContent = pageText('Scarica {0}', name);
      element.style.display = 'flex';
      FunzioniPage.setEditorText(text);
      element.querySelector('textarea').focus({preventScroll: true});
    },
    setEditorText(text) {
      const area = editorElement().querySelector('textarea');
      area.value = text;
      area.setSelectionRange(0, 0);
      area.scrollTop = 0;
    },
    closeEditor() {
      editorElement().style.display = 'none';
      if (focusBeforeEditor !== null && focusBeforeEditor.focus) {
        focusBeforeEditor.focus({preventScroll: true});
      }
      focusBeforeEditor = null;
    },
    downloadPicture(rgba, w, h, name) { pictureBlob(rgba, w, h, (blob) => download(blob, name)); },
    downloadBytes(bytes, size, name) {
      download(new Blob([HEAPU8.slice(bytes, bytes + size)], {type: 'application/octet-stream'}),
               name);
    },
    addShortcut(owner, keys, command, focusId) {
      const parts = keys.split('+').map((p) => p.trim());
      const key = parts.pop().toUpperCase();
      const has = (word) => parts.some((p) => p.toLowerCase() === word);
      shortcuts.push({owner, key, ctrl: has('ctrl'), shift: has('shift'), alt: has('alt'),
                      command, focusId});
    },
    removeShortcuts(owner) {
      for (let i = shortcuts.length - 1; i >= 0; --i) {
        if (shortcuts[i].owner === owner) shortcuts.splice(i, 1);
      }
    },
  };
})();
