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
    // The drawn chart (setChart) between the list and the fields; it takes no focus.
    const chart = document.createElement('div');
    chart.className = 'funzioni-side-chart';
    chart.hidden = true;
    Object.assign(chart.style, {flexShrink: '0', background: '#fff'});
    element.append(bar, heading, list, chart, fields, label);
    return {element: element, heading: heading, list: list, check: check, fields: fields,
            chart: chart};
  }

  // The sign chart as the desktop draws it (SideWindowChart.cpp): equal steps between the marks,
  // + and − over each interval's line, 0, a cross or a double bar at the marks, arrows and cups
  // under the rows that have them. Its accessible name and description are the program's.
  const kSvg = 'http://www.w3.org/2000/svg';
  function svgPart(parent, tag, attributes, text) {
    const part = document.createElementNS(kSvg, tag);
    for (const [key, value] of Object.entries(attributes)) part.setAttribute(key, String(value));
    if (text !== undefined) part.textContent = text;
    parent.appendChild(part);
    return part;
  }

  function drawChart(box, chart) {
    const width = 380;
    const nameWidth = 30;
    const left = nameWidth + 6;
    const right = width - 12;
    const labelLine = 15;
    const steps = chart.marks.length + 1;
    const at = (i) => Math.round(left + (right - left) * i / steps);
    let y = 2 + 2 * labelLine;
    const rowY = chart.rows.map((row) => {
      y += 20;
      const line = y;
      y += row.note === '' && row.under !== 0 ? 26 : 10;
      return line;
    });
    const height = y + 4;
    const svg = document.createElementNS(kSvg, 'svg');
    svg.setAttribute('viewBox', '0 0 ' + width + ' ' + height);
    svg.setAttribute('aria-hidden', 'true');
    Object.assign(svg.style, {width: '100%', display: 'block'});
    const ink = {stroke: '#000', 'stroke-width': 2, fill: 'none'};
    const text = {'font-family': 'sans-serif', 'font-size': 11, 'text-anchor': 'middle'};
    const lastRight = [-Infinity, -Infinity];
    chart.marks.forEach((label, i) => {
      const x = at(i + 1);
      svgPart(svg, 'line', {x1: x, y1: 2 + 2 * labelLine, x2: x, y2: height - 2, stroke: '#888',
                            'stroke-dasharray': '3 3'});
      const half = label.length * 3.2;
      const line = x - half > lastRight[0] + 3 ? 0 : x - half > lastRight[1] + 3 ? 1
                 : lastRight[0] <= lastRight[1] ? 0 : 1;
      lastRight[line] = x + half;
      svgPart(svg, 'text', Object.assign({x: x, y: 13 + line * labelLine}, text), label);
    });
    chart.rows.forEach((row, r) => {
      const ry = rowY[r];
      svgPart(svg, 'text', Object.assign({}, text, {x: nameWidth, y: ry + 4, 'text-anchor': 'end'}),
              row.name);
      if (row.note !== '') {
        svgPart(svg, 'text', Object.assign({}, text, {x: left, y: ry + 4, 'text-anchor': 'start'}),
                row.note);
        return;
      }
      row.cells.forEach((sign, c) => {
        if (sign === 0) return;
        const cx = Math.round(left + (right - left) * (c + 0.5) / steps);
        svgPart(svg, 'line', Object.assign({x1: c === 0 ? left : at(c), y1: ry,
                                            x2: c === steps - 1 ? right : at(c + 1), y2: ry}, ink));
        const sy = ry - 9;
        svgPart(svg, 'line', Object.assign({x1: cx - 4, y1: sy, x2: cx + 4, y2: sy}, ink));
        if (sign > 0) svgPart(svg, 'line', Object.assign({x1: cx, y1: sy - 4, x2: cx, y2: sy + 4}, ink));
        const uy = ry + 14;
        if (row.under === 1) {
          const rise = sign > 0 ? -1 : 1;
          const tipX = cx + 6;
          const tipY = uy + rise * 6;
          svgPart(svg, 'path', Object.assign({d: 'M' + (cx - 6) + ' ' + (uy - rise * 6) + 'L' + tipX +
                                              ' ' + tipY + 'M' + (tipX - 5) + ' ' + tipY + 'L' +
                                              tipX + ' ' + tipY + 'L' + tipX + ' ' +
                                              (tipY - rise * 5)}, ink));
        } else if (row.under === 2) {
          const sweep = sign > 0 ? 0 : 1;
          svgPart(svg, 'path', Object.assign({d: 'M' + (cx - 6) + ' ' + uy + 'A6 6 0 0 ' + sweep +
                                              ' ' + (cx + 6) + ' ' + uy}, ink));
        }
      });
      row.points.forEach((point, m) => {
        const x = at(m + 1);
        if (point === 1) {
          svgPart(svg, 'rect', {x: x - 6, y: ry - 8, width: 12, height: 16, fill: '#fff'});
          svgPart(svg, 'text', Object.assign({x: x, y: ry + 4}, text), '0');
        } else if (point === 2) {
          svgPart(svg, 'path', Object.assign({d: 'M' + (x - 5) + ' ' + (ry - 5) + 'L' + (x + 5) + ' ' +
                                              (ry + 5) + 'M' + (x - 5) + ' ' + (ry + 5) + 'L' +
                                              (x + 5) + ' ' + (ry - 5)}, ink));
        } else if (point === 3) {
          svgPart(svg, 'rect', {x: x - 1, y: ry - 12, width: 3, height: 24, fill: '#fff'});
          for (const dx of [-2, 2]) {
            svgPart(svg, 'line', {x1: x + dx, y1: ry - 12, x2: x + dx, y2: ry + 12, stroke: '#000',
                                  'stroke-width': 1});
          }
        }
      });
    });
    box.replaceChildren(svg);
  }

  return {
    create(number, title, listName, checkLabel, width, height, coverRect) {
      if (!onPage) return;
      watch();
      const parts = build(number, title, listName, checkLabel);
      document.body.appendChild(parts.element);
      sides.set(number, {
        element: parts.element, heading: parts.heading, list: parts.list, check: parts.check,
        fields: parts.fields, chart: parts.chart, inputs: [], width: width, height: height,
        cover: coverRect,
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
    // A button on the row after the check box; pressed, it reports the field action with its
    // number after the fields' (SideWindowWeb.cpp).
    addButton(number, labelText, name) {
      const side = sides.get(number);
      if (side === undefined) return;
      if (side.buttons === undefined) {
        side.buttons = document.createElement('div');
        side.buttons.className = 'funzioni-side-buttons';
        Object.assign(side.buttons.style, {display: 'flex', gap: '4px', margin: '2px 0'});
        side.element.appendChild(side.buttons);
        side.buttonCount = 0;
      }
      const index = side.buttonCount++;
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = labelText;
      button.setAttribute('aria-label', name);
      button.addEventListener('click', () => report(number, kField, side.inputs.length + index));
      side.buttons.appendChild(button);
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
    // The sign chart: drawn from the program's data, read as its lines; no rows hides it.
    setChart(number, chart) {
      const side = sides.get(number);
      if (side === undefined) return;
      const box = side.chart;
      if (chart.rows.length === 0) {
        box.hidden = true;
        box.replaceChildren();
        box.removeAttribute('role');
        box.removeAttribute('aria-label');
        box.removeAttribute('aria-description');
        if (side.baseHeight !== undefined) side.height = side.baseHeight;
        return;
      }
      box.setAttribute('role', 'img');
      box.setAttribute('aria-label', chart.name);
      box.setAttribute('aria-description', chart.lines.join('\n'));
      box.dataset.lines = JSON.stringify(chart.lines);
      drawChart(box, chart);
      box.hidden = false;
      // The panel grows by the chart's height, so that the list keeps its room.
      if (side.baseHeight === undefined) side.baseHeight = side.height;
      side.height = side.baseHeight + Math.ceil(box.getBoundingClientRect().height);
      if (shown(side)) place(side);
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
