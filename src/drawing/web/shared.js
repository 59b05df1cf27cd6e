// What the page's scripts and the program share, and the one way the scripts call into the
// program. The codes, enumerations, page-state bits and font metrics come from the program itself
// (funzioni_page_shared, made from its headers by PageShared.cpp), read once it runs; the client
// area's size comes with the dialog (FunzioniPage.setClientSize). A call to an export the program
// lacks is a fault of the page's making: it is reported on the console and thrown, so that the
// browser tests fail on it, never passed over.

var FunzioniShared = (function () {
  'use strict';
  let constants = null;

  function freeze(value) {
    if (value !== null && typeof value === 'object') {
      Object.values(value).forEach(freeze);
      Object.freeze(value);
    }
    return value;
  }

  function program(name, ...args) {
    const exported = Module['_' + name];
    if (typeof exported !== 'function') {
      const message = 'funzioni: the program has no export ' + name;
      console.error(message);
      throw new Error(message);
    }
    return exported(...args);
  }

  // The program's constants; asked for before the program runs, this throws as program() does.
  function shared() {
    if (constants === null) {
      constants = freeze(JSON.parse(UTF8ToString(program('funzioni_page_shared'))));
    }
    return constants;
  }

  return {program, shared};
})();
