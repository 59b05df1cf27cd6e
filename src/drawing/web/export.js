// What leaves the page (the program calls FunzioniExport through the drawing layer's web
// backend): the clipboard, the context menu the program's menus are shown in, and the sheet the
// browser prints instead of the window. In a worker there is no page: nothing here is set up.

var FunzioniExport = (function () {
  'use strict';
  const onPage = typeof window === 'object' && typeof document === 'object';
  // The editing entries of a text box's menu, before the program's own items.
  const kEditing = [
    {text: 'Taglia', act: 'cut'},
    {text: 'Copia', act: 'copy'},
    {text: 'Incolla', act: 'paste'},
    {text: 'Elimina', act: 'delete'},
    {text: 'Seleziona tutto', act: 'all'},
  ];
  const kFamily = '"Liberation Sans", Arimo, Arial, Helvetica, sans-serif';

  function client() { return document.getElementById('funzioni'); }
  function call(name, ...args) { return FunzioniShared.program(name, ...args); }

  // The printed page's font as the program gives it: its ascent and its line spacing, per em.
  function printMetrics() {
    const fonts = FunzioniShared.shared().fonts;
    const font = fonts.families[fonts.print.family];
    return {
      ascentEm: font.ascent / fonts.unitsPerEm,
      lineSpacingEm: (font.ascent + font.descent + fonts.print.lineGap) / fonts.unitsPerEm,
    };
  }

  // Client area pixels per pixel of the page: the client area is scaled to the browser's window.
  function clientScale(r) { return r.width / FunzioniPage.clientSize().width; }

  // A canvas with the picture's pixels, copied at once (the program's memory may move).
  function pictureCanvas(rgba, w, h) {
    const canvas = document.createElement('canvas');
    canvas.width = w;
    canvas.height = h;
    const pixels = new Uint8ClampedArray(HEAPU8.buffer, rgba, w * h * 4);
    canvas.getContext('2d').putImageData(new ImageData(new Uint8ClampedArray(pixels), w, h), 0, 0);
    return canvas;
  }

  function copyPicture(rgba, w, h) {
    const refused = () => call('funzioni_page_picture_refused');
    if (!navigator.clipboard || typeof navigator.clipboard.write !== 'function' ||
        typeof ClipboardItem !== 'function') {
      refused();
      return;
    }
    const canvas = pictureCanvas(rgba, w, h);
    // The item is given while the key's activation lasts; its bytes follow.
    const png = new Promise((resolve, reject) => {
      canvas.toBlob((blob) => (blob === null ? reject(new Error('no PNG')) : resolve(blob)),
                    'image/png');
    });
    try {
      navigator.clipboard.write([new ClipboardItem({'image/png': png})]).catch(refused);
    } catch (error) {
      refused();
    }
  }

  // Where the clipboard's interface is missing or refused (pages opened from disk in some
  // browsers), the text is selected in a hidden text area and copied as a selection is.
  function copyBySelection(text) {
    const focused = document.activeElement;
    const area = document.createElement('textarea');
    area.value = text;
    area.setAttribute('readonly', '');
    area.setAttribute('aria-hidden', 'true');
    area.style.cssText = 'position: fixed; left: -10000px; top: 0; opacity: 0;';
    document.body.appendChild(area);
    area.select();
    try {
      document.execCommand('copy');
    } catch (error) {
      // nothing more to try
    }
    area.remove();
    if (focused !== null && focused.focus) focused.focus({preventScroll: true});
  }

  function copyText(text) {
    if (!navigator.clipboard || typeof navigator.clipboard.writeText !== 'function') {
      copyBySelection(text);
      return;
    }
    navigator.clipboard.writeText(text).catch(() => copyBySelection(text));
  }

  // The one menu shown: {element, entries, choose, focusBefore, active}. entries: {text,
  // enabled, separator}; choose(index) gets the entry's index, -1 when closed without a choice.
  let menu = null;

  function enabledIndices() {
    const out = [];
    menu.entries.forEach((entry, index) => {
      if (!entry.separator && entry.enabled) out.push(index);
    });
    return out;
  }

  function setActive(index) {
    if (menu === null) return;
    menu.active = index;
    for (const item of menu.element.children) {
      item.classList.toggle('active', Number(item.dataset.index) === index);
    }
    if (index < 0) {
      menu.element.removeAttribute('aria-activedescendant');
    } else {
      menu.element.setAttribute('aria-activedescendant', 'funzioni-menu-' + index);
    }
  }

  function closeMenu(index) {
    if (menu === null) return;
    const closing = menu;
    menu = null;
    closing.element.remove();
    if (closing.focusBefore !== null && closing.focusBefore.focus) {
      closing.focusBefore.focus({preventScroll: true});
    }
    closing.choose(index);
  }

  function chooseActive() {
    if (menu === null || menu.active < 0) return;
    closeMenu(menu.active);
  }

  // Up and Down go round the entries that can be chosen, Home and End to the ends; Enter or
  // Space chooses, Esc and Tab close. The window gets no key while the menu is open.
  function menuKey(e) {
    if (menu === null) return;
    e.preventDefault();
    e.stopPropagation();
    const usable = enabledIndices();
    const at = usable.indexOf(menu.active);
    switch (e.key) {
      case 'ArrowDown':
        if (usable.length > 0) setActive(usable[(at + 1) % usable.length]);
        return;
      case 'ArrowUp':
        if (usable.length > 0) setActive(usable[at <= 0 ? usable.length - 1 : at - 1]);
        return;
      case 'Home':
        if (usable.length > 0) setActive(usable[0]);
        return;
      case 'End':
        if (usable.length > 0) setActive(usable[usable.length - 1]);
        return;
      case 'Enter':
      case ' ':
        chooseActive();
        return;
      case 'Escape':
      case 'Tab':
        closeMenu(-1);
        return;
      default:
        return;
    }
  }

  // A press outside the menu closes it and goes no further, as a desktop menu takes it; moves
  // outside do not reach the window meanwhile.
  function outsideInput(e) {
    if (menu === null || menu.element.contains(e.target)) return;
    e.stopPropagation();
    if (e.type === 'mousemove') return;
    e.preventDefault();
    closeMenu(-1);
  }

  function entryElement(entry, index) {
    const item = document.createElement('div');
    item.dataset.index = String(index);
    if (entry.separator) {
      item.setAttribute('role', 'separator');
      return item;
    }
    item.id = 'funzioni-menu-' + index;
    item.setAttribute('role', 'menuitem');
    item.textContent = entry.text;
    if (!entry.enabled) item.setAttribute('aria-disabled', 'true');
    item.addEventListener('mousemove', () => setActive(entry.enabled ? index : -1));
    item.addEventListener('click', (e) => {
      if (e.button === 0 && entry.enabled && menu !== null) closeMenu(index);
    });
    return item;
  }

  // The menu at a point of the client area (its pixels), scaled as the window is, inside the
  // browser's window.
  function showMenu(x, y, entries, choose) {
    if (menu !== null) {
      const old = menu;
      menu = null;
      old.element.remove();  // replaced: its choice is no longer waited for
    }
    const element = document.createElement('div');
    element.id = 'funzioni-menu';
    element.setAttribute('role', 'menu');
    element.tabIndex = -1;
    entries.forEach((entry, index) => element.appendChild(entryElement(entry, index)));
    element.addEventListener('mousedown', (e) => e.preventDefault());
    element.addEventListener('mouseleave', () => setActive(-1));
    element.addEventListener('contextmenu', (e) => e.preventDefault());
    const r = client().getBoundingClientRect();
    const scale = clientScale(r);
    element.style.transform = 'scale(' + scale + ')';
    document.body.appendChild(element);
    const w = element.offsetWidth * scale;
    const h = element.offsetHeight * scale;
    let left = r.left + x * scale;
    let top = r.top + y * scale;
    if (left + w > window.innerWidth) left = Math.max(0, left - w);
    if (top + h > window.innerHeight) top = Math.max(0, top - h);
    element.style.left = left + 'px';
    element.style.top = top + 'px';
    menu = {element, entries, choose, focusBefore: document.activeElement, active: -1};
    element.focus({preventScroll: true});
  }

  // The program's menu: its choice goes back to the program.
  function openMenu(x, y, texts, enabled) {
    const entries = texts.map((text, i) => ({text, enabled: enabled[i] === '1'}));
    showMenu(x, y, entries, (index) => call('funzioni_page_menu_choice', index));
  }

  const boxItems = new Map();  // text box identifier -> the program's items [{text, command}]

  function addBoxItem(id, text, command) {
    if (!boxItems.has(id)) boxItems.set(id, []);
    boxItems.get(id).push({text, command});
  }

  function editBox(box, act) {
    box.focus({preventScroll: true});
    if (act === 'all') {
      box.select();
    } else if (act === 'paste') {
      if (!navigator.clipboard || typeof navigator.clipboard.readText !== 'function') return;
      navigator.clipboard.readText().then((text) => {
        box.focus({preventScroll: true});
        document.execCommand('insertText', false, text);
      }).catch(() => {});
    } else {
      document.execCommand(act);
    }
  }

  // A text box with items of the program: the editing entries, then those items.
  function boxMenu(e) {
    const box = e.target.closest ? e.target.closest('.funzioni-box') : null;
    if (box === null) return;
    const items = boxItems.get(Number(box.dataset.control));
    if (items === undefined) return;
    e.preventDefault();
    box.focus({preventScroll: true});
    const selected = box.selectionEnd > box.selectionStart;
    const writable = !box.readOnly && !box.disabled;
    const can = {
      cut: selected && writable,
      copy: selected,
      paste: writable && !!navigator.clipboard && typeof navigator.clipboard.readText === 'function',
      delete: selected && writable,
      all: box.value.length > 0 && !(box.selectionStart === 0 && box.selectionEnd === box.value.length),
    };
    const entries = kEditing.map((entry) => ({
      text: FunzioniPage.text(entry.text),  // in the program's language
      enabled: can[entry.act],
    }));
    entries.push({separator: true});
    for (const item of items) entries.push({text: item.text, enabled: true});
    const r = client().getBoundingClientRect();
    const scale = clientScale(r);
    showMenu((e.clientX - r.left) / scale, (e.clientY - r.top) / scale, entries, (index) => {
      if (index < 0) return;
      if (index < kEditing.length) {
        editBox(box, kEditing[index].act);
        return;
      }
      call('funzioni_page_command_key', items[index - kEditing.length - 1].command);
    });
  }

  // The sheet the browser prints: the picture, each pixel a block of whole printer dots (in the
  // picture's own pixels), then the lines, each after its colour square. Shown only in print,
  // instead of the window.
  let sheet = null;
  let sheetLines = null;
  let hasSquares = false;
  let layout = null;
  let titleBefore = null;  // the window's title while the print job's name stands in for it

  function printStyle(l) {
    const metrics = printMetrics();
    const square = metrics.ascentEm * l.squareOfAscent;
    const indent = square * l.indentInSquares;
    return '@media print {\n' +
        '  @page { size: A4; margin: ' + l.marginMm + 'mm; }\n' +
        '  html, body { width: auto; height: auto; overflow: visible; background: #fff; }\n' +
        '  html.funzioni-sheet body > :not(#funzioni-print) { display: none !important; }\n' +
        '  #funzioni-print { display: block; color: #000; font: ' + l.points + 'pt ' + kFamily +
        '; }\n' +
        '  #funzioni-print > div { margin: 0 auto; }\n' +
        '  #funzioni-print canvas { display: block; margin-bottom: ' + l.gapMm + 'mm;\n' +
        '    image-rendering: pixelated; image-rendering: crisp-edges; }\n' +
        '  #funzioni-print p { margin: 0; white-space: pre; break-inside: avoid;\n' +
        '    line-height: ' + (metrics.lineSpacingEm * l.lineSpacing) + 'em; }\n' +
        '  #funzioni-print.squares p { padding-left: ' + indent + 'em; }\n' +
        '  #funzioni-print span { display: inline-block; box-sizing: border-box;\n' +
        '    width: ' + square + 'em; height: ' + square + 'em; margin-left: ' + (-indent) +
        'em;\n    margin-right: ' + (indent - square) + 'em; border: 1px solid #000;\n' +
        '    -webkit-print-color-adjust: exact; print-color-adjust: exact; }\n' +
        '}\n';
  }

  function printLayout(marginMm, gapMm, points, lineSpacing, squareOfAscent, indentInSquares) {
    layout = {marginMm, gapMm, points, lineSpacing, squareOfAscent, indentInSquares};
    addStyle('funzioni-print-style', printStyle(layout));
  }

  // The picture with each pixel a block of factor x factor pixels of its colour: enlarged in
  // the picture itself, the sheet prints the same dots whether or not the PDF's viewer or the
  // printer's driver smooths what it scales.
  function enlarged(picture, factor) {
    if (factor <= 1) return picture;
    const canvas = document.createElement('canvas');
    canvas.width = picture.width * factor;
    canvas.height = picture.height * factor;
    const context = canvas.getContext('2d');
    context.imageSmoothingEnabled = false;
    context.drawImage(picture, 0, 0, canvas.width, canvas.height);
    return canvas;
  }

  function printBegin(rgba, w, h, factor, dpi) {
    if (sheet !== null) sheet.remove();
    sheet = document.createElement('div');
    sheet.id = 'funzioni-print';
    sheet.setAttribute('aria-hidden', 'true');
    sheetLines = document.createElement('div');
    if (w > 0 && h > 0) {
      const canvas = enlarged(pictureCanvas(rgba, w, h), factor);
      const width = w * factor / dpi + 'in';
      canvas.style.width = width;
      canvas.style.height = h * factor / dpi + 'in';
      sheetLines.style.width = width;
      sheetLines.appendChild(canvas);
    }
    sheet.appendChild(sheetLines);
    hasSquares = false;
  }

  function printLine(text, swatch) {
    const line = document.createElement('p');
    if (swatch >= 0) {
      const square = document.createElement('span');
      square.style.backgroundColor = '#' + swatch.toString(16).padStart(6, '0');
      line.appendChild(square);
      hasSquares = true;
    }
    line.appendChild(document.createTextNode(text));
    sheetLines.appendChild(line);
  }

  // The sheet in place of the window for the browser's print dialog, the job named as asked.
  function printEnd(name) {
    if (typeof window.print !== 'function' || layout === null) return false;
    sheet.classList.toggle('squares', hasSquares);
    document.body.appendChild(sheet);
    document.documentElement.classList.add('funzioni-sheet');
    if (titleBefore === null) titleBefore = document.title;
    document.title = name;
    const printed = sheet;
    // Once printed the window is itself again, also for the browser's own printing.
    window.addEventListener('afterprint', () => {
      if (titleBefore !== null) document.title = titleBefore;
      titleBefore = null;
      if (sheet !== printed) return;
      sheet.remove();
      sheet = null;
      document.documentElement.classList.remove('funzioni-sheet');
    }, {once: true});
    window.print();
    return true;
  }

  const kScreenStyle =
      '#funzioni-print { display: none; }\n' +
      '#funzioni-menu { position: fixed; z-index: 10; transform-origin: 0 0; min-width: 120px;\n' +
      '  padding: 2px 0; background: #fff; color: #000; border: 1px solid #808080;\n' +
      '  box-shadow: 2px 2px 4px rgba(0, 0, 0, 0.35); font: 12px ' + kFamily + ';\n' +
      '  outline: none; user-select: none; -webkit-user-select: none; white-space: pre; }\n' +
      '#funzioni-menu [role="menuitem"] { padding: 3px 24px 3px 20px; cursor: default; }\n' +
      '#funzioni-menu [role="menuitem"].active { background: #308cc6; color: #fff; }\n' +
      '#funzioni-menu [aria-disabled="true"] { color: #a0a0a0; }\n' +
      '#funzioni-menu [role="menuitem"][aria-disabled="true"].active { background: none; }\n' +
      '#funzioni-menu [role="separator"] { height: 1px; margin: 3px 0; background: #d0d0d0; }\n';

  function addStyle(id, text) {
    let style = document.getElementById(id);
    if (style === null) {
      style = document.createElement('style');
      style.id = id;
      document.head.appendChild(style);
    }
    style.textContent = text;
  }

  if (onPage) {
    addStyle('funzioni-export-style', kScreenStyle);
    window.addEventListener('keydown', (e) => { if (menu !== null) menuKey(e); }, true);
    for (const type of ['mousedown', 'mousemove', 'touchstart']) {
      window.addEventListener(type, outsideInput, {capture: true, passive: false});
    }
    window.addEventListener('contextmenu', (e) => {
      if (menu !== null) e.preventDefault();
    }, true);
    window.addEventListener('blur', () => closeMenu(-1));
    document.addEventListener('contextmenu', (e) => { if (menu === null) boxMenu(e); });
  }

  return {copyPicture, copyText, openMenu, addBoxItem, printLayout, printBegin, printLine,
          printEnd, menuOpen: () => menu !== null};
})();
