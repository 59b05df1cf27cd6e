// One finger on the client area acts as the mouse (page.js watches it once the dialog is shown):
// a tap is a left click, a drag a left drag, a long press the right button, a double tap a
// double click; only a drag that starts on a text list scrolls its lines, as a finger expects.
// Two fingers put down together move the view: their midpoint drags the picture as the middle
// button does, and their spreading or closing zooms around it (the program's own arithmetic:
// the page sends only pixels and the ratio of the fingers' distances).
// The page neither scrolls nor zooms meanwhile (touch-action: none on the window), and the
// browser makes up no mouse events of its own.
// In a worker there is no page: nothing here is used.

var FunzioniTouch = (function () {
  'use strict';
  // A finger held still this long is the right button; one moved further than the slop before
  // that drags with the left button; a second tap this soon and this near is a double click.
  const kLongPressMs = 600;
  const kTouchSlop = 8;
  const kDoubleTapMs = 500;
  const kDoubleTapDistance = 24;
  // The middle button in a mouse event's buttons: the program pans the view while it is held.
  const kMiddleButtons = 4;

  // A mouse event's fields as page.js's pointer reads them, at a touch's place.
  function fake(s, t, button, buttons, detail) {
    return {
      clientX: t.clientX, clientY: t.clientY, button, buttons, detail,
      target: document.elementFromPoint(t.clientX, t.clientY) || s.area,
    };
  }

  // The finger's own touch among those the event changed; null when it is not among them.
  function touchOf(s, e) {
    for (const t of e.changedTouches) if (s.finger !== null && t.identifier === s.finger.id) return t;
    return null;
  }

  // Held, a finger is the right button, and asks for the context menu as the right button does.
  function longPress(s) {
    if (s.finger === null || s.finger.state !== 'waiting') return;
    s.finger.state = 'right';
    const press = fake(s, s.finger.touch, 2, 2, 1);
    s.pointer('press', press);
    press.target.dispatchEvent(new MouseEvent('contextmenu', {
      bubbles: true, cancelable: true, clientX: press.clientX, clientY: press.clientY}));
  }

  // The two fingers' midpoint and distance, or null when one of them is not among `touches`.
  function spanOf(s, touches) {
    const found = s.pair.ids.map((id) => Array.from(touches).find((t) => t.identifier === id));
    if (found.some((t) => t === undefined)) return null;
    const [a, b] = found;
    return {
      clientX: (a.clientX + b.clientX) / 2,
      clientY: (a.clientY + b.clientY) / 2,
      distance: Math.hypot(a.clientX - b.clientX, a.clientY - b.clientY),
    };
  }

  // Two fingers from now on: the midpoint is the middle button, held.
  function startPair(s, a, b) {
    s.pair = {ids: [a.identifier, b.identifier], span: null};
    s.pair.span = spanOf(s, [a, b]);
    s.lastTap = null;
    s.pointer('move', fake(s, s.pair.span, 0, kMiddleButtons, 0));
  }

  // The midpoint's move pans; the change of distance zooms around the midpoint.
  function movePair(s, e) {
    const span = spanOf(s, e.touches);
    if (span === null) return;
    if (e.cancelable) e.preventDefault();
    const before = s.pair.span;
    s.pointer('move', fake(s, span, 0, kMiddleButtons, 0));
    if (before.distance > 0 && span.distance > 0 && span.distance !== before.distance) {
      s.pinch(span.clientX, span.clientY, span.distance / before.distance);
    }
    s.pair.span = span;
  }

  // One of the two lifted: the drag ends; the other finger does nothing until lifted too.
  function liftPair(s, e) {
    if (!Array.from(e.changedTouches).some((t) => s.pair.ids.includes(t.identifier))) return;
    if (e.cancelable) e.preventDefault();
    s.pointer('move', fake(s, s.pair.span, 0, 0, 0));
    s.pair = null;
  }

  function start(s, e) {
    if (s.pair !== null || e.changedTouches.length === 0) return;
    // A second finger while the first still waits: the two move the view. Once the first
    // drags, scrolls or holds the right button it keeps that meaning alone.
    if (s.finger !== null && s.finger.state === 'waiting') {
      const other = Array.from(e.changedTouches).find((t) => t.identifier !== s.finger.id);
      if (other === undefined) return;
      clearTimeout(s.finger.timer);
      const first = s.finger.touch;
      s.finger = null;
      startPair(s, first, other);
      return;
    }
    if (s.finger !== null) return;
    if (e.changedTouches.length >= 2) {
      startPair(s, e.changedTouches[0], e.changedTouches[1]);
      return;
    }
    const t = e.changedTouches[0];
    const list = e.target.closest ? e.target.closest('.funzioni-list') : null;
    s.finger = {id: t.identifier, x: t.clientX, y: t.clientY, state: 'waiting', touch: t,
                timer: 0, list};
    s.pointer('move', fake(s, t, 0, 0, 0));
    s.finger.timer = setTimeout(() => longPress(s), kLongPressMs);
  }

  function move(s, e) {
    if (s.pair !== null) {
      movePair(s, e);
      return;
    }
    const t = touchOf(s, e);
    if (t === null) return;
    if (e.cancelable) e.preventDefault();
    const finger = s.finger;
    const last = finger.touch;
    finger.touch = t;
    if (finger.state === 'scroll') {
      finger.list.scrollTop += last.clientY - t.clientY;
      return;
    }
    if (finger.state === 'waiting') {
      if (Math.hypot(t.clientX - finger.x, t.clientY - finger.y) <= kTouchSlop) return;
      clearTimeout(finger.timer);
      if (finger.list !== null) {
        finger.state = 'scroll';
        finger.list.scrollTop += finger.y - t.clientY;
        return;
      }
      finger.state = 'left';
      s.pointer('press', fake(s, {clientX: finger.x, clientY: finger.y}, 0, 1, 1));
    }
    s.pointer('move', fake(s, t, 0, finger.state === 'left' ? 1 : 2, 0));
  }

  // A finger lifted where it was put down: a click, or the second click of a double tap.
  function tap(s, t, now) {
    const last = s.lastTap;
    const near = last !== null && now - last.at <= kDoubleTapMs &&
                 Math.hypot(t.clientX - last.x, t.clientY - last.y) <= kDoubleTapDistance;
    const press = fake(s, t, 0, 1, near ? 2 : 1);
    // A tap on the text box gives it the keyboard, as a click does.
    if (press.target.closest && press.target.closest('.funzioni-box')) {
      press.target.focus({preventScroll: true});
    }
    s.pointer('press', press);
    s.pointer('release', fake(s, t, 0, 0, 0));
    s.lastTap = near ? null : {x: t.clientX, y: t.clientY, at: now};
  }

  function lift(s, e) {
    if (s.pair !== null) {
      liftPair(s, e);
      return;
    }
    const t = touchOf(s, e);
    if (t === null) return;
    if (e.cancelable) e.preventDefault();
    const finger = s.finger;
    clearTimeout(finger.timer);
    const now = performance.now();
    s.finger = null;
    // A list scrolled, or the touch taken over by the browser: no tap.
    if (finger.state === 'scroll' || (finger.state === 'waiting' && e.type === 'touchcancel')) {
      return;
    }
    if (finger.state === 'waiting') {
      tap(s, t, now);
    } else {
      s.pointer('release', fake(s, t, finger.state === 'left' ? 0 : 2, 0, 0));
      s.lastTap = null;
    }
  }

  return {
    // Watches the fingers on `area`; `pointer(action, event)` takes them as the mouse's events
    // (action 'move', 'press' or 'release'),
    // `pinch(clientX, clientY, ratio)` two fingers' spreading, and a touch on a target for which
    // `inEditor(target)` holds is left to the browser.
    watch(area, pointer, inEditor, pinch) {
      // finger: {id, x, y, touch, timer, state: 'waiting' | 'left' | 'right' | 'scroll', list};
      // pair: {ids, span: {clientX, clientY, distance}}; lastTap: {x, y, at}.
      const s = {area, pointer, pinch, finger: null, pair: null, lastTap: null};
      area.addEventListener('touchstart', (e) => {
        if (inEditor(e.target)) return;
        if (e.cancelable) e.preventDefault();
        start(s, e);
      }, {passive: false});
      area.addEventListener('touchmove', (e) => move(s, e), {passive: false});
      area.addEventListener('touchend', (e) => lift(s, e), {passive: false});
      area.addEventListener('touchcancel', (e) => lift(s, e), {passive: false});
    },
  };
})();
