// The page's side windows (the drawing layer's SideWindow, web/SideWindowWeb.cpp), such as the
// study window: a panel of the page beside the client area #funzioni where the browser's window
// has room for it, else over the part of the client area the program names, scaled as the client
// area is. Outside #funzioni, the panel's pointer input never reaches the dialog; its keys are its
// own too (Esc closes it, Ctrl+C and Ctrl+P go to the program, the arrows choose a line, Enter
// in a text field asks for what the field is for; Ctrl+C in a field copies its text), and
// the dialog's keys do nothing in it, as in a window of its own. A press on the client area
// gives the keyboard back to the control that had it before the panel took it.
// In a worker there is no page: nothing here is set up.

var FunzioniSide = (function () {
  'use strict';
  const onPage = typeof window === 'object' && typeof document === 'object';
  const kGap = 8;  // between the client area and a panel beside it
  const kLeastWidth = 260;
  const kLeastHeight = 200;
  // What a panel reports, by name; the program's numbers for them (its SideAction) come with
  // FunzioniShared.
  const kChosen = 'chosen';
  const kChecked = 'checked';
  const kCopy = 'copy';
  const kClosed = 'closed';
  const kPrint = 'print';
  const kField = 'field';

  // number -> {element, heading, list, check, width, height, cover, current, focusBefore}
  const sides = new Map();
  let watching = false;

  function report(number, what, code) {
    const action = FunzioniShared.shared().side[what];
    if (action === undefined) throw new Error('funzioni: the program has no side action ' + what);
    FunzioniShared.program('funzioni_page_side', number, action, code);
  }

  function sideOf(target) {
    const element = target && target.closest ? target.closest('.funzioni-side') : null;
    return element === null ? null : sides.get(Number(element.dataset.side)) || null;
  }

  function shown(side) { return !side.element.hidden; }

  function displayed(id) {
    const element = document.getElementById(id);
    return element !== null && element.style.display !== '' && element.style.display !== 'none';
  }

  // A panel over the client area gives way to the page's editor, which covers the client area;
  // once the program has ended no panel shows.
  function cover() {
    const ended = displayed('funzioni-ended');
    const editor = displayed('funzioni-editor');
    sides.forEach((side) => {
      side.element.classList.toggle(
          'funzioni-side-covered', ended || (editor && side.element.dataset.placed === 'over'));
    });
  }

  function place(side) {
    const area = document.getElementById('funzioni');
    if (area === null) return;
    const r = area.getBoundingClientRect();
    const style = side.element.style;
    const room = window.innerWidth - r.right - kGap;
    if (room >= Math.min(side.width, kLeastWidth)) {
      side.element.dataset.placed = 'beside';
      style.transform = '';
      style.left = (r.right + kGap) + 'px';
      style.top = r.top + 'px';
      style.width = Math.min(side.width, room) + 'px';
      style.height = Math.max(kLeastHeight, Math.min(side.height, window.innerHeight - r.top)) + 'px';
      return;
    }
    const client = FunzioniPage.clientSize();
    const scale = r.width / client.width;
    let c = side.cover;
    if (!(c[2] > 0 && c[3] > 0)) {
      c = [client.width - side.width, 0, side.width, Math.min(side.height, client.height)];
    }
    side.element.dataset.placed = 'over';
    style.transform = 'scale(' + scale + ')';
    style.left = (r.left + c[0] * scale) + 'px';
    style.top = (r.top + c[1] * scale) + 'px';
    style.width = c[2] + 'px';
    style.height = c[3] + 'px';
  }

  // Up, Down, Page Up, Page Down, Home and End choose a line, as in the desktop's list.
  function listKey(number, side, e) {
    const count = side.list.childElementCount;
    if (count === 0) return;
    const first = side.list.firstElementChild;
    const page = Math.max(1, Math.floor(side.list.clientHeight / Math.max(1, first.offsetHeight)));
    const at = side.current;
    let next = -1;
    if (e.key === 'ArrowDown') next = at < 0 ? 0 : Math.min(count - 1, at + 1);
    if (e.key === 'ArrowUp') next = at < 0 ? 0 : Math.max(0, at - 1);
    if (e.key === 'PageDown') next = at < 0 ? 0 : Math.min(count - 1, at + page);
    if (e.key === 'PageUp') next = at < 0 ? 0 : Math.max(0, at - page);
    if (e.key === 'Home') next = 0;
    if (e.key === 'End') next = count - 1;
    if (next < 0) return;
    e.preventDefault();
    report(number, kChosen, next);
  }

  function onKey(e) {
    const side = sideOf(e.target);
    if (side === null) return;
    // Neither the dialog's keys nor its shortcuts act here.
    e.stopPropagation();
    const number = Number(side.element.dataset.side);
    const command = (e.ctrlKey || e.metaKey) && !e.altKey && !e.shiftKey;
    if (e.key === 'Escape' && !e.ctrlKey && !e.altKey && !e.metaKey && !e.shiftKey) {
      e.preventDefault();
      report(number, kClosed, 0);
    } else if (e.target.dataset && e.target.dataset.field !== undefined) {
      // A field keeps its own editing keys; Enter asks for what it is for.
      if (e.key === 'Enter' && !e.ctrlKey && !e.altKey && !e.metaKey) {
        e.preventDefault();
        report(number, kField, Number(e.target.dataset.field));
      } else if (command && e.code === 'KeyP') {
        e.preventDefault();
        if (!e.repeat) report(number, kPrint, 0);
      }
    } else if (command && e.code === 'KeyC') {
      e.preventDefault();
      if (!e.repeat) report(number, kCopy, 0);
    } else if (command && e.code === 'KeyP') {
      e.preventDefault();  // never the browser's printing of the page
      if (!e.repeat) report(number, kPrint, 0);
    } else if (e.target === side.list && !e.ctrlKey && !e.altKey && !e.metaKey) {
      listKey(number, side, e);
    }
  }

  // A press on the client area is the user going back to the dialog's window.
  function onAreaPress() {
    const side = sideOf(document.activeElement);
    if (side === null) return;
    const before = side.focusBefore;
    if (before !== null && before.isConnected && before.focus) {
      before.focus({preventScroll: true});
    } else {
      document.activeElement.blur();
    }
  }

  function watch() {
    if (watching) return;
    watching = true;
    window.addEventListener('keydown', onKey, true);
    window.addEventListener('resize', () => {
      sides.forEach((side) => { if (shown(side)) place(side); });
      cover();
    });
    const area = document.getElementById('funzioni');
    if (area !== null) area.addEventListener('mousedown', onAreaPress, true);
    const observer = new MutationObserver(cover);
    for (const id of ['funzioni-editor', 'funzioni-ended']) {
      const element = document.getElementById(id);
      if (element !== null) observer.observe(element, {attributes: true, attributeFilter: ['style']});
    }
  }

  function build(number, title, listName, checkLabel) {
    const element = document.createElement('div');
    element.className = 'funzioni-side';
    element.id = 'funzioni-side-' + number;
    element.dataset.side = String(number);
    element.hidden = true;
    element.setAttribute('role', 'dialog');
    element.setAttribute('aria-label', title);
    element.style.overflow = 'hidden';
    const bar = document.createElement('div');
    bar.className = 'funzioni-side-bar';
    const name = document.createElement('span');
    name.textContent = title;
    const close = document.createElement('button');
    close.type = 'button';
    close.className = 'funzioni-side-close';
    close.textContent = '\u00D7';
    close.title = FunzioniPage.text('Chiudi (Esc)');
    close.setAttribute('aria-label', FunzioniPage.text('Chiudi'));
    close.addEventListener('click', () => report(number, kClosed, 0));
    bar.append(name, close);
    const heading = document.createElement('p');
    heading.className = 'funzioni-side-heading';
    heading.id = element.id + '-heading';
    heading.setAttribute('aria-live', 'polite');  // the study's outcome is read out once it comes
    // However long the formula it names, the heading takes a few lines and scrolls: nothing of
    // the panel ever spills over the controls around it.
    Object.assign(heading.style, {maxHeight: '4.6em', overflowY: 'auto', overflowWrap: 'anywhere',
                                  flexShrink: '0'});
    element.setAttribute('aria-describedby', heading.id);
    const list = document.createElement('div');
    list.className = 'funzioni-side-list';
    list.tabIndex = 0;
    list.setAttribute('role', 'listbox');
    list.setAttribute('aria-label', listName);
    // The line is chosen at the press, as in the desktop's list.
    list.addEventListener('mousedown', (e) => {
      if (e.button !== 0) return;
      const line = e.target.closest ? e.target.closest('[role="option"]') : null;
      if (line !== null) report(number, kChosen, Number(line.dataset.line));
    });
    const label = document.createElement('label');
    const check = document.createElement('input');
    check.type = 'checkbox';
    check.addEventListener('change', () => report(number, kChecked, check.checked ? 1 : 0));
    const text = document.createElement('span');
    text.textContent = checkLabel;
    label.append(check, text);
    // The fields' rows go between the list and the check box (addField), in the Tab order.
    const fields = document.createElement('div');
    fields.className = 'funzioni-side-fields';
    Object.assign(fields.style, {flexShrink: '0'});
    element.append(bar, heading, list, fields, label);
    return {element: element, heading: heading, list: list, check: check, fields: fields};
  }

  return {
    create(number, title, listName, checkLabel, width, height, coverRect) {
      if (!onPage) return;
      watch();
      const parts = build(number, title, listName, checkLabel);
      document.body.appendChild(parts.element);
      sides.set(number, {
        element: parts.element, heading: parts.heading, list: parts.list, check: parts.check,
        fields: parts.fields, inputs: [], width: width, height: height, cover: coverRect,
        current: -1, focusBefore: null,
      });
    },
    destroy(number) {
      const side = sides.get(number);
      if (side === undefined) return;
      FunzioniSide.hide(number);
      side.element.remove();
      sides.delete(number);
    },
    // Shown again, it only takes the keyboard.
    show(number) {
      const side = sides.get(number);
      if (side === undefined) return;
      if (!shown(side)) {
        const active = document.activeElement;
        side.focusBefore = active !== null && sideOf(active) === null ? active : null;
        side.element.hidden = false;
        place(side);
        cover();
      }
      side.list.focus({preventScroll: true});
    },
    // The keyboard goes back where it was, unless the user has taken it elsewhere meanwhile.
    hide(number) {
      const side = sides.get(number);
      if (side === undefined || !shown(side)) return;
      const hadFocus = sideOf(document.activeElement) === side;
      side.element.hidden = true;
      const before = side.focusBefore;
      side.focusBefore = null;
      if (hadFocus && before !== null && before.isConnected && before.focus) {
        before.focus({preventScroll: true});
      }
    },
    // A text field after its label, on a row of its own or on the row of the field before.
    addField(number, labelText, name, sameRow) {
      const side = sides.get(number);
      if (side === undefined) return;
      let row = side.fields.lastElementChild;
      if (row === null || !sameRow) {
        row = document.createElement('div');
        row.className = 'funzioni-side-field-row';
        Object.assign(row.style, {display: 'flex', gap: '4px', alignItems: 'center',
                                  margin: '2px 0'});
        side.fields.appendChild(row);
      }
      const index = side.inputs.length;
      const input = document.createElement('input');
      input.type = 'text';
      input.id = side.element.id + '-field-' + index;
      input.dataset.field = String(index);
      input.setAttribute('aria-label', name);
      input.autocomplete = 'off';
      input.spellcheck = false;
      Object.assign(input.style, {flex: '1', minWidth: '3em'});
      const label = document.createElement('label');
      label.htmlFor = input.id;
      label.textContent = labelText;
      row.append(label, input);
      side.inputs.push(input);
    },
    fieldText(number, index) {
      const side = sides.get(number);
      const input = side === undefined ? undefined : side.inputs[index];
      return input === undefined ? '' : input.value;
    },
    setFieldText(number, index, text) {
      const side = sides.get(number);
      const input = side === undefined ? undefined : side.inputs[index];
      if (input !== undefined) input.value = text;
    },
    setHeading(number, text) {
      const side = sides.get(number);
      if (side !== undefined) side.heading.textContent = text;
    },
    resetLines(number) {
      const side = sides.get(number);
      if (side === undefined) return;
      side.list.replaceChildren();
      side.list.removeAttribute('aria-activedescendant');
      side.current = -1;
    },
    addLine(number, text) {
      const side = sides.get(number);
      if (side === undefined) return;
      const line = document.createElement('div');
      const index = side.list.childElementCount;
      line.dataset.line = String(index);
      line.id = side.element.id + '-line-' + index;
      line.setAttribute('role', 'option');
      line.setAttribute('aria-selected', 'false');
      line.textContent = text;
      side.list.appendChild(line);
    },
    select(number, index) {
      const side = sides.get(number);
      if (side === undefined) return;
      const list = side.list;
      const old = list.querySelector('[aria-selected="true"]');
      if (old !== null) old.setAttribute('aria-selected', 'false');
      if (index < 0 || index >= list.childElementCount) {
        side.current = -1;
        list.removeAttribute('aria-activedescendant');
        return;
      }
      side.current = index;
      const line = list.children[index];
      line.setAttribute('aria-selected', 'true');
      list.setAttribute('aria-activedescendant', line.id);
      // Into view within the list only: the page itself never scrolls.
      if (line.offsetTop < list.scrollTop) {
        list.scrollTop = line.offsetTop;
      } else if (line.offsetTop + line.offsetHeight > list.scrollTop + list.clientHeight) {
        list.scrollTop = line.offsetTop + line.offsetHeight - list.clientHeight;
      }
    },
  };
})();
