// The drawn controls in the page's accessibility tree (the program calls FunzioniAccess through
// the drawing layer's PageAccess): each has a mirror, a real element out of sight over its
// control, with the role, name, description, value and range the program gives. A mirror with
// the focus is the program's keyboard focus on that control; its keys and the screen reader's
// actions on it (stepping a slider, toggling a check box, pressing a button) reach the program as
// the desktop's keys and requests do. Tab and Shift+Tab go round the window's keyboard order,
// stock controls included, as on the desktop, never out to the browser; once they have moved the
// focus the program draws its focus ring on the drawn control that has it.
// In a worker there is no page: nothing here is used.

var FunzioniAccess = (function () {
  'use strict';
  // As the program gives them: the mirror's role by AccessibleRole's number, ControlKey by the
  // browser's names of the keys, and AccessRequest.
  const roles = () => FunzioniShared.shared().roles;
  const keys = () => FunzioniShared.shared().keys;
  const request = () => FunzioniShared.shared().access;
  // Out of sight, yet in the accessibility tree and able to take the focus; the pointer goes
  // through to the canvas.
  const kUnseen = 'position:absolute;margin:0;padding:0;border:0;opacity:0;overflow:hidden;' +
                  'pointer-events:none;box-sizing:border-box;white-space:pre;';
  // Within this much of a step, a change made by the screen reader is one step.
  const kOneStep = 1.5;

  const mirrors = new Map();  // control -> {element, role, range, checked}
  // What the program last gave each mirror, written once the picture it came with is shown: a
  // drag's step puts its picture on the canvas first, the page's elements follow.
  const waiting = new Map();  // control -> the arguments of update
  let writing = null;         // the timeout that writes them
  let stale = false;          // the program has mirrors to refresh (refreshLater)
  // A hidden page shows no frames: the mirrors are written after this all the same.
  const kLatestWriteMs = 100;
  let order = [];             // the keyboard order, drawn and stock controls
  let keyboardMoved = false;  // Tab has moved the focus: from then on the ring shows
  let ringed = 0;
  let watching = false;

  function client() { return document.getElementById('funzioni'); }
  function call(name, ...args) { return FunzioniPage.enter(name, ...args); }

  function drawnId(element) {
    return element && element.dataset && element.dataset.drawn !== undefined
               ? Number(element.dataset.drawn)
               : 0;
  }

  function elementOf(id) {
    const mirror = mirrors.get(id);
    if (mirror !== undefined) return mirror.element;
    return client().querySelector('[data-control="' + id + '"]');
  }

  function create(role) {
    const input = (type) => {
      const element = document.createElement('input');
      element.type = type;
      return element;
    };
    if (role === 'slider') return input('range');
    if (role === 'checkbox') return input('checkbox');
    if (role === 'button') {
      const button = document.createElement('button');
      button.type = 'button';
      return button;
    }
    if (role === 'graphic') {
      const picture = document.createElement('div');
      picture.setAttribute('role', 'img');
      return picture;
    }
    return document.createElement('label');
  }

  // Keys on a mirror are the desktop's keys on its control; with Shift they do nothing there, and
  // the element's own handling of them is held back too. Browser keys (Ctrl, Alt) pass.
  function onKey(id, e) {
    const key = keys()[e.key];
    if (key === undefined || e.ctrlKey || e.altKey || e.metaKey) return;
    e.preventDefault();
    if (!e.shiftKey) call('funzioni_page_control_key', id, key);
  }

  // The screen reader moved a slider (the element's value): one step either way, or a value set.
  // The slider shows the program's value again until the program takes the new one.
  function onInput(id, mirror) {
    writeWaiting();
    const range = mirror.range;
    if (range === null) return;
    const wanted = Number(mirror.element.value);
    showRange(mirror);
    const change = wanted - range.value;
    if (!Number.isFinite(wanted) || change === 0) return;
    if (range.step > 0 && Math.abs(change) <= range.step * kOneStep) {
      const step = change > 0 ? request().increase : request().decrease;
      call('funzioni_page_control_request', id, step, 0);
    } else {
      call('funzioni_page_control_request', id, request().setValue, wanted);
    }
  }

  function listen(id, mirror) {
    const element = mirror.element;
    element.addEventListener('keydown', (e) => onKey(id, e));
    if (mirror.role === 'slider') element.addEventListener('input', () => onInput(id, mirror));
    if (mirror.role === 'checkbox') {
      // The box shows the program's state: the program toggles it, then shows the new one.
      element.addEventListener('click', () => {
        writeWaiting();
        element.checked = mirror.checked;
        call('funzioni_page_control_request', id, request().toggle, 0);
      });
    }
    if (mirror.role === 'button') {
      element.addEventListener('click',
                               () => call('funzioni_page_control_request', id, request().press, 0));
    }
  }

  // The program's ranges are single precision: written as short as they read there, so that the
  // slider's steps from its minimum reach its maximum (0.1 is not 0.10000000149011612 there).
  function single(number) {
    const wanted = Math.fround(number);
    for (let digits = 1; digits < 9; ++digits) {
      const text = number.toPrecision(digits);
      if (Math.fround(Number(text)) === wanted) return String(Number(text));
    }
    return String(number);
  }

  // Only what changed is written (each write lays the slider out again, at every step of a
  // drag); the value also when the screen reader moved it since.
  function showRange(mirror) {
    const range = mirror.range;
    const element = mirror.element;
    const before = mirror.rangeShown || {};
    const bounds = before.minimum !== range.minimum || before.maximum !== range.maximum ||
                   before.step !== range.step;
    if (bounds) {
      element.min = single(range.minimum);
      element.max = single(range.maximum);
      element.step = range.step > 0 ? single(range.step) : 'any';
    }
    if (bounds || before.value !== range.value || element.value !== before.valueText) {
      element.value = single(range.value);
    }
    if (before.text !== range.text) element.setAttribute('aria-valuetext', range.text);
    mirror.rangeShown = {minimum: range.minimum, maximum: range.maximum, step: range.step,
                         value: range.value, text: range.text, valueText: element.value};
  }

  // Among the page's elements in the order the controls were added in.
  function insert(element, position, beforeStock) {
    const area = client();
    let anchor = beforeStock > 0 ? area.querySelector('[data-control="' + beforeStock + '"]') : null;
    let before = anchor !== null ? anchor.previousSibling : area.lastChild;
    while (before !== null && drawnId(before) !== 0 && Number(before.dataset.position) > position) {
      anchor = before;
      before = before.previousSibling;
    }
    area.insertBefore(element, anchor);
  }

  function setFocusable(id, mirror) {
    if (order.indexOf(id) >= 0) {
      mirror.element.tabIndex = 0;
    } else if (mirror.role === 'text' || mirror.role === 'graphic') {
      mirror.element.removeAttribute('tabindex');
    }
  }

  function ringOn(id) {
    if (id === ringed) return;
    ringed = id;
    call('funzioni_page_ring', id);
  }

  // Inside the window's cycle: the window runs, neither the editor nor the note of its end
  // covers it, and the focus is on one of its controls or nowhere.
  function inCycle() {
    const area = client();
    if (area === null || area.style.visibility !== 'visible') return false;
    for (const cover of ['funzioni-editor', 'funzioni-ended']) {
      const element = document.getElementById(cover);
      if (element !== null && element.style.display === 'flex') return false;
    }
    const active = document.activeElement;
    return active === null || active === document.body ||
           (area.contains(active) && active.closest('#funzioni-editor, #funzioni-ended') === null);
  }

  function usable(element) {
    return element !== null && element.isConnected && !element.disabled;
  }

  function onTab(e) {
    if (e.key !== 'Tab' || e.ctrlKey || e.altKey || e.metaKey || !inCycle()) return;
    const cycle = order.map(elementOf).filter(usable);
    if (cycle.length === 0) return;
    e.preventDefault();
    const at = cycle.indexOf(document.activeElement);
    const back = e.shiftKey;
    let next = back ? cycle.length - 1 : 0;
    if (at >= 0) next = (at + (back ? cycle.length - 1 : 1)) % cycle.length;
    keyboardMoved = true;
    cycle[next].focus({preventScroll: true});
    ringOn(drawnId(document.activeElement));
  }

  function watch() {
    if (watching) return;
    watching = true;
    document.addEventListener('keydown', onTab, true);
    const area = client();
    area.addEventListener('focusin', (e) => ringOn(keyboardMoved ? drawnId(e.target) : 0));
    area.addEventListener('focusout', (e) => {
      if (drawnId(e.relatedTarget) === 0) ringOn(0);
    });
  }

  function write(id, name, description, checked, range) {
    const mirror = mirrors.get(id);
    if (mirror === undefined) return;
    const element = mirror.element;
    // As the range's: only what changed is written.
    if (mirror.role === 'text' || mirror.role === 'button') {
      if (element.textContent !== name) element.textContent = name;
    } else if (element.getAttribute('aria-label') !== name) {
      element.setAttribute('aria-label', name);
    }
    if (description === '') {
      element.removeAttribute('aria-description');
    } else if (element.getAttribute('aria-description') !== description) {
      element.setAttribute('aria-description', description);
    }
    if (mirror.role === 'checkbox') {
      mirror.checked = checked === 1;
      element.checked = mirror.checked;
    }
    if (mirror.role === 'slider' && range !== null) {
      mirror.range = range;
      showRange(mirror);
    }
  }

  function writeWaiting() {
    // The program is asked first for the mirrors of the controls shown anew (while `writing` is
    // still set, so that their updates wait for no other frame).
    if (stale) {
      stale = false;
      call('funzioni_page_mirrors_refresh');
    }
    if (writing !== null) {
      clearTimeout(writing.late);
      writing = null;
    }
    const all = [...waiting];
    waiting.clear();
    // (No destructuring in the loop: the build's script minifier drops it.)
    for (const entry of all) write(entry[0], ...entry[1]);
  }

  // After the next frame (a timeout queued from the frame's own callback runs once it is shown),
  // or after kLatestWriteMs when no frame comes.
  function writeLater() {
    if (writing !== null) return;
    writing = {late: setTimeout(writeWaiting, kLatestWriteMs)};
    requestAnimationFrame(() => setTimeout(writeWaiting, 0));
  }

  return {
    add(id, roleIndex, position, beforeStock, x, y, w, h) {
      FunzioniAccess.remove(id);
      const role = roles()[roleIndex] || 'text';
      const element = create(role);
      element.dataset.drawn = String(id);
      element.dataset.position = String(position);
      element.style.cssText =
          kUnseen + 'left:' + x + 'px;top:' + y + 'px;width:' + w + 'px;height:' + h + 'px;';
      const mirror = {element: element, role: role, range: null, checked: false};
      mirrors.set(id, mirror);
      listen(id, mirror);
      setFocusable(id, mirror);
      insert(element, position, beforeStock);
    },
    update(id, name, description, checked, range) {
      if (!mirrors.has(id)) return;
      waiting.set(id, [name, description, checked, range]);
      writeLater();
    },
    // Drawn controls shown anew: the program gives their mirrors' updates after the frame.
    refreshLater() {
      stale = true;
      writeLater();
    },
    // Updates given or to be asked for, and not yet written.
    waiting() { return waiting.size > 0 || stale; },
    remove(id) {
      waiting.delete(id);
      const mirror = mirrors.get(id);
      if (mirror === undefined) return;
      mirror.element.remove();
      mirrors.delete(id);
    },
    removeAll() {
      waiting.clear();
      for (const mirror of mirrors.values()) mirror.element.remove();
      mirrors.clear();
      ringed = 0;
    },
    setOrder(ids) {
      order = ids;
      mirrors.forEach((mirror, id) => setFocusable(id, mirror));
      watch();
    },
    focus(id) {
      const mirror = mirrors.get(id);
      if (mirror !== undefined) mirror.element.focus({preventScroll: true});
    },
    focused() { return drawnId(document.activeElement); },
  };
})();
